#pragma once
// Which data tabs the capture settings give, left to right. The dump tabs
// learn what they show from their labels.

#include <cstdint>
#include <string_view>
#include <vector>

#include "Orvane/capture/settings_record.h"
#include "Orvane/ui/tabs/dump_rows.h"

namespace orvane::ui {

enum class TabView : uint8_t { kDumpList, kPacket, kTiming };

struct TabSpec {
  const char* label;
  TabView view;
};

// The settings a tab set depends on; the pane is built again when they
// change.
struct TabSetKey {
  uint8_t bus = 0;  // 0 SPI, 1 I2C #0, 2 I2C #1, 3 none
  bool forced_display = false;
  bool monitor_mode = false;
  friend bool operator==(const TabSetKey&, const TabSetKey&) = default;
};

TabSetKey TabSetKeyOf(const SettingsRecord& settings);

std::vector<TabSpec> TabSetFor(const TabSetKey& key);

// "DATA MISO" 1, "DATA MOSI" 2, "DATA MISO+MOSI" 3, "DATA" 4, "Packet" 5;
// any other label 4.
DumpKind DumpKindOfLabel(std::string_view label);

}  // namespace orvane::ui
