# Tests of the statistics group, over synthesized captures.
velix_add_test(decode_statistics_tests
  SOURCES timing_statistics_test.cpp bus_statistics_test.cpp clock_periods_test.cpp
  LIBS orvane_decode velix_sim velix_platform)
target_compile_definitions(decode_statistics_tests PRIVATE VELIX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
