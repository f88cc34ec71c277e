#include "Orvane/ui/tabs/tab_set.h"

namespace orvane::ui {
namespace {

constexpr TabSpec kTiming{"Timing", TabView::kTiming};

struct LabelKind {
  std::string_view label;
  DumpKind kind;
};
constexpr LabelKind kLabelKinds[] = {
    {"DATA MISO", DumpKind::kMiso}, {"DATA MOSI", DumpKind::kMosi}, {"DATA MISO+MOSI", DumpKind::kMisoMosi},
    {"DATA", DumpKind::kData},      {"Packet", DumpKind::kPacket},
};

}  // namespace

TabSetKey TabSetKeyOf(const SettingsRecord& settings) {
  TabSetKey key;
  key.bus = settings.m_AnalyzeBusChannel & 3;
  key.forced_display = settings.ForcedDisplay != 0;
  key.monitor_mode = settings.MonitorMode == 1;
  return key;
}

std::vector<TabSpec> TabSetFor(const TabSetKey& key) {
  std::vector<TabSpec> tabs;
  if (key.bus == 3) return tabs;
  if (!key.forced_display) {
    if (key.bus == 0) {
      tabs = {{"DATA MISO", TabView::kDumpList}, {"DATA MOSI", TabView::kDumpList},
              {"DATA MISO+MOSI", TabView::kDumpList}};
    } else {
      tabs = {{"Packet", TabView::kPacket}, {"DATA", TabView::kDumpList}};
    }
  }
  // The waveform needs the samples, which only the bus analyzer keeps.
  if (!key.monitor_mode) tabs.push_back(kTiming);
  return tabs;
}

DumpKind DumpKindOfLabel(std::string_view label) {
  for (const LabelKind& known : kLabelKinds) {
    if (known.label == label) return known.kind;
  }
  return DumpKind::kData;
}

}  // namespace orvane::ui
