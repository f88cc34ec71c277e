// The main window's search and jump commands: each asks for its entries
// (when it has a dialog), runs the search over the listed rows from the
// selected one, selects the row found and marks the found bytes in the data
// tabs. What was not found is said by the search itself.
#include "Orvane/ui/dialogs/dlg_jump_transaction.h"
#include "Orvane/ui/dialogs/dlg_search_address.h"
#include "Orvane/ui/dialogs/dlg_search_data.h"
#include "Orvane/ui/dialogs/dlg_search_sub_address.h"
#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/main_frame.h"
#include "Orvane/ui/model/search_highlight.h"

namespace orvane::ui {

using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::Icon;

std::optional<uint32_t> CMainFrame::SelectedRow() const {
  const uint32_t row = list_->CurrentRow();
  if (row == kNoListRow) return std::nullopt;
  return row;
}

SearchEnv CMainFrame::SearchEnvironment() {
  return ApplicationSearchEnv(*station_.doc.Sampling(), app_.settings, sink_);
}

void CMainFrame::ShowSearchHit(const SearchHit& hit, SearchKind kind) {
  if (!hit.found) return;
  // Selecting loads the row's detail into the tabs before they mark it.
  list_->SelectRowAndShow(hit.row);
  const std::optional<HighlightKind> highlight = SearchHighlightOf(kind, hit.line, TextModeOf(app_.settings).spi);
  if (highlight) HighlightTabs(hit.byte_offset, *highlight, hit.byte_count, SearchHitClock(hit));
}

void CMainFrame::RunSearchCommand(SearchKind kind, SearchDirection direction) {
  SearchEnv env = SearchEnvironment();
  BeginWaitCursor();
  const SearchHit hit = RunSearch(env, station_.search, kind, direction, SelectedRow());
  EndWaitCursor();
  ShowSearchHit(hit, kind);
}

void CMainFrame::OnJumpNumber() {
  CSamplingObj* sampling = station_.doc.Sampling();
  if (!Allowed(Command::kJumpNumber) || sampling == nullptr) return;
  uint32_t first = 0;
  uint32_t last = 0;
  if (!JumpRange(*sampling, &first, &last)) return;
  DlgJumpTransaction dialog(first, last, this);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  SearchEnv env = SearchEnvironment();
  const JumpResult result = JumpToTransaction(env, dialog.Target());
  const bool go = result.outcome == JumpOutcome::kFound ||
                  (result.outcome == JumpOutcome::kAskNearest &&
                   sink_.MessageBox(kJumpNearestQuestion, Icon::kQuestion, Buttons::kYesNo, Answer::kYes) ==
                       Answer::kYes);
  if (go) list_->SelectRowAndShow(result.row);
}

void CMainFrame::OnJumpTrigger() {
  if (!Allowed(Command::kJumpTrigger) || station_.doc.Sampling() == nullptr) return;
  SearchEnv env = SearchEnvironment();
  ShowSearchHit(FindTriggerRow(env), SearchKind::kNone);
}

void CMainFrame::OnSearchData() {
  if (!Allowed(Command::kSearchData) || station_.doc.Sampling() == nullptr) return;
  DlgSearchData dialog(station_.search, sink_, this);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  dialog.Store(&station_.search);
  RunSearchCommand(SearchKind::kData, dialog.Direction());
}

void CMainFrame::OnSearchAddress() {
  if (!Allowed(Command::kSearchAddress) || station_.doc.Sampling() == nullptr) return;
  DlgSearchAddress dialog(station_.search, sink_, this);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  dialog.Store(&station_.search);
  RunSearchCommand(SearchKind::kI2CAddress, dialog.Direction());
}

void CMainFrame::OnSearchSubAddress() {
  if (!Allowed(Command::kSearchSubAddress) || station_.doc.Sampling() == nullptr) return;
  DlgSearchSubAddress dialog(station_.search, sink_, this);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  dialog.Store(&station_.search);
  RunSearchCommand(SearchKind::kI2CSubAddress, dialog.Direction());
}

void CMainFrame::OnSearchNack() {
  if (!Allowed(Command::kSearchNack) || station_.doc.Sampling() == nullptr) return;
  RunSearchCommand(SearchKind::kNack, SearchDirection::kForward);
}

void CMainFrame::OnSearchError() {
  if (!Allowed(Command::kSearchError) || station_.doc.Sampling() == nullptr) return;
  RunSearchCommand(SearchKind::kError, SearchDirection::kForward);
}

void CMainFrame::OnSearchNext() {
  if (!Allowed(Command::kSearchNext) || station_.doc.Sampling() == nullptr) return;
  RunSearchCommand(station_.search.kind, SearchDirection::kForward);
}

void CMainFrame::OnSearchPrevious() {
  if (!Allowed(Command::kSearchPrevious) || station_.doc.Sampling() == nullptr) return;
  RunSearchCommand(station_.search.kind, SearchDirection::kBackward);
}

}  // namespace orvane::ui
