#pragma once
// Analyzers on an emulated USB bus that the real libusb drives: umockdev
// provides the sysfs entries, the udev news and the device nodes, and this
// class answers the usbfs requests libusb makes on those nodes (claiming,
// kernel drivers, control and bulk transfers as submitted and reaped URBs).
// Works only in a process started under umockdev's preload library
// (umockdev-wrapper); Available() tells.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "driver/libusb/analyzer_identity.h"

namespace velix::driver::emulated {

inline constexpr uint8_t kInterruptIn = 0x81;
inline constexpr uint8_t kBulkIn = 0x82;
inline constexpr uint8_t kBulkOut = 0x02;

struct VendorCall {
  uint8_t request = 0;
  uint16_t value = 0;
  uint16_t length = 0;
};

struct BusState;

class EmulatedUsbBus {
 public:
  static bool Available();

  EmulatedUsbBus();
  ~EmulatedUsbBus();
  EmulatedUsbBus(const EmulatedUsbBus&) = delete;
  EmulatedUsbBus& operator=(const EmulatedUsbBus&) = delete;

  // Plugs a device in and returns its number; `kernel_driver` empty for none.
  // Bus order is the order of plugging.
  int Plug(UsbId id, const std::string& kernel_driver = {});
  // Ends the device's queued transfers as a removal does, then takes it off
  // the bus.
  void Unplug(int device);

  // Whether the device keeps a bulk OUT queued instead of taking its data.
  void SetBulkOutRefused(int device, bool refused);
  // Completes the oldest bulk IN transfer queued on the device with `data`.
  bool CompleteBulkIn(int device, std::span<const uint8_t> data);
  size_t Queued(int device, uint8_t endpoint);

  bool KernelDriverBound(int device);
  bool Claimed(int device);
  std::vector<VendorCall> VendorCalls(int device);
  std::vector<std::vector<uint8_t>> BulkOutData(int device);

 private:
  std::unique_ptr<BusState> state_;
};

}  // namespace velix::driver::emulated
