# Tests of the analyzer group.
velix_add_test(decode_analyzer_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/i2c_analyzer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/i2c_atom_layout_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/i2c_timing_measure_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/i2c_timing_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/i2c_timing_track_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/spi_waveform_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/spi_block_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/spi_analyzer_runs_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sim_scenario_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/live_decode_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_switch_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/waveform_overlays_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/overlay_status_agreement_test.cpp
  LIBS orvane_decode velix_sim velix_platform)
