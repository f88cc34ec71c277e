#pragma once
// The application's one handle on the driver (\\.\VELIX0): opening with its
// identification queries, the control codes of a capture and the device's
// command packets, sent with a plain write or, when a reply is expected,
// as a firmware command. Every operation returns success or failure and
// keeps the system error code of a failure in m_dwLastError.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "Orvane/capture/device_commands.h"
#include "Orvane/capture/driver_link.h"
#include "platform/device_file.h"
#include "platform/event.h"

namespace orvane {

inline constexpr char kDriverDeviceName[] = "\\\\.\\VELIX0";

// 8 bytes refreshed by every open: mode bit (1 = bus analyzer), USB speed
// (1 full, 2 high), driver version, firmware version, CPLD version.
using DeviceInfo = std::array<uint8_t, 8>;

class DriverClient final : public DriverLink {
 public:
  DriverClient() = default;
  ~DriverClient() override { Close(); }
  DriverClient(const DriverClient&) = delete;
  DriverClient& operator=(const DriverClient&) = delete;

  // The events of the current capture live in its sampling object; the
  // client creates them there and hands them to the driver.
  void UseEvents(velix::platform::Event* driver_event, velix::platform::Event* one_transfer_event) {
    driver_event_ = driver_event;
    one_transfer_event_ = one_transfer_event;
  }

  bool OpenDriver(const std::string& name);
  void Close();
  bool CloseOpenDriver(const std::string& name);
  bool IsOpen() const { return handle_ != nullptr; }
  const DeviceInfo& Info() const { return info_; }
  bool AnalyzerMode() const { return info_[0] == 1; }

  bool VELIX_DriverGetVersionInfo(DeviceInfo* info);
  bool VELIX_GetMode();
  // The bytes of the reply received; 0 with failure.
  uint32_t SendDriverFirmCmd(const CommandPacket& packet, std::span<uint8_t> reply, bool* ok);
  bool SendDriverBulkData(const CommandPacket& packet);
  bool SetDriverBuffer(uint8_t megabytes);
  bool SetDriverBulkTransaferLength(uint32_t length);
  bool StartDriverBulkIn(uint32_t* status);
  bool StopDriverBulkIn();
  // Clears the status word (IOCTL_BULKUSB_RESET_BUFFER).
  bool ResetDriverStatus();
  bool VELIX_DriverPowerControl(uint8_t code);
  bool VELIX_CMD_I2C_TRGOUT_SETTING(const SettingsRecord& settings);
  bool GetPowerSense(bool* target_powered);

  // --- DriverLink ---
  bool GetAccumulatedCount(uint32_t* count) override;
  bool ReadData(uint8_t* buffer, uint32_t length, uint32_t* read) override;
  bool GetDriverEventStatus(uint32_t* status) override;
  uint32_t LastError() const override { return m_dwLastError; }
  // The last failure was the driver refusing because another client's
  // capture owns the stream.
  bool DeviceInUse() const { return m_dwLastError == velix::platform::kErrorPipeBusy; }

  uint32_t m_dwLastError = 0;

 private:
  bool EnsureOpen();
  // One control request; a failure keeps the system error code.
  bool Control(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output, uint32_t* returned);
  bool Fail();

  velix::platform::DeviceFile* handle_ = nullptr;
  std::string name_;
  DeviceInfo info_{};
  uint8_t usb_speed_ = 0;
  std::array<uint8_t, 2> driver_version_{};
  velix::platform::Event* driver_event_ = nullptr;
  velix::platform::Event* one_transfer_event_ = nullptr;
};

}  // namespace orvane
