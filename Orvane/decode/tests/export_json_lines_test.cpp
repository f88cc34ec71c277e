// The JSON Lines export of hand-built records: what synthesized traffic
// does not reach (every remark kind, odd begin/end bits, short details,
// a channel without a bus), the write error and the cancel.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "Orvane/decode/export_json_lines.h"
#include "Orvane/decode/tests/views_test_support.h"
#include "platform/tests/scratch_folder.h"

namespace orvane {
namespace {

using Json = nlohmann::ordered_json;
using views_test::AckBits;
using views_test::FakeLoad;
using views_test::FakeStore;

class JsonLinesTest : public ::testing::Test, public views_test::RecordsFixture {
 protected:
  ExportEnv Env() { return {Sampling(), s_, sink_, &FakeLoad, 0}; }
  // The export of every record, one parsed object per line.
  std::vector<Json> Export() {
    ViewAll();
    ExportEnv env = Env();
    EXPECT_TRUE(ExportTransactionJsonLinesFile(env, Path()).ok);
    return Parse(velix::platform::testing::ReadFile(Path()));
  }
  static std::vector<Json> Parse(const std::string& text) {
    std::vector<Json> lines;
    size_t from = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', from)) {
      lines.push_back(Json::parse(text.substr(from, end - from), nullptr, false));
      EXPECT_FALSE(lines.back().is_discarded()) << text.substr(from, end - from);
      from = end + 1;
    }
    EXPECT_EQ(from, text.size()) << "the last line has no end";
    return lines;
  }
  std::string Path() const { return folder_.File("x.jsonl"); }

  SettingsRecord s_ = views_test::I2CSettings();
  velix::platform::testing::ScratchFolder folder_;
};

struct RemarkCase {
  const char* name;
  bool spi;
  uint16_t status;
  bool trigger;
  bool hs;
  std::vector<std::string> remarks;
  const char* text;
};
void PrintTo(const RemarkCase& c, std::ostream* out) { *out << c.name; }


class JsonRemarks : public JsonLinesTest, public ::testing::WithParamInterface<RemarkCase> {};

TEST_P(JsonRemarks, NamesBesideTheListText) {
  const RemarkCase& c = GetParam();
  if (c.spi) s_ = views_test::SpiSettings();
  TransactionInfo& r = c.spi ? Add(kBeganSsActive | kEndedSsInactive) : AddI2C(0x50, false, 1);
  r.Status = c.status;
  if (c.trigger) r.RecordFlags |= kRecordTrigger;
  if (c.hs) r.i2c.I2CFlags |= kI2CHsTransfer;
  const std::vector<Json> lines = Export();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]["remarks"], Json(c.remarks));
  EXPECT_EQ(lines[0]["remark_text"], c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, JsonRemarks,
    ::testing::Values(
        RemarkCase{"None", false, 0, false, false, {}, "-"},
        RemarkCase{"TriggerAlone", false, 0, true, false, {"trigger"}, "TRIGGER!-"},
        // The list names an HS transfer only beside a status remark; the
        // names always say it.
        RemarkCase{"HsAlone", false, 0, false, true, {"hs"}, "-"},
        RemarkCase{"HsWithBitCount", false, kStatusBitCount, true, true, {"trigger", "hs", "bit_count"},
                   "TRIGGER!; <HS XFER>; DATA BIT count NG"},
        RemarkCase{"NoChange", false, kStatusNoChange, false, false, {"no_change"}, " (No change signal.)"},
        RemarkCase{"BadSampling", false, kStatusBadData, false, false, {"bad_sampling"}, "** BAD SAMPING DATA!! ***"},
        RemarkCase{"NotEnded", false, kStatusNotEnd, false, false, {"not_ended"}, "Transaction not end"},
        RemarkCase{"Buf", false, kStatusBuf, false, false, {"tBUF"}, "[tBUF] NG"},
        RemarkCase{"HdSta", false, kStatusHdSta, false, false, {"tHD_STA"}, "[tHD_STA] NG"},
        RemarkCase{"SuSto", false, kStatusSuSto, false, false, {"tSU_STO"}, "[tSU_STO] NG"},
        RemarkCase{"SuSta", false, kStatusSuSta, false, false, {"tSU_STA"}, "[tSU_STA] NG"},
        RemarkCase{"Low", false, kStatusLow, false, false, {"tLOW"}, "[tLOW] NG"},
        RemarkCase{"High", false, kStatusHigh, false, false, {"tHIGH"}, "[tHIGH] NG"},
        RemarkCase{"SuDat", false, kStatusSuDat, false, false, {"tSU_DAT"}, "[tSU_DAT] NG"},
        RemarkCase{"HdDat", false, kStatusHdDat, false, false, {"tHD_DAT"}, "[tHD_DAT] NG"},
        RemarkCase{"ListOrder", false, kStatusHdDat | kStatusBuf | kStatusBadData | kStatusNotAnError, false, false,
                   {"bad_sampling", "tBUF", "tHD_DAT"}, "** BAD SAMPING DATA!! ***; [tBUF] NG; [tHD_DAT] NG"},
        // SPI records have no timing remarks, and their second line's
        // preview is where I2C keeps its flags.
        RemarkCase{"SpiIgnoresTimingBits", true, kStatusLow | kStatusBitCount, false, false, {"bit_count"},
                   "DATA BIT count NG"},
        RemarkCase{"SpiHasNoHs", true, 0, false, true, {}, "-"}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(JsonLinesTest, I2CFieldsFromOddRecords) {
  s_.SamplePeriodCode = 10;
  // No begin or end condition, and a 10-bit write whose detail holds fewer
  // bytes than the record counts.
  TransactionInfo& open = AddI2C(0x7F, true, 2, kNotEnded);
  open.StartClock = (uint64_t{1} << 42) + 3;
  open.Duration = 0xFFFFFFFFu;
  FakeStore()[0] = {{0xFF, 0xAB}, AckBits({false, true}), {}, {}};
  TransactionInfo& ten_bit = AddI2C(0x3FF, false, 5, kBeganRepeatedStart | kEndedRepeatedStart);
  ten_bit.i2c.I2CFlags |= kI2C10Bit | kI2CNack;
  FakeStore()[1] = {{0xF6, 0xFF, 0x01}, AckBits({false, false, true}), {}, {}};
  AddI2C(0x10, false, 1);  // no detail at all
  const std::vector<Json> lines = Export();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].dump(),
            "{\"index\":0,\"start_ns\":439804651110700,\"duration_ns\":429496729500,\"bus\":\"i2c0\","
            "\"address\":127,\"ten_bit\":false,\"direction\":\"read\",\"start\":null,\"end\":null,\"nack\":false,"
            "\"data\":\"AB\",\"remarks\":[],\"remark_text\":\"-\"}");
  EXPECT_EQ(lines[1]["ten_bit"], true);
  EXPECT_EQ(lines[1]["nack"], true);
  EXPECT_EQ(lines[1]["start"], "Sr");
  EXPECT_EQ(lines[1]["end"], "Sr");
  EXPECT_EQ(lines[1]["data"], "01");
  EXPECT_EQ(lines[2]["data"], "");
}

TEST_F(JsonLinesTest, BusAndTimesFollowTheSettings) {
  struct Case {
    uint8_t channel;
    uint8_t monitor;
    const char* line;
  };
  const Case cases[] = {
      {2, 0, R"({"index":0,"start_ns":200,"duration_ns":40,"bus":"i2c1","address":80,)"},
      {2, 1, R"({"index":0,"bus":"i2c1","address":80,)"},
      {0, 1, R"({"index":0,"bus":"spi","mosi":"","miso":"",)"},
      {3, 0, R"({"index":0,"start_ns":200,"duration_ns":40,"remarks":[],)"},
  };
  TransactionInfo& r = AddI2C(0x50, false, 1);
  r.StartClock = 10;
  r.Duration = 2;
  for (const Case& c : cases) {
    s_.m_AnalyzeBusChannel = c.channel;
    s_.MonitorMode = c.monitor;
    Export();
    const std::string text = velix::platform::testing::ReadFile(Path());
    EXPECT_EQ(text.rfind(c.line, 0), 0u) << text;
  }
}

TEST_F(JsonLinesTest, SpiLinesAreCutToTheRecordsLength) {
  s_ = views_test::SpiSettings();
  TransactionInfo& r = Add(kBeganSsActive | kEndedSsInactive);
  r.RecordFlags |= kRecordAnalyzer;
  r.BitCount = 12;
  FakeStore()[0] = {{0xAB, 0x0C, 0x99}, {0x01}, {}, {}};
  const std::vector<Json> lines = Export();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]["miso"], "AB0C");
  EXPECT_EQ(lines[0]["mosi"], "01");
}

TEST_F(JsonLinesTest, WriteErrorIsShownAndCancelCutsAtARow) {
  for (uint32_t i = 0; i < 3; ++i) AddI2C(0x50, false, 1);
  ViewAll();
  const int fd = open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ExportEnv env = Env();
  const ExportResult failed = ExportTransactionJsonLines(env, fd);
  close(fd);
  EXPECT_FALSE(failed.ok);
  EXPECT_EQ(failed.error_code, static_cast<uint32_t>(ENOSPC));
  ASSERT_EQ(sink_.Messages().size(), 1u);
  EXPECT_EQ(sink_.Messages()[0].text, "No space left on device\n Win32 ErrorCode : 28");

  std::atomic<bool> cancel{false};
  env.control.step = 1;
  env.control.cancel = &cancel;
  env.control.progress = [&](uint32_t done, uint32_t) { cancel = done == 2; };
  const ExportResult cut = ExportTransactionJsonLinesFile(env, Path());
  EXPECT_TRUE(cut.ok);
  EXPECT_TRUE(cut.cancelled);
  EXPECT_EQ(cut.rows, 2u);
  EXPECT_EQ(Parse(velix::platform::testing::ReadFile(Path())).size(), 2u);
}

}  // namespace
}  // namespace orvane
