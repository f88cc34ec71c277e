// Photographs the main window for the documentation: a capture synthesized
// from the I2C demo scenario, first in the single layout (the list alone),
// then in the split layout with a transaction selected. scripts/screenshots.sh
// runs it under Xvfb, so the pictures are grabs of a real X screen.
// Usage: orvane_screenshot SCENARIO OUTPUT_SINGLE.png OUTPUT_SPLIT.png
#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Orvane/capture/app_state.h"
#include "Orvane/ui/main_frame.h"
#include "Orvane/ui/list/orvane_view.h"
#include "sim/synthesizer.h"

namespace {

bool Grab(QWidget& window, const char* path) {
  QTest::qWait(300);
  QPixmap picture = window.screen()->grabWindow(window.winId());
  if (picture.isNull()) picture = window.grab();
  if (picture.save(QString::fromLocal8Bit(path), "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", path);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s SCENARIO OUTPUT_SINGLE.png OUTPUT_SPLIT.png\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvane"));
  std::ifstream scenario_file(argv[1]);
  std::stringstream scenario;
  scenario << scenario_file.rdbuf();

  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "orvane-screenshot";
  std::filesystem::create_directories(folder);
  const std::string capture = (folder / "demo.SIC").string();
  std::string error;
  if (!velix::sim::SynthesizeSicFile(scenario.str(), {}, capture, "", &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  orvane::AppState state;
  state.temp_folder = folder.string() + "/";
  state.sampling_file_name = state.temp_folder + "test.SIC";
  orvane::QtInteractionSink sink;
  orvane::ui::CMainFrame frame(state, sink, {});
  frame.resize(1000, 640);
  frame.show();
  if (!QTest::qWaitForWindowExposed(&frame)) return 1;
  QSignalSpy ended(&frame, &orvane::ui::CMainFrame::runEnded);
  if (!frame.OpenFile(QString::fromStdString(capture)) || !ended.wait(20000)) return 1;
  QTest::qWait(200);
  frame.ListView().SelectRowAndShow(3);
  frame.ChangeViewSplitter(false);
  const bool single = Grab(frame, argv[2]);
  frame.ChangeViewSplitter(true);
  frame.ListView().SelectRowAndShow(3);
  const bool split = Grab(frame, argv[3]);
  std::filesystem::remove_all(folder);
  return single && split ? 0 : 1;
}
