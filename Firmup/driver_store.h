#pragma once
// The driver store of the daemon, where the driver pre-installation leaves
// what the system needs to give the analyzer's firmware update mode to
// velixd when it appears: the INF and the udev rule for its hardware ID.
//
// Folder: $VELIXFW_DRIVER_STORE, else the "driver-store" folder in the
// daemon's runtime folder. Layout:
//   devices/<class>-XXXXXX/hardware-ids  a device element's hardware IDs
//                                        (multi-string: each ID and its
//                                        terminator, then one more)
//   devices/<class>-XXXXXX/class         written when the element is registered
//   drivers/<hardware id>/<INF name>     the installed INF, per hardware ID
//   70-velix-<vid>-<pid>.rules           the udev rule text for the ID

#include <string>
#include <string_view>

namespace velix::firmup {

std::string DriverStoreFolder();

// A set of device elements of one setup class in the store. Elements that
// it created and that are still there when it goes are removed with it, so
// that a failed installation leaves no phantom device behind.
class DeviceInfoSet {
 public:
  DeviceInfoSet(std::string store, std::string class_name)
      : store_(std::move(store)), class_name_(std::move(class_name)) {}
  ~DeviceInfoSet();
  DeviceInfoSet(const DeviceInfoSet&) = delete;
  DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;

  // Makes sure the store and its device folder exist.
  bool Open();
  // A new element with a generated instance ID.
  bool CreateElement();
  bool SetHardwareIds(std::string_view multi_string);
  bool RegisterElement();
  bool RemoveElement();

 private:
  std::string store_;
  std::string class_name_;
  std::string element_;  // the element's folder; empty when none
};

// Installs the INF as the driver of `hardware_id` for the registered
// elements that carry that ID: copies the INF into the store and writes the
// udev rule. False when no registered element carries the ID, the INF does
// not name it, or a file cannot be written.
bool UpdateDriverForDevices(const std::string& store, std::string_view hardware_id, const std::string& inf_path);

}  // namespace velix::firmup
