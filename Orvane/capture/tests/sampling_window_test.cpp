#include <gtest/gtest.h>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/run_result.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/tests/sic_test_files.h"
#include "platform/files.h"
#include "platform/recording_sink.h"

namespace orvane {
namespace {

using velix::platform::RecordingSink;

class SamplingWindowTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = folder_.File(name);
    testing::WriteFile(path, bytes);
    return path;
  }
  testing::ScratchFolder folder_;
  AppState app_;
  RecordingSink sink_;
};

// A file of one full window plus a second window of exactly 1024 bytes.
TEST_F(SamplingWindowTest, SecondWindowOfAFileOneHeaderLongerThanAWindow) {
  const std::string data = testing::PatternData(kWindowSize);
  const std::string path = Write("w.SIC", testing::SicBytes(DefaultSettingsRecord(), data));
  CSamplingObj sampling(app_, sink_);
  ASSERT_EQ(sampling.OpenCreateFileMapView(path), 0u);
  EXPECT_EQ(sampling.m_sizeSamplingBuf, kWindowSize);
  EXPECT_EQ(sampling.m_lenSamplingDataInBuffer, kWindowSize);
  EXPECT_EQ(sampling.WindowIndex(), 0);

  velix::platform::SectionLock lock(sampling.ViewLock());
  uint32_t left = 0;
  const uint32_t last_in_window0 = kWindowSize - 1024 - 1;  // file offset 16,777,215
  const uint8_t* p = sampling.MapPosition(last_in_window0, &left);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(left, 1u);
  EXPECT_EQ(*p, static_cast<uint8_t>(data[last_in_window0]));

  p = sampling.MapPosition(kWindowSize - 1024, &left);  // position 16,776,192
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(sampling.WindowIndex(), 1);
  EXPECT_EQ(left, 1024u);
  EXPECT_EQ(*p, static_cast<uint8_t>(data[kWindowSize - 1024]));

  p = sampling.MapPosition(10, &left);  // back into window 0
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(sampling.WindowIndex(), 0);
  EXPECT_EQ(*p, static_cast<uint8_t>(data[10]));

  EXPECT_EQ(sampling.MapPosition(kWindowSize, &left), nullptr) << "past the end of the data";
}

TEST_F(SamplingWindowTest, AtomReadsAcrossTheBoundaryAndBack) {
  // Short atoms everywhere: the atom at each position is known.
  std::string data(kWindowSize, '\0');
  for (size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<char>(EncodeShortAtom(static_cast<uint8_t>(i & 15), (i >> 4) & 7));
  }
  const std::string path = Write("a.SIC", testing::SicBytes(DefaultSettingsRecord(), data));
  CSamplingObj sampling(app_, sink_);
  ASSERT_EQ(sampling.OpenCreateFileMapView(path), 0u);
  for (uint32_t position : {kWindowSize - 1025, kWindowSize - 1024, kWindowSize - 1, 0u,
                            kWindowSize - 2}) {
    const SampleAtom atom = sampling.GetSamplingAtom(position);
    EXPECT_EQ(atom.size, 1) << position;
    EXPECT_EQ(atom.state, position & 15) << position;
    EXPECT_EQ(atom.count, (position >> 4) & 7) << position;
    EXPECT_EQ(sampling.WindowIndex(), position + 1024 >= kWindowSize ? 1 : 0) << position;
  }
  EXPECT_EQ(sampling.GetSamplingAtom(kWindowSize).size, kAtomMapError);
}

struct OpenFailureCase {
  const char* name;
  bool create;          // create the file at all
  size_t size;          // bytes in it
  uint32_t result;
  const char* message;  // empty = no message box
};

class OpenFailureTest : public SamplingWindowTest,
                        public ::testing::WithParamInterface<OpenFailureCase> {};

TEST_P(OpenFailureTest, ReportsAndLeavesNoBuffer) {
  const OpenFailureCase& c = GetParam();
  const std::string path = folder_.File("f.SIC");
  if (c.create) testing::WriteFile(path, std::string(c.size, '\x10'));
  CSamplingObj sampling(app_, sink_);
  EXPECT_EQ(sampling.OpenCreateFileMapView(path), c.result);
  EXPECT_TRUE(IsErrorResult(c.result));
  EXPECT_FALSE(sampling.HasBuffer());
  const auto messages = sink_.Messages();
  if (std::string(c.message).empty()) {
    EXPECT_TRUE(messages.empty());
  } else {
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text.rfind(c.message, 0), 0u) << messages[0].text;
    EXPECT_EQ(messages[0].icon, velix::platform::Icon::kNone);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenFailureTest,
    ::testing::Values(OpenFailureCase{"Missing", false, 0, kResultMappingError, ""},
                      OpenFailureCase{"Empty", true, 0, kResultMappingError, " Data (File:"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(SamplingWindowTest, EmptyFileMessageNamesTheFile) {
  const std::string path = Write("empty.SIC", "");
  CSamplingObj sampling(app_, sink_);
  sampling.OpenCreateFileMapView(path);
  ASSERT_EQ(sink_.Messages().size(), 1u);
  EXPECT_EQ(sink_.Messages()[0].text, " Data (File:" + path + ") is Empty!!!  No Sampling Data");
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// The document maps a private copy; even if that copy is deleted behind its
// back, the open mapping keeps every byte readable.
TEST(SamplingVanishTest, DeletedFileStaysReadableThroughItsMapping) {
  testing::ScratchFolder folder;
  const std::string path = folder.File("vanish.SIC");
  testing::WriteFile(path, testing::SicBytes(DefaultSettingsRecord(), "\x35\x10"));
  AppState app;
  velix::platform::RecordingSink sink;
  CSamplingObj sampling(app, sink);
  ASSERT_EQ(sampling.OpenCreateFileMapView(path), 0u);
  ASSERT_EQ(velix::platform::DeleteFileAt(path), 0u);
  const SampleAtom atom = sampling.GetSamplingAtom(0);
  EXPECT_EQ(atom.size, 1);
  EXPECT_EQ(atom.state, 5);
  EXPECT_EQ(atom.count, 1);
}

}  // namespace
}  // namespace orvane
