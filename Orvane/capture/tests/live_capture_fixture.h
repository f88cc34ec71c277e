#pragma once
// A sampling object with a live buffer of its own, a scripted driver, the
// progress queue and the trace written to a private file. The live buffer
// is followed by guard bytes that no reader may touch.

#include <stdlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/tests/scripted_driver_link.h"
#include "platform/event.h"
#include "platform/interaction.h"
#include "platform/tests/scratch_folder.h"
#include "platform/trace.h"

namespace orvane::testing {

// Sends the trace to a file from construction to destruction.
class TraceCapture {
 public:
  TraceCapture() : path_(folder_.File("trace.log")) {
    setenv("VELIX_TRACE", path_.c_str(), 1);
    velix::platform::ReloadTraceTarget();
  }
  ~TraceCapture() {
    unsetenv("VELIX_TRACE");
    velix::platform::ReloadTraceTarget();
  }
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::string Text() const { return velix::platform::testing::ReadFile(path_); }

 private:
  velix::platform::testing::ScratchFolder folder_;
  std::string path_;
};

class LiveCaptureTest : public ::testing::Test {
 protected:
  static constexpr uint8_t kGuard = 0xEE;
  static constexpr uint32_t kGuardBytes = 64;

  LiveCaptureTest() { sampling_.driver_event = velix::platform::Event::Create(velix::platform::ResetMode::kAuto); }

  void TearDown() override {
    EXPECT_TRUE(std::all_of(live_.end() - kGuardBytes, live_.end(),
                            [](uint8_t b) { return b == kGuard; }))
        << "bytes written past the live buffer";
  }

  void Attach(uint32_t size) {
    live_.assign(size + kGuardBytes, 0);
    std::fill(live_.end() - kGuardBytes, live_.end(), kGuard);
    sampling_.AttachLiveBuffer(live_.data(), size);
  }

  // The writer as it stands after `position` bytes of this pass.
  void PlaceWriter(uint32_t position, bool wrapped) {
    sampling_.m_SamplingCurrentPtr = position;
    sampling_.m_lenSamplingDataInBuffer = position;
    sampling_.buffer_wrapped = wrapped;
  }

  // The live buffer holds the driver's bytes from `serial` on at `position`.
  void ExpectBytesAt(uint32_t position, uint64_t serial, uint32_t length) {
    ASSERT_LE(uint64_t{position} + length, live_.size() - kGuardBytes);
    const uint8_t* written = live_.data() + position;
    for (uint32_t i = 0; i < length; ++i) {
      if (written[i] != SerialByte(serial + i)) {
        ADD_FAILURE() << "position " << position + i << " does not hold the driver's byte "
                      << serial + i << " (" << length << " bytes expected from " << position << ")";
        return;
      }
    }
  }

  std::vector<RunEvent> TakeEvents() {
    std::vector<RunEvent> taken;
    while (auto event = events_.Take(0)) taken.push_back(*event);
    return taken;
  }

  AppState app_;
  velix::platform::NullSink sink_;
  CSamplingObj sampling_{app_, sink_};
  std::vector<uint8_t> live_ = std::vector<uint8_t>(kGuardBytes, kGuard);
  ScriptedDriverLink link_;
  RunEventQueue events_;
  TraceCapture trace_;  // after the sampling object: its own lines stay out
};

}  // namespace orvane::testing
