#pragma once
// The main window's menus, tool bar and shortcuts, built from one table so
// the menu, the tool bar and the enable rules name the same commands.

#include <QAction>
#include <QMainWindow>
#include <QToolBar>
#include <map>

#include "Orvane/ui/model/frame_commands.h"

namespace orvane::ui {

struct FrameMenus {
  std::map<Command, QAction*> actions;
  QMenu* recent_menu = nullptr;  // "Recent File": filled by the window
  QToolBar* tool_bar = nullptr;
};

FrameMenus BuildFrameMenus(QMainWindow& window);

// The translated menu text of a command (the stop command's changes with
// what runs).
QString StopCommandText(StopLabel label);

}  // namespace orvane::ui
