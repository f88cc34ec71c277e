#include "Firmup/tests/firmup_daemon.h"

#include <cstdlib>
#include <sstream>

#include "velix/device_interface.h"
#include "platform/device_file.h"
#include "platform/device_names.h"
#include "platform/string_format.h"

namespace velix::firmup::testing {
namespace {

// The firmware calls never start a stream; any scenario will do.
constexpr const char* kScenario = "bus i2c0\nstart\naddr 0x50 w\nstop\n";
const std::string kDriverName(platform::kDriverDeviceName);

bool DriverControl(uint32_t code, uint32_t* value) {
  platform::DeviceFile* file = platform::CreateDeviceFile("\\\\.\\VELIX0");
  if (file == nullptr) return false;
  uint32_t returned = 0;
  const bool ok = platform::DeviceIoControl(file, code, nullptr, 0, value, value ? 4 : 0, &returned);
  platform::CloseDeviceFile(file);
  return ok;
}

}  // namespace

std::string InterfaceName(const std::string& personality) {
  uint16_t vendor = 0x1D9A;
  uint16_t product = 0x030A;
  if (personality == "update") product = 0x030B;
  if (personality == "loader") product = 0x0221;
  if (personality == "fx2") {
    vendor = 0x04B4;
    product = 0x8613;
  }
  return platform::InterfaceSocketName(vendor, product, "velix0");
}

std::string Hex(const uint8_t* bytes, size_t size) {
  std::string text;
  for (size_t i = 0; i < size; ++i) text += platform::StringPrintf("%02x", bytes[i]);
  return text;
}

FirmupDaemon::FirmupDaemon(std::vector<std::string> args) : process_(kScenario, std::move(args)) {}

void FirmupDaemon::UseAsRuntime() const { ::setenv("VELIX_RUNTIME_DIR", folder().c_str(), 1); }

// Each plug-in waits until the device is gone first: the driver's name
// coming back is then the sign that the new arrival has been handled.
bool FirmupDaemon::PlugAs(const std::string& personality) {
  if (!Unplug() || process_.Sim("plug " + personality).rfind("ok=1", 0) != 0) return false;
  return process_.WaitForName(InterfaceName(personality), true) && process_.WaitForName(kDriverName, true);
}

bool FirmupDaemon::Replug() {
  if (!Unplug() || process_.Sim("plug").rfind("ok=1", 0) != 0) return false;
  return process_.WaitForName(kDriverName, true);
}

bool FirmupDaemon::Unplug() {
  return process_.Sim("unplug").rfind("ok=1", 0) == 0 && process_.WaitForName(kDriverName, false);
}

std::vector<std::string> FirmupDaemon::Received() const {
  std::vector<std::string> packets;
  std::istringstream lines(process_.Sim("received"));
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("packet=", 0) == 0) packets.push_back(line.substr(7));
  }
  return packets;
}

std::vector<std::string> FirmupDaemon::ReceivedSince(size_t mark) const {
  std::vector<std::string> packets = Received();
  if (mark >= packets.size()) return {};
  return {packets.begin() + static_cast<std::ptrdiff_t>(mark), packets.end()};
}

uint32_t FirmupDaemon::DriverStatus() const {
  uint32_t status = ~0u;
  return DriverControl(driver::IOCTL_BULKUSB_GET_STATUS, &status) ? status : ~0u;
}

bool FirmupDaemon::ResetDriverStatus() const { return DriverControl(driver::IOCTL_BULKUSB_RESET_BUFFER, nullptr); }

}  // namespace velix::firmup::testing
