#include "tools/velixctl/control_codes.h"

#include <array>

#include "velix/device_interface.h"
#include "tools/velixctl/arguments.h"

namespace velix::ctl {
namespace {

struct NamedCode {
  std::string_view name;
  uint32_t code;
};

constexpr std::array kCodes{
    NamedCode{"GET_CONFIG_DESCRIPTOR", driver::IOCTL_BULKUSB_GET_CONFIG_DESCRIPTOR},
    NamedCode{"RESET_DEVICE", driver::IOCTL_BULKUSB_RESET_DEVICE},
    NamedCode{"RESET_PIPE", driver::IOCTL_BULKUSB_RESET_PIPE},
    NamedCode{"VENDOR_REQUEST", driver::IOCTL_BULKUSB_VENDOR_REQUEST},
    NamedCode{"BULK_START", driver::IOCTL_BULKUSB_BULK_START},
    NamedCode{"BULK_STOP", driver::IOCTL_BULKUSB_BULK_STOP},
    NamedCode{"RESERVED6", driver::IOCTL_BULKUSB_RESERVED6},
    NamedCode{"RESERVED7", driver::IOCTL_BULKUSB_RESERVED7},
    NamedCode{"GET_STATUS", driver::IOCTL_BULKUSB_GET_STATUS},
    NamedCode{"GET_COUNT", driver::IOCTL_BULKUSB_GET_COUNT},
    NamedCode{"SET_BUFFER_SIZE", driver::IOCTL_BULKUSB_SET_BUFFER_SIZE},
    NamedCode{"SET_ONE_TRANSFER_LENGTH", driver::IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH},
    NamedCode{"GET_DRIVER_VERSION", driver::IOCTL_BULKUSB_GET_DRIVER_VERSION},
    NamedCode{"GET_USB_SPEED", driver::IOCTL_BULKUSB_GET_USB_SPEED},
    NamedCode{"FIRM_COMMAND", driver::IOCTL_BULKUSB_FIRM_COMMAND},
    NamedCode{"FILL_BUFFER", driver::IOCTL_BULKUSB_FILL_BUFFER},
    NamedCode{"RESET_BUFFER", driver::IOCTL_BULKUSB_RESET_BUFFER},
    NamedCode{"SET_ONE_TRANSFER_EVENT", driver::IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT},
};

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char ca = (a[i] >= 'a' && a[i] <= 'z') ? static_cast<char>(a[i] - 'a' + 'A') : a[i];
    if (ca != b[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<uint32_t> ParseControlCode(std::string_view text) {
  uint64_t number = 0;
  if (ParseUnsigned(text, UINT32_MAX, &number)) return static_cast<uint32_t>(number);
  for (const NamedCode& named : kCodes) {
    if (EqualIgnoringCase(text, named.name)) return named.code;
  }
  return std::nullopt;
}

std::string_view ControlCodeName(uint32_t code) {
  for (const NamedCode& named : kCodes) {
    if (named.code == code) return named.name;
  }
  return {};
}

std::vector<std::string_view> ControlCodeNames() {
  std::vector<std::string_view> names;
  for (const NamedCode& named : kCodes) names.push_back(named.name);
  return names;
}

}  // namespace velix::ctl
