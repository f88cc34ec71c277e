#pragma once
// The four identities under which the analyzer shows up on the bus, how the
// daemon picks one device among many, and the messages it prints when it
// cannot reach one.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace velix::driver {

struct UsbId {
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
  friend bool operator==(const UsbId&, const UsbId&) = default;
};

// Operation mode, firmware update mode, the bare controller without firmware
// and the RAM loader that runs after a firmware download.
inline constexpr std::array<UsbId, 4> kAnalyzerIds = {{
    {0x1D9A, 0x030A},
    {0x1D9A, 0x030B},
    {0x04B4, 0x8613},
    {0x1D9A, 0x0221},
}};

bool IsAnalyzerId(UsbId id);

// Index of the analyzer to serve among the devices in bus order: the best
// ranked identity, the first in bus order among equals. Operation mode ranks
// first; the controller's factory identity last, since any bare board built
// on the same controller shows it too.
std::optional<size_t> PreferredAnalyzer(std::span<const UsbId> devices);

// "1d9a:030a", the form lsusb and udev use.
std::string FormatUsbId(UsbId id);

// Messages for the daemon's user when no analyzer can be opened.
std::string NoAnalyzerMessage();
std::string AccessDeniedMessage(UsbId id);
std::string DeviceBusyMessage(UsbId id);
std::string OpenFailedMessage(UsbId id, const char* reason);

}  // namespace velix::driver
