// The "Update" body on a thread of its own while the dialog thread keeps
// going: the sanitizer builds check the sharing of the dialog state.
#include <gtest/gtest.h>

#include <thread>

#include "ModeChange/tests/machine_fixture.h"

namespace velix::modechange::testing {
namespace {

TEST_F(MachineTest, TheDialogThreadKeepsWorkingWhileTheWorkerWrites) {
  PutImage("velixc_ana.frm", {.size = 40000});
  std::thread worker;
  launcher = [&worker](std::function<void()> body) { worker = std::thread(std::move(body)); };
  StartUntilReady();
  machine->PressUpdate();

  // Radio clicks and ticks while the image goes out; the last round may
  // come after the worker ended, when a tick finds the versions again.
  while (State().worker_busy) {
    machine->SelectMode(Personality::kMonitor);
    machine->OnTimer();
    machine->SelectMode(Personality::kAnalyzer);
  }
  worker.join();

  const DialogState state = State();
  EXPECT_TRUE(state.phase == Phase::kSwitched || state.phase == Phase::kReady);
  EXPECT_EQ(state.current_mode, Personality::kAnalyzer);
  EXPECT_EQ(state.selected_mode, Personality::kAnalyzer);
  EXPECT_FALSE(state.update_enabled);
  EXPECT_TRUE(state.exit_enabled);
  EXPECT_EQ(device.CpldChunks().size(), 10u);
  EXPECT_EQ(device.LoadedPersonality(), Personality::kAnalyzer);
}

}  // namespace
}  // namespace velix::modechange::testing
