#include "driver/libusb/libusb_session.h"

#include <algorithm>
#include <vector>

namespace velix::driver {
namespace {

constexpr int kInterface = 0;

// The index (not the value) of the active configuration; the first one when
// the device is not configured.
uint8_t ActiveConfigIndex(libusb_device* device) {
  libusb_config_descriptor* active = nullptr;
  if (libusb_get_active_config_descriptor(device, &active) != LIBUSB_SUCCESS) return 0;
  const uint8_t value = active->bConfigurationValue;
  libusb_free_config_descriptor(active);

  libusb_device_descriptor descriptor;
  if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS) return 0;
  for (uint8_t index = 0; index < descriptor.bNumConfigurations; ++index) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_config_descriptor(device, index, &config) != LIBUSB_SUCCESS) continue;
    const bool match = config->bConfigurationValue == value;
    libusb_free_config_descriptor(config);
    if (match) return index;
  }
  return 0;
}

}  // namespace

std::unique_ptr<LibusbSession> LibusbSession::Open(libusb_device* device, uint64_t serial, int* error) {
  libusb_device_descriptor descriptor;
  *error = libusb_get_device_descriptor(device, &descriptor);
  if (*error != LIBUSB_SUCCESS) return nullptr;

  libusb_device_handle* handle = nullptr;
  *error = libusb_open(device, &handle);
  if (*error != LIBUSB_SUCCESS) return nullptr;
  std::unique_ptr<LibusbSession> session(new LibusbSession(handle, serial));
  session->id_ = {descriptor.idVendor, descriptor.idProduct};
  session->config_index_ = ActiveConfigIndex(device);

  *error = session->Claim();
  if (*error == LIBUSB_SUCCESS) *error = session->ReadEndpoints();
  if (*error != LIBUSB_SUCCESS) return nullptr;
  return session;
}

LibusbSession::~LibusbSession() {
  if (claimed_) libusb_release_interface(handle_, kInterface);
  if (kernel_driver_detached_) libusb_attach_kernel_driver(handle_, kInterface);
  libusb_close(handle_);
}

int LibusbSession::Claim() {
  // Platforms without kernel drivers answer NOT_SUPPORTED: nothing to detach.
  if (libusb_kernel_driver_active(handle_, kInterface) == 1) {
    const int detached = libusb_detach_kernel_driver(handle_, kInterface);
    if (detached != LIBUSB_SUCCESS) return detached;
    kernel_driver_detached_ = true;
  }
  const int claimed = libusb_claim_interface(handle_, kInterface);
  claimed_ = claimed == LIBUSB_SUCCESS;
  return claimed;
}

// Reads the configuration as the device sends it: the header for its total
// length, then the whole.
int LibusbSession::ReadEndpoints() {
  std::vector<uint8_t> bytes(kConfigurationHeaderBytes);
  int got = libusb_get_descriptor(handle_, LIBUSB_DT_CONFIG, config_index_, bytes.data(),
                                  static_cast<int>(bytes.size()));
  if (got < 0) return got;
  if (static_cast<size_t>(got) < kConfigurationHeaderBytes) return LIBUSB_ERROR_IO;
  const uint16_t total = static_cast<uint16_t>(bytes[2] | (bytes[3] << 8));
  bytes.resize(std::clamp<size_t>(total, kConfigurationHeaderBytes, kMaxControlStageBytes));
  got = libusb_get_descriptor(handle_, LIBUSB_DT_CONFIG, config_index_, bytes.data(),
                              static_cast<int>(bytes.size()));
  if (got < 0) return got;
  bytes.resize(static_cast<size_t>(got));
  const std::optional<EndpointLayout> layout = ParseEndpointLayout(bytes);
  if (!layout) return LIBUSB_ERROR_IO;
  endpoints_ = *layout;
  return LIBUSB_SUCCESS;
}

}  // namespace velix::driver
