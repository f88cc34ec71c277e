#include "driver/daemon/hardware_edge.h"

#include "driver/libusb/libusb_lower_edge.h"
#include "platform/device_wire.h"

namespace velix::daemon {
namespace {

class HardwareBackend : public EdgeBackend {
 public:
  bool Open(std::string* error) { return edge_.Open(error); }
  driver::UsbLowerEdge& Edge() override { return edge_; }
  bool Present() override { return edge_.OpenedDeviceId().has_value(); }
  void PowerOn() override {}
  void PowerOff() override { edge_.Close(); }
  void ServeControl(int fd) override {
    static constexpr std::string_view kReply = "ok=0\nerror=not a simulated device\n";
    platform::SendAll(fd, {reinterpret_cast<const uint8_t*>(kReply.data()), kReply.size()});
  }

 private:
  driver::LibusbLowerEdge edge_;
};

}  // namespace

std::unique_ptr<EdgeBackend> CreateHardwareBackend(std::string* error) {
  auto backend = std::make_unique<HardwareBackend>();
  if (!backend->Open(error)) return nullptr;
  return backend;
}

}  // namespace velix::daemon
