#include "Orvane/decode/device_capture.h"

#include "Orvane/capture/capture_drain.h"
#include "Orvane/capture/capture_readers.h"
#include "Orvane/capture/device_commands.h"
#include "platform/trace.h"

namespace orvane {

using velix::platform::Trace;
using velix::platform::TraceDebug;

namespace {

void TracePacket(const char* format, const CommandPacket& p) {
  Trace(format, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8], p[9]);
}

}  // namespace

uint32_t DeviceCapture::OneTransferLength(const SettingsRecord& settings) const {
  if (!settings.MonitorMode) return app_.analyzer_bulk_len;
  const uint8_t bus = settings.m_AnalyzeBusChannel & 3;
  const bool i2c = bus == 1 || bus == 2;
  return i2c || settings.ForcedDisplay ? app_.monitor_i2c_bulk_len : app_.monitor_spi_bulk_len;
}

bool DeviceCapture::StartCapture_Sampling(COrvaneDoc& doc, AnalysisRunner& runner, uint8_t* live_buffer,
                                          uint32_t size) {
  runner.WaitForWinThreadEnd();
  if (!app_.live_capture) return false;
  Trace("\n");
  Trace(" *** StartCapture_Sampling() IN!!! ***\n");
  const SettingsRecord& settings = app_.settings;
  monitor_ = settings.MonitorMode != 0;
  free_run_ = monitor_ && settings.FreeRun == 1;

  sampling_ = &doc.NewCaptureSamplingObject();
  sampling_->AttachLiveBuffer(live_buffer, size);
  sampling_->m_sizeSamplingBuf = size;
  sampling_->Records().CreatePool();
  if (free_run_) {
    reader_ = std::make_unique<FreeRunReader>(*sampling_, client_, &events_);
  } else {
    reader_ = std::make_unique<OneshotReader>(*sampling_, client_, &events_);
  }

  client_.UseEvents(&sampling_->driver_event, &sampling_->one_transfer_event);
  const uint32_t length = OneTransferLength(settings);
  if (!client_.SetDriverBulkTransaferLength(length)) {
    Trace("** SetDriverBulkTransaferLength() Fail....  \n");
    return false;
  }
  // The start reports the driver's status word, which keeps whatever an
  // earlier capture recorded (an overrun, the device's end message) until
  // it is reset; without this a capture after such an end would always be
  // refused as failed.
  client_.ResetDriverStatus();
  if (monitor_ && !client_.VELIX_CMD_I2C_TRGOUT_SETTING(settings)) return false;
  if (!StartSampling(settings)) return false;
  return runner.ScanningSamplingDataStart(doc);
}

bool DeviceCapture::StartSampling(const SettingsRecord& settings) {
  const char* failure_line =
      monitor_ ? " [DANGER!!!]   VELIX_DriverStartSampling_Monitor() ERROR !!!  DriverStatus=%u, GetLastError=%u\n"
               : " [DANGER!!!]   VELIX_DriverStartSampling() ERROR !!!  DriverStatus=%u, GetLastError=%u\n";
  sampling_->driver_event.Close();
  sampling_->driver_event = velix::platform::Event::Create(velix::platform::ResetMode::kAuto);
  if (!sampling_->driver_event.Valid()) {
    client_.m_dwLastError = velix::platform::kErrorNoSystemResources;
    Trace(" CreateEvent()  ERROR !!!  %u\n", client_.m_dwLastError);
    Trace(failure_line, 0u, client_.m_dwLastError);
    return false;
  }
  uint32_t status = 0;
  const bool started = client_.StartDriverBulkIn(&status);
  if (!started || status != 0) {
    // Never leave the device streaming without a reader.
    if (status != 0) StopSampling();
    Trace(failure_line, status, client_.m_dwLastError);
    return false;
  }
  const CommandPacket packet = monitor_ ? MonitorStartCommand(settings) : SamplingStartCommand(settings);
  bool sent = false;
  if (monitor_) {
    TracePacket(" *** MONITOR CONTROL CMD : %02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X: ***\n", packet);
    sent = client_.SendDriverBulkData(packet);
    TraceDebug("*** VELIX_CMD_MONITOR_CONTROL : START  [%02X][%02X] ***: bret = %u\n", packet[4], packet[5],
               sent ? 1u : 0u);
  } else {
    TracePacket(" *** SAMPLING CMD : %02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X: ***\n", packet);
    sent = client_.SendDriverBulkData(packet);
    Trace("*** VELIX_CMD_SAMPLING_CONTROL : START  [%02X][%02X] ***: %u\n", packet[1], packet[4], sent ? 1u : 0u);
  }
  if (!sent) Trace(failure_line, status, client_.m_dwLastError);
  return sent;
}

void DeviceCapture::StopSampling() {
  TraceDebug(" VELIX_DriverStopSampling() ...\n");
  TraceDebug(monitor_ ? " USB CMD PACKET : 0xC6 : MONITOR CONTROL : STOP ***\n"
                      : " USB CMD PACKET : 0xC4 : ANALYZER SAMPLING CONTROL : STOP ***\n");
  const CommandPacket packet = SamplingStopCommand(monitor_);
  const bool written = client_.SendDriverBulkData(packet);
  TraceDebug(" *** VELIX SAMPLING_STOP CMD : %02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X: ***\n  ** bret = %u \n",
             packet[0], packet[1], packet[2], packet[3], packet[4], packet[5], packet[6], packet[7], packet[8],
             packet[9], written ? 1u : 0u);
  if (!written) Trace(" [DANGER!!!] [DANGER!!!] \n");
  const bool stopped = client_.StopDriverBulkIn();
  if (written && stopped && sampling_ != nullptr) {
    uint32_t driver_status = 0;
    ReadDriverSamplingData_AfterStop(*sampling_, client_, free_run_, &driver_status);
  }
  if (sampling_ != nullptr) {
    TraceDebug(" EventHandle Close( handle = 0x%X ) \n", static_cast<unsigned>(sampling_->driver_event.Fd()));
    sampling_->driver_event.Close();
  }
}

void DeviceCapture::DrainAfterRemoval() {
  if (sampling_ == nullptr) return;
  // The driver's event has told of the removal already; the drain then
  // only counts and reads what the driver stored before.
  sampling_->driver_event.TryConsume();
  uint32_t driver_status = 0;
  ReadDriverSamplingData_AfterStop(*sampling_, client_, free_run_, &driver_status);
  sampling_->driver_event.Close();
}

}  // namespace orvane
