#pragma once
// The main window's size, position, tool bars and docks, kept in the
// application's settings file (group "Workspace") from one run to the next.

class QMainWindow;

namespace orvane {

class QtSettingsStore;

// True when the file was written.
bool SaveWindowState(const QtSettingsStore& store, const QMainWindow& window);
// False when nothing usable was saved (the window keeps its own layout).
bool RestoreWindowState(const QtSettingsStore& store, QMainWindow& window);

}  // namespace orvane
