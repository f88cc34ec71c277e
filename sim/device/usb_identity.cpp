#include "sim/device/usb_identity.h"

namespace velix::sim {
namespace {

void PutLe16(std::vector<uint8_t>* out, uint16_t value) {
  out->push_back(static_cast<uint8_t>(value));
  out->push_back(static_cast<uint8_t>(value >> 8));
}

void PutEndpoint(std::vector<uint8_t>* out, uint8_t address, uint8_t attributes, uint16_t max_packet,
                 uint8_t interval) {
  out->insert(out->end(), {7, 5, address, attributes});
  PutLe16(out, max_packet);
  out->push_back(interval);
}

}  // namespace

UsbIdentity IdentityOf(Personality personality) {
  switch (personality) {
    case Personality::kOperation:
      return {0x1D9A, 0x030A};
    case Personality::kFirmwareUpdate:
      return {0x1D9A, 0x030B};
    case Personality::kBareFx2:
      return {0x04B4, 0x8613};
    case Personality::kRamLoader:
      return {0x1D9A, 0x0221};
  }
  return {0, 0};
}

std::vector<uint8_t> DeviceDescriptor(Personality personality) {
  const UsbIdentity identity = IdentityOf(personality);
  std::vector<uint8_t> out = {18, 1};
  PutLe16(&out, 0x0200);                  // bcdUSB
  out.insert(out.end(), {0xFF, 0, 0, 64});  // vendor class, control packets of 64
  PutLe16(&out, identity.vendor_id);
  PutLe16(&out, identity.product_id);
  PutLe16(&out, 0x0001);                  // bcdDevice
  out.insert(out.end(), {0, 0, 0, 1});    // no strings, one configuration
  return out;
}

std::vector<uint8_t> ConfigurationDescriptor(uint16_t max_packet, bool remote_wakeup) {
  std::vector<uint8_t> out = {9, 2};
  PutLe16(&out, 39);  // wTotalLength
  out.insert(out.end(), {1, 1, 0, static_cast<uint8_t>(0x80 | (remote_wakeup ? 0x20 : 0)), 50});
  out.insert(out.end(), {9, 4, 0, 0, 3, 0xFF, 0, 0, 0});
  PutEndpoint(&out, kInterruptInAddress, 0x03, 64, 1);
  PutEndpoint(&out, kBulkInAddress, 0x02, max_packet, 0);
  PutEndpoint(&out, kBulkOutAddress, 0x02, max_packet, 0);
  return out;
}

}  // namespace velix::sim
