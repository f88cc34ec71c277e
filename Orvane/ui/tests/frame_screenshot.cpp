// Photographs the main window for the documentation: a capture synthesized
// from the I2C demo scenario, first in the single layout (the list alone),
// then in the split layout with a transaction selected. scripts/screenshots.sh
// runs it under Xvfb, so the pictures are grabs of a real X screen.
// Usage: orvane_screenshot SCENARIO OUTPUT_SINGLE.png OUTPUT_SPLIT.png [NAME=OUTPUT.png...]
//        (dlg-filter=OUTPUT.png photographs the "Transaction Filter" dialog
//        over the window, an address filter entered; the other names one
//        dialog alone, see dialog_screenshots.h)
//        orvane_screenshot --timing SCENARIO ROW OUTPUT.png [--error-timing]
//        (the "Timing" tab of one transaction, alone)
//        orvane_screenshot --tab LABEL SCENARIO ROW OUTPUT.png
//        (the split layout with row ROW selected and the data tab LABEL shown)
#include <QApplication>
#include <QCheckBox>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string_view>

#include "Orvane/capture/app_state.h"
#include "Orvane/decode/detail_loader.h"
#include "Orvane/ui/dialogs/dlg_transaction_filter.h"
#include "Orvane/ui/main_frame.h"
#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/tabs/tabbed_view_view.h"
#include "Orvane/ui/tabs/transaction_tab.h"
#include "Orvane/ui/tests/dialog_screenshots.h"
#include "Orvane/ui/waveform/logic_form_factory.h"
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

// A main window over settings of its own that answers every box with its
// default (nobody is there to answer: a photograph never waits on a box),
// with a capture opened and decoded.
struct Stage {
  orvane::AppState state;
  orvane::QtInteractionSink sink;
  std::unique_ptr<orvane::ui::CMainFrame> frame;

  bool Open(const std::string& capture, const std::filesystem::path& folder, bool shown) {
    state.temp_folder = folder.string() + "/";
    state.sampling_file_name = state.temp_folder + "test.SIC";
    sink.SetPresenter([](const QString& text, velix::platform::Icon, velix::platform::Buttons,
                         velix::platform::Answer answer) {
      std::fprintf(stderr, "message: %s\n", qPrintable(text));
      return answer;
    });
    frame = std::make_unique<orvane::ui::CMainFrame>(state, sink, orvane::ui::FrameServices{});
    if (shown) {
      frame->resize(1000, 640);
      frame->show();
      if (!QTest::qWaitForWindowExposed(frame.get())) return false;
    }
    QSignalSpy ended(frame.get(), &orvane::ui::CMainFrame::runEnded);
    if (!frame->OpenFile(QString::fromStdString(capture)) || !ended.wait(20000)) return false;
    if (shown) QTest::qWait(200);
    return true;
  }
};

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
  Stage stage;
  if (!stage.Open(capture, folder, true)) return false;
  orvane::ui::CMainFrame& frame = *stage.frame;
  frame.ListView().SelectRowAndShow(3);
  frame.ChangeViewSplitter(false);
  const bool single = Grab(frame, single_path);
  frame.ChangeViewSplitter(true);
  frame.ListView().SelectRowAndShow(3);
  const bool split = Grab(frame, split_path);
  const bool filter = filter_path == nullptr || GrabFilterDialog(frame, stage.state, stage.sink, filter_path);
  return single && split && filter;
}

// Opens the capture, shows transaction `row` in a "Timing" tab of its own
// (with "Show ErrorTiming" checked when asked) and grabs the tab.
bool PhotographTiming(const std::string& capture, const std::filesystem::path& folder, uint32_t row,
                      bool error_timing, const char* path) {
  Stage stage;
  if (!stage.Open(capture, folder, false)) return false;
  orvane::ui::CMainFrame& frame = *stage.frame;
  const orvane::AppState& state = stage.state;
  orvane::CSamplingObj* sampling = frame.Doc().Sampling();
  orvane::TransactionInfo record{};
  if (sampling == nullptr || !sampling->Records().GetRow(row, &record)) return false;
  std::unique_ptr<QWidget> form(MakeLogicForm(frame.Doc(), state, nullptr));
  form->setWindowTitle(QStringLiteral("Timing"));
  form->resize(980, 640);
  form->show();
  if (!QTest::qWaitForWindowExposed(form.get())) return false;
  orvane::LoadTransactionDetail(*sampling, state.settings, record);
  dynamic_cast<orvane::ui::TransactionTab&>(*form).ShowTransaction(record, row);
  if (error_timing) {
    if (auto* check = form->findChild<QCheckBox*>(QStringLiteral("showErrorTiming"))) check->setChecked(true);
  }
  return Grab(*form, path);
}

std::string ReadScenario(const char* path) {
  std::ifstream scenario_file(path);
  std::stringstream scenario;
  scenario << scenario_file.rdbuf();
  return scenario.str();
}

int TimingMain(int argc, char** argv) {
  if (argc != 5 && !(argc == 6 && std::string(argv[5]) == "--error-timing")) {
    std::fprintf(stderr, "usage: %s --timing SCENARIO ROW OUTPUT.png [--error-timing]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "orvane-screenshot-timing";
  std::filesystem::create_directories(folder);
  const std::string capture = (folder / "timing.SIC").string();
  std::string error;
  if (!velix::sim::SynthesizeSicFile(ReadScenario(argv[2]), {}, capture, "", &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const bool taken = PhotographTiming(capture, folder, static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)),
                                      argc == 6, argv[4]);
  std::filesystem::remove_all(folder);
  return taken ? 0 : 1;
}

// Opens the capture, selects a row and grabs the window with one data tab
// in front.
bool PhotographTab(const std::string& capture, const std::filesystem::path& folder, const char* label, int row,
                   const char* path) {
  Stage stage;
  if (!stage.Open(capture, folder, true)) return false;
  orvane::ui::CMainFrame& frame = *stage.frame;
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
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvane"));
  if (argc > 1 && std::string(argv[1]) == "--timing") return TimingMain(argc, argv);
  const bool tab = argc == 6 && std::string(argv[1]) == "--tab";
  if (argc < 4 && !tab) {
    std::fprintf(stderr, "usage: %s SCENARIO OUTPUT_SINGLE.png OUTPUT_SPLIT.png [NAME=OUTPUT.png...]\n"
                         "       %s --tab LABEL SCENARIO ROW OUTPUT.png\n", argv[0], argv[0]);
    return 2;
  }
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
  const char* filter_path = nullptr;
  constexpr std::string_view kFilterShot = "dlg-filter=";
  for (int i = 4; !tab && i < argc; ++i) {
    if (std::string_view(argv[i]).starts_with(kFilterShot)) filter_path = argv[i] + kFilterShot.size();
  }
  bool taken = tab ? PhotographTab(capture, folder, argv[2], std::atoi(argv[4]), argv[5])
                   : Photograph(capture, folder, argv[2], argv[3], filter_path);
  std::filesystem::remove_all(folder);
  for (int i = 4; !tab && i < argc; ++i) {
    const std::string shot = argv[i];
    if (shot.starts_with(kFilterShot)) continue;
    const size_t equals = shot.find('=');
    taken = equals != std::string::npos && PhotographDialog(shot.substr(0, equals), shot.substr(equals + 1)) && taken;
  }
  return taken ? 0 : 1;
}
