// The main window's "Transaction Filter Setting..." command: the dialog,
// then the list rebuilt from the filtered records.
#include "Orvane/decode/transaction_filter.h"
#include "Orvane/ui/dialogs/dlg_transaction_filter.h"
#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/main_frame.h"

namespace orvane::ui {

void CMainFrame::OnFilterSetting() {
  CSamplingObj* sampling = station_.doc.Sampling();
  if (!Allowed(Command::kFilterSetting) || sampling == nullptr) return;
  const uint8_t bus = app_.settings.m_AnalyzeBusChannel & 3;
  DlgTransactionFilter dialog(app_.settings, sampling->transaction_counter, bus == 1 || bus == 2,
                              app_.settings.ForcedDisplay != 0, sink_, this);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  dialog.Apply(&app_.settings);

  BeginWaitCursor();
  selected_index_.reset();
  const FilterOutcome outcome = ApplyTransactionFilter(*sampling, app_.settings, sink_);
  // The rows are shown at once rather than on the list's next tick, and
  // the first of them is selected half a second later.
  list_->OnInitialUpdate();
  list_->OnUpdateTimer();
  EndWaitCursor();
  if (outcome.entered != 0) StartSelectFirstRowTimer();
  RefreshIdleText();
  UpdateCommandStates();
}

}  // namespace orvane::ui
