#pragma once
// One opened analyzer: its handle with interface 0 claimed, its identity,
// the index of its active configuration and its endpoints. Closing the
// session releases the interface and the handle.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include <libusb.h>

#include "driver/libusb/analyzer_identity.h"
#include "driver/libusb/usb_descriptors.h"

namespace velix::driver {

// Linux refuses a control transfer whose data stage is larger than this.
inline constexpr size_t kMaxControlStageBytes = 4096;

class LibusbSession {
 public:
  // Null on failure, with the libusb error code in *error. `serial` tells
  // this opening of a device from every other one.
  static std::unique_ptr<LibusbSession> Open(libusb_device* device, uint64_t serial, int* error);
  ~LibusbSession();
  LibusbSession(const LibusbSession&) = delete;
  LibusbSession& operator=(const LibusbSession&) = delete;

  libusb_device_handle* handle() const { return handle_; }
  libusb_device* device() const { return libusb_get_device(handle_); }
  uint64_t serial() const { return serial_; }
  UsbId id() const { return id_; }
  uint8_t config_index() const { return config_index_; }
  const EndpointLayout& endpoints() const { return endpoints_; }

  // Set once the device is being closed: no new transfer may start on it.
  std::atomic<bool> closing{false};

 private:
  LibusbSession(libusb_device_handle* handle, uint64_t serial) : handle_(handle), serial_(serial) {}
  int Claim();
  int ReadEndpoints();

  libusb_device_handle* const handle_;
  const uint64_t serial_;
  UsbId id_;
  uint8_t config_index_ = 0;
  EndpointLayout endpoints_;
  bool claimed_ = false;
  bool kernel_driver_detached_ = false;
};

}  // namespace velix::driver
