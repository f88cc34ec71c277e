#include "driver/daemon/device_host.h"

#include <cstdio>

#include "driver/daemon/client_session.h"
#include "platform/device_names.h"

namespace velix::daemon {
namespace {

constexpr size_t kDeviceDescriptorBytes = 18;
// The instance part of the interface path; one analyzer is served at a time.
constexpr std::string_view kInterfaceInstance = "velix0";

}  // namespace

DeviceHost::DeviceHost(driver::UsbLowerEdge& edge, DaemonServer& server) : edge_(edge), server_(server) {}

DeviceHost::~DeviceHost() { Shutdown(); }

void DeviceHost::Start() {
  edge_.SetPresenceListener([this](bool arrived) {
    std::lock_guard lock(lock_);
    // Marking the device gone only sets flags, so it is done at once: a
    // client woken by the end of its stream then finds the device removed,
    // not a transfer failure. Publishing and removal wait for the host's
    // thread.
    if (!arrived && device_) device_->SurpriseRemoval();
    news_.push_back(arrived);
    news_ready_.notify_one();
  });
  thread_ = std::thread([this] { Run(); });
}

void DeviceHost::Shutdown() {
  if (!thread_.joinable()) return;
  edge_.SetPresenceListener(nullptr);
  {
    std::lock_guard lock(lock_);
    quit_ = true;
    news_ready_.notify_one();
  }
  thread_.join();
  Depart();
}

std::shared_ptr<driver::DeviceObject> DeviceHost::CurrentDevice() {
  std::lock_guard lock(lock_);
  return device_;
}

void DeviceHost::Run() {
  for (;;) {
    bool arrived;
    {
      std::unique_lock lock(lock_);
      news_ready_.wait(lock, [this] { return quit_ || !news_.empty(); });
      if (quit_) return;
      arrived = news_.front();
      news_.pop_front();
    }
    if (arrived) {
      Arrive();
    } else {
      Depart();
    }
  }
}

void DeviceHost::Arrive() {
  if (CurrentDevice()) Depart();
  auto device = std::make_shared<driver::DeviceObject>(edge_);
  const driver::NtStatus status = device->StartDevice();
  uint8_t descriptor[kDeviceDescriptorBytes] = {};
  uint32_t length = 0;
  if (!driver::NtSuccess(status) ||
      !driver::NtSuccess(edge_.GetDescriptor(driver::DescriptorType::kDevice, descriptor, &length)) ||
      length < kDeviceDescriptorBytes) {
    std::fprintf(stderr, "velixd: the device arrived but could not be started (status 0x%08X)\n", status);
    return;
  }
  const auto vendor_id = static_cast<uint16_t>(descriptor[8] | (descriptor[9] << 8));
  const auto product_id = static_cast<uint16_t>(descriptor[10] | (descriptor[11] << 8));
  {
    std::lock_guard lock(lock_);
    device_ = device;
    interface_name_ = platform::InterfaceSocketName(vendor_id, product_id, kInterfaceInstance);
  }
  // Every name reaches the same device object.
  const DeviceLookup lookup = [this] { return CurrentDevice(); };
  const SessionBody body = [lookup](int fd) { RunClientSession(fd, lookup); };
  std::string error;
  for (const std::string& name : {interface_name_, std::string(platform::kDriverDeviceName)}) {
    if (!server_.Publish(name, body, &error)) std::fprintf(stderr, "velixd: %s\n", error.c_str());
  }
  std::fprintf(stderr, "velixd: device %04X:%04X started\n", vendor_id, product_id);
}

void DeviceHost::Depart() {
  std::shared_ptr<driver::DeviceObject> device;
  std::string interface_name;
  {
    std::lock_guard lock(lock_);
    device.swap(device_);
    interface_name.swap(interface_name_);
  }
  if (!device) return;
  server_.Withdraw(std::string(platform::kDriverDeviceName));
  server_.Withdraw(interface_name);
  // Open handles keep the device object for reading what it stored; the
  // last one to close removes it.
  device->SurpriseRemoval();
  if (device->OpenHandles() == 0) device->RemoveDevice();
  std::fprintf(stderr, "velixd: device removed\n");
}

}  // namespace velix::daemon
