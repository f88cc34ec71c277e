// Photographs the main window for the documentation: a capture synthesized
// from the I2C demo scenario, first in the single layout (the list alone),
// then in the split layout with a transaction selected. scripts/screenshots.sh
// runs it under Xvfb, so the pictures are grabs of a real X screen. With a
// third picture it also photographs the "Transaction Filter" dialog over
// the window, an address filter entered.
// Usage: orvane_screenshot SCENARIO OUTPUT_SINGLE.png OUTPUT_SPLIT.png [OUTPUT_FILTER.png]
#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Orvane/capture/app_state.h"
#include "Orvane/ui/dialogs/dlg_transaction_filter.h"
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

bool GrabFilterDialog(orvane::ui::CMainFrame& frame, orvane::AppState& state, orvane::QtInteractionSink& sink,
                      const char* path) {
  orvane::SettingsRecord settings = state.settings;
  settings.FilterEnable = 1;
  settings.FilterAddressEnable = 1;
  settings.FilterAddressValue = 0x50;
  settings.FilterAddressMask = 0x7F;
  DlgTransactionFilter dialog(settings, frame.ListView().RowCount(), true, false, sink, &frame);
  dialog.show();
  if (!QTest::qWaitForWindowExposed(&dialog)) return false;
  return Grab(dialog, path);
}

// Opens the capture in a main window and grabs both layouts (and the
// filter dialog when `filter_path` is given).
bool Photograph(const std::string& capture, const std::filesystem::path& folder, const char* single_path,
                const char* split_path, const char* filter_path) {
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
  const bool split = Grab(frame, split_path);
  const bool filter = filter_path == nullptr || GrabFilterDialog(frame, state, sink, filter_path);
  return single && split && filter;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: %s SCENARIO OUTPUT_SINGLE.png OUTPUT_SPLIT.png [OUTPUT_FILTER.png]\n", argv[0]);
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
  // Photograph() closes the window, and with it the working copy, first.
  const bool taken = Photograph(capture, folder, argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
  std::filesystem::remove_all(folder);
  return taken ? 0 : 1;
}
