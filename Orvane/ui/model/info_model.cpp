#include "Orvane/ui/model/info_model.h"

#include "platform/locked_memory.h"
#include "platform/string_format.h"
#include "platform/trace.h"

namespace orvane {
namespace {

using velix::platform::StringPrintf;

constexpr uint64_t kMegabyte = 1048576;

std::string VersionText(uint8_t major, uint8_t minor) { return StringPrintf("%02X.%02X", major, minor); }

std::string MemoryText(uint64_t bytes) {
  return StringPrintf("%llu Byte  (%u MB)", static_cast<unsigned long long>(bytes),
                      static_cast<uint32_t>(bytes / kMegabyte));
}

}  // namespace

DeviceProbe ProbeDevice(DriverClient& client, const std::string& device_name) {
  DeviceProbe probe;
  probe.opened = client.OpenDriver(device_name);
  probe.versions_read = probe.opened && client.VELIX_DriverGetVersionInfo(&probe.info);
  if (!probe.versions_read) client.Close();
  return probe;
}

DeviceProbe ProbeOfRunningCapture(const DriverClient& client) {
  DeviceProbe probe;
  probe.opened = client.IsOpen();
  probe.versions_read = probe.opened;
  probe.info = client.Info();
  return probe;
}

std::optional<MemoryFigures> ReadMemoryFigures() {
  MemoryFigures figures;
  if (!velix::platform::PhysicalMemory(&figures.total, &figures.available)) return std::nullopt;
  velix::platform::TraceDebug(" Total PhysicalMem = %u MByte\n", static_cast<uint32_t>(figures.total / kMegabyte));
  velix::platform::TraceDebug(" Avali PhysicalMem = %u MByte\n",
                              static_cast<uint32_t>(figures.available / kMegabyte));
  return figures;
}

InfoTexts MakeInfoTexts(const DeviceProbe& probe, const std::optional<MemoryFigures>& memory,
                        const std::optional<uint32_t>& live_buffer_mb) {
  InfoTexts texts;
  texts.versions_enabled = probe.opened;
  if (probe.opened && probe.versions_read) {
    const DeviceInfo& info = probe.info;
    texts.status = InfoStatus::kConnected;
    texts.firmware_version = VersionText(info[4], info[5]);
    texts.cpld_version = VersionText(info[6], info[7]);
    texts.driver_version = VersionText(info[2], info[3]);
    const bool analyzer = info[0] == 1;
    texts.mode = analyzer ? InfoMode::kBusAnalyzer : InfoMode::kMonitor;
    texts.mode_colour = analyzer ? kAnalyzerModeColour : kMonitorModeColour;
  }
  if (memory) {
    texts.physical_memory = MemoryText(memory->total);
    texts.free_memory = MemoryText(memory->available);
  }
  if (live_buffer_mb) texts.allocation = StringPrintf("%u MB", *live_buffer_mb);
  return texts;
}

bool ToggleDebugMessages() {
  const bool on = !velix::platform::DebugMessages();
  velix::platform::SetDebugMessages(on);
  velix::platform::Trace(" =DebugFlag: %d==\n", on ? 1 : 0);
  return on;
}

}  // namespace orvane
