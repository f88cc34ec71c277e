#pragma once
// A live capture on the device: the start (transfer length, trigger out,
// BULK_START, the device's start command, the worker), the reader the
// decoder polls, and the stop (stop command, BULK_STOP, drain).

#include <cstdint>
#include <memory>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/capture_reader.h"
#include "Orvane/capture/driver_client.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/decode/analysis_worker.h"

namespace orvane {

class DeviceCapture final : public LiveCapture {
 public:
  DeviceCapture(DriverClient& client, AppState& app, RunEventQueue& events)
      : client_(client), app_(app), events_(events) {}

  // Starts the capture into `live_buffer` (`size` bytes) and its worker;
  // true when both started.
  bool StartCapture_Sampling(COrvaneDoc& doc, AnalysisRunner& runner, uint8_t* live_buffer, uint32_t size);

  CaptureReader& Reader() override { return *reader_; }
  void StopSampling() override;
  void DrainAfterRemoval() override;

 private:
  bool StartSampling(const SettingsRecord& settings);
  uint32_t OneTransferLength(const SettingsRecord& settings) const;

  DriverClient& client_;
  AppState& app_;
  RunEventQueue& events_;
  CSamplingObj* sampling_ = nullptr;
  std::unique_ptr<CaptureReader> reader_;
  bool monitor_ = false;
  bool free_run_ = false;
};

}  // namespace orvane
