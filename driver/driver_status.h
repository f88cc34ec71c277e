#pragma once
// The driver's own status word `DriverStatus`; the causes it records and
// every other value a client sees come from the device interface header.

#include <atomic>
#include <cstdint>

#include "velix/device_interface.h"

namespace velix::driver {

// `DriverStatus`: the last cause recorded. Written by client threads, the
// reader and the watcher, so every access is atomic.
class DriverStatusWord {
 public:
  void Record(uint32_t code) { value_.store(code, std::memory_order_relaxed); }
  uint32_t Get() const { return value_.load(std::memory_order_relaxed); }
  void Clear() { Record(driver_status::kNone); }

 private:
  std::atomic<uint32_t> value_{driver_status::kNone};
};

}  // namespace velix::driver
