#include "driver/libusb/analyzer_identity.h"

#include <algorithm>
#include <cstdio>

namespace velix::driver {
namespace {

constexpr const char* kUdevHint =
    "Install the udev rule described in docs/usb-access.md "
    "(/etc/udev/rules.d/70-velix.rules), reload it with "
    "'udevadm control --reload && udevadm trigger' and plug the analyzer in again, "
    "or run velixd as root.";

std::string AllIds() {
  std::string ids;
  for (const UsbId& id : kAnalyzerIds) {
    if (!ids.empty()) ids += ", ";
    ids += FormatUsbId(id);
  }
  return ids;
}

}  // namespace

bool IsAnalyzerId(UsbId id) {
  return std::find(kAnalyzerIds.begin(), kAnalyzerIds.end(), id) != kAnalyzerIds.end();
}

std::optional<size_t> FirstAnalyzer(std::span<const UsbId> devices) {
  const auto it = std::find_if(devices.begin(), devices.end(), IsAnalyzerId);
  if (it == devices.end()) return std::nullopt;
  return static_cast<size_t>(it - devices.begin());
}

std::string FormatUsbId(UsbId id) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x:%04x", id.vendor_id, id.product_id);
  return text;
}

std::string NoAnalyzerMessage() {
  return "No VELIX analyzer found on USB (looked for " + AllIds() +
         "). Check that it is plugged in and powered.";
}

std::string AccessDeniedMessage(UsbId id) {
  return "Access to the VELIX analyzer " + FormatUsbId(id) + " was denied. " + kUdevHint;
}

std::string DeviceBusyMessage(UsbId id) {
  return "The VELIX analyzer " + FormatUsbId(id) +
         " is in use by another program (is another velixd running?).";
}

std::string OpenFailedMessage(UsbId id, const char* reason) {
  return "The VELIX analyzer " + FormatUsbId(id) + " could not be opened: " + (reason ? reason : "unknown error") +
         ".";
}

}  // namespace velix::driver
