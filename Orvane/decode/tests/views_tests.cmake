# Tests of the views group (cell texts, dialog values, filter, search,
# exports); the export tests compare with the golden files beside them.
velix_add_test(decode_views_tests
  SOURCES cell_texts_test.cpp dialog_values_test.cpp transaction_filter_test.cpp
          transaction_search_test.cpp export_test.cpp export_format_test.cpp export_bytes_test.cpp
  LIBS orvane_decode velix_sim)
target_compile_definitions(decode_views_tests
  PRIVATE VIEWS_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/golden")
