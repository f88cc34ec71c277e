#include "driver/libusb/usb_descriptors.h"

#include <algorithm>

namespace velix::driver {
namespace {

constexpr uint8_t kConfigurationType = 2;
constexpr uint8_t kInterfaceType = 4;
constexpr uint8_t kEndpointType = 5;
constexpr size_t kEndpointDescriptorBytes = 7;
constexpr uint8_t kTransferTypeMask = 0x03;
constexpr uint8_t kTransferBulk = 0x02;
constexpr uint8_t kTransferInterrupt = 0x03;
constexpr uint8_t kDirectionIn = 0x80;
// Bits 11 and 12 count extra transactions per microframe, not bytes.
constexpr uint16_t kPacketSizeMask = 0x07FF;

uint16_t Le16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

void PutLe16(uint8_t* out, uint16_t value) {
  out[0] = static_cast<uint8_t>(value);
  out[1] = static_cast<uint8_t>(value >> 8);
}

void NoteEndpoint(std::span<const uint8_t> endpoint, EndpointLayout* layout) {
  const uint8_t address = endpoint[2];
  const uint8_t kind = endpoint[3] & kTransferTypeMask;
  const bool in = (address & kDirectionIn) != 0;
  if (kind == kTransferInterrupt && in && !layout->interrupt_in) layout->interrupt_in = address;
  if (kind != kTransferBulk) return;
  if (in && !layout->bulk_in) layout->bulk_in = address;
  if (!in && !layout->bulk_out) layout->bulk_out = address;
  layout->bulk_max_packet = Le16(endpoint, 4) & kPacketSizeMask;
}

}  // namespace

std::optional<EndpointLayout> ParseEndpointLayout(std::span<const uint8_t> configuration) {
  if (configuration.size() < kConfigurationHeaderBytes) return std::nullopt;
  if (configuration[0] < kConfigurationHeaderBytes || configuration[1] != kConfigurationType) return std::nullopt;
  const std::span<const uint8_t> bytes =
      configuration.first(std::min<size_t>(configuration.size(), Le16(configuration, 2)));

  EndpointLayout layout;
  bool in_first_interface = false;
  for (size_t at = configuration[0]; at + 2 <= bytes.size();) {
    const size_t length = bytes[at];
    if (length < 2 || length > bytes.size() - at) break;
    const uint8_t type = bytes[at + 1];
    if (type == kInterfaceType) {
      if (in_first_interface) break;
      in_first_interface = true;
    } else if (type == kEndpointType && in_first_interface && length >= kEndpointDescriptorBytes) {
      NoteEndpoint(bytes.subspan(at, length), &layout);
    }
    at += length;
  }
  return layout;
}

std::array<uint8_t, kDeviceDescriptorBytes> EncodeDeviceDescriptor(const libusb_device_descriptor& descriptor) {
  std::array<uint8_t, kDeviceDescriptorBytes> out{};
  out[0] = descriptor.bLength;
  out[1] = descriptor.bDescriptorType;
  PutLe16(&out[2], descriptor.bcdUSB);
  out[4] = descriptor.bDeviceClass;
  out[5] = descriptor.bDeviceSubClass;
  out[6] = descriptor.bDeviceProtocol;
  out[7] = descriptor.bMaxPacketSize0;
  PutLe16(&out[8], descriptor.idVendor);
  PutLe16(&out[10], descriptor.idProduct);
  PutLe16(&out[12], descriptor.bcdDevice);
  out[14] = descriptor.iManufacturer;
  out[15] = descriptor.iProduct;
  out[16] = descriptor.iSerialNumber;
  out[17] = descriptor.bNumConfigurations;
  return out;
}

}  // namespace velix::driver
