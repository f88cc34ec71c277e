#pragma once
// Reading the analyzer's endpoints out of its raw configuration descriptor,
// and turning libusb's parsed device descriptor back into the 18 bytes the
// device sent. Both work on plain bytes, so they run without a device.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include <libusb.h>

namespace velix::driver {

inline constexpr size_t kDeviceDescriptorBytes = 18;
inline constexpr size_t kConfigurationHeaderBytes = 9;

// The endpoints of the first interface, in the roles the driver uses them.
// A role the interface does not offer stays empty (the bare controller
// without firmware has no endpoints at all in its first setting).
struct EndpointLayout {
  std::optional<uint8_t> interrupt_in;
  std::optional<uint8_t> bulk_in;
  std::optional<uint8_t> bulk_out;
  // The packet size of the last bulk endpoint listed; 0 without one.
  uint16_t bulk_max_packet = 0;
};

// Empty when the bytes do not start with a configuration descriptor. Reads at
// most wTotalLength bytes and never past the span; a descriptor whose length
// is impossible ends the scan. The first interface ends at the next interface
// descriptor, whether another interface or an alternate setting.
std::optional<EndpointLayout> ParseEndpointLayout(std::span<const uint8_t> configuration);

std::array<uint8_t, kDeviceDescriptorBytes> EncodeDeviceDescriptor(const libusb_device_descriptor& descriptor);

}  // namespace velix::driver
