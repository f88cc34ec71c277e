# Sources and tests of the analyzer group.
list(APPEND DECODE_SOURCES
  analyzer_feed.cpp
  signal_cursor.cpp
  i2c_analyzer.cpp
  i2c_extract.cpp
  i2c_timing.cpp
  i2c_timing_limits.cpp
  i2c_timing_track.cpp
  i2c_timing_walk.cpp
  spi_analyzer.cpp
  spi_extract.cpp
  waveform_pass.cpp
)
