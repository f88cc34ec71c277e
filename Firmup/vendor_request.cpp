#include "Firmup/vendor_request.h"

#include <array>

#include "velix/device_interface.h"

namespace velix::firmup {
namespace {

void PutLe(uint8_t* at, uint64_t value, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

bool SendVendorRequest(platform::DeviceFile* file, const VendorTransfer& transfer) {
  std::array<uint8_t, kVendorRecordBytes> record{};
  record[driver::kVendorRecordRequest] = transfer.request;
  PutLe(&record[driver::kVendorRecordValue], transfer.value, 2);
  PutLe(&record[driver::kVendorRecordIndex], transfer.index, 2);
  record[driver::kVendorRecordDirection] = transfer.device_to_host ? 1 : 0;
  const auto length = static_cast<uint32_t>(transfer.data.size());
  PutLe(&record[driver::kVendorRecordLength], length, 4);
  const auto address = reinterpret_cast<uintptr_t>(transfer.data.data());
  PutLe(&record[sizeof(void*) == 4 ? driver::kVendorRecord32Address : driver::kVendorRecord64Address], address,
        sizeof(void*));

  uint32_t moved = 0;
  const bool ok = platform::DeviceIoControl(file, driver::IOCTL_BULKUSB_VENDOR_REQUEST, record.data(),
                                            static_cast<uint32_t>(record.size()), nullptr, 0, &moved);
  return ok && moved == length;
}

}  // namespace velix::firmup
