#include "Orvane/capture/orvane_doc.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "Orvane/capture/tests/sic_test_files.h"
#include "platform/files.h"
#include "platform/recording_sink.h"

namespace orvane {
namespace {

using velix::platform::Icon;
using velix::platform::RecordingSink;

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_.temp_folder = temp_.Path();
    app_.sampling_file_name = temp_.File("test.SIC");
    doc_.OnNewDocument();
  }

  std::string WriteSic(const std::string& name, const SettingsRecord& settings,
                       const std::string& data) {
    return WriteRaw(name, testing::SicBytes(settings, data));
  }
  std::string WriteRaw(const std::string& name, const std::string& bytes) {
    const std::string path = files_.File(name);
    testing::WriteFile(path, bytes);
    return path;
  }
  std::vector<std::string> TempCopies() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(temp_.Path())) {
      const std::string name = entry.path().filename();
      if (name.rfind("Zzz", 0) == 0) names.push_back(entry.path());
    }
    return names;
  }
  std::string OnlyMessage() {
    const auto messages = sink_.Messages();
    EXPECT_EQ(messages.size(), 1u);
    return messages.empty() ? std::string() : messages.back().text;
  }

  testing::ScratchFolder temp_;
  testing::ScratchFolder files_;
  AppState app_;
  RecordingSink sink_;
  COrvaneDoc doc_{app_, sink_, nullptr, nullptr};
};

TEST_F(DocumentTest, OpenRestoresSettingsAndMapsACopy) {
  SettingsRecord stored = DefaultSettingsRecord();
  stored.m_AnalyzeBusChannel = 1;
  stored.SamplePeriodCode = 5;
  stored.m_sizeSamplingBuf = 123456789;  // whatever was stored, the file size wins
  const std::string path = WriteSic("a.SIC", stored, std::string(100, '\x10'));
  ASSERT_TRUE(doc_.OnOpenDocument(path));
  EXPECT_TRUE(sink_.Messages().empty());
  EXPECT_EQ(app_.settings.m_AnalyzeBusChannel, 1);
  EXPECT_EQ(app_.settings.SamplePeriodCode, 5);
  EXPECT_EQ(app_.settings.m_sizeSamplingBuf, 100u);
  EXPECT_EQ(doc_.Sampling()->m_lenSamplingDataInBuffer, 100u);
  EXPECT_TRUE(app_.data_loaded);
  ASSERT_EQ(TempCopies().size(), 1u);
  EXPECT_EQ(doc_.MappedFileName(), TempCopies()[0]);
  EXPECT_EQ(app_.temp_copy_name, TempCopies()[0]);
}

TEST_F(DocumentTest, HeaderOnlyFileOpensWithAnEmptyBuffer) {
  const std::string path = WriteSic("h.SIC", DefaultSettingsRecord(), "");
  ASSERT_TRUE(doc_.OnOpenDocument(path));
  EXPECT_EQ(doc_.Sampling()->m_lenSamplingDataInBuffer, 0u);
  EXPECT_EQ(app_.settings.m_sizeSamplingBuf, 0u);
}

TEST_F(DocumentTest, OldRecordGetsHsDefaults) {
  SettingsRecord old = DefaultSettingsRecord();
  old.HsMarker = 0;
  old.HsEnable = 1;
  old.tHIGH_HS = 0;
  const std::string path = WriteSic("old.SIC", old, "\x10");
  ASSERT_TRUE(doc_.OnOpenDocument(path));
  EXPECT_EQ(app_.settings.HsMarker, 'H');
  EXPECT_EQ(app_.settings.HsEnable, 0);
  EXPECT_EQ(app_.settings.tHIGH_HS, 6u);
}

struct RejectCase {
  const char* name;
  std::string (*bytes)();
};

class RejectTest : public DocumentTest, public ::testing::WithParamInterface<RejectCase> {};

TEST_P(RejectTest, NotAcceptedKeepsPreviousSettingsButTheSize) {
  app_.settings.m_AnalyzeBusChannel = 2;
  app_.settings.NoiseFilter = 3;
  const std::string bytes = GetParam().bytes();
  const std::string path = WriteRaw("bad.SIC", bytes);
  EXPECT_FALSE(doc_.OnOpenDocument(path));
  const auto messages = sink_.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "This file is not with the correct data.");
  EXPECT_EQ(messages[0].icon, Icon::kStop);
  EXPECT_EQ(app_.settings.m_AnalyzeBusChannel, 2);
  EXPECT_EQ(app_.settings.NoiseFilter, 3);
  EXPECT_EQ(app_.settings.m_sizeSamplingBuf, bytes.size() < 1024 ? 0u : bytes.size() - 1024);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RejectTest,
    ::testing::Values(
        RejectCase{"HeaderSize1023",
                   [] {
                     std::string b = testing::SicBytes(DefaultSettingsRecord(), "\x10\x10");
                     b[4] = '\xFF';
                     b[5] = '\x03';
                     return b;
                   }},
        RejectCase{"WrongMagic",
                   [] {
                     std::string b = testing::SicBytes(DefaultSettingsRecord(), "\x10");
                     b[0] = 'X';
                     return b;
                   }},
        RejectCase{"Truncated", [] { return testing::SicBytes(DefaultSettingsRecord(), "").substr(0, 700); }},
        RejectCase{"OneByte", [] { return std::string("K"); }}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(DocumentTest, MissingFileIsReported) {
  const std::string path = files_.File("nowhere.SIC");
  EXPECT_FALSE(doc_.OnOpenDocument(path));
  EXPECT_EQ(OnlyMessage(), "File not found!\r\n <" + path + ">\r\n");
  EXPECT_EQ(sink_.Messages()[0].icon, Icon::kStop);
  EXPECT_TRUE(TempCopies().empty());
}

TEST_F(DocumentTest, EmptyFileIsReportedWithItsCopyName) {
  const std::string path = WriteRaw("empty.SIC", "");
  EXPECT_FALSE(doc_.OnOpenDocument(path));
  EXPECT_EQ(OnlyMessage(), " Data (File:" + doc_.MappedFileName() + ") is Empty!!!  No Sampling Data");
}

TEST_F(DocumentTest, SecondOpenMakesANewCopyAndDeletesTheFirst) {
  const std::string path = WriteSic("twice.SIC", DefaultSettingsRecord(), "\x10");
  ASSERT_TRUE(doc_.OnOpenDocument(path));
  const std::string first = app_.temp_copy_name;
  ASSERT_TRUE(doc_.OnOpenDocument(path));
  EXPECT_NE(app_.temp_copy_name, first);
  EXPECT_FALSE(velix::platform::FileExists(first));
  EXPECT_EQ(TempCopies(), std::vector<std::string>{app_.temp_copy_name});
  doc_.OnCloseDocument();
  EXPECT_TRUE(TempCopies().empty());
  EXPECT_TRUE(app_.temp_copy_name.empty());
  EXPECT_TRUE(sink_.Messages().empty());
}

TEST_F(DocumentTest, OpenWithoutNameMapsTheSamplingFileInPlace) {
  testing::WriteFile(app_.sampling_file_name, testing::SicBytes(DefaultSettingsRecord(), "\x10\x30"));
  ASSERT_TRUE(doc_.OnOpenDocument(std::nullopt));
  EXPECT_EQ(doc_.MappedFileName(), app_.sampling_file_name);
  EXPECT_TRUE(TempCopies().empty());
  EXPECT_EQ(doc_.Sampling()->GetSamplingAtom(1).state, 0);
  EXPECT_EQ(doc_.Sampling()->GetSamplingAtom(1).count, 1);
}

// A runner that records what the document asked of it.
class RecordingRunner : public AnalysisRunner {
 public:
  bool ScanningSamplingDataStart(COrvaneDoc&) override {
    ++starts;
    return start_result;
  }
  void WaitForWinThreadEnd() override { ++waits; }
  int starts = 0;
  int waits = 0;
  bool start_result = true;
};

TEST_F(DocumentTest, RebuildRestartsTheWorkerOnlyWithData) {
  RecordingRunner runner;
  COrvaneDoc doc(app_, sink_, nullptr, &runner);
  doc.OnNewDocument();
  EXPECT_FALSE(doc.RebuildTransactionInfo()) << "no data yet";
  const std::string path = WriteSic("r.SIC", DefaultSettingsRecord(), "\x10\x10");
  ASSERT_TRUE(doc.OnOpenDocument(path));
  EXPECT_EQ(runner.starts, 1);
  EXPECT_TRUE(app_.analysis_running);
  runner.start_result = false;
  EXPECT_FALSE(doc.RebuildTransactionInfo());
  EXPECT_EQ(runner.starts, 2);
  EXPECT_GE(runner.waits, 3);
  EXPECT_FALSE(app_.analysis_running) << "a worker that never started cannot clear the flag";
}

TEST_F(DocumentTest, OpenWhoseWorkerFailsToStartLeavesTheDocumentIdle) {
  RecordingRunner runner;
  runner.start_result = false;
  COrvaneDoc doc(app_, sink_, nullptr, &runner);
  doc.OnNewDocument();
  const std::string path = WriteSic("f.SIC", DefaultSettingsRecord(), "\x10\x10");
  EXPECT_FALSE(doc.OnOpenDocument(path));
  EXPECT_EQ(runner.starts, 1);
  EXPECT_FALSE(app_.analysis_running);
}

}  // namespace
}  // namespace orvane
