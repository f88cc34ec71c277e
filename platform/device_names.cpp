#include "platform/device_names.h"

#include <cstdlib>

#include "platform/string_format.h"

namespace velix::platform {
namespace {

constexpr std::string_view kWin32Prefix = "\\\\.\\";
constexpr std::string_view kInterfacePrefix = "\\\\?\\";
constexpr std::string_view kUsbPrefix = "usb#vid_";

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) c = Lower(c);
  return lowered;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && Lowered(text.substr(0, prefix.size())) == Lowered(prefix);
}

// Splits "<device>\<file name>" at the first backslash after the device
// part; the file name keeps its backslash, as the driver sees it.
DeviceOpenTarget SplitFileName(std::string_view rest) {
  const size_t slash = rest.find('\\');
  if (slash == std::string_view::npos) return {std::string(rest), std::string()};
  return {std::string(rest.substr(0, slash)), std::string(rest.substr(slash))};
}

}  // namespace

std::string DeviceRuntimeFolder() {
  if (const char* folder = std::getenv("VELIX_RUNTIME_DIR"); folder != nullptr && *folder != '\0') {
    return folder;
  }
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
    return std::string(runtime) + "/velix";
  }
  return "/run/velix";
}

std::string InterfaceSocketName(uint16_t vendor_id, uint16_t product_id, std::string_view instance) {
  return StringPrintf("usb#vid_%04x&pid_%04x#%.*s#%.*s", vendor_id, product_id, static_cast<int>(instance.size()),
                      instance.data(), static_cast<int>(kUsbDeviceInterfaceGuid.size()),
                      kUsbDeviceInterfaceGuid.data());
}

bool IsInterfaceSocketName(std::string_view name) {
  return StartsWithNoCase(name, kUsbPrefix) && name.size() > kUsbDeviceInterfaceGuid.size() &&
         name.substr(name.size() - kUsbDeviceInterfaceGuid.size()) == kUsbDeviceInterfaceGuid;
}

std::optional<DeviceOpenTarget> ParseDeviceOpenName(std::string_view name) {
  if (name.find('/') != std::string_view::npos || name.find('\0') != std::string_view::npos) return std::nullopt;
  DeviceOpenTarget target;
  if (StartsWithNoCase(name, kWin32Prefix)) {
    target = SplitFileName(name.substr(kWin32Prefix.size()));
    // Win32 names are not case-sensitive; the socket has one spelling.
    if (Lowered(target.socket_name) == Lowered(kDriverDeviceName)) target.socket_name = kDriverDeviceName;
  } else if (StartsWithNoCase(name, kInterfacePrefix)) {
    const std::string_view rest = name.substr(kInterfacePrefix.size());
    // The interface path ends with the class GUID; what follows is the file name.
    const size_t guid_end = rest.find('}');
    if (guid_end == std::string_view::npos) return std::nullopt;
    target.socket_name = Lowered(rest.substr(0, guid_end + 1));
    target.file_name = std::string(rest.substr(guid_end + 1));
    if (!target.file_name.empty() && target.file_name[0] != '\\') return std::nullopt;
  } else {
    return std::nullopt;
  }
  if (target.socket_name.empty() || target.socket_name == "." || target.socket_name == "..") return std::nullopt;
  return target;
}

}  // namespace velix::platform
