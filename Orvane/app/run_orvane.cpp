#include "Orvane/app/run_orvane.h"

#include <QApplication>

#include "Orvane/ui/qt_interaction_sink.h"

namespace orvane {

int RunOrvane(int argc, char** argv, const COrvaneApp::MainWindowHook& open_main_window) {
  QApplication qt_app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("TORVEL Systems"));
  QCoreApplication::setApplicationName(QStringLiteral("Orvane"));
  QtInteractionSink sink;
  // Declared after the Qt application, the application object is destroyed
  // first: its exit steps run while Qt still stands.
  COrvaneApp app(sink);
  QStringList arguments = QCoreApplication::arguments();
  arguments.removeFirst();
  if (!app.InitInstance(arguments, open_main_window)) return 1;
  return QApplication::exec();
}

}  // namespace orvane
