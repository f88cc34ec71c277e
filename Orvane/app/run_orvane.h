#pragma once
// The program around the application object, for main(): the Qt
// application, the message boxes, start-up, the event loop and the exit
// steps, in that order.

#include "Orvane/app/orvane_app.h"

namespace orvane {

// Runs the application to its end and returns the process exit code: 0
// after the main window closed, 1 when the application ended at start-up
// (another copy runs, or the main window hook refused).
int RunOrvane(int argc, char** argv, const COrvaneApp::MainWindowHook& open_main_window);

}  // namespace orvane
