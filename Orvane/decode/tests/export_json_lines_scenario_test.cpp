// The JSON Lines export of synthesized captures, decoded as a file is after
// opening it: every field of every line against the synthesizer's ground
// truth and against the CSV row of the same record.

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/sic_header.h"
#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/decode_context.h"
#include "Orvane/decode/export_csv.h"
#include "Orvane/decode/export_json_lines.h"
#include "Orvane/decode/run_decoder.h"
#include "Orvane/decode/transaction_filter.h"
#include "platform/recording_sink.h"
#include "platform/tests/scratch_folder.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

using Json = nlohmann::ordered_json;
using velix::platform::testing::ReadFile;
using velix::platform::testing::ScratchFolder;
using velix::sim::CaptureMode;
using velix::sim::TruthTransaction;

constexpr char kI2CTraffic[] = R"(
start
addr 0x50 w
write 00 10
stop
idle 20us
start
addr 0x50 w
write 00
start
addr 0x50 r
read 11 22 33
stop
idle 20us
start
addr10 0x2A5 w
write AA
start
addr10 0x2A5 r
read 5A
stop
idle 10us
start
addr 0x33 w nack
stop
idle 10us
start
addr 0x51 w
write 01 02! 03
stop
idle 10us
start
addr 0x52 w
bits 1011
stop
idle 10us
hs-scl 3.4m
start
hs-code 1
start
addr 0x50 w
write 01 02 03
stop
idle 20us
start
addr 0x53 w
write 7E
corrupt-atom
)";

constexpr char kI2CSettings[] = "scl 400k\nset HsEnable 1\nset IgnoreNackBeforeStop 0\n";

std::string Hex(const std::vector<uint8_t>& bytes, size_t first) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = first; i < bytes.size(); ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, from)) {
    parts.push_back(text.substr(from, at - from));
    from = at + separator.size();
  }
  parts.push_back(text.substr(from));
  return parts;
}

// The cells of one CSV line (CR LF cut off), quotes removed.
std::vector<std::string> CsvCells(const std::string& line) {
  std::vector<std::string> cells = Split(line, ", ");
  for (std::string& cell : cells) {
    if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"') cell = cell.substr(1, cell.size() - 2);
  }
  return cells;
}

std::string WithoutSpaces(std::string text) {
  std::erase(text, ' ');
  return text;
}

// "s:ms:us.hh" and "us.hh" in nanoseconds.
uint64_t CsvStartNs(const std::string& cell) {
  const std::vector<std::string> parts = Split(cell, ":");
  const std::vector<std::string> us = Split(parts.at(2), ".");
  return (((std::stoull(parts.at(0)) * 1000 + std::stoull(parts.at(1))) * 1000 + std::stoull(us.at(0))) * 100 +
          std::stoull(us.at(1))) * 10;
}
uint64_t CsvSpanNs(const std::string& cell) {
  const std::vector<std::string> us = Split(cell, ".");
  return (std::stoull(us.at(0)) * 100 + std::stoull(us.at(1))) * 10;
}

// Machine name and text of each remark, as users' scripts rely on them.
const std::vector<std::pair<std::string, std::string>> kRemarkTexts = {
    {"trigger", "TRIGGER!"},         {"hs", "<HS XFER>"},
    {"no_change", " (No change signal.)"}, {"bad_sampling", "** BAD SAMPING DATA!! ***"},
    {"not_ended", "Transaction not end"}, {"bit_count", "DATA BIT count NG"},
    {"tBUF", "[tBUF] NG"},             {"tHD_STA", "[tHD_STA] NG"},
    {"tSU_STO", "[tSU_STO] NG"},       {"tSU_STA", "[tSU_STA] NG"},
    {"tLOW", "[tLOW] NG"},             {"tHIGH", "[tHIGH] NG"},
    {"tSU_DAT", "[tSU_DAT] NG"},       {"tHD_DAT", "[tHD_DAT] NG"},
};

// The names must be the remark text's items in order; a record without a
// status remark shows "-" (after the trigger) and names no HS transfer.
void ExpectNamesMatchText(const Json& names, const std::string& text) {
  std::vector<std::string> texts;
  for (const Json& name : names) {
    const auto found = std::find_if(kRemarkTexts.begin(), kRemarkTexts.end(),
                                    [&](const auto& entry) { return entry.first == name.get<std::string>(); });
    ASSERT_NE(found, kRemarkTexts.end()) << name;
    texts.push_back(found->second);
  }
  if (text == "-" || text == "TRIGGER!-") {
    std::erase(texts, "<HS XFER>");
    EXPECT_EQ(texts, text == "-" ? std::vector<std::string>{} : std::vector<std::string>{"TRIGGER!"});
    return;
  }
  EXPECT_EQ(texts, Split(text, "; "));
}

struct ScenarioCase {
  const char* name;
  std::string scenario;
  CaptureMode mode;
  uint8_t rate_code;                  // 0: the scenario's rate
  std::set<std::string> must_show;    // features some line has, see Features()
};
void PrintTo(const ScenarioCase& c, std::ostream* out) { *out << c.name; }


std::set<std::string> Features(const Json& line) {
  std::set<std::string> found;
  for (const Json& name : line["remarks"]) found.insert("remark:" + name.get<std::string>());
  if (line.contains("nack") && line["nack"].get<bool>()) found.insert("nack");
  if (line.contains("ten_bit") && line["ten_bit"].get<bool>()) found.insert("ten_bit");
  for (const char* key : {"start", "end"}) {
    if (line.contains(key)) found.insert(std::string(key) + ":" + (line[key].is_null() ? "null" : line[key].get<std::string>()));
  }
  if (line.contains("direction")) found.insert(line["direction"].get<std::string>());
  return found;
}

class JsonLinesScenario : public ::testing::TestWithParam<ScenarioCase> {
 protected:
  // Synthesizes, saves, decodes and filters as after opening the file; the
  // two exports of the result go to `json_` and `csv_`.
  void DecodeAndExport() {
    velix::sim::SynthOptions options;
    options.mode = GetParam().mode;
    options.rate_code = GetParam().rate_code;
    std::string error;
    ASSERT_TRUE(velix::sim::SynthesizeToMemory(GetParam().scenario, options, 64u << 20, &synth_, &error)) << error;
    const SicHeader header = BuildSicHeader(synth_.settings);
    const std::string path = folder_.File("capture.SIC");
    velix::platform::testing::WriteFile(path, std::string(header.begin(), header.end()) +
                                                  std::string(synth_.data.begin(), synth_.data.end()));
    ASSERT_EQ(sampling_.OpenCreateFileMapView(path), 0u);
    settings_ = synth_.settings;
    DecodeContext ctx{sampling_, settings_, events_};
    RunDecoder(ctx, ChooseWorker(settings_));
    ApplyTransactionFilter(sampling_, settings_, sink_);
    ExportEnv env = ApplicationExportEnv(sampling_, settings_, sink_, 0);
    ASSERT_TRUE(ExportTransactionJsonLinesFile(env, folder_.File("x.jsonl")).ok);
    ASSERT_TRUE(ExportTransactionCsvFile(env, folder_.File("x.csv")).ok);
    json_ = ReadFile(folder_.File("x.jsonl"));
    csv_ = ReadFile(folder_.File("x.csv"));
  }

  ScratchFolder folder_;
  AppState app_;
  velix::platform::RecordingSink sink_;
  RunEventQueue events_;
  CSamplingObj sampling_{app_, sink_};
  SettingsRecord settings_{};
  velix::sim::SynthResult synth_;
  std::string json_;
  std::string csv_;
};

TEST_P(JsonLinesScenario, EveryFieldMatchesTheTruthAndTheCsvRow) {
  ASSERT_NO_FATAL_FAILURE(DecodeAndExport());
  const bool i2c = synth_.truth.is_i2c();
  const bool monitor = GetParam().mode == CaptureMode::kMonitor;
  const uint64_t ns_per_clock = uint64_t{synth_.settings.SamplePeriodCode} * 10;
  EXPECT_EQ(json_.find('\r'), std::string::npos);
  ASSERT_FALSE(json_.empty());
  EXPECT_EQ(json_.back(), '\n');
  const std::vector<std::string> lines = Split(json_.substr(0, json_.size() - 1), "\n");
  const std::vector<std::string> rows = Split(csv_.substr(0, csv_.size() - 2), "\r\n");
  const std::vector<TruthTransaction>& truth = synth_.truth.transactions;
  ASSERT_EQ(lines.size(), truth.size());
  ASSERT_EQ(rows.size(), truth.size());

  std::vector<std::string> keys = {"index", "start_ns", "duration_ns", "bus"};
  if (monitor) keys = {"index", "bus"};
  const std::vector<std::string> bus_keys =
      i2c ? std::vector<std::string>{"address", "ten_bit", "direction", "start", "end", "nack", "data"}
          : std::vector<std::string>{"mosi", "miso"};
  keys.insert(keys.end(), bus_keys.begin(), bus_keys.end());
  keys.insert(keys.end(), {"remarks", "remark_text"});

  std::set<std::string> shown;
  for (size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(lines[i]);
    SCOPED_TRACE(rows[i]);
    const Json line = Json::parse(lines[i], nullptr, false);
    ASSERT_FALSE(line.is_discarded());
    std::vector<std::string> line_keys;
    for (const auto& item : line.items()) line_keys.push_back(item.key());
    EXPECT_EQ(line_keys, keys);
    const std::vector<std::string> cells = CsvCells(rows[i]);
    ASSERT_EQ(cells.size(), i2c ? 10u : 7u);
    const std::string& remark_cell = cells[i2c ? 7 : 3];
    EXPECT_EQ(line["index"].get<uint32_t>(), std::stoul(cells[0]));
    EXPECT_EQ(line["bus"], synth_.truth.bus);
    EXPECT_EQ(line["remark_text"], remark_cell);
    ExpectNamesMatchText(line["remarks"], remark_cell);
    if (!monitor) {
      EXPECT_EQ(line["start_ns"].get<uint64_t>(), CsvStartNs(cells[1]));
      EXPECT_EQ(line["duration_ns"].get<uint64_t>(), CsvSpanNs(cells[2]));
    }
    if (i2c) {
      EXPECT_EQ(line["direction"], cells[4] == "R" ? "read" : "write");
      EXPECT_EQ(line["nack"], cells[6] == "Detected");
      EXPECT_EQ(line["data"], WithoutSpaces(cells[9]));
    } else {
      EXPECT_EQ(line["miso"], WithoutSpaces(cells[5]));
      EXPECT_EQ(line["mosi"], WithoutSpaces(cells[6]));
    }
    const std::set<std::string> features = Features(line);
    shown.insert(features.begin(), features.end());

    const TruthTransaction& t = truth[i];
    EXPECT_EQ(line["index"], t.index);
    if (!t.exact) continue;
    if (!monitor) {
      EXPECT_EQ(line["start_ns"].get<uint64_t>(), t.start_clock * ns_per_clock);
      if (t.duration >= 0) {
        EXPECT_EQ(line["duration_ns"].get<uint64_t>(), uint64_t(t.duration) * ns_per_clock);
      }
    }
    if (i2c) {
      EXPECT_EQ(line["address"], t.address);
      EXPECT_EQ(line["ten_bit"], (t.flags & kI2C10Bit) != 0);
      EXPECT_EQ(line["direction"], (t.flags & kI2CRead) ? "read" : "write");
      EXPECT_EQ(line["nack"], (t.flags & kI2CNack) != 0);
      const Json start = (t.start_end & kBeganStart) ? Json("S") : (t.start_end & kBeganRepeatedStart) ? Json("Sr") : Json();
      const Json end = (t.start_end & kEndedStop) ? Json("P") : (t.start_end & kEndedRepeatedStart) ? Json("Sr") : Json();
      EXPECT_EQ(line["start"], start);
      EXPECT_EQ(line["end"], end);
      const size_t address_bytes = (t.flags & kI2C10Bit) && !(t.flags & kI2CRead) ? 2 : 1;
      EXPECT_EQ(line["data"], Hex(t.bytes, std::min(address_bytes, t.bytes.size())));
      EXPECT_EQ(std::find(line["remarks"].begin(), line["remarks"].end(), "hs") != line["remarks"].end(),
                (t.flags & kI2CHsTransfer) != 0);
    } else {
      EXPECT_EQ(line["miso"], Hex(t.bytes, 0));
      EXPECT_EQ(line["mosi"], Hex(t.bytes2, 0));
    }
    EXPECT_EQ(std::find(line["remarks"].begin(), line["remarks"].end(), "bit_count") != line["remarks"].end(),
              (t.status & kStatusBitCount) != 0);
    EXPECT_EQ(std::find(line["remarks"].begin(), line["remarks"].end(), "bad_sampling") != line["remarks"].end(),
              (t.status & kStatusBadData) != 0);
  }
  for (const std::string& feature : GetParam().must_show) EXPECT_TRUE(shown.count(feature)) << feature;
}

std::string Scenario(const char* head, const char* traffic) { return std::string(head) + traffic; }

const ScenarioCase kCases[] = {
    {"I2c0Analyzer", Scenario(kI2CSettings, kI2CTraffic), CaptureMode::kAnalyzer, 0,
     {"nack", "ten_bit", "read", "start:Sr", "end:Sr", "end:null", "remark:hs", "remark:bit_count",
      "remark:bad_sampling"}},
    {"I2c1AnalyzerAt20MHz", Scenario("bus i2c1\n", Scenario(kI2CSettings, kI2CTraffic).c_str()),
     CaptureMode::kAnalyzer, 5, {"nack", "ten_bit", "end:Sr", "remark:hs"}},
    {"I2cTimingErrors", ReadFile(std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/i2c_timing_errors.scn"),
     CaptureMode::kAnalyzer, 0, {"read", "remark:tLOW", "remark:tHIGH"}},
    {"I2cMonitor", Scenario(kI2CSettings, kI2CTraffic), CaptureMode::kMonitor, 0,
     {"nack", "ten_bit", "start:Sr", "end:Sr", "remark:hs"}},
    {"SpiAnalyzerAt10MHz", ReadFile(std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/spi_demo.scn"),
     CaptureMode::kAnalyzer, 10, {"remark:bit_count"}},
    {"SpiMonitor", ReadFile(std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/spi_demo.scn"), CaptureMode::kMonitor,
     0, {}},
};

INSTANTIATE_TEST_SUITE_P(Captures, JsonLinesScenario, ::testing::ValuesIn(kCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace orvane
