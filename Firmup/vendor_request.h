#pragma once
// Vendor device requests on the default control pipe through the driver's
// vendor request record: the EZ-USB RAM load and the loader's serial EEPROM
// access.

#include <cstdint>
#include <span>

#include "platform/device_file.h"
#include "velix/device_interface.h"

namespace velix::firmup {

struct VendorTransfer {
  uint8_t request = 0;
  uint16_t value = 0;
  uint16_t index = 0;
  bool device_to_host = false;
  std::span<uint8_t> data;  // the data stage; received bytes land here
};

// The record in the caller's natural layout: 16 bytes for 32-bit callers,
// 24 bytes (buffer address at offset 16) for 64-bit ones.
inline constexpr size_t kVendorRecordBytes = sizeof(void*) == 4 ? driver::kVendorRecord32Bytes
                                                                : driver::kVendorRecord64Bytes;

// Succeeds only when the whole data stage was moved.
bool SendVendorRequest(platform::DeviceFile* file, const VendorTransfer& transfer);

}  // namespace velix::firmup
