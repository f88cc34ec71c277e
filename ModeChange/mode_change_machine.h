#pragma once
// The mode change tool without its window: start-up, the 5-second device
// poll, the radio rule, the force accelerator, the "Update" worker and
// "Exit". The window feeds it the user's input and the timer's ticks and
// draws State(); the machine reaches the device through FirmwareAccess and
// the user through ModeChangeView.
//
// Threads: every input comes from the window's thread; the "Update" body
// runs on the worker the launcher gives it. State sits behind one lock,
// which is never held while the device or the user is asked.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "ModeChange/firmware_access.h"
#include "ModeChange/flash_record.h"
#include "ModeChange/mode_texts.h"

namespace velix::modechange {

enum class Phase {
  kNotStarted,          // the dialog is not shown yet
  kWaitingForDevice,    // the timer polls for the device in update mode (with -d: for any device)
  kReady,               // versions shown, timer stopped: pick a mode, press "Update"
  kUpdating,            // the worker checks and writes the image; both buttons disabled
  kUpdateFailed,        // the device refused a step; it stays in update mode for another try
  kSwitched,            // image and record written; the timer polls again until "Exit"
  kFirmwareToolNeeded,  // controller without firmware, or found already in update mode: text 208
  kClosed,              // "Exit" done
};

inline constexpr int kProgressMaximum = 6144;

struct DialogState {
  Phase phase = Phase::kNotStarted;
  uint32_t device_mode = kDeviceModeAbsent;      // last GetDeviceMode result
  Personality current_mode = Personality::kNone;
  Personality selected_mode = Personality::kMonitor;  // the checked radio button
  bool switch_flag = false;
  bool force_flag = false;
  bool repair_option = false;
  std::string firmware_path;                     // no visible control
  TextId status = TextId::kNone;                 // the status line
  int status_number = 0;                         // the "%d" of text 169
  bool status_red = false;
  std::optional<FirmVersions> versions;          // "X.XX", "Y.YY", "Z.ZZ" until known
  TextId mode_label = TextId::kNone;             // 203, 204, 205 once known
  int progress_value = 0;                        // range 0 to kProgressMaximum
  bool update_enabled = false;
  bool exit_enabled = true;
  bool timer_running = false;
  bool worker_busy = false;
};

class ModeChangeView {
 public:
  virtual ~ModeChangeView() = default;
  // State() changed; may come from the worker thread.
  virtual void StateChanged() = 0;
  // Shows a message box and waits for the user. Text 168 asks Yes or No
  // (true for Yes); the others have OK only.
  virtual bool ShowMessage(TextId text) = 0;
  // Closes the dialog after "Exit".
  virtual void CloseDialog() = 0;
};

// The device poll timer (id 4501, every 5,000 ms). Start() begins a fresh
// period; ticks come back through ModeChangeMachine::OnTimer().
class PollTimer {
 public:
  virtual ~PollTimer() = default;
  virtual void Start() = 0;
  virtual void Stop() = 0;
};

// Runs the "Update" body, on a thread of its own in the program.
using WorkerLauncher = std::function<void(std::function<void()> body)>;

struct MachineOptions {
  bool repair = false;
  std::string image_folder;
};

class ModeChangeMachine {
 public:
  static constexpr uint32_t kTimerId = 4501;
  static constexpr int kTimerPeriodMs = 5000;

  ModeChangeMachine(FirmwareAccess& firmware, ModeChangeView& view, PollTimer& timer, WorkerLauncher launch_worker,
                    MachineOptions options);

  void Start();
  void OnTimer();
  void SelectMode(Personality mode);
  void PressForceAccelerator();
  void PressUpdate();
  void PressExit();

  DialogState State() const;

 private:
  struct UpdateRequest {
    Personality selected = Personality::kMonitor;
    Personality current = Personality::kNone;
    std::string firmware_path;
    bool force = false;
  };

  void PollVersions(uint32_t device_mode);
  void PollForRepair();
  void ShowFirmwareToolNeeded();

  // The "Update" worker (mode_change_update.cpp).
  void RunUpdate(const UpdateRequest& request);
  bool ConfirmVersion(const UpdateRequest& request, std::span<const uint8_t> image);
  bool WriteImage(std::span<const uint8_t> image);
  void RejectImage(TextId text);
  void FailUpdate();
  void FinishUpdate(const UpdateRequest& request);

  template <typename Change>
  void Apply(Change&& change) {
    {
      std::lock_guard lock(mutex_);
      change(state_);
    }
    view_.StateChanged();
  }
  void StartTimer();
  void StopTimer();
  std::string LookUpImage(Personality mode) const;

  FirmwareAccess& firmware_;
  ModeChangeView& view_;
  PollTimer& timer_;
  WorkerLauncher launch_worker_;
  const MachineOptions options_;

  mutable std::mutex mutex_;
  DialogState state_;
};

// The mode label text of a personality: 203, 204, or 205 for none.
TextId ModeLabelText(Personality mode);

}  // namespace velix::modechange
