#include "ModeChange/mode_change_app.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <string>
#include <vector>

#include "ModeChange/command_line.h"
#include "ModeChange/image_locator.h"
#include "ModeChange/mode_change_dialog.h"
#include "platform/single_instance.h"

namespace velix::modechange {
namespace {

// The name the tool's lock file has always had; older copies of the tool
// look for the same one.
constexpr char kInstanceLockName[] = "USBI2C";

}  // namespace

bool InstallTranslations(QCoreApplication& app, const QString& locale_name) {
  const QLocale locale(locale_name);
  auto* own = new QTranslator(&app);
  const bool found = own->load(locale, QStringLiteral("VELIXModeChange"), QStringLiteral("_"),
                               QStringLiteral(":/i18n"));
  if (found) {
    QCoreApplication::installTranslator(own);
    auto* qt = new QTranslator(&app);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      QCoreApplication::installTranslator(qt);
    }
  }
  return found;
}

int RunModeChange(int argc, char** argv, FirmwareAccess& firmware) {
  platform::SingleInstanceLock lock;
  if (!lock.Acquire(platform::InstanceLockFolder(), kInstanceLockName)) return 1;

  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("VELIXModeChange"));
  InstallTranslations(app, QLocale::system().name());

  // Qt has taken its own options out of argv by now.
  const CommandLine command_line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  MachineOptions options;
  options.repair = command_line.repair;
  options.image_folder = command_line.image_dir.empty() ? ExecutableFolder() : command_line.image_dir;

  ModeChangeDialog dialog(firmware, options);
  dialog.exec();
  return 0;
}

}  // namespace velix::modechange
