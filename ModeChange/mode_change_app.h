#pragma once
// The tool as a program: one instance at a time, the command line, the
// user's language, and the dialog over the given device access.

#include <QString>

#include "ModeChange/firmware_access.h"

class QCoreApplication;

namespace velix::modechange {

// Runs the tool to its end and returns the process exit code: 1 at once
// when another instance runs, 0 when the dialog ends.
int RunModeChange(int argc, char** argv, FirmwareAccess& firmware);

// Loads the tool's texts (and Qt's own, for the standard buttons) for the
// language `locale_name` ("ja_JP", "en_US", ...); English needs nothing.
// True when the tool's own translation was found.
bool InstallTranslations(QCoreApplication& app, const QString& locale_name);

}  // namespace velix::modechange
