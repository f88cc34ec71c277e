// Photographs the main window for the documentation: a capture synthesized
// from the I2C demo scenario, first in the single layout (the list alone),
// then in the split layout with a transaction selected. scripts/screenshots.sh
// runs it under Xvfb, so the pictures are grabs of a real X screen.
// Usage: orvane_screenshot SCENARIO OUTPUT_SINGLE.png OUTPUT_SPLIT.png [DIALOG=OUTPUT.png]...
// Each DIALOG=OUTPUT.png also photographs one dialog by its name in
// kDialogShots.
#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <functional>
#include <memory>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Orvane/capture/app_state.h"
#include "Orvane/ui/dialogs/dlg_hakei_mode.h"
#include "Orvane/ui/dialogs/dlg_save_index_range.h"
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

// Dialogs shown on their own with the values they open with by default.
struct DialogShot {
  const char* name;
  std::function<std::unique_ptr<QDialog>(velix::platform::InteractionSink& sink)> make;
};
const DialogShot kDialogShots[] = {
    {"save-index-range",
     [](velix::platform::InteractionSink&) { return std::make_unique<DlgSaveIndexRange>(orvane::SaveIndexRangeDialog{}); }},
    {"hakei-mode",
     [](velix::platform::InteractionSink& sink) {
       return std::make_unique<DlgHakeiMode>(orvane::HakeiModeValues{true, 200}, sink);
     }},
};

bool PhotographDialog(const std::string& request) {
  const size_t equals = request.find('=');
  for (const DialogShot& shot : kDialogShots) {
    if (request.substr(0, equals) != shot.name || equals == std::string::npos) continue;
    velix::platform::NullSink sink;
    std::unique_ptr<QDialog> dialog = shot.make(sink);
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get())) return false;
    return Grab(*dialog, request.c_str() + equals + 1);
  }
  std::fprintf(stderr, "unknown dialog shot: %s\n", request.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s SCENARIO OUTPUT_SINGLE.png OUTPUT_SPLIT.png [DIALOG=OUTPUT.png]...\n", argv[0]);
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
  bool taken = Photograph(capture, folder, argv[2], argv[3]);
  std::filesystem::remove_all(folder);
  for (int i = 4; i < argc; ++i) taken = PhotographDialog(argv[i]) && taken;
  return taken ? 0 : 1;
}
