#include "Firmup/ram_loader.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "Firmup/device_finder.h"
#include "Firmup/loader_image.h"
#include "Firmup/vendor_request.h"

namespace velix::firmup {
namespace {

constexpr uint8_t kRamLoadRequest = 0xA0;
constexpr uint16_t kCpuControlAddress = 0xE600;  // CPUCS
constexpr uint8_t kCpuHoldInReset = 0x01;
constexpr uint8_t kCpuRun = 0x00;
constexpr uint8_t kLoaderEepromRequest = 0xE0;
// The controller leaves the bus and enumerates again as the loader.
constexpr auto kReEnumerationTime = std::chrono::milliseconds(500);

bool WriteRam(platform::DeviceFile* file, uint16_t address, std::span<uint8_t> data) {
  VendorTransfer transfer;
  transfer.request = kRamLoadRequest;
  transfer.value = address;
  transfer.data = data;
  return SendVendorRequest(file, transfer);
}

bool WriteCpuControl(platform::DeviceFile* file, uint8_t value) {
  std::array<uint8_t, 1> byte = {value};
  return WriteRam(file, kCpuControlAddress, byte);
}

}  // namespace

bool DownloadLoader() {
  DeviceHandle device = OpenDevice(Personality::kBareFx2, OpenKind::kPlain);
  if (!device.valid()) return false;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!WriteCpuControl(device.get(), kCpuHoldInReset)) return false;
  }
  for (const LoaderRecordBytes& bytes : LoaderImage()) {
    const LoaderRecord record = DecodeLoaderRecord(bytes);
    if (record.type != kLoaderDataRecord) break;
    std::array<uint8_t, kLoaderRecordDataBytes> data{};
    std::copy(record.data.begin(), record.data.end(), data.begin());
    if (!WriteRam(device.get(), record.address, std::span(data).first(record.data.size()))) return false;
  }
  // The controller drops off the bus as the loader starts, so this request
  // may well report a failure.
  WriteCpuControl(device.get(), kCpuRun);
  device.Close();
  std::this_thread::sleep_for(kReEnumerationTime);
  return true;
}

bool LoaderEepromTransfer(uint16_t address, bool read, std::span<uint8_t> data) {
  const DeviceHandle device = OpenDevice(Personality::kRamLoader, OpenKind::kPlain);
  if (!device.valid()) return false;
  VendorTransfer transfer;
  transfer.request = kLoaderEepromRequest;
  transfer.value = address;
  transfer.device_to_host = read;
  transfer.data = data;
  return SendVendorRequest(device.get(), transfer);
}

}  // namespace velix::firmup
