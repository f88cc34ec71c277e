# Sources and tests of the monitor group.
list(APPEND DECODE_SOURCES
  monitor_extract.cpp
  monitor_feed.cpp
  monitor_i2c.cpp
  monitor_spi.cpp
  monitor_units.cpp
  trigger_action.cpp
  trigger_eval.cpp)
