// Photographs the main window for the documentation: a capture synthesized
// from the I2C demo scenario, first in the single layout (the list alone),
// then in the split layout with a transaction selected. scripts/screenshots.sh
// runs it under Xvfb, so the pictures are grabs of a real X screen.
// Usage: orvane_screenshot SCENARIO OUTPUT_SINGLE.png OUTPUT_SPLIT.png
//        orvane_screenshot --tab LABEL SCENARIO ROW OUTPUT.png
//        (the split layout with row ROW selected and the data tab LABEL shown)
#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Orvane/capture/app_state.h"
#include "Orvane/ui/main_frame.h"
#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/tabs/tabbed_view_view.h"
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

// Opens the capture in a main window and grabs both layouts.
bool Photograph(const std::string& capture, const std::filesystem::path& folder, const char* single_path,
                const char* split_path) {
  orvane::AppState state;
  state.temp_folder = folder.string() + "/";
  state.sampling_file_name = state.temp_folder + "test.SIC";
  orvane::QtInteractionSink sink;
  // Nobody is there to answer: a message is printed and answered with its
  // default, so a photograph never waits on a box.
  sink.SetPresenter([](const QString& text, velix::platform::Icon, velix::platform::Buttons,
                       velix::platform::Answer answer) {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
    return answer;
  });
  orvane::ui::CMainFrame frame(state, sink, {});
  frame.resize(1000, 640);
  frame.show();
  if (!QTest::qWaitForWindowExposed(&frame)) return false;
  QSignalSpy ended(&frame, &orvane::ui::CMainFrame::runEnded);
  if (!frame.OpenFile(QString::fromStdString(capture)) || !ended.wait(20000)) return false;
  QTest::qWait(200);
  frame.ListView().SelectRowAndShow(3);
  frame.ChangeViewSplitter(false);
  const bool single = Grab(frame, single_path);
  frame.ChangeViewSplitter(true);
  frame.ListView().SelectRowAndShow(3);
  return Grab(frame, split_path) && single;
}

// Opens the capture, selects a row and grabs the window with one data tab
// in front.
bool PhotographTab(const std::string& capture, const std::filesystem::path& folder, const char* label, int row,
                   const char* path) {
  orvane::AppState state;
  state.temp_folder = folder.string() + "/";
  state.sampling_file_name = state.temp_folder + "test.SIC";
  orvane::QtInteractionSink sink;
  sink.SetPresenter([](const QString& text, velix::platform::Icon, velix::platform::Buttons,
                       velix::platform::Answer answer) {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
    return answer;
  });
  orvane::ui::CMainFrame frame(state, sink, {});
  frame.resize(1000, 640);
  frame.show();
  if (!QTest::qWaitForWindowExposed(&frame)) return false;
  QSignalSpy ended(&frame, &orvane::ui::CMainFrame::runEnded);
  if (!frame.OpenFile(QString::fromStdString(capture)) || !ended.wait(20000)) return false;
  QTest::qWait(200);
  frame.ListView().SelectRowAndShow(static_cast<quint32>(row));
  auto* pane = static_cast<orvane::ui::CTabbedViewView*>(frame.TabPane());
  if (pane == nullptr || pane->TabIndexOf(label) < 0) {
    std::fprintf(stderr, "no tab %s\n", label);
    return false;
  }
  pane->setCurrentIndex(pane->TabIndexOf(label));
  return Grab(frame, path);
}

}  // namespace

int main(int argc, char** argv) {
  const bool tab = argc == 6 && std::string(argv[1]) == "--tab";
  if (argc != 4 && !tab) {
    std::fprintf(stderr, "usage: %s SCENARIO OUTPUT_SINGLE.png OUTPUT_SPLIT.png\n"
                         "       %s --tab LABEL SCENARIO ROW OUTPUT.png\n", argv[0], argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvane"));
  std::ifstream scenario_file(argv[tab ? 3 : 1]);
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
  // Photograph() closes the window, and with it the working copy, first.
  const bool taken = tab ? PhotographTab(capture, folder, argv[2], std::atoi(argv[4]), argv[5])
                         : Photograph(capture, folder, argv[2], argv[3]);
  std::filesystem::remove_all(folder);
  return taken ? 0 : 1;
}
