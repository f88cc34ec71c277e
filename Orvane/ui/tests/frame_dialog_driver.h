#pragma once
// Drives a modal dialog that a command opens: once the dialog of the given
// type is the active modal widget, `act` runs on it (and should close it).
// Polls from the event loop the dialog's exec() runs, giving up after a
// few seconds so a dialog that never opens cannot haunt later tests.

#include <QApplication>
#include <QTimer>
#include <functional>

namespace orvane::ui::testing {

template <typename Dialog>
void WhenModalOpens(std::function<void(Dialog&)> act, int attempts_left = 300) {
  QTimer::singleShot(10, [act = std::move(act), attempts_left]() mutable {
    if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
      act(*dialog);
    } else if (attempts_left > 0) {
      WhenModalOpens<Dialog>(std::move(act), attempts_left - 1);
    }
  });
}

}  // namespace orvane::ui::testing
