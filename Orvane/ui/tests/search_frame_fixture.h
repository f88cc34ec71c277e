#pragma once
// A main window over a small synthesized I2C capture whose rows each serve
// one search, with a data tab that records what the window marks in it.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Orvane/ui/tabs/transaction_tab.h"
#include "Orvane/ui/tests/frame_fixture.h"

namespace orvane::ui::testing {

struct MarkedBytes {
  uint32_t byte_offset;
  HighlightKind kind;
  uint32_t length;
};

class RecordingTab : public QWidget, public TransactionTab {
 public:
  void ShowTransaction(const TransactionInfo& record, uint32_t) override { shown.push_back(record.Index); }
  void Highlight(uint32_t byte_offset, HighlightKind kind, uint32_t length) override {
    marked.push_back({byte_offset, kind, length});
  }
  void SearchHit(int32_t clock_offset) override { clocks.push_back(clock_offset); }

  std::vector<uint32_t> shown;  // Index of each transaction shown
  std::vector<MarkedBytes> marked;
  std::vector<int32_t> clocks;
};

class SearchFrameTest : public FrameTest {
 protected:
  // Opens the capture, waits for its rows and adds the recording tab.
  void OpenCapture();
  // The next dialog the window opens is handed to `drive`, which sets its
  // controls and presses a button; the dialog's type is checked.
  template <typename Dialog>
  void NextDialog(std::function<void(Dialog&)> drive) {
    frame_->SetDialogStep([this, drive](QDialog& dialog) {
      ++dialogs_run_;
      auto* typed = dynamic_cast<Dialog*>(&dialog);
      EXPECT_NE(typed, nullptr);
      if (typed == nullptr) return static_cast<int>(QDialog::Rejected);
      dialog.show();
      drive(*typed);
      return dialog.result();
    });
  }
  void Trigger(Command command);
  // The selected row's transaction number; nullopt without a selection.
  std::optional<uint32_t> SelectedIndex();
  std::string LastBox() const { return asked_.empty() ? std::string() : asked_.back().text; }
  std::string StatusMessage();
  // The rows `orvane-cli decode` lists for the capture with these settings.
  int CliRows(const std::vector<std::string>& settings);

  std::string capture_;
  RecordingTab* tab_ = nullptr;
  int dialogs_run_ = 0;
};

}  // namespace orvane::ui::testing
