#pragma once
// The four faces the analyzer shows on the bus and the descriptors it
// answers with in each.

#include <cstdint>
#include <vector>

namespace velix::sim {

enum class Personality : uint8_t {
  kOperation,     // 1D9A:030A, analyzer or monitor by the CPLD image
  kFirmwareUpdate,  // 1D9A:030B
  kBareFx2,       // 04B4:8613, no firmware
  kRamLoader,     // 1D9A:0221, running from RAM after a download
};

struct UsbIdentity {
  uint16_t vendor_id;
  uint16_t product_id;
};

UsbIdentity IdentityOf(Personality personality);

// Endpoint addresses of the first interface.
inline constexpr uint8_t kInterruptInAddress = 0x81;
inline constexpr uint8_t kBulkInAddress = 0x82;
inline constexpr uint8_t kBulkOutAddress = 0x02;

// 18-byte device descriptor.
std::vector<uint8_t> DeviceDescriptor(Personality personality);
// Configuration, interface (interrupt IN, bulk IN, bulk OUT) and endpoint
// descriptors, 39 bytes; bulk endpoints carry max_packet bytes per packet.
// bmAttributes is 0x80 (bus powered) with bit 5 when remote wake-up is offered.
std::vector<uint8_t> ConfigurationDescriptor(uint16_t max_packet, bool remote_wakeup);

}  // namespace velix::sim
