#pragma once
// The main window's commands and when each may be used. The rules keep the
// user away from the document while a capture or an analysis runs: the
// worker writes the records then, and only stop and pause make sense.

#include <cstdint>
#include <optional>

namespace orvane::ui {

// The numbers the commands have always had; saved tool bar layouts and the
// recent-file range refer to them.
enum class Command : uint16_t {
  kFileClose = 57600,
  kFileOpen = 57601,
  kFileSave = 57603,
  kFileSaveAs = 57604,
  kRecentFile = 57616,  // first of the recent-file entries
  kAbout = 57664,
  kExit = 57665,
  kEditCopy = 57634,
  kEditCut = 57635,
  kEditPaste = 57637,
  kEditUndo = 57643,
  kToolBar = 59392,
  kStatusBar = 59393,
  kVersionInfo = 32773,
  kOtherSetting = 32775,
  kCapture = 32777,
  kSpiSetting = 32778,
  kTriggerSetting = 32780,
  kFilterSetting = 32782,
  kSearchData = 32783,
  kJumpNumber = 32785,
  kSearchAddress = 32786,
  kSearchSubAddress = 32788,
  kSearchNext = 32789,
  kSearchPrevious = 32790,
  kI2cSetting = 32796,
  kSearchNack = 32797,
  kWriteText = 32931,
  kWriteCsv = 32934,
  kJumpTrigger = 32936,
  kSearchError = 32938,
  kPause = 32940,
  kStop = 32941,
  kForcedDisplay = 32944,
};

// What the rules look at.
struct FrameState {
  bool has_sampling = false;   // the document has a sampling object
  bool live = false;           // a live capture runs
  bool analysis = false;       // an offline analysis runs
  bool loaded = false;         // data are loaded
  bool rows = false;           // the view index has at least one entry
  uint8_t bus = 0;             // m_AnalyzeBusChannel: 0 SPI, 1 and 2 I2C
  bool forced_display = false;
  bool monitor_mode = false;
  bool paused = false;         // view updates paused
};

struct CommandState {
  bool enabled = false;
  bool checked = false;
};

CommandState CommandStateOf(Command command, const FrameState& state);

// "Stop Sampling/Stop Analyze" names what it stops: "Capture end." during a
// capture, "Abort Data analysis" during an analysis, its menu text otherwise.
enum class StopLabel { kMenuText, kCaptureEnd, kAbortAnalysis };
StopLabel StopLabelOf(const FrameState& state);

}  // namespace orvane::ui
