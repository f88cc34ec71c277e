#include "Orvane/ui/model/frame_commands.h"

namespace orvane::ui {
namespace {

bool Idle(const FrameState& s) { return !s.live && !s.analysis; }
bool I2cBus(const FrameState& s) { return s.bus == 1 || s.bus == 2; }
bool Listed(const FrameState& s) { return Idle(s) && s.loaded && s.rows; }

}  // namespace

CommandState CommandStateOf(Command command, const FrameState& s) {
  switch (command) {
    case Command::kCapture:
    case Command::kTriggerSetting:
    case Command::kOtherSetting:
    case Command::kFileOpen:
    case Command::kVersionInfo:
    case Command::kFileClose:
    case Command::kFileSave:
    case Command::kFileSaveAs:
    case Command::kExit:
    case Command::kRecentFile:
      return {Idle(s), false};
    case Command::kFilterSetting:
    case Command::kSearchNext:
    case Command::kSearchPrevious:
      return {Idle(s) && s.loaded, false};
    case Command::kSpiSetting:
      return {s.has_sampling && Idle(s) && (!s.loaded || (s.bus == 0 && !s.forced_display)), false};
    case Command::kI2cSetting:
      return {s.has_sampling && Idle(s) && (!s.loaded || (I2cBus(s) && !s.forced_display)), false};
    case Command::kSearchData:
    case Command::kWriteText:
    case Command::kWriteCsv:
    case Command::kJumpTrigger:
      return {Listed(s) && !s.forced_display, false};
    case Command::kJumpNumber:
    case Command::kSearchError:
      return {Listed(s), false};
    case Command::kSearchAddress:
    case Command::kSearchSubAddress:
    case Command::kSearchNack:
      return {Listed(s) && I2cBus(s) && !s.forced_display, false};
    case Command::kPause:
      return {s.live && !s.analysis, s.paused};
    case Command::kStop:
      return {s.live || s.analysis, false};
    case Command::kForcedDisplay:
      return {Idle(s) && !s.monitor_mode && s.loaded, s.forced_display && !s.monitor_mode};
    case Command::kAbout:
    case Command::kToolBar:
    case Command::kStatusBar:
      return {true, false};
    case Command::kEditCopy:
    case Command::kEditCut:
    case Command::kEditPaste:
    case Command::kEditUndo:
      // Nothing in the main window is editable; copying is the list's.
      return {false, false};
  }
  return {};
}

StopLabel StopLabelOf(const FrameState& s) {
  if (s.live) return StopLabel::kCaptureEnd;
  if (s.analysis) return StopLabel::kAbortAnalysis;
  return StopLabel::kMenuText;
}

}  // namespace orvane::ui
