#pragma once
// The application object: everything the windows take for granted. Its
// construction clears the flags and finds the temporary folder; InitInstance
// makes sure only one copy runs, reads the "Setting" values and the recent
// files, chooses the language, records the locked-memory limits and hands
// over to the main window, then shows the title window. Its destruction
// deletes the temporary copy of an opened file and puts the limits back.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "Orvane/app/qt_settings_store.h"
#include "Orvane/app/recent_files.h"
#include "Orvane/capture/app_state.h"
#include "Orvane/ui/qt_interaction_sink.h"
#include "platform/locked_memory.h"
#include "platform/single_instance.h"

namespace orvane {

// The lock that keeps the application to one running copy per machine.
inline constexpr char kAppInstanceLockName[] = "ORVANE";
inline constexpr char kAlreadyRunningMessage[] = "[Orvane.exe]  already running!!!";

class COrvaneApp {
 public:
  // Creates and shows the main window and opens `file_to_open` in it (the
  // command line's file; none: a new, empty document). False ends the
  // application (the file could not be opened).
  using MainWindowHook = std::function<bool(COrvaneApp& app, const std::optional<QString>& file_to_open)>;

  // `sink` shows the start-up messages and, once the main window has
  // connected its hooks, everything else the core says; it must outlive the
  // application object.
  explicit COrvaneApp(QtInteractionSink& sink);
  ~COrvaneApp();
  COrvaneApp(const COrvaneApp&) = delete;
  COrvaneApp& operator=(const COrvaneApp&) = delete;

  // `arguments`: the program's arguments without the program name, after Qt
  // took its own. Needs a QApplication. False when the application is to
  // end at once: another copy runs, or the main window hook refused.
  bool InitInstance(const QStringList& arguments, const MainWindowHook& open_main_window);

  AppState& State() { return state_; }
  RecentFiles& Recent() { return recent_; }
  QtSettingsStore& Settings() { return settings_; }
  QtInteractionSink& Sink() { return sink_; }
  // The locked-memory limits found at start-up, for the live buffer (both 0
  // when they could not be read: then never restored).
  const velix::platform::WorkingSetLimits& StartupLimits() const { return startup_limits_; }

 private:
  bool AcquireInstanceLock();
  void ChooseLanguage();
  void RecordWorkingSetLimits();
  void DeleteTemporaryCopy();

  QtInteractionSink& sink_;
  AppState state_;
  RecentFiles recent_;
  QtSettingsStore settings_;
  velix::platform::SingleInstanceLock instance_lock_;
  velix::platform::WorkingSetLimits startup_limits_{};
};

}  // namespace orvane
