#include "ModeChange/mode_change_machine.h"

#include <utility>

#include "ModeChange/image_locator.h"

namespace velix::modechange {
namespace {

// The mode to offer: the other personality, monitor when none is known.
Personality OtherMode(Personality mode) {
  return mode == Personality::kMonitor ? Personality::kAnalyzer : Personality::kMonitor;
}

}  // namespace

TextId ModeLabelText(Personality mode) {
  switch (mode) {
    case Personality::kAnalyzer:
      return TextId::kAnalyzerMode;
    case Personality::kMonitor:
      return TextId::kMonitorMode;
    case Personality::kNone:
      break;
  }
  return TextId::kCanNotObtain;
}

ModeChangeMachine::ModeChangeMachine(FirmwareAccess& firmware, ModeChangeView& view, PollTimer& timer,
                                     WorkerLauncher launch_worker, MachineOptions options)
    : firmware_(firmware),
      view_(view),
      timer_(timer),
      launch_worker_(std::move(launch_worker)),
      options_(std::move(options)) {}

DialogState ModeChangeMachine::State() const {
  std::lock_guard lock(mutex_);
  return state_;
}

std::string ModeChangeMachine::LookUpImage(Personality mode) const {
  return FindImageFile(options_.image_folder, mode);
}

void ModeChangeMachine::StartTimer() {
  Apply([](DialogState& s) { s.timer_running = true; });
  timer_.Start();
}

void ModeChangeMachine::StopTimer() {
  timer_.Stop();
  Apply([](DialogState& s) { s.timer_running = false; });
}

void ModeChangeMachine::Start() {
  if (State().phase != Phase::kNotStarted) return;
  const std::string monitor_path = LookUpImage(Personality::kMonitor);
  Apply([&](DialogState& s) {
    s.repair_option = options_.repair;
    s.force_flag = false;
    s.current_mode = Personality::kNone;
    s.selected_mode = Personality::kMonitor;
    s.firmware_path = monitor_path;
    s.switch_flag = false;
  });

  const uint32_t device_mode = firmware_.GetDeviceMode();
  Apply([&](DialogState& s) { s.device_mode = device_mode; });
  if (device_mode == kDeviceModeOperation) {
    const Personality current = firmware_.QueryMode();
    const Personality selected = OtherMode(current);
    const std::string path = LookUpImage(selected);
    Apply([&](DialogState& s) {
      s.current_mode = current;
      s.selected_mode = selected;
      s.firmware_path = path;
    });
    firmware_.EnterUpdateMode();
    view_.ShowMessage(TextId::kReadyToSwitch);
    Apply([](DialogState& s) { s.status = TextId::kWaitAMinute; });
  }

  Apply([](DialogState& s) {
    s.phase = Phase::kWaitingForDevice;
    s.update_enabled = false;
  });
  StartTimer();
}

void ModeChangeMachine::OnTimer() {
  uint32_t device_mode = 0;
  {
    std::lock_guard lock(mutex_);
    // A tick already queued when the timer stopped, or one during the
    // worker, must not reach the device: it handles one call at a time.
    if (!state_.timer_running || state_.worker_busy || state_.phase == Phase::kClosed) return;
    device_mode = state_.device_mode;
  }
  if (options_.repair) {
    PollForRepair();
  } else if (device_mode == kDeviceModeNoFirmware) {
    ShowFirmwareToolNeeded();
  } else {
    PollVersions(device_mode);
  }
}

void ModeChangeMachine::ShowFirmwareToolNeeded() {
  StopTimer();
  Apply([](DialogState& s) { s.phase = Phase::kFirmwareToolNeeded; });
  view_.ShowMessage(TextId::kFirmwareCorrupted);
}

void ModeChangeMachine::PollVersions(uint32_t device_mode) {
  FirmVersions versions;
  if (firmware_.GetFirmVersion(versions)) {
    // Readable versions from a device that was already in update mode when
    // it was found: its firmware did not come up, the tool cannot help.
    if (device_mode == kDeviceModeUpdate) {
      ShowFirmwareToolNeeded();
      return;
    }
    Apply([&](DialogState& s) {
      s.status = TextId::kSelectAndUpdate;
      s.versions = versions;
      s.mode_label = ModeLabelText(s.current_mode);
    });
    StopTimer();
    Apply([](DialogState& s) {
      s.phase = Phase::kReady;
      s.update_enabled = s.current_mode != s.selected_mode;
    });
    return;
  }

  Apply([](DialogState& s) {
    s.status = TextId::kDeviceNotFound;
    s.phase = Phase::kWaitingForDevice;
  });
  StopTimer();
  const uint32_t found = firmware_.GetDeviceMode();
  Apply([&](DialogState& s) { s.device_mode = found; });
  if (found == kDeviceModeOperation) {
    firmware_.EnterUpdateMode();
    view_.ShowMessage(TextId::kReadyToSwitch);
  }
  StartTimer();
}

void ModeChangeMachine::PollForRepair() {
  const uint32_t found = firmware_.GetDeviceMode();
  Apply([&](DialogState& s) { s.device_mode = found; });
  if (found == kDeviceModeNoFirmware) {
    ShowFirmwareToolNeeded();
    return;
  }
  Apply([](DialogState& s) { s.status = TextId::kConnectDevice; });
}

void ModeChangeMachine::SelectMode(Personality mode) {
  if (mode == Personality::kNone) return;
  const std::string path = LookUpImage(mode);
  Apply([&](DialogState& s) {
    s.selected_mode = mode;
    s.firmware_path = path;
    // While the worker writes, the buttons stay disabled whatever is clicked.
    if (s.current_mode != Personality::kNone && !s.worker_busy) s.update_enabled = s.selected_mode != s.current_mode;
  });
}

void ModeChangeMachine::PressForceAccelerator() {
  Apply([](DialogState& s) { s.force_flag = true; });
}

void ModeChangeMachine::PressUpdate() {
  UpdateRequest request;
  {
    std::lock_guard lock(mutex_);
    if (!state_.update_enabled || state_.worker_busy || state_.phase == Phase::kClosed) return;
    state_.worker_busy = true;
    state_.phase = Phase::kUpdating;
    state_.switch_flag = true;
    state_.update_enabled = false;
    state_.exit_enabled = false;
    state_.progress_value = 0;
    request = {state_.selected_mode, state_.current_mode, state_.firmware_path, state_.force_flag};
  }
  view_.StateChanged();
  // "Update" can be enabled by a radio click while the poll still runs;
  // stopping it here keeps the device calls one at a time.
  StopTimer();
  Apply([](DialogState& s) { s.progress_value = 4096; });
  launch_worker_([this, request] { RunUpdate(request); });
}

void ModeChangeMachine::PressExit() {
  bool restore = false;
  Personality current = Personality::kNone;
  {
    std::lock_guard lock(mutex_);
    if (!state_.exit_enabled || state_.worker_busy || state_.phase == Phase::kClosed) return;
    // The tool sent the device into update mode and wrote nothing: give the
    // record its operation-mode identity back so the device comes up
    // normally at the next plug-in.
    restore = !state_.switch_flag && state_.device_mode == kDeviceModeOperation;
    current = state_.current_mode;
  }
  StopTimer();
  if (restore) {
    FlashRecord record{};
    if (ReadAndEraseRecord(firmware_, record)) {
      SetOperationIdentity(record);
      WriteRecord(firmware_, record);
    }
  }
  if (current == Personality::kAnalyzer) view_.ShowMessage(TextId::kStartAnalyzerMode);
  if (current == Personality::kMonitor) view_.ShowMessage(TextId::kStartMonitorMode);
  Apply([](DialogState& s) { s.phase = Phase::kClosed; });
  view_.CloseDialog();
}

}  // namespace velix::modechange
