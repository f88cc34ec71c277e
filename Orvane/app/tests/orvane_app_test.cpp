// The application object: one running copy, the hand-over to the main
// window with the command line's file, the settings it reads, and what it
// undoes at exit.
#include "Orvane/app/orvane_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <filesystem>

#include "platform/settings_store.h"
#include "platform/tests/scratch_folder.h"

namespace orvane {
namespace {

using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::Icon;

// Message boxes answered in place of the user, and remembered.
struct SinkRecorder {
  struct Message {
    QString text;
    Icon icon;
  };
  SinkRecorder() {
    sink.SetPresenter([this](const QString& text, Icon icon, Buttons, Answer default_answer) {
      messages.push_back({text, icon});
      return default_answer;
    });
  }
  QtInteractionSink sink;
  std::vector<Message> messages;
};

const QStringList kNoTitle = {QStringLiteral("--no-title")};

class OrvaneAppTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove(velix::platform::DefaultSettingsPath("Orvane")); }

  COrvaneApp::MainWindowHook Hook(bool result = true) {
    return [this, result](COrvaneApp& app, const std::optional<QString>& file) {
      ++hook_calls;
      opened = file;
      hooked_app = &app;
      return result;
    };
  }

  SinkRecorder recorder;
  QtInteractionSink& sink = recorder.sink;
  int hook_calls = 0;
  std::optional<QString> opened;
  COrvaneApp* hooked_app = nullptr;
};

TEST_F(OrvaneAppTest, ASecondCopyShowsTheMessageAndEnds) {
  auto first = std::make_unique<COrvaneApp>(sink);
  ASSERT_TRUE(first->InitInstance(kNoTitle, Hook()));
  EXPECT_TRUE(recorder.messages.empty());

  SinkRecorder second_recorder;
  {
    COrvaneApp second(second_recorder.sink);
    EXPECT_FALSE(second.InitInstance(kNoTitle, Hook()));
  }
  ASSERT_EQ(second_recorder.messages.size(), 1u);
  EXPECT_EQ(second_recorder.messages[0].text, QStringLiteral("[Orvane.exe]  already running!!!"));
  EXPECT_EQ(second_recorder.messages[0].icon, Icon::kStop);
  EXPECT_EQ(hook_calls, 1);  // the first copy's main window only

  first.reset();
  COrvaneApp third(sink);
  EXPECT_TRUE(third.InitInstance(kNoTitle, Hook()));
}

TEST_F(OrvaneAppTest, TheMainWindowGetsTheCommandLinesFile) {
  struct Case {
    QStringList arguments;
    std::optional<QString> file;
  } cases[] = {
      {kNoTitle, std::nullopt},
      {{QStringLiteral("--no-title"), QStringLiteral("capture.SIC"), QStringLiteral("other.SIC")},
       QStringLiteral("capture.SIC")},
      {{QStringLiteral("--no-title"), QStringLiteral("--"), QStringLiteral("--odd.SIC")}, QStringLiteral("--odd.SIC")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
    COrvaneApp app(sink);
    ASSERT_TRUE(app.InitInstance(c.arguments, Hook()));
    EXPECT_EQ(opened, c.file);
    EXPECT_EQ(hooked_app, &app);
  }
}

TEST_F(OrvaneAppTest, ARefusingMainWindowEndsTheApplication) {
  COrvaneApp app(sink);
  EXPECT_FALSE(app.InitInstance(kNoTitle, Hook(false)));
  EXPECT_EQ(hook_calls, 1);
}

TEST_F(OrvaneAppTest, StartsWithTheSettingsAndRecentFilesOfTheFile) {
  {
    velix::platform::IniSettingsStore tools(velix::platform::DefaultSettingsPath("Orvane"));
    ASSERT_TRUE(tools.SetInt("Setting", "NoWait", 1));
    ASSERT_TRUE(tools.SetInt("Setting", "MONITOR_I2C_BULK_Len", 2048));
    ASSERT_TRUE(tools.SetString(RecentFiles::kSection, "File1", "/captures/last.SIC"));
  }
  COrvaneApp app(sink);
  EXPECT_EQ(app.State().temp_folder.back(), '/');
  EXPECT_EQ(app.State().sampling_file_name, app.State().temp_folder + "test.SIC");
  EXPECT_EQ(app.State().no_wait, 0u);  // read by InitInstance, not before
  ASSERT_TRUE(app.InitInstance(kNoTitle, Hook()));
  EXPECT_EQ(app.State().no_wait, 1u);
  EXPECT_EQ(app.State().monitor_i2c_bulk_len, 2048u);
  EXPECT_EQ(app.State().analyzer_bulk_len, 131072u);
  EXPECT_EQ(app.State().lock_memory, 1u);
  EXPECT_EQ(app.Recent().Entries(), std::vector<std::string>{"/captures/last.SIC"});
  EXPECT_FALSE(app.State().japanese);
  EXPECT_FALSE(app.State().live_capture);
}

TEST_F(OrvaneAppTest, ExitDeletesTheTemporaryCopyAndRestoresTheLimits) {
  velix::platform::testing::ScratchFolder folder;
  const std::string copy = folder.File("Zzz123.tmp");
  velix::platform::testing::WriteFile(copy, "data");
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_MEMLOCK, &before), 0);
  ASSERT_GT(before.rlim_cur, 0u);
  {
    COrvaneApp app(sink);
    ASSERT_TRUE(app.InitInstance(kNoTitle, Hook()));
    EXPECT_EQ(app.StartupLimits().minimum, before.rlim_cur);
    EXPECT_EQ(app.StartupLimits().maximum, before.rlim_max);
    app.State().temp_copy_name = copy;
    // A capture that left the limit changed.
    rlimit lowered = before;
    lowered.rlim_cur = before.rlim_cur / 2;
    ASSERT_EQ(setrlimit(RLIMIT_MEMLOCK, &lowered), 0);
  }
  EXPECT_FALSE(std::filesystem::exists(copy));
  rlimit after{};
  ASSERT_EQ(getrlimit(RLIMIT_MEMLOCK, &after), 0);
  EXPECT_EQ(after.rlim_cur, before.rlim_cur);
}

TEST_F(OrvaneAppTest, TheTitleWindowFollowsTheMainWindow) {
  QString modal_class;
  int hook_calls_when_shown = -1;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    modal_class = QString::fromLatin1(modal->metaObject()->className());
    hook_calls_when_shown = hook_calls;
    QTest::keyClick(modal, Qt::Key_Escape);
  });
  closer.start(10);
  COrvaneApp app(sink);
  ASSERT_TRUE(app.InitInstance({}, Hook()));
  EXPECT_EQ(modal_class, QStringLiteral("orvane::DlgTitle"));
  EXPECT_EQ(hook_calls_when_shown, 1);
}

}  // namespace
}  // namespace orvane
