// Orvane [--no-title] [FILE.SIC]: the application.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <memory>

#include "Orvane/app/orvane_app.h"
#include "Orvane/app/run_orvane.h"
#include "Orvane/app/window_state.h"
#include "Orvane/ui/main_frame.h"
#include "velix_version.h"

namespace {

constexpr char kUsage[] =
    "usage: Orvane [--no-title] [FILE.SIC]\n"
    "The VELIX bus analyzer application: capture, decode and inspect SPI/I2C traffic.\n"
    "\n"
    "  FILE.SIC    a capture to open\n"
    "  --no-title  skip the title window at start-up (also ORVANE_NO_TITLE=1)\n"
    "  -h, --help  print this help\n"
    "  --version   print the version\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are accepted too.\n";

// Help and version work without a display, as for the other tools.
bool AnswersWithoutWindow(int argc, char** argv, int* status) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) return false;
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      *status = std::fflush(stdout) == 0 ? 0 : 1;
      return true;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("Orvane %s\n", velix::kVelixVersion);
      *status = std::fflush(stdout) == 0 ? 0 : 1;
      return true;
    }
  }
  return false;
}

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

int main(int argc, char** argv) {
  int status = 0;
  if (AnswersWithoutWindow(argc, argv, &status)) return status;
  return orvane::RunOrvane(argc, argv, OpenMainWindow);
}
