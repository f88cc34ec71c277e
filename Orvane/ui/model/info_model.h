#pragma once
// What the "Information" dialog shows, without the dialog: the device's
// connection, mode and versions from its info bytes, the machine's memory,
// and the live buffer while one is committed. The dialog asks the device
// once 50 ms after it opens and then every 5 s.

#include <cstdint>
#include <optional>
#include <string>

#include "Orvane/capture/driver_client.h"

namespace orvane {

inline constexpr int kInfoFirstPollMs = 50;
inline constexpr int kInfoPollPeriodMs = 5000;

// Colours as 0x00BBGGRR: orange for the analyzer firmware, green for the
// monitor firmware.
inline constexpr uint32_t kAnalyzerModeColour = 0x1080C0;
inline constexpr uint32_t kMonitorModeColour = 0x109F10;

// One look at the device.
struct DeviceProbe {
  bool opened = false;         // the device could be opened
  bool versions_read = false;  // and it answered the version query
  DeviceInfo info{};
};

// Opens the device when the client's handle is closed and asks for its
// versions. A poll that does not end connected closes the handle, so a
// device that went away is opened afresh next time.
DeviceProbe ProbeDevice(DriverClient& client, const std::string& device_name);

// While a live capture streams the handle belongs to the capture: asking
// the device in between could disturb it, so the dialog shows what the
// capture's own open read.
DeviceProbe ProbeOfRunningCapture(const DriverClient& client);

struct MemoryFigures {
  uint64_t total = 0;
  uint64_t available = 0;
};

// The machine's physical memory; empty when it cannot be read.
std::optional<MemoryFigures> ReadMemoryFigures();

enum class InfoStatus { kNotConnected, kConnected };  // "VELIX Not connect" / "VELIX Connect"
enum class InfoMode { kNone, kBusAnalyzer, kMonitor };  // "", "BUS ANALYZER MODE", "MONITOR MODE"

// The dialog's content; the dialog puts the words to the states.
struct InfoTexts {
  InfoStatus status = InfoStatus::kNotConnected;
  bool versions_enabled = false;
  std::string firmware_version;  // all three empty unless connected
  std::string cpld_version;
  std::string driver_version;
  InfoMode mode = InfoMode::kNone;
  uint32_t mode_colour = 0;
  std::optional<std::string> physical_memory;  // none: "Unknown"
  std::optional<std::string> free_memory;
  std::optional<std::string> allocation;  // shown only when set
};

// `live_buffer_mb`: the size of the committed live buffer, none while no
// buffer is committed.
InfoTexts MakeInfoTexts(const DeviceProbe& probe, const std::optional<MemoryFigures>& memory,
                        const std::optional<uint32_t>& live_buffer_mb);

// The developer's switch behind a right-button double-click: turns the
// "DebugMessage" trace lines on or off until the application ends; returns
// the new state.
bool ToggleDebugMessages();

}  // namespace orvane
