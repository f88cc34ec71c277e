#include "driver/libusb/analyzer_identity.h"

#include <algorithm>
#include <cstdio>

namespace velix::driver {
namespace {

constexpr const char* kUdevHint =
    "Install the udev rule (the velix-daemon package brings it; by hand, as described in "
    "docs/usb-access.md: /etc/udev/rules.d/70-velix.rules), reload it with "
    "'udevadm control --reload && udevadm trigger' and plug the analyzer in again; "
    "run velixd as a member of the velix group, or as root.";

// Best first.
constexpr std::array<UsbId, 4> kRanking = {{
    {0x1D9A, 0x030A},
    {0x1D9A, 0x030B},
    {0x1D9A, 0x0221},
    {0x04B4, 0x8613},
}};

size_t RankOf(UsbId id) {
  return static_cast<size_t>(std::find(kRanking.begin(), kRanking.end(), id) - kRanking.begin());
}

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

std::optional<size_t> PreferredAnalyzer(std::span<const UsbId> devices) {
  std::optional<size_t> best;
  for (size_t i = 0; i < devices.size(); ++i) {
    if (RankOf(devices[i]) < (best ? RankOf(devices[*best]) : kRanking.size())) best = i;
  }
  return best;
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
