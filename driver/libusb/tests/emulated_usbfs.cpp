#include "driver/libusb/tests/emulated_usbfs.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>

namespace velix::driver::emulated {
namespace {

constexpr uint8_t kRequestTypeMask = 0x60;
constexpr uint8_t kVendorRequest = 0x40;
constexpr size_t kSetupBytes = 8;
constexpr uint8_t kGetDescriptor = 0x06;
constexpr int kConfigurationType = 0x02;
constexpr size_t kDeviceDescriptorBytes = 18;

// The device descriptor, then one configuration: interface 0 with interrupt
// IN, bulk IN and bulk OUT, 512-byte packets.
std::vector<uint8_t> Descriptors(UsbId id) {
  return {18, 1, 0x00, 0x02, 0xFF, 0, 0, 64,
          static_cast<uint8_t>(id.vendor_id), static_cast<uint8_t>(id.vendor_id >> 8),
          static_cast<uint8_t>(id.product_id), static_cast<uint8_t>(id.product_id >> 8),
          0, 1, 0, 0, 0, 1,
          9, 2, 39, 0, 1, 1, 0, 0x80, 50,
          9, 4, 0, 0, 3, 0xFF, 0, 0, 0,
          7, 5, kInterruptIn, 0x03, 2, 0, 1,
          7, 5, kBulkIn, 0x02, 0x00, 0x02, 0,
          7, 5, kBulkOut, 0x02, 0x00, 0x02, 0};
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string text;
  char digits[3];
  for (const uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", b);
    text += digits;
  }
  return text;
}

// A URB as libusb submitted it: its record and its buffer in libusb's memory.
struct Urb {
  UMockdevIoctlData* record = nullptr;
  UMockdevIoctlData* buffer = nullptr;
  usbdevfs_urb* fields() const { return reinterpret_cast<usbdevfs_urb*>(record->data); }
};

}  // namespace

struct BusState {
  struct Device {
    BusState* bus = nullptr;
    UsbId id;
    std::string sysfs_path;
    std::string node;
    std::string driver;
    bool claimed = false;
    bool gone = false;
    bool out_refused = false;
    std::deque<Urb> queued;
    std::deque<Urb> reapable;
    std::vector<VendorCall> vendor_calls;
    std::vector<std::vector<uint8_t>> bulk_out;
    UMockdevIoctlBase* handler = nullptr;
  };

  UMockdevTestbed* testbed = nullptr;
  std::mutex mu;
  std::vector<std::unique_ptr<Device>> devices;

  Device& At(int number) { return *devices[static_cast<size_t>(number)]; }
};

namespace {

void Finish(std::deque<Urb>* from, std::deque<Urb>* to, std::deque<Urb>::iterator urb, int status, int actual) {
  urb->fields()->status = status;
  urb->fields()->actual_length = actual;
  to->push_back(*urb);
  from->erase(urb);
}

void Release(Urb& urb) {
  g_object_unref(urb.buffer);
  g_object_unref(urb.record);
}

// Answers one usbfs request; runs on umockdev's worker thread.
gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer user_data) {
  auto* device = static_cast<BusState::Device*>(user_data);
  std::lock_guard lock(device->bus->mu);
  const unsigned long request = umockdev_ioctl_client_get_request(client);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  const auto answer = [client](long result, int error) {
    umockdev_ioctl_client_complete(client, result, error);
    return TRUE;
  };
  if (device->gone && request != USBDEVFS_REAPURBNDELAY && request != USBDEVFS_REAPURB) return answer(-1, ENODEV);
  switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
      UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), nullptr);
      const uint32_t value = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
      std::memcpy(caps->data, &value, sizeof value);
      g_object_unref(caps);
      return answer(0, 0);
    }
    case USBDEVFS_CLAIMINTERFACE:
      if (!device->driver.empty()) return answer(-1, EBUSY);
      device->claimed = true;
      return answer(0, 0);
    case USBDEVFS_RELEASEINTERFACE:
      device->claimed = false;
      return answer(0, 0);
    case USBDEVFS_GETDRIVER: {
      if (device->driver.empty()) return answer(-1, ENODATA);
      UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_getdriver), nullptr);
      auto* getdriver = reinterpret_cast<usbdevfs_getdriver*>(data->data);
      std::snprintf(getdriver->driver, sizeof getdriver->driver, "%s", device->driver.c_str());
      g_object_unref(data);
      return answer(0, 0);
    }
    case USBDEVFS_IOCTL: {
      UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_ioctl), nullptr);
      const int code = reinterpret_cast<usbdevfs_ioctl*>(data->data)->ioctl_code;
      g_object_unref(data);
      if (code == static_cast<int>(USBDEVFS_DISCONNECT)) device->driver.clear();
      if (code == static_cast<int>(USBDEVFS_CONNECT)) device->driver = "usbhid";
      return answer(0, 0);
    }
    case USBDEVFS_CLEAR_HALT:
      return answer(0, 0);
    case USBDEVFS_SUBMITURB: {
      Urb urb;
      urb.record = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
      urb.buffer = umockdev_ioctl_data_resolve(urb.record, offsetof(usbdevfs_urb, buffer),
                                               static_cast<size_t>(urb.fields()->buffer_length), nullptr);
      usbdevfs_urb* fields = urb.fields();
      device->queued.push_back(urb);
      const auto it = device->queued.end() - 1;
      if (fields->type == USBDEVFS_URB_TYPE_CONTROL) {
        const uint8_t request_type = urb.buffer->data[0];
        const uint16_t value = static_cast<uint16_t>(urb.buffer->data[2] | (urb.buffer->data[3] << 8));
        const int length = fields->buffer_length - static_cast<int>(kSetupBytes);
        uint8_t* stage = urb.buffer->data + kSetupBytes;
        int answered = length;
        if ((request_type & kRequestTypeMask) == kVendorRequest) {
          device->vendor_calls.push_back({urb.buffer->data[1], value, static_cast<uint16_t>(length)});
          // An IN request reads the device's memory at wValue: each byte is
          // the low byte of its address.
          if (request_type & 0x80) {
            for (int i = 0; i < length; ++i) stage[i] = static_cast<uint8_t>(value + i);
          }
        } else if (urb.buffer->data[1] == kGetDescriptor && (value >> 8) == kConfigurationType) {
          const std::vector<uint8_t> all = Descriptors(device->id);
          answered = std::min(length, static_cast<int>(all.size() - kDeviceDescriptorBytes));
          std::memcpy(stage, all.data() + kDeviceDescriptorBytes, static_cast<size_t>(answered));
        }
        Finish(&device->queued, &device->reapable, it, 0, answered);
      } else if (fields->endpoint == kBulkOut && !device->out_refused) {
        device->bulk_out.emplace_back(urb.buffer->data, urb.buffer->data + fields->buffer_length);
        Finish(&device->queued, &device->reapable, it, 0, fields->buffer_length);
      }
      return answer(0, 0);
    }
    case USBDEVFS_DISCARDURB: {
      uint64_t address = 0;
      std::memcpy(&address, arg->data, std::min<size_t>(sizeof address, static_cast<size_t>(arg->data_len)));
      const auto it = std::find_if(device->queued.begin(), device->queued.end(),
                                   [address](const Urb& u) { return u.record->client_addr == address; });
      if (it == device->queued.end()) return answer(-1, EINVAL);
      Finish(&device->queued, &device->reapable, it, -ENOENT, 0);
      return answer(0, 0);
    }
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY: {
      if (device->reapable.empty()) return answer(-1, device->gone ? ENODEV : EAGAIN);
      Urb urb = device->reapable.front();
      device->reapable.pop_front();
      UMockdevIoctlData* slot = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
      umockdev_ioctl_data_set_ptr(slot, 0, urb.record);
      g_object_unref(slot);
      Release(urb);
      return answer(0, 0);
    }
    default:
      return answer(-1, ENOTTY);
  }
}

}  // namespace

bool EmulatedUsbBus::Available() {
  const char* preload = std::getenv("LD_PRELOAD");
  return preload != nullptr && std::strstr(preload, "umockdev-preload") != nullptr;
}

EmulatedUsbBus::EmulatedUsbBus() : state_(std::make_unique<BusState>()) { state_->testbed = umockdev_testbed_new(); }

EmulatedUsbBus::~EmulatedUsbBus() {
  for (auto& device : state_->devices) {
    for (Urb& urb : device->queued) Release(urb);
    for (Urb& urb : device->reapable) Release(urb);
    g_object_unref(device->handler);
  }
  g_object_unref(state_->testbed);
}

int EmulatedUsbBus::Plug(UsbId id, const std::string& kernel_driver) {
  auto device = std::make_unique<BusState::Device>();
  device->bus = state_.get();
  device->id = id;
  device->driver = kernel_driver;
  const int number = static_cast<int>(state_->devices.size()) + 2;  // 1 is the root hub
  char path[96];
  std::snprintf(path, sizeof path, "/devices/pci0000:00/0000:00:14.0/usb1/1-%d", number);
  device->sysfs_path = std::string("/sys") + path;
  char node[32];
  std::snprintf(node, sizeof node, "bus/usb/001/%03d", number);
  device->node = std::string("/dev/") + node;
  const std::string descriptors = Hex(Descriptors(id));
  char ids[64];
  std::snprintf(ids, sizeof ids, "A: idVendor=%04x\nA: idProduct=%04x\n", id.vendor_id, id.product_id);
  const std::string record = std::string("P: ") + path + "\nN: " + node + "=" + descriptors +
                             "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: BUSNUM=001\nE: DEVNUM=" +
                             std::to_string(number) + "\nE: DEVNAME=" + device->node + "\nA: busnum=1\nA: devnum=" +
                             std::to_string(number) + "\n" + ids +
                             "A: speed=480\nA: bConfigurationValue=1\nA: bNumConfigurations=1\nH: descriptors=" +
                             descriptors + "\n";
  umockdev_testbed_add_from_string(state_->testbed, record.c_str(), nullptr);
  device->handler = umockdev_ioctl_base_new();
  g_signal_connect(device->handler, "handle-ioctl", G_CALLBACK(OnIoctl), device.get());
  umockdev_testbed_attach_ioctl(state_->testbed, device->node.c_str(), device->handler, nullptr);
  const std::string sysfs_path = device->sysfs_path;
  {
    std::lock_guard lock(state_->mu);
    state_->devices.push_back(std::move(device));
  }
  umockdev_testbed_uevent(state_->testbed, sysfs_path.c_str(), "add");
  return static_cast<int>(state_->devices.size()) - 1;
}

void EmulatedUsbBus::Unplug(int number) {
  std::string sysfs_path;
  {
    std::lock_guard lock(state_->mu);
    BusState::Device& device = state_->At(number);
    device.gone = true;
    while (!device.queued.empty()) Finish(&device.queued, &device.reapable, device.queued.begin(), -ESHUTDOWN, 0);
    sysfs_path = device.sysfs_path;
  }
  umockdev_testbed_uevent(state_->testbed, sysfs_path.c_str(), "remove");
}

void EmulatedUsbBus::SetBulkOutRefused(int number, bool refused) {
  std::lock_guard lock(state_->mu);
  state_->At(number).out_refused = refused;
}

bool EmulatedUsbBus::CompleteBulkIn(int number, std::span<const uint8_t> data) {
  std::lock_guard lock(state_->mu);
  BusState::Device& device = state_->At(number);
  const auto it = std::find_if(device.queued.begin(), device.queued.end(),
                               [](const Urb& u) { return u.fields()->endpoint == kBulkIn; });
  if (it == device.queued.end()) return false;
  const size_t n = std::min(data.size(), static_cast<size_t>(it->fields()->buffer_length));
  std::memcpy(it->buffer->data, data.data(), n);
  Finish(&device.queued, &device.reapable, it, 0, static_cast<int>(n));
  return true;
}

size_t EmulatedUsbBus::Queued(int number, uint8_t endpoint) {
  std::lock_guard lock(state_->mu);
  const BusState::Device& device = state_->At(number);
  return static_cast<size_t>(std::count_if(device.queued.begin(), device.queued.end(),
                                           [endpoint](const Urb& u) { return u.fields()->endpoint == endpoint; }));
}

bool EmulatedUsbBus::KernelDriverBound(int number) {
  std::lock_guard lock(state_->mu);
  return !state_->At(number).driver.empty();
}

bool EmulatedUsbBus::Claimed(int number) {
  std::lock_guard lock(state_->mu);
  return state_->At(number).claimed;
}

std::vector<VendorCall> EmulatedUsbBus::VendorCalls(int number) {
  std::lock_guard lock(state_->mu);
  return state_->At(number).vendor_calls;
}

std::vector<std::vector<uint8_t>> EmulatedUsbBus::BulkOutData(int number) {
  std::lock_guard lock(state_->mu);
  return state_->At(number).bulk_out;
}

}  // namespace velix::driver::emulated
