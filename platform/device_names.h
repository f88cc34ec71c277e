#pragma once
// Where the driver daemon publishes its devices and how a name a client
// opens maps onto them. Each published name is a Unix socket in the runtime
// folder: "VELIX0" for the driver's Win32 name and one socket per USB
// device-interface path, named after the path without its "\\?\" prefix.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velix::platform {

// $VELIX_RUNTIME_DIR, else $XDG_RUNTIME_DIR/velix, else /run/velix.
std::string DeviceRuntimeFolder();

inline constexpr std::string_view kDriverDeviceName = "VELIX0";
inline constexpr std::string_view kUsbDeviceInterfaceGuid = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
// The daemon's own control socket (simulated-device commands).
inline constexpr std::string_view kControlSocketName = "velixd.control";

// "usb#vid_1d9a&pid_030a#<instance>#{guid}": the socket name of an
// interface path; EnumerateDeviceInterfaces() prefixes it with "\\?\".
std::string InterfaceSocketName(uint16_t vendor_id, uint16_t product_id, std::string_view instance);
bool IsInterfaceSocketName(std::string_view name);

// A name as a client opens it, split into the socket it reaches and the
// file name the driver sees ("" for the whole device).
struct DeviceOpenTarget {
  std::string socket_name;
  std::string file_name;
};
// "\\.\VELIX0", "\\.\VELIX0\PIPE00", "\\?\usb#...#{guid}", "\\?\usb#...#{guid}\PIPE01"
// (prefixes in any case). Empty for a name of neither kind.
std::optional<DeviceOpenTarget> ParseDeviceOpenName(std::string_view name);

}  // namespace velix::platform
