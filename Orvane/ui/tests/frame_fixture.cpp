#include "Orvane/ui/tests/frame_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdlib>
#include <unistd.h>

#include "sim/synthesizer.h"

namespace orvane::ui::testing {

void FrameTest::SetUp() {
  char pattern[] = "/tmp/orvane-frame-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  folder_ = pattern;
  app_.temp_folder = folder_.string() + "/";
  app_.sampling_file_name = app_.temp_folder + "test.SIC";
  // No translator is installed: the presented texts are the core's own.
  sink_.SetPresenter([this](const QString& shown, velix::platform::Icon, velix::platform::Buttons buttons,
                            velix::platform::Answer default_answer) {
    const std::string text = shown.toStdString();
    asked_.push_back({text, buttons});
    for (auto& [prefix, queue] : answers_) {
      if (text.rfind(prefix, 0) == 0 && !queue.empty()) {
        const velix::platform::Answer answer = queue.front();
        queue.pop_front();
        return answer;
      }
    }
    return default_answer;
  });
  frame_ = std::make_unique<CMainFrame>(app_, sink_, FrameServices{});
  run_ends_ = std::make_unique<QSignalSpy>(frame_.get(), &CMainFrame::runEnded);
  frame_->show();
}

void FrameTest::TearDown() {
  // Whatever a failed test left running is stopped; the window waits for
  // its worker when it goes.
  if (frame_ && (app_.live_capture || app_.analysis_running)) frame_->OnStop();
  run_ends_.reset();
  frame_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

bool FrameTest::Asked(const std::string& prefix) const {
  for (const AskedBox& box : asked_) {
    if (box.text.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

bool FrameTest::WaitForRunEnd(bool live, int timeout_ms) {
  QElapsedTimer clock;
  clock.start();
  while (run_ends_->size() <= run_ends_seen_ && clock.elapsed() < timeout_ms) run_ends_->wait(50);
  if (run_ends_->size() <= run_ends_seen_) return false;
  return run_ends_->at(run_ends_seen_++).at(0).toBool() == live;
}

std::string FrameTest::Synthesize(const std::string& name, const std::string& scenario) {
  const std::string path = (folder_ / name).string();
  std::string error;
  EXPECT_TRUE(velix::sim::SynthesizeSicFile(scenario, {}, path, "", &error)) << error;
  return path;
}

}  // namespace orvane::ui::testing
