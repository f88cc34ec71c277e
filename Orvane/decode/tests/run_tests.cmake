# Tests of run control: worker choice, runs through the document, stop, end handling.
velix_add_test(decode_run_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/run_control_test.cpp
  LIBS orvane_decode velix_sim)
