#pragma once
// A main window over a real document, offscreen, with message boxes
// answered by a script and recorded: what the user would have been asked,
// in order.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/ui/main_frame.h"

namespace orvane::ui::testing {

struct AskedBox {
  std::string text;
  velix::platform::Buttons buttons;
};

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Answers the next box whose text starts with `prefix` (others get their
  // default answer).
  void Answer(const std::string& prefix, velix::platform::Answer answer) { answers_[prefix].push_back(answer); }
  bool Asked(const std::string& prefix) const;
  // Waits for the next end of a run's handling not waited for before;
  // false on time-out or when that end was of the other kind.
  bool WaitForRunEnd(bool live, int timeout_ms = 20000);
  // Writes a synthesized capture of `scenario` and returns its path.
  std::string Synthesize(const std::string& name, const std::string& scenario);

  std::filesystem::path folder_;
  AppState app_;
  QtInteractionSink sink_;
  std::unique_ptr<CMainFrame> frame_;
  std::unique_ptr<QSignalSpy> run_ends_;
  qsizetype run_ends_seen_ = 0;
  std::vector<AskedBox> asked_;
  std::map<std::string, std::deque<velix::platform::Answer>> answers_;
};

}  // namespace orvane::ui::testing
