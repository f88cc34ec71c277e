#pragma once
// Driver pre-installation for the analyzer's firmware update mode: a phantom
// device element with the update mode's hardware ID is registered in the
// driver store, the INF is installed as its driver, and the element is
// removed again, leaving the driver package and its udev rule in place.

#include <string_view>

namespace velix::firmup {

inline constexpr std::string_view kUpdateModeHardwareId = "USB\\VID_1D9A&PID_030B";

// 0 on success, else the number of the step that failed:
// 1 the INF's setup class cannot be read, 2 the device set cannot be made,
// 3 the element cannot be created, 4 its hardware ID cannot be set, 5 it
// cannot be registered, 6 the driver cannot be installed for the ID, 7 the
// element cannot be removed.
int InstallUpdateModeDriver(const char* inf_path);

}  // namespace velix::firmup
