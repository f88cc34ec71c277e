// The library's fifteen exports: each finds the device in the personality it
// needs, performs one exchange and closes what it opened.
#include <array>
#include <span>

#include "Firmup/VELIXFw.h"
#include "Firmup/command_packets.h"
#include "Firmup/device_finder.h"
#include "Firmup/driver_install.h"
#include "Firmup/firm_exchange.h"
#include "Firmup/ram_loader.h"
#include "Firmup/user_messages.h"

namespace {

using namespace velix::firmup;

// The serial escape SETRTS as a serial port's driver receives it
// (IOCTL_SERIAL_SET_RTS). The analyzer's driver does not know the code and
// records "control code not in the table"; the probe only touches the device.
constexpr uint32_t kSerialSetRtsControlCode = 0x001B0030u;

uint8_t LowByte(uint32_t value) { return static_cast<uint8_t>(value); }
uint16_t Low16(uint32_t value) { return static_cast<uint16_t>(value); }

void Store(uint8_t* to, uint8_t value) {
  if (to != nullptr) *to = value;
}

// A null buffer with something to move is refused before anything is sent,
// so the device is never left waiting in the middle of a command.
bool BufferUsable(const void* buffer, uint32_t length) { return buffer != nullptr || length == 0; }

int ReadMemory(uint8_t command, uint32_t address, uint8_t* buffer, uint32_t length) {
  const uint16_t count = Low16(length);
  if (!BufferUsable(buffer, count)) return 0;
  return SendCommandReadReply(AddressLengthPacket(command, Low16(address), count), std::span(buffer, count)) ? 1 : 0;
}

int WriteMemory(uint8_t command, uint32_t address, const uint8_t* data, uint32_t length) {
  const uint16_t count = Low16(length);
  if (!BufferUsable(data, count)) return 0;
  const CommandPacket packet = AddressLengthPacket(command, Low16(address), count);
  return SendCommandWithData(&packet, std::span(data, count)) ? 1 : 0;
}

}  // namespace

extern "C" {

int GetDeviceMode(void) {
  if (const DeviceHandle device = OpenDevice(Personality::kOperation, OpenKind::kPlain); device.valid()) {
    uint32_t returned = 0;
    velix::platform::DeviceIoControl(device.get(), kSerialSetRtsControlCode, nullptr, 0, nullptr, 0, &returned);
    return VELIXFW_MODE_OPERATION;
  }
  if (OpenDevice(Personality::kFirmwareUpdate, OpenKind::kCommand).valid()) return VELIXFW_MODE_UPDATE;
  if (OpenDevice(Personality::kBareFx2, OpenKind::kPlain).valid()) return VELIXFW_MODE_BARE_FX2;
  if (OpenDevice(Personality::kRamLoader, OpenKind::kPlain).valid()) return VELIXFW_MODE_RAM_LOADER;
  return VELIXFW_MODE_NONE;
}

int GetFirmVersion(uint8_t* eeprom_major, uint8_t* eeprom_minor, uint8_t* flash_major, uint8_t* flash_minor,
                   uint8_t* cpld_major, uint8_t* cpld_minor) {
  std::array<uint8_t, kVersionReplyBytes> reply{};
  if (!SendCommandReadReply(ReplyQueryPacket(kCommandVersions, kVersionReplyBytes), reply)) return 0;
  Store(eeprom_major, reply[4]);
  Store(eeprom_minor, reply[5]);
  Store(flash_major, reply[2]);
  Store(flash_minor, reply[3]);
  Store(cpld_major, reply[6]);
  Store(cpld_minor, reply[7]);
  return 1;
}

int SetFirmVersion(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f) {
  return SendCommand(SetVersionsPacket(LowByte(a), LowByte(b), LowByte(c), LowByte(d), LowByte(e), LowByte(f))) ? 1 : 0;
}

int GetStatus(uint8_t* status) {
  if (status == nullptr) return 0;
  std::array<uint8_t, kStatusReplyBytes> reply{};
  if (!SendCommandReadReply(ReplyQueryPacket(kCommandStatus, kStatusReplyBytes), reply)) return 0;
  *status = reply[3];
  return 1;
}

int FlashErase(uint32_t block) { return SendCommand(FlashErasePacket(LowByte(block))) ? 1 : 0; }

int FlashRead(uint32_t address, uint8_t* buffer, uint32_t length) {
  return ReadMemory(kCommandFlashRead, address, buffer, length);
}

int FlashWrite(uint32_t address, const uint8_t* data, uint32_t length) {
  return WriteMemory(kCommandFlashWrite, address, data, length);
}

int SerialRead(uint32_t address, uint8_t* buffer, uint32_t length) {
  return ReadMemory(kCommandSerialRead, address, buffer, length);
}

int SerialWrite(uint32_t address, const uint8_t* data, uint32_t length) {
  return WriteMemory(kCommandSerialWrite, address, data, length);
}

int CPLDWrite(const uint8_t* data, uint32_t length, uint32_t total) {
  if (!BufferUsable(data, length)) return 0;
  const CommandPacket packet = CpldImagePacket(total);
  return SendCommandWithData(total != 0 ? &packet : nullptr, std::span(data, length)) ? 1 : 0;
}

int SerialReadTemporary(uint32_t address, uint32_t length, uint8_t* buffer) {
  if (!BufferUsable(buffer, length)) return 0;
  return LoaderEepromTransfer(Low16(address), true, std::span(buffer, length)) ? 1 : 0;
}

int SerialWriteTemporary(uint32_t address, uint32_t length, const uint8_t* data) {
  if (!BufferUsable(data, length)) return 0;
  // A host-to-device transfer only reads the bytes.
  return LoaderEepromTransfer(Low16(address), false, std::span(const_cast<uint8_t*>(data), length)) ? 1 : 0;
}

int SerialWriteCypress(void) { return DownloadLoader() ? 1 : 0; }

int USBI2CComChange(void) {
  {
    const DeviceHandle device = OpenDevice(Personality::kOperation, OpenKind::kPlain);
    if (!device.valid() || !SendToDevice(device.get(), CodeOnlyPacket(kCommandEnterUpdateMode))) return 0;
  }
  ShowMessage(kMessageCaption, UpdateModeMessage(LibraryLanguage()));
  return 1;
}

int USBI2CInstall(const char* inf_path) { return InstallUpdateModeDriver(inf_path); }

}  // extern "C"
