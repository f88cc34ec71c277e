#pragma once
// Everything one decode run works with: the sampling object (data, records,
// stop flag and event), a copy of the settings taken when the run started,
// the queue that carries progress and trigger messages to the front end,
// and, for a live run, the capture reader and the application's polling
// settings.

#include <cstdint>

#include "Orvane/capture/capture_reader.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"

namespace orvane {

struct DecodeContext {
  CSamplingObj& sampling;
  SettingsRecord settings;
  RunEventQueue& events;
  CaptureReader* reader = nullptr;  // live runs only
  bool live = false;
  bool japanese = false;            // texts built in code use their Japanese form
  bool no_wait = false;             // "NoWait": the reader never blocks
  bool sleep_when_idle = false;     // "Sleep": monitor decoders pause 1 ms per empty poll
  uint32_t capture_size = 0;        // live: the capture size in bytes
  bool verify_timing = true;        // offline I2C: run the timing verification

  static constexpr uint32_t kStopPollInterval = 4096;
  uint32_t stop_poll_countdown = kStopPollInterval;  // see StopRequested
};

}  // namespace orvane
