#include <gtest/gtest.h>

#include <vector>

#include "Orvane/capture/orvane_doc.h"
#include "Orvane/capture/sic_file_writer.h"
#include "Orvane/capture/tests/sic_test_files.h"
#include "platform/files.h"
#include "platform/recording_sink.h"

namespace orvane {
namespace {

using velix::platform::Icon;
using velix::platform::RecordingSink;

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_.temp_folder = temp_.Path();
    app_.sampling_file_name = temp_.File("test.SIC");
  }
  std::string DataOf(const std::string& path) { return testing::ReadFile(path).substr(1024); }

  testing::ScratchFolder temp_;
  testing::ScratchFolder files_;
  AppState app_;
  RecordingSink sink_;
};

TEST_F(SaveTest, LoadedFileSavesByteForByteAcrossWindows) {
  // Three windows' worth, so the copy runs through successive windows with
  // chunks cut at every window boundary.
  const std::string data = testing::PatternData(2 * kWindowSize + 777);
  const std::string source = files_.File("big.SIC");
  testing::WriteFile(source, testing::SicBytes(DefaultSettingsRecord(), data));
  COrvaneDoc doc(app_, sink_, nullptr, nullptr);
  doc.OnNewDocument();
  ASSERT_TRUE(doc.OnOpenDocument(source));
  const std::string target = files_.File("copy.SIC");
  ASSERT_TRUE(doc.OnSaveDocument(target));
  EXPECT_TRUE(DataOf(target) == data);
  SettingsRecord expected_settings = DefaultSettingsRecord();
  expected_settings.m_sizeSamplingBuf = static_cast<uint32_t>(data.size());
  const SicHeader header = BuildSicHeader(expected_settings);
  EXPECT_EQ(testing::ReadFile(target).substr(0, 1024), std::string(header.begin(), header.end()));
  EXPECT_TRUE(sink_.Messages().empty());
}

TEST_F(SaveTest, SavingOverTheMappedFileKeepsTheMappingReadable) {
  const std::string data = testing::PatternData(5000);
  testing::WriteFile(app_.sampling_file_name, testing::SicBytes(DefaultSettingsRecord(), data));
  COrvaneDoc doc(app_, sink_, nullptr, nullptr);
  doc.OnNewDocument();
  ASSERT_TRUE(doc.OnOpenDocument(std::nullopt));
  ASSERT_TRUE(doc.OnSaveDocument(app_.sampling_file_name));
  EXPECT_EQ(DataOf(app_.sampling_file_name), data);
  velix::platform::SectionLock lock(doc.Sampling()->ViewLock());
  uint32_t left = 0;
  const uint8_t* p = doc.Sampling()->MapPosition(4999, &left);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(*p, static_cast<uint8_t>(data[4999]));
}

// A live buffer as the capture leaves it.
struct LiveCase {
  const char* name;
  bool free_run;
  bool wrapped;
  uint32_t write_position;   // m_SamplingCurrentPtr
  uint32_t length;           // m_lenSamplingDataInBuffer
  std::vector<std::pair<uint32_t, uint32_t>> pieces;  // expected (position, length)
  uint32_t stored_position;  // m_SamplingCurrentPtr after the save
};

class LiveSaveTest : public SaveTest, public ::testing::WithParamInterface<LiveCase> {};

TEST_P(LiveSaveTest, WritesOldestFirst) {
  const LiveCase& c = GetParam();
  std::string buffer = testing::PatternData(64);
  CSamplingObj sampling(app_, sink_);
  sampling.AttachLiveBuffer(reinterpret_cast<uint8_t*>(buffer.data()), 64);
  sampling.m_SamplingCurrentPtr = c.write_position;
  sampling.m_lenSamplingDataInBuffer = c.length;
  sampling.buffer_wrapped = c.wrapped;
  SettingsRecord settings = DefaultSettingsRecord();
  settings.FreeRun = c.free_run;
  const std::string target = files_.File("live.SIC");
  ASSERT_TRUE(WriteSicFile(target, settings, sampling, sink_));
  std::string expected;
  for (const auto& [position, length] : c.pieces) expected += buffer.substr(position, length);
  EXPECT_EQ(DataOf(target), expected);
  EXPECT_EQ(sampling.m_SamplingCurrentPtr, c.stored_position);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, LiveSaveTest,
    ::testing::Values(
        LiveCase{"Oneshot", false, false, 40, 40, {{0, 40}}, 40},
        LiveCase{"OneshotIgnoresWrapFlag", false, true, 40, 40, {{0, 40}}, 40},
        LiveCase{"FreeRunNeverWrapped", true, false, 30, 30, {{0, 30}}, 30},
        LiveCase{"FreeRunWrappedAligned", true, true, 20, 20, {{20, 44}, {0, 20}}, 20},
        LiveCase{"FreeRunWrappedRoundsUp", true, true, 18, 18, {{20, 44}, {0, 18}}, 20},
        LiveCase{"FreeRunWrappedAtEnd", true, true, 62, 62, {{0, 62}}, 64}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(SaveTest, EmptyDataIsRefusedAndNothingIsWritten) {
  std::string buffer(64, '\0');
  CSamplingObj sampling(app_, sink_);
  sampling.AttachLiveBuffer(reinterpret_cast<uint8_t*>(buffer.data()), 64);
  const std::string target = files_.File("none.SIC");
  EXPECT_FALSE(WriteSicFile(target, DefaultSettingsRecord(), sampling, sink_));
  ASSERT_EQ(sink_.Messages().size(), 1u);
  EXPECT_EQ(sink_.Messages()[0].text, "Empty Sampling data.");
  EXPECT_EQ(sink_.Messages()[0].icon, Icon::kExclamation);
  EXPECT_FALSE(velix::platform::FileExists(target));
}

struct TargetCase {
  const char* name;
  std::string (*target)(const std::string& folder);
  std::string (*message)(const std::string& target);
  Icon icon;
};

class SaveTargetTest : public SaveTest, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(SaveTargetTest, UnwritableTargetIsReported) {
  testing::WriteFile(files_.File("plain"), "x");
  std::string buffer(16, '\x10');
  CSamplingObj sampling(app_, sink_);
  sampling.AttachLiveBuffer(reinterpret_cast<uint8_t*>(buffer.data()), 16);
  sampling.m_lenSamplingDataInBuffer = 16;
  const std::string target = GetParam().target(files_.Path());
  EXPECT_FALSE(WriteSicFile(target, DefaultSettingsRecord(), sampling, sink_));
  ASSERT_EQ(sink_.Messages().size(), 1u);
  EXPECT_EQ(sink_.Messages()[0].text, GetParam().message(target));
  EXPECT_EQ(sink_.Messages()[0].icon, GetParam().icon);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SaveTargetTest,
    ::testing::Values(
        TargetCase{"MissingFolder", [](const std::string& f) { return f + "no/such/x.SIC"; },
                   [](const std::string& name) { return "File not found!\r\n <" + name + ">\r\n"; },
                   Icon::kNone},
        TargetCase{"FolderIsAFile", [](const std::string& f) { return f + "plain/x.SIC"; },
                   [](const std::string& name) {
                     return "Failed to save data!\n\n" + name + " \n  (m_cause=3)";
                   },
                   Icon::kStop}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace orvane
