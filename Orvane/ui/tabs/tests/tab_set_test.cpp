// Which tabs each combination of capture settings gives, and the kind a
// dump tab takes from its label.
#include "Orvane/ui/tabs/tab_set.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane::ui {
namespace {

std::string Labels(const std::vector<TabSpec>& tabs) {
  std::string text;
  for (const TabSpec& tab : tabs) text += std::string(text.empty() ? "" : "|") + tab.label;
  return text;
}

TEST(TabSet, TabsBySettings) {
  const struct {
    TabSetKey key;
    const char* labels;
  } cases[] = {
      {{0, false, false}, "DATA MISO|DATA MOSI|DATA MISO+MOSI|Timing"},
      {{0, false, true}, "DATA MISO|DATA MOSI|DATA MISO+MOSI"},
      {{1, false, false}, "Packet|DATA|Timing"},
      {{2, false, false}, "Packet|DATA|Timing"},
      {{2, false, true}, "Packet|DATA"},
      {{0, true, false}, "Timing"},
      {{1, true, false}, "Timing"},
      {{1, true, true}, ""},
      {{3, false, false}, ""},
      {{3, true, false}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.key.bus) << c.key.forced_display << c.key.monitor_mode);
    EXPECT_EQ(Labels(TabSetFor(c.key)), c.labels);
  }
}

TEST(TabSet, ViewsOfTheTabs) {
  const std::vector<TabSpec> i2c = TabSetFor({1, false, false});
  ASSERT_EQ(i2c.size(), 3u);
  EXPECT_EQ(i2c[0].view, TabView::kPacket);
  EXPECT_EQ(i2c[1].view, TabView::kDumpList);
  EXPECT_EQ(i2c[2].view, TabView::kTiming);
  for (const TabSpec& spi : TabSetFor({0, false, true})) EXPECT_EQ(spi.view, TabView::kDumpList);
}

TEST(TabSet, KindFromLabel) {
  const struct {
    const char* label;
    DumpKind kind;
  } cases[] = {
      {"DATA MISO", DumpKind::kMiso},   {"DATA MOSI", DumpKind::kMosi}, {"DATA MISO+MOSI", DumpKind::kMisoMosi},
      {"DATA", DumpKind::kData},        {"Packet", DumpKind::kPacket},  {"Timing", DumpKind::kData},
      {"data miso", DumpKind::kData},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(DumpKindOfLabel(c.label), c.kind);
  }
}

TEST(TabSet, KeyFromTheSettingsRecord) {
  SettingsRecord settings{};
  settings.m_AnalyzeBusChannel = 0x06;  // only the low two bits name the bus
  settings.ForcedDisplay = 1;
  settings.MonitorMode = 1;
  EXPECT_EQ(TabSetKeyOf(settings), (TabSetKey{2, true, true}));
  settings.MonitorMode = 2;  // not the monitor personality
  settings.ForcedDisplay = 0;
  EXPECT_EQ(TabSetKeyOf(settings), (TabSetKey{2, false, false}));
}

}  // namespace
}  // namespace orvane::ui
