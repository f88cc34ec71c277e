#pragma once
// Keeps the system from suspending while a capture runs: a suspend would
// cut the analyzer's stream in the middle. Held as a logind "sleep"
// inhibitor; where there is no logind (containers, other init systems)
// nothing is held and nothing is said.

#include <QDBusUnixFileDescriptor>

namespace orvane::ui {

class SleepInhibitor {
 public:
  // Takes the inhibitor if not held; true when held afterwards.
  bool Acquire();
  void Release();
  bool Held() const { return fd_.isValid(); }

 private:
  QDBusUnixFileDescriptor fd_;
};

}  // namespace orvane::ui
