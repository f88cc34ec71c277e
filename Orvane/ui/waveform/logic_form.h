#pragma once
// LogicForm, the "Timing" tab: the sampled lines of the selected analyzer
// transaction on a zoomable, scrollable canvas, three markers with their
// times and the times between them, marker jumps to line changes and byte
// starts, direct time entry by double-click (or Enter on a focused time),
// and for I2C the timing overlays. The behaviour lives in LogicFormModel;
// this widget shows it. In monitor mode a selection is ignored.

#include <QWidget>

#include <array>
#include <functional>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/decode/waveform_overlays.h"
#include "Orvane/ui/tabs/transaction_tab.h"
#include "Orvane/ui/waveform/logic_form_model.h"

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QSlider;
class ArrowSpin;
class CanvasBlock;
class MarkerSlider;
class ScrollCanvas;

class LogicForm : public QWidget, public orvane::ui::TransactionTab {
  Q_OBJECT

 public:
  // Runs a time entry dialog and returns its result code; tests fill in
  // and close the dialog instead of showing it.
  using DialogRunner = std::function<int(QDialog&)>;

  LogicForm(orvane::COrvaneDoc& doc, const orvane::AppState& app, QWidget* parent = nullptr);
  ~LogicForm() override;

  void ShowTransaction(const orvane::TransactionInfo& record, uint32_t row) override;
  void SearchHit(int32_t clock_offset) override;

  void SetDialogRunner(DialogRunner runner) { run_dialog_ = std::move(runner); }
  const orvane::ui::LogicFormModel& Model() const { return model_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct MarkerControls {
    QLabel* label = nullptr;
    MarkerSlider* slider = nullptr;
    QLineEdit* time = nullptr;
    QLineEdit* absolute = nullptr;
    ArrowSpin* signal = nullptr;
    ArrowSpin* bytes = nullptr;
  };

  void BuildControls();
  QWidget* BuildTopRows();
  QWidget* BuildEdgeRow();
  QWidget* BuildMarkerInfo();
  void BuildCanvasBlock();
  void ApplyMode();
  // Double-click, Enter or Space on `widget` runs `action`.
  void OnActivate(QWidget* widget, std::function<void()> action);

  void Render();
  void UpdateScene();
  bool SceneDataCurrent() const;
  void ShowErrorTiming(bool shown);
  void EnterTime(orvane::ui::TimeEntryTarget target, int marker = 0);
  void ToggleDebugTrace();
  // Runs a model action and shows its result.
  void Act(const std::function<void()>& action);

  orvane::COrvaneDoc& doc_;
  const orvane::AppState& app_;
  orvane::ui::LogicFormModel model_;
  DialogRunner run_dialog_;
  orvane::WaveformOverlays overlays_;
  std::vector<uint32_t> byte_offsets_;
  orvane::CSamplingObj* shown_sampling_ = nullptr;
  std::vector<std::pair<QObject*, std::function<void()>>> activations_;
  std::vector<QWidget*> needs_transaction_;

  QWidget* panel_ = nullptr;
  CanvasBlock* block_ = nullptr;
  ScrollCanvas* canvas_ = nullptr;
  std::array<QLabel*, 4> rows_{};
  QLabel* number_ = nullptr;
  QCheckBox* extend_ = nullptr;
  QCheckBox* error_timing_ = nullptr;
  QSlider* scale_slider_ = nullptr;
  ArrowSpin* scale_spin_ = nullptr;
  QLabel* scale_text_ = nullptr;
  ArrowSpin* scroll_spin_ = nullptr;
  QLabel* left_time_ = nullptr;
  QLabel* left_absolute_ = nullptr;
  QLabel* right_time_ = nullptr;
  QLabel* right_absolute_ = nullptr;
  QLabel* start_time_ = nullptr;
  QLabel* start_absolute_ = nullptr;
  QLabel* end_time_ = nullptr;
  QLabel* end_absolute_ = nullptr;
  std::array<MarkerControls, 3> markers_{};
  std::array<QLineEdit*, 3> differences_{};
  std::vector<QWidget*> byte_jump_controls_;
};
