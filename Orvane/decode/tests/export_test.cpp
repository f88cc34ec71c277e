#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "Orvane/decode/export_csv.h"
#include "Orvane/decode/export_text.h"
#include "Orvane/decode/hex_dump.h"
#include "Orvane/decode/tests/views_test_support.h"

namespace orvane {
namespace {

using views_test::AckBits;
using views_test::FakeLoad;
using views_test::FakeLoads;
using views_test::FakeStore;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Golden(const char* name) { return ReadFile(std::string(VIEWS_GOLDEN_DIR) + "/" + name); }

class ExportTest : public ::testing::Test, public views_test::RecordsFixture {
 protected:
  ExportTest() {
    char name[] = "/tmp/views_export_XXXXXX";
    const int fd = mkstemp(name);
    close(fd);
    path_ = name;
  }
  ~ExportTest() override { std::remove(path_.c_str()); }

  ExportEnv Env() { return {Sampling(), s_, sink_, &FakeLoad, selected_}; }
  std::string Text(bool header_only) {
    ExportEnv env = Env();
    EXPECT_TRUE(ExportTransactionTextFile(env, path_, header_only).ok);
    return ReadFile(path_);
  }
  std::string Csv() {
    ExportEnv env = Env();
    EXPECT_TRUE(ExportTransactionCsvFile(env, path_).ok);
    return ReadFile(path_);
  }

  // A 3-byte write, a read whose last byte is NACKed, and a 17-byte
  // transaction after a repeated START marked as the trigger.
  void AddI2CRows(bool monitor) {
    const std::vector<std::vector<uint8_t>> payloads = {
        {0xA0, 0x01, 0x02},
        {0xA1, 0x10, 0x20},
        {0xA0, 0x00, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D,
         0x4E, 0x7E}};
    const uint64_t starts[] = {1000, 50000000, 123456789};
    const uint32_t durations[] = {500, 1234, 12345};
    for (size_t i = 0; i < (monitor ? 1u : 3u); ++i) {
      const std::vector<uint8_t>& bytes = payloads[i];
      TransactionInfo& r = AddI2C(0x50, i == 1, static_cast<uint32_t>(bytes.size()));
      if (monitor) {
        r.RecordFlags = kRecordI2C | kRecordComplete;
        r.BitCount = static_cast<uint32_t>(bytes.size());
      }
      r.StartClock = starts[i];
      r.Duration = durations[i];
      std::copy_n(bytes.begin() + 1, r.PreviewLen, r.Preview);
      FakeStore()[r.Index].bytes = bytes;
      FakeStore()[r.Index].bytes2 = AckBits(std::vector<bool>(bytes.size(), false));
    }
    if (monitor) return;
    TransactionInfo& read = Store().At(Store().At(Store().Head()).Next);
    read.i2c.I2CFlags |= kI2CNack;
    FakeStore()[1].bytes2 = AckBits({false, false, true});
    TransactionInfo& last = Store().At(Store().Tail());
    last.bStartEndType = kBeganRepeatedStart | kEndedStop;
    last.RecordFlags |= kRecordTrigger;
    last.Status = kStatusBitCount | kStatusLow;
  }

  SettingsRecord s_ = views_test::I2CSettings();
  uint32_t selected_ = 0;
  std::string path_;
};

TEST_F(ExportTest, I2CTextAllDataAndHeaderOnly) {
  AddI2CRows(false);
  ViewAll();
  selected_ = 2;
  EXPECT_EQ(Text(false), Golden("i2c_all_data.txt"));
  // The selected row's bytes are loaded again for the dump views.
  EXPECT_EQ(FakeLoads().back(), 2u);
  FakeLoads().clear();
  EXPECT_EQ(Text(true), Golden("i2c_header_only.txt"));
  EXPECT_TRUE(FakeLoads().empty());
}

TEST_F(ExportTest, I2CCsvAndFilteredRows) {
  AddI2CRows(false);
  ViewAll();
  EXPECT_EQ(Csv(), Golden("i2c.csv"));
  Store().ResetView();
  Store().AppendToView(Store().Tail());
  const std::string golden = Golden("i2c.csv");
  EXPECT_EQ(Csv(), golden.substr(golden.rfind("\r\n\"2\"") + 2));
}

TEST_F(ExportTest, MonitorModeHasNoTimes) {
  s_.MonitorMode = 1;
  AddI2CRows(true);
  ViewAll();
  EXPECT_EQ(Text(true), Golden("monitor_header_only.txt"));
  EXPECT_EQ(Csv(), Golden("monitor.csv"));
}

TEST_F(ExportTest, SpiBothLines) {
  s_ = views_test::SpiSettings();
  TransactionInfo& first = Add(kBeganSsActive | kEndedSsInactive);
  first.RecordFlags |= kRecordAnalyzer;
  first.BitCount = 24;
  first.PreviewLen = 3;
  first.Duration = 100;
  const uint8_t miso[] = {0x31, 0x32, 0x33}, mosi[] = {0x00, 0xFF, 0x7F};
  std::copy_n(miso, 3, first.Preview);
  std::copy_n(mosi, 3, first.Preview2);
  FakeStore()[0] = {{0x31, 0x32, 0x33}, {0x00, 0xFF, 0x7F}, {}, {}};
  TransactionInfo& second = Add(kBeganSsActive | kEndedSsInactive);
  second.RecordFlags |= kRecordAnalyzer;
  second.BitCount = 12;
  second.PreviewLen = 2;
  second.StartClock = 500000;
  second.Duration = 50;
  second.Status = kStatusBitCount;
  second.Preview[0] = 0xAB;
  second.Preview[1] = 0x0C;
  second.Preview2[0] = 0x01;
  second.Preview2[1] = 0x02;
  FakeStore()[1] = {{0xAB, 0x0C}, {0x01, 0x02}, {}, {}};
  ViewAll();
  EXPECT_EQ(Text(false), Golden("spi_all_data.txt"));
  EXPECT_EQ(Text(true), Golden("spi_header_only.txt"));
  EXPECT_EQ(Csv(), Golden("spi.csv"));
}

TEST_F(ExportTest, WriteErrorIsShownAndEndsTheExport) {
  AddI2CRows(false);
  ViewAll();
  const int fd = open("/dev/full", O_WRONLY);
  ASSERT_GE(fd, 0);
  ExportEnv env = Env();
  const ExportResult result = ExportTransactionText(env, fd, false);
  close(fd);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error_code, static_cast<uint32_t>(ENOSPC));
  ASSERT_EQ(sink_.Messages().size(), 1u);
  EXPECT_EQ(sink_.Messages()[0].text, "No space left on device\n Win32 ErrorCode : 28");
  EXPECT_EQ(sink_.Messages()[0].icon, velix::platform::Icon::kStop);
}

// Progress and cancel leave every byte before the stop as the plain export
// writes it: the output is the plain output cut at a row boundary.
TEST_F(ExportTest, ProgressAndCancelCutTheOutputAtARow) {
  enum class Kind { kTextHeader, kTextAll, kCsv };
  struct Case {
    Kind kind;
    uint32_t step;
    uint32_t cancel_at;  // the report whose `done` sets the flag; 0 never
    uint32_t rows_written;
    std::vector<uint32_t> reports;
  };
  const std::vector<Case> cases = {
      {Kind::kCsv, 1, 0, 3, {1, 2}},
      {Kind::kCsv, 2, 0, 3, {2}},
      {Kind::kCsv, 5, 0, 3, {}},
      {Kind::kCsv, 1, 2, 2, {1, 2}},
      {Kind::kCsv, 1, 1, 1, {1}},
      {Kind::kTextHeader, 1, 2, 2, {1, 2}},
      {Kind::kTextAll, 1, 1, 1, {1}},
      {Kind::kTextAll, 2, 0, 3, {2}},
  };
  AddI2CRows(false);
  ViewAll();
  // A row starts after the title with its blank line and its opening rule.
  const auto cut = [](const std::string& full, Kind kind, uint32_t rows) {
    const std::string boundary = kind == Kind::kCsv ? "\r\n" : "\r\n+====";
    size_t at = kind == Kind::kCsv ? 0 : full.find(boundary);
    for (uint32_t i = 0; i < rows; ++i) {
      at = full.find(boundary, at + (kind == Kind::kCsv ? (i == 0 ? 0 : 2) : 1));
      if (at == std::string::npos) return full;
    }
    return full.substr(0, kind == Kind::kCsv ? at + 2 : at);
  };
  for (const Case& c : cases) {
    const std::string full = c.kind == Kind::kCsv ? Csv() : Text(c.kind == Kind::kTextHeader);
    std::atomic<bool> cancel{false};
    std::vector<uint32_t> reports;
    ExportEnv env = Env();
    env.control.step = c.step;
    env.control.cancel = &cancel;
    env.control.progress = [&](uint32_t done, uint32_t total) {
      EXPECT_EQ(total, 3u);
      reports.push_back(done);
      if (done == c.cancel_at) cancel = true;
    };
    sink_.Clear();
    const ExportResult result = c.kind == Kind::kCsv ? ExportTransactionCsvFile(env, path_)
                                                     : ExportTransactionTextFile(env, path_, c.kind == Kind::kTextHeader);
    const std::string label = std::to_string(static_cast<int>(c.kind)) + "/" + std::to_string(c.step) + "/" +
                              std::to_string(c.cancel_at);
    EXPECT_TRUE(result.ok) << label;
    EXPECT_EQ(result.cancelled, c.rows_written < 3) << label;
    EXPECT_EQ(result.rows, c.rows_written) << label;
    EXPECT_EQ(result.total, 3u) << label;
    EXPECT_EQ(reports, c.reports) << label;
    EXPECT_EQ(ReadFile(path_), cut(full, c.kind, c.rows_written)) << label;
    EXPECT_TRUE(sink_.Messages().empty()) << label;
  }
}

TEST(ExportErrors, MessagesAndMissingFolder) {
  EXPECT_EQ(ExportErrorMessage(ETIMEDOUT), "Time out  occured\n Win32 ErrorCode : 110");
  EXPECT_EQ(ExportErrorMessage(5000), " Win32  ErrorCode\xEF\xBC\x9A" "5000");
  velix::platform::RecordingSink sink;
  uint32_t error = 0;
  EXPECT_LT(OpenExportFile("/nonexistent-folder/x.txt", sink, &error), 0);
  EXPECT_EQ(error, static_cast<uint32_t>(ENOENT));
  ASSERT_EQ(sink.Messages().size(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, "File not found!\r\n </nonexistent-folder/x.txt>\r\n");
  // Other refusals are the caller's to report: the code comes back, no box.
  EXPECT_LT(OpenExportFile("/dev/null/x.txt", sink, &error), 0);
  EXPECT_EQ(error, static_cast<uint32_t>(ENOTDIR));
  EXPECT_EQ(sink.Messages().size(), 1u);
}

TEST(HexDump, ChunksContinueOffsetsAndEmptyWritesNothing) {
  std::vector<uint8_t> bytes(4100);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
  int pipe_fds[2];
  ASSERT_EQ(pipe2(pipe_fds, O_NONBLOCK), 0);
  ExportWriter writer(pipe_fds[1]);
  EXPECT_TRUE(WriteHexDump(writer, bytes.data(), 0));
  char probe;
  EXPECT_LT(read(pipe_fds[0], &probe, 1), 0);
  close(pipe_fds[0]);
  close(pipe_fds[1]);
  std::string line;
  AppendDumpLine(bytes.data() + 4096, 4, 4096, &line);
  EXPECT_EQ(line.substr(0, 21), "001000 : 00 01 02 03 ");
  EXPECT_EQ(line.size(), 78u);
}

}  // namespace
}  // namespace orvane
