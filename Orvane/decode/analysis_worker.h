#pragma once
// The analysis worker: one thread per document that decodes its sampling
// data — live while a capture fills the buffer, or offline over a file. It
// picks the decoder from the settings, reports through the run-event queue
// and ends by posting its result; it never waits for the front end.

#include <cstdint>
#include <memory>

#include "Orvane/capture/analysis_runner.h"
#include "Orvane/capture/app_state.h"
#include "Orvane/capture/capture_reader.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/settings_record.h"
#include "platform/thread.h"

namespace orvane {

class COrvaneDoc;

enum class WorkerKind { kNone, kWaveform, kI2C, kSpi };

// Forced display runs the waveform pass on any channel; channel 3 has no
// worker.
WorkerKind ChooseWorker(const SettingsRecord& settings);

// What a live run needs from the capture side: the reader the decoder polls
// and the stop sequence sent when the run ends.
class LiveCapture {
 public:
  virtual ~LiveCapture() = default;
  virtual CaptureReader& Reader() = 0;
  // Stops the device and the driver and drains what the driver still holds.
  virtual void StopSampling() = 0;
  // After the device left: no stop can reach it, but what the driver
  // stored before is still taken into the live buffer.
  virtual void DrainAfterRemoval() = 0;
};

class AnalysisWorker final : public AnalysisRunner {
 public:
  // `live` may be null while no capture is possible.
  AnalysisWorker(AppState& app, RunEventQueue& events, LiveCapture* live = nullptr);
  ~AnalysisWorker() override;

  bool ScanningSamplingDataStart(COrvaneDoc& doc) override;
  void WaitForWinThreadEnd() override;
  // The stop command: acts while a live capture or an offline run runs.
  void StopCaptureAnalyzing(COrvaneDoc& doc);
  bool Running() const { return thread_ != nullptr; }

 private:
  void Body(COrvaneDoc& doc, const SettingsRecord& settings, WorkerKind kind, bool live);

  AppState& app_;
  RunEventQueue& events_;
  LiveCapture* live_;
  std::unique_ptr<velix::platform::Thread> thread_;
};

}  // namespace orvane
