#pragma once
// The machine without a window: a view that records what it is told and
// answers message boxes from a queue, a timer the test ticks by hand (each
// OnTimer() is five seconds passing), the worker run in place unless a test
// holds it back, and image files in a scratch folder.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ModeChange/mode_change_machine.h"
#include "ModeChange/tests/cpld_test_images.h"
#include "ModeChange/tests/fake_velix_device.h"
#include "platform/tests/scratch_folder.h"

namespace velix::modechange::testing {

struct StatusStep {
  TextId status;
  bool red;
  int progress;
};

class RecordingView final : public ModeChangeView {
 public:
  void Attach(const ModeChangeMachine* machine) { machine_ = machine; }

  void StateChanged() override {
    const DialogState state = machine_->State();
    const StatusStep step{state.status, state.status_red, state.progress_value};
    std::lock_guard lock(mutex_);
    if (steps.empty() || steps.back().status != step.status || steps.back().red != step.red ||
        steps.back().progress != step.progress) {
      steps.push_back(step);
    }
  }
  bool ShowMessage(TextId text) override {
    std::lock_guard lock(mutex_);
    messages.push_back(text);
    if (on_message) on_message(text);
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void CloseDialog() override { closed = true; }

  // Filled from whichever thread the machine calls on; read them when the
  // worker is done.
  std::vector<TextId> messages;
  std::deque<bool> answers;  // for Yes/No boxes; Yes when empty
  std::function<void(TextId)> on_message;
  std::vector<StatusStep> steps;
  bool closed = false;

 private:
  const ModeChangeMachine* machine_ = nullptr;
  std::mutex mutex_;
};

class ManualTimer final : public PollTimer {
 public:
  void Start() override { running = true; }
  void Stop() override { running = false; }
  bool running = false;
};

class MachineTest : public ::testing::Test {
 protected:
  MachineTest() {
    // The user re-plugs the cable before answering the re-plug request.
    view.on_message = [this](TextId text) {
      if (text == TextId::kReadyToSwitch) device.Replug();
    };
  }

  void StartMachine(bool repair = false) {
    MachineOptions options;
    options.repair = repair;
    options.image_folder = folder.Path();
    machine = std::make_unique<ModeChangeMachine>(device, view, timer, launcher, options);
    view.Attach(machine.get());
    machine->Start();
  }
  // Five seconds pass on the poll timer.
  void Tick() {
    ASSERT_TRUE(timer.running);
    machine->OnTimer();
  }
  // Start-up with a device in operation mode, re-plug, versions shown.
  void StartUntilReady() {
    StartMachine();
    Tick();
    ASSERT_EQ(State().phase, Phase::kReady);
  }
  DialogState State() const { return machine->State(); }
  std::string StatusText() const {
    const DialogState state = State();
    return FillNumber(EnglishText(state.status), state.status_number);
  }
  void PutImage(const std::string& name, const ImageRecipe& recipe) {
    WriteBytes(folder.File(name), MakeCpldImage(recipe));
  }

  platform::testing::ScratchFolder folder;
  FakeVelixDevice device{Personality::kMonitor, 1, 0x00};
  RecordingView view;
  ManualTimer timer;
  // The worker runs in place, or waits in `held_worker` while `hold_worker`.
  bool hold_worker = false;
  std::function<void()> held_worker;
  WorkerLauncher launcher = [this](std::function<void()> body) {
    if (hold_worker) {
      held_worker = std::move(body);
    } else {
      body();
    }
  };
  std::unique_ptr<ModeChangeMachine> machine;
};

}  // namespace velix::modechange::testing
