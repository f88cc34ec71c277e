#include "Orvane/interchange/sic_import.h"

#include <gtest/gtest.h>

#include <cstring>
#include <span>

#include "Orvane/capture/sample_atom.h"
#include "Orvane/capture/sic_header.h"
#include "Orvane/interchange/bus_lines.h"
#include "Orvane/interchange/tests/test_files.h"

namespace velix::interchange {
namespace {

using testing::FolderEntries;
using testing::ReadFile;
using testing::ScratchFolder;

// A source that plays back a fixed list of changes.
class ScriptedSource final : public LogicSource {
 public:
  ScriptedSource(std::vector<std::string> channels, TickLength tick, std::vector<LevelChange> changes,
                 uint64_t end_tick, std::string failure = "")
      : channels_(std::move(channels)),
        tick_(tick),
        changes_(std::move(changes)),
        end_tick_(end_tick),
        failure_(std::move(failure)) {}

  const std::vector<std::string>& Channels() const override { return channels_; }
  TickLength Tick() const override { return tick_; }
  size_t Read(LevelChange* out, size_t capacity) override {
    size_t n = 0;
    while (n < capacity && next_ < changes_.size()) out[n++] = changes_[next_++];
    if (next_ == changes_.size()) state_ = failure_.empty() ? SourceState::kEnded : SourceState::kFailed;
    return n;
  }
  SourceState State() const override { return state_; }
  uint64_t EndTick() const override { return end_tick_; }
  const std::string& Error() const override { return failure_; }
  std::vector<uint8_t> CarriedSettings() const override { return carried; }

  std::vector<uint8_t> carried;

 private:
  std::vector<std::string> channels_;
  TickLength tick_;
  std::vector<LevelChange> changes_;
  uint64_t end_tick_;
  std::string failure_;
  size_t next_ = 0;
  SourceState state_ = SourceState::kReading;
};

struct Capture {
  orvane::SettingsRecord settings{};
  std::string changes;  // "sample:state" in hex for every atom that changes the lines
  uint64_t samples = 0;
};

Capture ReadCapture(const std::string& path) {
  const std::string file = ReadFile(path);
  Capture capture;
  if (file.size() < orvane::kSicHeaderSize) return capture;
  const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
  capture.settings = orvane::SettingsFromSicHeader(std::span<const uint8_t, orvane::kSicHeaderSize>(bytes, 1024));
  uint8_t state = 0xFF;
  for (size_t i = orvane::kSicHeaderSize; i < file.size();) {
    const orvane::SampleAtom atom = orvane::DecodeAtom(bytes + i, (i & 1) != 0, i + 1 < file.size());
    if (atom.size == orvane::kAtomAlignError) break;
    capture.samples += atom.count;
    if (atom.state != state) {
      char text[32];
      std::snprintf(text, sizeof text, "%llu:%X ", static_cast<unsigned long long>(capture.samples), atom.state);
      capture.changes += text;
      state = atom.state;
    }
    i += atom.size;
  }
  return capture;
}

constexpr TickLength kThirdNs{1, 3000000000};
constexpr TickLength kOneNs{1, 1000000000};

ImportOptions I2c0(uint8_t rate_code) { return {kBusI2c0, rate_code, {}}; }

struct RuleCase {
  const char* name;
  TickLength tick;
  uint8_t rate_code;
  uint64_t sda_fall;
  std::string changes;
};

class ImportRuleTest : public ::testing::TestWithParam<RuleCase> {};

// SDA falls while SCL stays high (a START): S1 low, every other line high.
TEST_P(ImportRuleTest, PlacesTheEdgeInTheFirstSampleAfterIt) {
  const RuleCase& c = GetParam();
  ScratchFolder folder;
  ScriptedSource source({"SCL", "SDA"}, c.tick, {{0, 0, true}, {0, 1, true}, {c.sda_fall, 1, false}}, c.sda_fall);
  std::string error;
  ASSERT_EQ(ImportToSic(&source, I2c0(c.rate_code), folder.File("o.SIC"), &error), ImportStatus::kOk) << error;
  const Capture capture = ReadCapture(folder.File("o.SIC"));
  EXPECT_EQ(capture.changes, c.changes);
  EXPECT_EQ(capture.settings.SamplePeriodCode, c.rate_code);
}

INSTANTIATE_TEST_SUITE_P(OddRates, ImportRuleTest,
                         ::testing::Values(RuleCase{"third_ns_50mhz_on", kThirdNs, 2, 60, "0:F 1:D "},
                                           RuleCase{"third_ns_50mhz_after", kThirdNs, 2, 61, "0:F 2:D "},
                                           RuleCase{"third_ns_20mhz", kThirdNs, 5, 151, "0:F 2:D "},
                                           RuleCase{"third_ns_10mhz", kThirdNs, 10, 300, "0:F 1:D "},
                                           RuleCase{"24mhz_ticks_50mhz", {1, 24000000}, 2, 5, "0:F 11:D "},
                                           RuleCase{"long_hold", kOneNs, 10, 1000000, "0:F 10000:D "}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(ImportMerge, RefusesTwoEdgesOfOneLineInOneSample) {
  ScratchFolder folder;
  // 101 ns and 110 ns both show first in sample 6 at 50 MHz.
  ScriptedSource source({"clk", "dat"}, kOneNs, {{0, 0, true}, {0, 1, true}, {101, 0, false}, {110, 0, true}}, 200);
  std::string error;
  EXPECT_EQ(ImportToSic(&source, {kBusI2c0, 2, {"SCL=clk", "SDA=dat"}}, folder.File("o.SIC"), &error),
            ImportStatus::kBadInput);
  EXPECT_EQ(error,
            "the line SCL (channel clk) changes twice within one sample at 50 MHz, at 1.1e-07 s (tick 110): "
            "the edges would merge; choose a higher --rate");
  EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

TEST(ImportMerge, JoinsEdgesOfTwoLinesInOneSample) {
  ScratchFolder folder;
  ScriptedSource source({"SCL", "SDA"}, kOneNs, {{0, 0, true}, {0, 1, true}, {101, 0, false}, {110, 1, false}}, 200);
  std::string error;
  ASSERT_EQ(ImportToSic(&source, I2c0(2), folder.File("o.SIC"), &error), ImportStatus::kOk) << error;
  const Capture capture = ReadCapture(folder.File("o.SIC"));
  EXPECT_EQ(capture.changes, "0:F 6:C ");
  EXPECT_EQ(capture.samples, 10u);
}

TEST(ImportRefusals, LeaveNothingBehind) {
  ScratchFolder folder;
  ScriptedSource broken({"SCL", "SDA"}, kOneNs, {{0, 0, true}, {0, 1, true}, {100, 0, false}}, 0,
                        "x.vcd, line 9: cannot read 'q'");
  std::string error;
  EXPECT_EQ(ImportToSic(&broken, I2c0(2), folder.File("o.SIC"), &error), ImportStatus::kBadInput);
  EXPECT_EQ(error, "x.vcd, line 9: cannot read 'q'");

  ScriptedSource too_long({"SCL", "SDA"}, {1, 1}, {{0, 0, true}, {0, 1, true}, {1000000, 0, false}}, 1000000);
  EXPECT_EQ(ImportToSic(&too_long, I2c0(2), folder.File("o.SIC"), &error), ImportStatus::kBadInput);
  EXPECT_EQ(error, "the capture is longer than a sampling data file can hold at this rate");

  ScriptedSource no_bus({"SCL", "SDA"}, kOneNs, {{0, 0, true}, {0, 1, true}}, 10);
  EXPECT_EQ(ImportToSic(&no_bus, {}, folder.File("o.SIC"), &error), ImportStatus::kBadChoice);
  EXPECT_EQ(error, "name the bus with --bus spi, i2c0 or i2c1");

  ScriptedSource unmapped({"a", "b"}, kOneNs, {{0, 0, true}, {0, 1, true}}, 10);
  EXPECT_EQ(ImportToSic(&unmapped, I2c0(2), folder.File("o.SIC"), &error), ImportStatus::kBadChoice);
  EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{});

  ScriptedSource fine({"SCL", "SDA"}, kOneNs, {{0, 0, true}, {0, 1, true}}, 10);
  EXPECT_EQ(ImportToSic(&fine, I2c0(2), folder.File("missing/o.SIC"), &error), ImportStatus::kWriteFailed);
  EXPECT_EQ(error, "cannot create a file in " + folder.File("missing") + ": No such file or directory");
}

TEST(ImportSettings, NewCaptureWithTheChoices) {
  ScratchFolder folder;
  ScriptedSource source({"SCL", "SDA", "other"}, kOneNs, {{0, 0, false}, {0, 1, true}, {0, 2, false}}, 1000);
  std::string error;
  ASSERT_EQ(ImportToSic(&source, {kBusI2c1, 10, {}}, folder.File("o.SIC"), &error), ImportStatus::kOk) << error;
  const Capture capture = ReadCapture(folder.File("o.SIC"));
  orvane::SettingsRecord expected = orvane::DefaultSettingsRecord();
  expected.m_AnalyzeBusChannel = kBusI2c1;
  expected.SamplePeriodCode = 10;
  expected.MonitorMode = 0;
  expected.m_sizeSamplingBuf = capture.settings.m_sizeSamplingBuf;
  EXPECT_EQ(std::memcmp(&capture.settings, &expected, sizeof expected), 0);
  // S0 and S1 have no channel on I2C #1 and stay high; SCL (S2) is low.
  EXPECT_EQ(capture.changes, "0:B ");
  EXPECT_EQ(capture.samples, 10u);
}

struct BrokenSourceCase {
  const char* name;
  std::vector<LevelChange> changes;  // of SCL, SDA and an unmapped third channel
  std::string message;
};

class ImportBrokenSourceTest : public ::testing::TestWithParam<BrokenSourceCase> {};

// A source that breaks its promises is refused, before the capture starts
// as well as after, and on a channel no line takes as well.
TEST_P(ImportBrokenSourceTest, RefusesWithTheFault) {
  const BrokenSourceCase& c = GetParam();
  ScratchFolder folder;
  ScriptedSource source({"SCL", "SDA", "x"}, kOneNs, c.changes, 1000);
  std::string error;
  EXPECT_EQ(ImportToSic(&source, I2c0(2), folder.File("o.SIC"), &error), ImportStatus::kBadInput);
  EXPECT_EQ(error, c.message);
  EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

const char kUnknownChannel[] = "the source reported a channel it does not have";

INSTANTIATE_TEST_SUITE_P(
    Contract, ImportBrokenSourceTest,
    ::testing::Values(
        BrokenSourceCase{"back_at_the_start", {{5, 0, true}, {5, 1, true}, {3, 0, false}},
                         "the source went back in time at 3e-09 s (tick 3)"},
        BrokenSourceCase{"back_later", {{0, 0, true}, {0, 1, true}, {100, 0, false}, {90, 1, false}},
                         "the source went back in time at 9e-08 s (tick 90)"},
        BrokenSourceCase{"back_on_an_unmapped_channel", {{0, 0, true}, {0, 1, true}, {100, 0, false}, {50, 2, true}},
                         "the source went back in time at 5e-08 s (tick 50)"},
        BrokenSourceCase{"unknown_channel_at_the_start", {{0, 0, true}, {0, 3, true}}, kUnknownChannel},
        BrokenSourceCase{"unknown_channel_later", {{0, 0, true}, {0, 1, true}, {100, 0, false}, {120, 9, true}},
                         kUnknownChannel}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ImportSettings, CarriedRecordWithTheChoicesOnTop) {
  ScratchFolder folder;
  orvane::SettingsRecord carried = orvane::DefaultSettingsRecord();
  carried.m_AnalyzeBusChannel = kBusSpi;
  carried.SamplePeriodCode = 5;
  carried.tLOW = 1234;
  carried.MonitorMode = 1;
  ScriptedSource source({"CS", "SCLK", "MOSI", "MISO"}, kOneNs,
                        {{0, 0, true}, {0, 1, true}, {0, 2, true}, {0, 3, true}}, 1000);
  source.carried.assign(reinterpret_cast<const uint8_t*>(&carried),
                        reinterpret_cast<const uint8_t*>(&carried) + sizeof carried);
  std::string error;
  ASSERT_EQ(ImportToSic(&source, {std::nullopt, 2, {}}, folder.File("o.SIC"), &error), ImportStatus::kOk) << error;
  const orvane::SettingsRecord got = ReadCapture(folder.File("o.SIC")).settings;
  EXPECT_EQ(got.m_AnalyzeBusChannel, kBusSpi);
  EXPECT_EQ(got.SamplePeriodCode, 2);
  EXPECT_EQ(static_cast<uint32_t>(got.tLOW), 1234u);
  EXPECT_EQ(got.MonitorMode, 0);
}

}  // namespace
}  // namespace velix::interchange
