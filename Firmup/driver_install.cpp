#include "Firmup/driver_install.h"

#include <string>

#include "Firmup/driver_store.h"
#include "Firmup/inf_file.h"

namespace velix::firmup {
namespace {

constexpr size_t kClassNameBufferChars = 32;

}  // namespace

int InstallUpdateModeDriver(const char* inf_path) {
  if (inf_path == nullptr) return 1;
  const std::string class_name = ReadInfClass(inf_path, kClassNameBufferChars);
  if (class_name.empty()) return 1;
  const std::string store = DriverStoreFolder();
  DeviceInfoSet devices(store, class_name);
  if (!devices.Open()) return 2;
  if (!devices.CreateElement()) return 3;
  // A multi-string: the ID, its terminator and the list's terminator.
  std::string hardware_ids(kUpdateModeHardwareId);
  hardware_ids.append(2, '\0');
  if (!devices.SetHardwareIds(hardware_ids)) return 4;
  if (!devices.RegisterElement()) return 5;
  if (!UpdateDriverForDevices(store, kUpdateModeHardwareId, inf_path)) return 6;
  if (!devices.RemoveElement()) return 7;
  return 0;
}

}  // namespace velix::firmup
