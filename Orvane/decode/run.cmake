# Run control: the worker, the decoder choice, the end handling, the detail
# of one record, and the end messages.
list(APPEND DECODE_SOURCES
  analysis_worker.cpp
  capture_command.cpp
  capture_station.cpp
  detail_loader.cpp
  device_capture.cpp
  live_end.cpp
  run_decoder.cpp
  run_end.cpp
  run_messages.cpp)
