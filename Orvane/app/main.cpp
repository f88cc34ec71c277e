// Orvane [FILE.SIC]: the application.
#include <QApplication>
#include <memory>

#include "Orvane/app/orvane_app.h"
#include "Orvane/app/run_orvane.h"
#include "Orvane/app/window_state.h"
#include "Orvane/ui/main_frame.h"

namespace {

// The main window lives as long as the event loop; the application object
// outlives it.
std::unique_ptr<orvane::ui::CMainFrame> g_main_window;

bool OpenMainWindow(orvane::COrvaneApp& app, const std::optional<QString>& file) {
  orvane::ui::FrameServices services;
  services.recent_files = [&app] {
    QStringList files;
    for (const std::string& entry : app.Recent().Entries()) files << QString::fromStdString(entry);
    return files;
  };
  services.add_recent_file = [&app](const QString& path) {
    app.Recent().Add(path.toStdString());
    app.Recent().Save(app.Settings());
  };
  services.store_lock_memory = [&app](bool lock) { app.Settings().SetInt("Setting", "LockMemory", lock ? 1 : 0); };
  g_main_window = std::make_unique<orvane::ui::CMainFrame>(app.State(), app.Sink(), std::move(services));
  orvane::RestoreWindowState(app.Settings(), *g_main_window);
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&app] {
    orvane::SaveWindowState(app.Settings(), *g_main_window);
    g_main_window.reset();
  });
  g_main_window->show();
  return !file || g_main_window->OpenFile(*file);
}

}  // namespace

int main(int argc, char** argv) { return orvane::RunOrvane(argc, argv, OpenMainWindow); }
