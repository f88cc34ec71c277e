# Tests of the views group (cell texts, dialog values, filter, search,
# exports); the export tests compare with the golden files beside them.
velix_add_test(decode_views_tests
  SOURCES cell_texts_test.cpp dialog_values_test.cpp transaction_filter_test.cpp
          filter_view_batch_test.cpp
          transaction_search_test.cpp export_test.cpp export_format_test.cpp export_bytes_test.cpp
          extract_lanes_test.cpp export_writer_test.cpp
  LIBS orvane_decode velix_sim)
target_compile_definitions(decode_views_tests
  PRIVATE VIEWS_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/golden")

# The JSON Lines export: hand-built records, and synthesized captures
# decoded as after opening the file, checked against their ground truth.
velix_add_test(decode_json_lines_tests
  SOURCES export_json_lines_test.cpp export_json_lines_scenario_test.cpp
  LIBS orvane_decode velix_sim velix_platform nlohmann_json::nlohmann_json)
target_compile_definitions(decode_json_lines_tests PRIVATE VELIX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
