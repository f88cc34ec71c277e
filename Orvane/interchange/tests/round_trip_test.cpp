#include <gtest/gtest.h>

#include <string>

#include "Orvane/capture/sample_atom.h"
#include "Orvane/interchange/bus_lines.h"
#include "Orvane/interchange/settings_comment.h"
#include "Orvane/interchange/sic_import.h"
#include "Orvane/interchange/tests/test_files.h"
#include "Orvane/interchange/vcd_export.h"
#include "sim/sic_writer.h"
#include "sim/synthesizer.h"
#include "sim/tests/scenarios_for_tests.h"

namespace velix::interchange {
namespace {

using testing::FolderEntries;
using testing::ReadFile;
using testing::ScratchFolder;

// Writes a capture from raw atom bytes.
void WriteCapture(const std::string& path, const orvane::SettingsRecord& settings, const std::vector<uint8_t>& data) {
  sim::SicFileWriter writer;
  std::string error;
  ASSERT_TRUE(writer.Open(path, settings, &error)) << error;
  if (!data.empty()) {
    ASSERT_TRUE(writer.DataSink()(data.data(), data.size()));
  }
  ASSERT_TRUE(writer.Finish(settings, &error)) << error;
}

std::vector<uint8_t> Atoms(std::initializer_list<std::pair<uint8_t, uint16_t>> longs_and_shorts) {
  std::vector<uint8_t> data;
  for (const auto& [state, count] : longs_and_shorts) {
    if ((data.size() & 1) == 0 && count > orvane::kShortAtomMaxCount) {
      const uint16_t word = orvane::EncodeLongAtom(state, count);
      data.push_back(static_cast<uint8_t>(word));
      data.push_back(static_cast<uint8_t>(word >> 8));
    } else {
      data.push_back(orvane::EncodeShortAtom(state, count));
    }
  }
  return data;
}

orvane::SettingsRecord I2c0At50() {
  orvane::SettingsRecord settings = orvane::DefaultSettingsRecord();
  settings.m_AnalyzeBusChannel = kBusI2c0;
  settings.SamplePeriodCode = 2;
  settings.MonitorMode = 0;
  return settings;
}

TEST(VcdExport, WritesOneValueChangePerChangingAtom) {
  ScratchFolder folder;
  orvane::SettingsRecord settings = I2c0At50();
  // Initial all high; SCL low after 3, high after 7 more, both low after
  // 100 more, a hold of 2047 that changes nothing, SCL high, a final hold.
  std::vector<uint8_t> data = {0x0F, 0x00};
  for (const uint8_t b : Atoms({{0xE, 3}, {0xF, 7}, {0xC, 100}, {0xC, 2047}, {0xD, 1}, {0xD, 5}})) data.push_back(b);
  WriteCapture(folder.File("in.SIC"), settings, data);
  std::string error;
  ASSERT_EQ(ExportSicToVcd(folder.File("in.SIC"), folder.File("out.vcd"), &error), ExportStatus::kOk) << error;
  settings.m_sizeSamplingBuf = static_cast<uint32_t>(data.size());
  EXPECT_EQ(ReadFile(folder.File("out.vcd")), "$comment orvane-settings " + SettingsHex(settings) +
                                                  " $end\n"
                                                  "$timescale 10 ns $end\n"
                                                  "$scope module i2c0 $end\n"
                                                  "$var wire 1 ! SCL $end\n"
                                                  "$var wire 1 \" SDA $end\n"
                                                  "$var wire 1 % S2 $end\n"
                                                  "$var wire 1 & S3 $end\n"
                                                  "$upscope $end\n"
                                                  "$enddefinitions $end\n"
                                                  "#0\n$dumpvars\n1!\n1\"\n1%\n1&\n$end\n"
                                                  "#6\n0!\n#20\n1!\n#220\n0!\n0\"\n#4316\n1!\n#4326\n");
}

// The value-change lines from one state of the four lines to the next.
std::string ChangeLines(uint8_t before, uint8_t after) {
  static constexpr char kCodes[] = "!\"%&";
  std::string text;
  for (int line = 0; line < kProbeLines; ++line) {
    if (((before ^ after) >> line & 1) == 0) continue;
    text += (after >> line & 1) ? '1' : '0';
    text += kCodes[line];
    text += '\n';
  }
  return text;
}

// A capture a little over the reader's 1 MiB block, with long atoms on both
// sides of the block edge, short and long atoms, holds that change nothing
// and times of growing width; the expected text is worked out atom by atom.
TEST(VcdExport, WritesEveryChangeOfALongCapture) {
  ScratchFolder folder;
  std::vector<uint8_t> data = {0x0F, 0x00};
  std::string expected = "#0\n$dumpvars\n" + ChangeLines(0, 0x0F) + "$end\n";
  uint8_t state = 0x0F;
  uint64_t periods = 0;
  uint64_t written = 0;
  uint32_t seed = 12345;
  const auto add = [&](uint8_t next, uint16_t count) {
    periods += count;
    if (next == state) return;
    if (periods != written) expected += "#" + std::to_string(periods * 2) + "\n";
    written = periods;
    expected += ChangeLines(state, next);
    state = next;
  };
  constexpr size_t kEdge = 1u << 20;
  while (data.size() < kEdge + 4097) {
    seed = seed * 1103515245 + 12345;
    const uint8_t next = static_cast<uint8_t>(seed >> 16 & 0x0F);
    const uint16_t count = static_cast<uint16_t>(seed >> 20 & 0x7FF);
    const bool at_edge = data.size() + 2 == kEdge || data.size() == kEdge;
    if ((data.size() & 1) == 0 && (at_edge || (seed >> 8 & 3) == 0)) {
      const uint16_t word = orvane::EncodeLongAtom(next, count);
      data.push_back(static_cast<uint8_t>(word));
      data.push_back(static_cast<uint8_t>(word >> 8));
      add(next, count);
    } else {
      data.push_back(orvane::EncodeShortAtom(next, count & 7));
      add(next, count & 7);
    }
  }
  if (periods != written) expected += "#" + std::to_string(periods * 2) + "\n";
  WriteCapture(folder.File("in.SIC"), I2c0At50(), data);
  std::string error;
  ASSERT_EQ(ExportSicToVcd(folder.File("in.SIC"), folder.File("out.vcd"), &error), ExportStatus::kOk) << error;
  const std::string text = ReadFile(folder.File("out.vcd"));
  const std::string declarations_end = "$enddefinitions $end\n";
  const size_t body = text.find(declarations_end);
  ASSERT_NE(body, std::string::npos);
  EXPECT_TRUE(text.compare(body + declarations_end.size(), std::string::npos, expected) == 0);
}

struct RefusalCase {
  const char* name;
  uint8_t period_code;
  std::vector<uint8_t> data;
  ExportStatus status;
  std::string message;  // after the input's path
};

// Long holds up to `length` - 1 bytes, then the first byte of a long atom.
std::vector<uint8_t> HoldsThenCutAtom(size_t length) {
  std::vector<uint8_t> data;
  while (data.size() + 1 < length) {
    const uint16_t word = orvane::EncodeLongAtom(0x0F, 1000);
    data.push_back(static_cast<uint8_t>(word));
    data.push_back(static_cast<uint8_t>(word >> 8));
  }
  data.push_back(0x0E);
  return data;
}

class VcdExportRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(VcdExportRefusalTest, RefusesAndWritesNothing) {
  const RefusalCase& c = GetParam();
  ScratchFolder folder;
  orvane::SettingsRecord settings = I2c0At50();
  settings.SamplePeriodCode = c.period_code;
  WriteCapture(folder.File("in.SIC"), settings, c.data);
  std::string error;
  EXPECT_EQ(ExportSicToVcd(folder.File("in.SIC"), folder.File("out.vcd"), &error), c.status);
  EXPECT_EQ(error, folder.File("in.SIC") + c.message);
  EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"in.SIC"});
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, VcdExportRefusalTest,
    ::testing::Values(
        RefusalCase{"odd_long_atom",
                    2,
                    {0x0F, 0x00, 0x3E, 0x0E, 0x00},
                    ExportStatus::kBadData,
                    ": position 3: data align error (an odd position whose byte has bit 4 clear, or a long atom cut "
                    "short)"},
        RefusalCase{"cut_long_atom",
                    2,
                    {0x0F, 0x00, 0x0E},
                    ExportStatus::kBadData,
                    ": position 2: data align error (an odd position whose byte has bit 4 clear, or a long atom cut "
                    "short)"},
        RefusalCase{"cut_first_atom",
                    2,
                    {0x0F},
                    ExportStatus::kBadData,
                    ": position 0: data align error (an odd position whose byte has bit 4 clear, or a long atom cut "
                    "short)"},
        RefusalCase{"cut_atom_after_the_first_block",
                    2,
                    HoldsThenCutAtom((1u << 20) + 1),
                    ExportStatus::kBadData,
                    ": position 1048576: data align error (an odd position whose byte has bit 4 clear, or a long "
                    "atom cut short)"},
        RefusalCase{"no_data", 2, {}, ExportStatus::kBadData, " holds no samples"},
        RefusalCase{
            "bad_period", 3, {0x0F, 0x00}, ExportStatus::kBadData, ": the sample period code 3 is not 2, 5 or 10"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(VcdExport, RefusesMonitorCapturesAndOtherFiles) {
  ScratchFolder folder;
  sim::SynthOptions options;
  options.mode = sim::CaptureMode::kMonitor;
  std::string error;
  ASSERT_TRUE(sim::SynthesizeSicFile(sim::testing::kI2cScenario, options, folder.File("m.SIC"), "", &error)) << error;
  EXPECT_EQ(ExportSicToVcd(folder.File("m.SIC"), folder.File("out.vcd"), &error), ExportStatus::kNotSamples);
  EXPECT_EQ(error, folder.File("m.SIC") +
                       " is a monitor-mode capture: it holds the units the device decoded, not samples of the lines, "
                       "so there is no waveform to export");
  testing::WriteFile(folder.File("t.SIC"), "not a capture");
  EXPECT_EQ(ExportSicToVcd(folder.File("t.SIC"), folder.File("out.vcd"), &error), ExportStatus::kOpenFailed);
  EXPECT_EQ(error, folder.File("t.SIC") + " is not a sampling data file");
  EXPECT_EQ(FolderEntries(folder.Path()).size(), 2u);
}

std::string ScenarioOfBus(const std::string& bus) {
  if (bus == "spi") return sim::testing::kSpiScenario;
  std::string text = sim::testing::kI2cScenario;
  text.replace(text.find("bus i2c0"), 8, "bus " + bus);
  return text;
}

struct RoundTripCase {
  std::string bus;
  uint8_t rate_code;
};

class RoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTripTest, SicToVcdToSicIsByteIdentical) {
  const RoundTripCase& c = GetParam();
  ScratchFolder folder;
  sim::SynthOptions options;
  options.rate_code = c.rate_code;
  options.repeat = 3;
  std::string error;
  ASSERT_TRUE(sim::SynthesizeSicFile(ScenarioOfBus(c.bus), options, folder.File("a.SIC"), "", &error)) << error;
  ASSERT_EQ(ExportSicToVcd(folder.File("a.SIC"), folder.File("a.vcd"), &error), ExportStatus::kOk) << error;
  const auto source = OpenVcdSource(folder.File("a.vcd"), &error);
  ASSERT_NE(source, nullptr) << error;
  ASSERT_EQ(ImportToSic(source.get(), {}, folder.File("b.SIC"), &error), ImportStatus::kOk) << error;
  const std::string original = ReadFile(folder.File("a.SIC"));
  ASSERT_GT(original.size(), 1024u);
  EXPECT_TRUE(original == ReadFile(folder.File("b.SIC")));
}

INSTANTIATE_TEST_SUITE_P(EveryBusAndRate, RoundTripTest,
                         ::testing::Values(RoundTripCase{"i2c0", 2}, RoundTripCase{"i2c0", 5},
                                           RoundTripCase{"i2c0", 10}, RoundTripCase{"i2c1", 2},
                                           RoundTripCase{"i2c1", 5}, RoundTripCase{"i2c1", 10}, RoundTripCase{"spi", 2},
                                           RoundTripCase{"spi", 5}, RoundTripCase{"spi", 10}),
                         [](const auto& p) { return p.param.bus + "_code" + std::to_string(p.param.rate_code); });

}  // namespace
}  // namespace velix::interchange
