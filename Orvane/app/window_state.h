#pragma once
// The main window's size, position, tool bars and docks, kept in the
// application's settings file (group "Workspace") from one run to the next.

class QMainWindow;
class QSettings;

namespace orvane {

void SaveWindowState(QSettings& settings, const QMainWindow& window);
// False when nothing was saved yet (the window keeps its own layout).
bool RestoreWindowState(QSettings& settings, QMainWindow& window);

}  // namespace orvane
