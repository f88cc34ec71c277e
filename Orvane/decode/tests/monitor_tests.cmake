velix_add_test(decode_monitor_tests
  SOURCES
    monitor_data_run_test.cpp
    monitor_feed_test.cpp
    monitor_i2c_test.cpp
    monitor_live_test.cpp
    monitor_preview_test.cpp
    monitor_random_test.cpp
    monitor_scenario_test.cpp
    monitor_spi_test.cpp
    monitor_units_test.cpp
    trigger_test.cpp
  LIBS orvane_decode velix_sim)
