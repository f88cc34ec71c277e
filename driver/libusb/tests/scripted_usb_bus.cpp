// libusb's functions, as the edge calls them, over the scripted bus.
#include "driver/libusb/tests/scripted_usb_bus.h"

#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>

struct libusb_context {};
struct libusb_device {
  int number = 0;  // the device's number on the scripted bus
};
struct libusb_device_handle {
  libusb_device* device = nullptr;
};

namespace velix::driver::scripted_usb {
namespace {

constexpr uint8_t kGetDescriptor = 0x06;
constexpr uint8_t kConfigurationType = 0x02;

// One interface: interrupt IN, bulk IN and bulk OUT, 512-byte packets.
constexpr uint8_t kConfiguration[] = {
    9, 2, 39, 0, 1, 1, 0, 0x80, 50,                 // configuration
    9, 4, 0, 0, 3, 0xFF, 0, 0, 0,                   // interface 0
    7, 5, kInterruptIn, 0x03, 2, 0, 1,              // interrupt IN
    7, 5, kBulkIn, 0x02, 0x00, 0x02, 0,             // bulk IN
    7, 5, kBulkOut, 0x02, 0x00, 0x02, 0,            // bulk OUT
};

struct Device {
  DeviceSetup setup;
  bool present = true;
  int open_attempts = 0;
  std::unique_ptr<libusb_device> current;
};

struct Hotplug {
  int handle = 0;
  int events = 0;
  UsbId id;
  libusb_hotplug_callback_fn callback = nullptr;
  void* user_data = nullptr;
};

// Something for the event handling to deliver.
struct Event {
  libusb_transfer* transfer = nullptr;  // a completion, or else a hot-plug notice
  libusb_device* device = nullptr;
  libusb_hotplug_event hotplug{};
};

struct Bus {
  std::mutex mu;
  std::condition_variable changed;
  bool hotplug = true;
  libusb_context context;
  std::vector<Device> devices;
  std::vector<Hotplug> hotplugs;
  int last_hotplug = 0;
  std::vector<libusb_transfer*> queued;
  std::deque<Event> events;
  bool interrupted = false;
  bool delivering = false;
  bool out_accepted = true;
  bool cancel_ignored = false;
  int reset_error = 0;
  size_t live_transfers = 0;
  std::vector<std::unique_ptr<libusb_device_handle>> handles;
  std::vector<ControlCall> vendor_calls;
  std::vector<uint8_t> cleared_halts;
  std::vector<std::vector<uint8_t>> bulk_out;
};

Bus& TheBus() {
  static Bus bus;
  return bus;
}

Device& DeviceOf(Bus& bus, const libusb_device* device) { return bus.devices[static_cast<size_t>(device->number)]; }

bool Reachable(Bus& bus, const libusb_device* device) {
  const Device& d = DeviceOf(bus, device);
  return d.present && d.current.get() == device;
}

void AnnounceLocked(Bus& bus, libusb_device* device, libusb_hotplug_event event) {
  bus.events.push_back({nullptr, device, event});
  bus.changed.notify_all();
}

void FinishLocked(Bus& bus, libusb_transfer* transfer, libusb_transfer_status status, int actual) {
  bus.queued.erase(std::find(bus.queued.begin(), bus.queued.end(), transfer));
  transfer->status = status;
  transfer->actual_length = actual;
  bus.events.push_back({transfer, nullptr, {}});
  bus.changed.notify_all();
}

void Deliver(Bus& bus, const Event& event) {
  if (event.transfer) {
    event.transfer->callback(event.transfer);
    return;
  }
  std::vector<Hotplug> hotplugs;
  UsbId id;
  {
    std::lock_guard lock(bus.mu);
    hotplugs = bus.hotplugs;
    id = DeviceOf(bus, event.device).setup.id;
  }
  for (const Hotplug& h : hotplugs) {
    if ((h.events & event.hotplug) && h.id == id) h.callback(&bus.context, event.device, event.hotplug, h.user_data);
  }
}

}  // namespace

void Reset(bool hotplug) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  bus.hotplug = hotplug;
  bus.devices.clear();
  bus.hotplugs.clear();
  bus.queued.clear();
  bus.events.clear();
  bus.interrupted = false;
  bus.out_accepted = true;
  bus.cancel_ignored = false;
  bus.reset_error = 0;
  bus.handles.clear();
  bus.vendor_calls.clear();
  bus.cleared_halts.clear();
  bus.bulk_out.clear();
}

int Plug(const DeviceSetup& setup) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  const int number = static_cast<int>(bus.devices.size());
  Device device;
  device.setup = setup;
  device.current = std::make_unique<libusb_device>(libusb_device{number});
  bus.devices.push_back(std::move(device));
  AnnounceLocked(bus, bus.devices.back().current.get(), LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED);
  return number;
}

void Unplug(int number) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  Device& device = bus.devices[static_cast<size_t>(number)];
  device.present = false;
  const std::vector<libusb_transfer*> queued = bus.queued;
  for (libusb_transfer* transfer : queued) {
    if (transfer->dev_handle->device == device.current.get()) FinishLocked(bus, transfer, LIBUSB_TRANSFER_NO_DEVICE, 0);
  }
  AnnounceLocked(bus, device.current.get(), LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT);
}

void SetOpenError(int number, int error) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  bus.devices[static_cast<size_t>(number)].setup.open_error = error;
}

int OpenAttempts(int number) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  return bus.devices[static_cast<size_t>(number)].open_attempts;
}

bool KernelDriverBound(int number) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  return bus.devices[static_cast<size_t>(number)].setup.kernel_driver_bound;
}

void SetBulkOutAccepted(bool accepted) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  bus.out_accepted = accepted;
}

void SetCancelIgnored(bool ignored) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  bus.cancel_ignored = ignored;
}

void SetResetError(int error) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  bus.reset_error = error;
}

bool CompleteOldest(uint8_t endpoint, std::span<const uint8_t> data) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  const auto it = std::find_if(bus.queued.begin(), bus.queued.end(),
                               [endpoint](const libusb_transfer* t) { return t->endpoint == endpoint; });
  if (it == bus.queued.end()) return false;
  libusb_transfer* transfer = *it;
  const size_t n = std::min(data.size(), static_cast<size_t>(transfer->length));
  std::memcpy(transfer->buffer, data.data(), n);
  FinishLocked(bus, transfer, LIBUSB_TRANSFER_COMPLETED, static_cast<int>(n));
  return true;
}

size_t Queued(uint8_t endpoint) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  return static_cast<size_t>(std::count_if(bus.queued.begin(), bus.queued.end(),
                                           [endpoint](const libusb_transfer* t) { return t->endpoint == endpoint; }));
}

size_t LiveTransfers() {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  return bus.live_transfers;
}

void WaitUntilIdle() {
  Bus& bus = TheBus();
  std::unique_lock lock(bus.mu);
  bus.changed.wait(lock, [&] { return bus.events.empty() && !bus.delivering; });
}

std::vector<ControlCall> VendorCalls() {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  return bus.vendor_calls;
}

std::vector<uint8_t> ClearedHalts() {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  return bus.cleared_halts;
}

std::vector<std::vector<uint8_t>> BulkOutData() {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  return bus.bulk_out;
}

}  // namespace velix::driver::scripted_usb

using velix::driver::scripted_usb::Bus;
using velix::driver::scripted_usb::kConfiguration;
using velix::driver::scripted_usb::kConfigurationType;
using velix::driver::scripted_usb::kGetDescriptor;
using velix::driver::scripted_usb::TheBus;

extern "C" {

int libusb_init(libusb_context** context) {
  *context = &TheBus().context;
  return LIBUSB_SUCCESS;
}

void libusb_exit(libusb_context*) {}

int libusb_has_capability(uint32_t capability) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  return capability == LIBUSB_CAP_HAS_HOTPLUG && bus.hotplug ? 1 : 0;
}

const char* libusb_error_name(int) { return "LIBUSB_ERROR_SCRIPTED"; }
const char* libusb_strerror(int) { return "scripted failure"; }

int libusb_hotplug_register_callback(libusb_context*, int events, int, int vendor_id, int product_id, int,
                                     libusb_hotplug_callback_fn callback, void* user_data,
                                     libusb_hotplug_callback_handle* handle) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  const velix::driver::UsbId id{static_cast<uint16_t>(vendor_id), static_cast<uint16_t>(product_id)};
  bus.hotplugs.push_back({++bus.last_hotplug, events, id, callback, user_data});
  *handle = bus.last_hotplug;
  return LIBUSB_SUCCESS;
}

void libusb_hotplug_deregister_callback(libusb_context*, libusb_hotplug_callback_handle handle) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  std::erase_if(bus.hotplugs, [handle](const auto& h) { return h.handle == handle; });
}

int libusb_handle_events_timeout_completed(libusb_context*, timeval* wait, int*) {
  Bus& bus = TheBus();
  std::deque<velix::driver::scripted_usb::Event> events;
  {
    std::unique_lock lock(bus.mu);
    const auto limit = std::chrono::seconds(wait->tv_sec) + std::chrono::microseconds(wait->tv_usec);
    bus.changed.wait_for(lock, limit, [&] { return !bus.events.empty() || bus.interrupted; });
    bus.interrupted = false;
    events.swap(bus.events);
    bus.delivering = !events.empty();
  }
  for (const auto& event : events) Deliver(bus, event);
  std::lock_guard lock(bus.mu);
  bus.delivering = false;
  bus.changed.notify_all();
  return LIBUSB_SUCCESS;
}

void libusb_interrupt_event_handler(libusb_context*) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  bus.interrupted = true;
  bus.changed.notify_all();
}

ssize_t libusb_get_device_list(libusb_context*, libusb_device*** list) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  std::vector<libusb_device*> present;
  for (auto& device : bus.devices) {
    if (device.present) present.push_back(device.current.get());
  }
  *list = new libusb_device*[present.size() + 1]();
  std::copy(present.begin(), present.end(), *list);
  return static_cast<ssize_t>(present.size());
}

void libusb_free_device_list(libusb_device** list, int) { delete[] list; }
libusb_device* libusb_ref_device(libusb_device* device) { return device; }
void libusb_unref_device(libusb_device*) {}

int libusb_get_device_descriptor(libusb_device* device, libusb_device_descriptor* descriptor) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  *descriptor = {};
  descriptor->bLength = 18;
  descriptor->bDescriptorType = LIBUSB_DT_DEVICE;
  descriptor->bcdUSB = 0x0200;
  descriptor->bMaxPacketSize0 = 64;
  descriptor->idVendor = DeviceOf(bus, device).setup.id.vendor_id;
  descriptor->idProduct = DeviceOf(bus, device).setup.id.product_id;
  descriptor->bNumConfigurations = 1;
  return LIBUSB_SUCCESS;
}

int libusb_get_active_config_descriptor(libusb_device*, libusb_config_descriptor** config) {
  *config = new libusb_config_descriptor{};
  (*config)->bConfigurationValue = 1;
  return LIBUSB_SUCCESS;
}

int libusb_get_config_descriptor(libusb_device* device, uint8_t, libusb_config_descriptor** config) {
  return libusb_get_active_config_descriptor(device, config);
}

void libusb_free_config_descriptor(libusb_config_descriptor* config) { delete config; }

int libusb_open(libusb_device* device, libusb_device_handle** handle) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  if (!Reachable(bus, device)) return LIBUSB_ERROR_NO_DEVICE;
  ++DeviceOf(bus, device).open_attempts;
  if (const int error = DeviceOf(bus, device).setup.open_error) return error;
  bus.handles.push_back(std::make_unique<libusb_device_handle>(libusb_device_handle{device}));
  *handle = bus.handles.back().get();
  return LIBUSB_SUCCESS;
}

void libusb_close(libusb_device_handle* handle) {
  // Transfers still queued leave libusb's lists without their callbacks; it
  // is up to their owner to free them.
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  std::erase_if(bus.queued, [handle](libusb_transfer* t) {
    if (t->dev_handle != handle) return false;
    t->dev_handle = nullptr;
    return true;
  });
}

libusb_device* libusb_get_device(libusb_device_handle* handle) { return handle->device; }

int libusb_kernel_driver_active(libusb_device_handle* handle, int) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  return DeviceOf(bus, handle->device).setup.kernel_driver_bound ? 1 : 0;
}

int libusb_detach_kernel_driver(libusb_device_handle* handle, int) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  DeviceOf(bus, handle->device).setup.kernel_driver_bound = false;
  return LIBUSB_SUCCESS;
}

int libusb_attach_kernel_driver(libusb_device_handle* handle, int) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  DeviceOf(bus, handle->device).setup.kernel_driver_bound = true;
  return LIBUSB_SUCCESS;
}

int libusb_claim_interface(libusb_device_handle*, int) { return LIBUSB_SUCCESS; }
int libusb_release_interface(libusb_device_handle*, int) { return LIBUSB_SUCCESS; }

libusb_transfer* libusb_alloc_transfer(int) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  ++bus.live_transfers;
  return static_cast<libusb_transfer*>(std::calloc(1, sizeof(libusb_transfer)));
}

void libusb_free_transfer(libusb_transfer* transfer) {
  if (!transfer) return;
  Bus& bus = TheBus();
  {
    std::lock_guard lock(bus.mu);
    --bus.live_transfers;
  }
  std::free(transfer);
}

int libusb_submit_transfer(libusb_transfer* transfer) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  if (!Reachable(bus, transfer->dev_handle->device)) return LIBUSB_ERROR_NO_DEVICE;
  bus.queued.push_back(transfer);
  if (transfer->endpoint == velix::driver::scripted_usb::kBulkOut && bus.out_accepted) {
    bus.bulk_out.emplace_back(transfer->buffer, transfer->buffer + transfer->length);
    FinishLocked(bus, transfer, LIBUSB_TRANSFER_COMPLETED, transfer->length);
  }
  return LIBUSB_SUCCESS;
}

int libusb_cancel_transfer(libusb_transfer* transfer) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  if (std::find(bus.queued.begin(), bus.queued.end(), transfer) == bus.queued.end()) return LIBUSB_ERROR_NOT_FOUND;
  if (!bus.cancel_ignored) FinishLocked(bus, transfer, LIBUSB_TRANSFER_CANCELLED, 0);
  return LIBUSB_SUCCESS;
}

int libusb_control_transfer(libusb_device_handle* handle, uint8_t request_type, uint8_t request, uint16_t value,
                            uint16_t index, unsigned char* data, uint16_t length, unsigned int) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  if (!Reachable(bus, handle->device)) return LIBUSB_ERROR_NO_DEVICE;
  // As Linux's usbfs: one page per data stage at most.
  if (length > 4096) return LIBUSB_ERROR_INVALID_PARAM;
  const bool in = (request_type & LIBUSB_ENDPOINT_IN) != 0;
  if ((request_type & 0x60) == LIBUSB_REQUEST_TYPE_STANDARD) {
    if (request == kGetDescriptor && (value >> 8) == kConfigurationType) {
      const size_t n = std::min<size_t>(length, sizeof kConfiguration);
      std::memcpy(data, kConfiguration, n);
      return static_cast<int>(n);
    }
    return 0;
  }
  bus.vendor_calls.push_back({request_type, request, value, index, length});
  // An IN request reads the device's memory at wValue; each byte is the low
  // byte of its address.
  if (in) {
    for (uint16_t i = 0; i < length; ++i) data[i] = static_cast<uint8_t>(value + i);
  }
  return length;
}

int libusb_clear_halt(libusb_device_handle*, unsigned char endpoint) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  bus.cleared_halts.push_back(endpoint);
  return LIBUSB_SUCCESS;
}

int libusb_reset_device(libusb_device_handle*) {
  Bus& bus = TheBus();
  std::lock_guard lock(bus.mu);
  return bus.reset_error;
}

}  // extern "C"
