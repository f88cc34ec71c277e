#include "Orvane/capture/driver_client.h"

#include <chrono>
#include <thread>

#include "Orvane/capture/little_endian.h"
#include "velix/device_interface.h"
#include "platform/trace.h"

namespace orvane {
namespace {

namespace io = velix::driver;
using velix::platform::Trace;
using velix::platform::TraceDebug;

constexpr int kWriteAttempts = 5;
constexpr int kCountAttempts = 5;
constexpr auto kReopenPause = std::chrono::milliseconds(100);


}  // namespace

bool DriverClient::Fail() {
  m_dwLastError = velix::platform::GetLastDeviceError();
  return false;
}

bool DriverClient::Control(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                           uint32_t* returned) {
  uint32_t bytes = 0;
  const bool ok = velix::platform::DeviceIoControl(handle_, code, input.empty() ? nullptr : input.data(),
                                                   static_cast<uint32_t>(input.size()),
                                                   output.empty() ? nullptr : output.data(),
                                                   static_cast<uint32_t>(output.size()), &bytes);
  if (returned != nullptr) *returned = bytes;
  return ok || Fail();
}

bool DriverClient::OpenDriver(const std::string& name) {
  if (handle_ != nullptr) return true;
  info_ = {};
  handle_ = velix::platform::CreateDeviceFile(name);
  name_ = name;
  bool ok = handle_ != nullptr || Fail();
  if (ok) ok = Control(io::IOCTL_BULKUSB_GET_DRIVER_VERSION, {}, driver_version_, nullptr);
  if (ok) ok = Control(io::IOCTL_BULKUSB_GET_USB_SPEED, {}, {&usb_speed_, 1}, nullptr);
  if (ok) ok = VELIX_DriverGetVersionInfo(&info_);
  if (!ok) Trace(" *** !!!!! OpenDriver() Fail!!! ***\n");
  return ok;
}

void DriverClient::Close() {
  if (handle_ != nullptr) velix::platform::CloseDeviceFile(handle_);
  handle_ = nullptr;
  usb_speed_ = 0;
  driver_version_ = {};
}

bool DriverClient::CloseOpenDriver(const std::string& name) {
  Close();
  std::this_thread::sleep_for(kReopenPause);
  if (OpenDriver(name)) return true;
  Trace(" !!!!! CloseOpenDriver()  Fail!!!\n");
  return false;
}

bool DriverClient::EnsureOpen() { return handle_ != nullptr || OpenDriver(kDriverDeviceName); }

bool DriverClient::VELIX_DriverGetVersionInfo(DeviceInfo* info) {
  if (handle_ == nullptr) {
    Trace("*** VELIX_DriverGetVersionInfo()  INVALID HANDLE VALUE : NG !!! *** \n");
    return false;
  }
  (*info)[1] = usb_speed_;
  (*info)[2] = driver_version_[0];
  (*info)[3] = driver_version_[1];
  if (!VELIX_GetMode()) {
    Trace("*** VELIX_GetMode() : NG !!! *** \n");
    Trace("   ... m_dwLastError = %u\n", m_dwLastError);
    return false;
  }
  (*info)[0] = info_[0];
  std::array<uint8_t, kFwVersionReplySize> reply{};
  bool ok = false;
  SendDriverFirmCmd(GetFwVersionCommand(), reply, &ok);
  FirmwareVersions versions;
  if (!ok || !ParseFwVersionReply(reply, &versions)) {
    Trace("*** VELIX_CMD_GET_FW_VERSION::SendDriverFirmCmd : NG !!! *** \n");
    Trace("   ... m_dwLastError = %u\n", m_dwLastError);
    return false;
  }
  (*info)[4] = versions.firmware[0];
  (*info)[5] = versions.firmware[1];
  (*info)[6] = versions.cpld[0];
  (*info)[7] = versions.cpld[1];
  return true;
}

bool DriverClient::VELIX_GetMode() {
  std::array<uint8_t, kModeReplySize> reply{};
  bool ok = false;
  const uint32_t received = SendDriverFirmCmd(GetModeCommand(), reply, &ok);
  bool analyzer = false;
  if (!ok || !ParseModeReply(std::span<const uint8_t>(reply).first(received), &analyzer)) return false;
  info_[0] = analyzer ? 1 : 0;
  return true;
}

uint32_t DriverClient::SendDriverFirmCmd(const CommandPacket& packet, std::span<uint8_t> reply, bool* ok) {
  *ok = false;
  if (handle_ == nullptr) {
    Trace(" *** SendDriverFirmCmd()  *** INVALID_HANDLE_VALUE!!\n");
    return 0;
  }
  uint32_t received = 0;
  if (!Control(io::IOCTL_BULKUSB_FIRM_COMMAND, packet, reply, &received)) {
    Trace(" *** SendDriverFirmCmd()  ***  ERROR!! : dwLastError = %u\n", m_dwLastError);
    return 0;
  }
  *ok = true;
  return received;
}

bool DriverClient::SendDriverBulkData(const CommandPacket& packet) {
  if (handle_ == nullptr) return false;
  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    uint32_t written = 0;
    if (velix::platform::WriteDeviceFile(handle_, packet.data(), kCommandPacketSize, &written)) return true;
    Fail();
    Trace("*** [DANGER!!!] SendDriverBulkData() :WriteFile() API Fail [DANGER!!!] *** :Win32Error=%u\n",
          m_dwLastError);
  }
  return false;
}

bool DriverClient::SetDriverBuffer(uint8_t megabytes) {
  if (!EnsureOpen()) return false;
  TraceDebug(" *** Set DriverBuffer IOCTL : size = %u (MB)\n", megabytes);
  const bool ok = Control(io::IOCTL_BULKUSB_SET_BUFFER_SIZE, {&megabytes, 1}, {}, nullptr);
  TraceDebug("  --> return bret = %u\n", ok ? 1u : 0u);
  return ok;
}

bool DriverClient::ResetDriverStatus() {
  return EnsureOpen() && Control(io::IOCTL_BULKUSB_RESET_BUFFER, {}, {}, nullptr);
}

bool DriverClient::SetDriverBulkTransaferLength(uint32_t length) {
  if (!EnsureOpen()) return false;
  if (!one_transfer_event_->Valid()) {
    *one_transfer_event_ = velix::platform::Event::Create(velix::platform::ResetMode::kAuto);
    if (!one_transfer_event_->Valid()) {
      m_dwLastError = velix::platform::kErrorNoSystemResources;
      Trace(" CreateEvent()  ERROR !!!  %u\n", m_dwLastError);
      return false;
    }
  }
  const int handle = one_transfer_event_->Fd();
  TraceDebug(" *** IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT  *** \n");
  TraceDebug("       EventHandle = 0x%X\n", handle);
  std::array<uint8_t, 4> status{};
  if (!Control(io::IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT, Le32Bytes(static_cast<uint32_t>(handle)), status,
               nullptr)) {
    Trace(" *** IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT  ERROR!!! *** \n");
    Trace("     EventHandle = 0x%X,  Status = %u,  lastError = %u\n", handle, Le32Value(status),
          m_dwLastError);
  }
  TraceDebug("*** IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH  *** OneXferLength = %u (0x%X)\n", length, length);
  if (Control(io::IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH, Le32Bytes(length), {}, nullptr)) return true;
  Trace(" DeviceIoControl Fail...  lastError = %u\n", m_dwLastError);
  return false;
}

bool DriverClient::StartDriverBulkIn(uint32_t* status) {
  if (!EnsureOpen()) return false;
  const int handle = driver_event_->Fd();
  Trace(" *** StartDriverBulkIn()  *** \n");
  Trace(" *** IOCTL_BULKUSB_BULK_START (StartDriverBulkIn)  *** \n");
  Trace("       EventHandle = 0x%X\n", handle);
  std::array<uint8_t, 4> output{};
  uint32_t returned = 0;
  const bool ok =
      Control(io::IOCTL_BULKUSB_BULK_START, Le32Bytes(static_cast<uint32_t>(handle)), output, &returned);
  *status = Le32Value(output);
  Trace(" *** IOCTL_BULKUSB_BULK_START (StartDriverBulkIn)   bret:%u *** \n", ok ? 1u : 0u);
  Trace("      EventHandle = 0x%X,  Returned=%u,  *pStatus=%u,  lastError = %u\n", handle, returned, *status,
        m_dwLastError);
  return ok;
}

bool DriverClient::StopDriverBulkIn() {
  if (handle_ == nullptr) return false;
  TraceDebug(" *** IOCTL_BULKUSB_BULK_STOP (StopDriverBulkIn)  *** \n");
  if (Control(io::IOCTL_BULKUSB_BULK_STOP, {}, {}, nullptr)) return true;
  Trace(" *** IOCTL_BULKUSB_BULK_STOP (StopDriverBulkIn)  ERROR!!! *** \n");
  Trace("        lastError = %u\n", m_dwLastError);
  return false;
}

bool DriverClient::GetDriverEventStatus(uint32_t* status) {
  if (!EnsureOpen()) return false;
  std::array<uint8_t, 4> output{};
  if (!Control(io::IOCTL_BULKUSB_GET_STATUS, {}, output, nullptr)) return false;
  *status = Le32Value(output);
  return true;
}

bool DriverClient::GetAccumulatedCount(uint32_t* count) {
  if (handle_ == nullptr) return true;
  bool ok = false;
  for (int attempt = 0; attempt < kCountAttempts; ++attempt) {
    std::array<uint8_t, 4> output{};
    ok = Control(io::IOCTL_BULKUSB_GET_COUNT, {}, output, nullptr);
    if (!ok) {
      TraceDebug(" IOCTL_BULKUSB_GET_COUNT : FALSE!! : lastError = %u\n", m_dwLastError);
      continue;
    }
    const uint32_t value = Le32Value(output);
    if (static_cast<int32_t>(value) < 0) {
      TraceDebug(" IOCTL_GET_COUNT : count < 0  !!!  (0x%08X)\n", value);
      continue;
    }
    if (attempt > 0) TraceDebug(" IOCTL_GET_COUNT (retry=%u) : count = 0x%08X \n", attempt, value);
    *count = value;
    break;
  }
  return ok;
}

bool DriverClient::ReadData(uint8_t* buffer, uint32_t length, uint32_t* read) {
  *read = 0;
  if (handle_ == nullptr) return false;
  if (velix::platform::ReadDeviceFile(handle_, buffer, length, read)) return true;
  Fail();
  TraceDebug(" ReadFile()  NG (RecvPtr = 0x%08X,  RecvLength = %u): lastError = %u\n",
             static_cast<uint32_t>(reinterpret_cast<uintptr_t>(buffer)), length, m_dwLastError);
  return false;
}

bool DriverClient::GetPowerSense(bool* target_powered) {
  std::array<uint8_t, kPowerStateReplySize> reply{};
  bool ok = false;
  const uint32_t received = SendDriverFirmCmd(GetPowerStateCommand(), reply, &ok);
  if (!ok || !ParsePowerStateReply(std::span<const uint8_t>(reply).first(received), target_powered)) return false;
  TraceDebug("*** GET_POWER_SENSE *** ::  PowerSenseFlag = flag = %u \n", *target_powered ? 1u : 0u);
  return true;
}

bool DriverClient::VELIX_DriverPowerControl(uint8_t code) {
  if (!EnsureOpen()) return false;
  bool powered = false;
  if (!GetPowerSense(&powered)) return false;
  const CommandPacket packet = PowerControlCommand(code);
  TraceDebug(" *** VELIX POWER CONTROL CMD : %02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X: ***\n", packet[0],
             packet[1], packet[2], packet[3], packet[4], packet[5], packet[6], packet[7], packet[8], packet[9]);
  return SendDriverBulkData(packet);
}

bool DriverClient::VELIX_CMD_I2C_TRGOUT_SETTING(const SettingsRecord& settings) {
  const CommandPacket packet = I2CTrgOutSettingCommand(settings);
  const bool ok = SendDriverBulkData(packet);
  TraceDebug(" *** VELIX I2C_TRGOUT SETTING CMD : %02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X: ***\n  ** bret = %u\n",
             packet[0], packet[1], packet[2], packet[3], packet[4], packet[5], packet[6], packet[7], packet[8],
             packet[9], ok ? 1u : 0u);
  return ok;
}

}  // namespace orvane
