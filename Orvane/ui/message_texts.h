#pragma once
// The fixed texts that the Qt-free core and the status bar's model hand to
// the window to show. The window looks each one up by its English text, so
// the tables only exist to put every such text where the translation tools
// find it; the tests check them against the texts the core really uses.

#include <span>

namespace orvane::ui {

// Context "Messages": message boxes, the message pane of the status bar and
// the entries of the settings dialogs.
std::span<const char* const> MessageTexts();
// Context "StatusBar": the pieces of the idle pane.
std::span<const char* const> StatusBarTexts();

}  // namespace orvane::ui
