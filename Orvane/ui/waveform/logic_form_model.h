#pragma once
// LogicForm, the "Timing" tab, without its widgets: the range of the shown
// transaction, the canvas window, the three markers, every text of the
// form, the time entries its double-clicks ask for, and the marker jumps.
// Qt-free; the form widget renders what this holds after each call.
//
// Positions are clock offsets from the transaction start (the lead-in is
// negative); times are clocks x the sample period code, in 10 ns.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/ui/waveform/scroll_wnd_model.h"

namespace orvane::ui {

// The longest range a transaction extended to the next one may show.
inline constexpr int32_t kMaxRangeEnd = 0x7FFFF800;

// The transaction the form shows and what it reads besides the record.
struct ShownTransaction {
  TransactionInfo record{};
  std::optional<uint64_t> next_start_clock;  // StartClock of Next, if any
  std::span<const uint32_t> byte_offsets;    // the detail's byte starts
  CSamplingObj* sampling = nullptr;          // for the signal walks; may be null
};

// Which text was double-clicked for a time entry.
enum class TimeEntryTarget : uint8_t {
  kLeftTime, kLeftAbsolute, kRightTime, kRightAbsolute, kMarkerTime, kMarkerAbsolute
};
enum class TimeEntryKind : uint8_t { kSpan, kAbsolute };

// A dialog to open: the microsecond dialog reads span_*, the s:ms:us
// dialog abs_*.
struct TimeEntryRequest {
  TimeEntryTarget target = TimeEntryTarget::kLeftTime;
  int marker = 0;
  TimeEntryKind kind = TimeEntryKind::kSpan;
  int64_t span_minimum = 0, span_maximum = 0, span_initial = 0;
  uint64_t abs_minimum = 0, abs_maximum = 0, abs_initial = 0;
};

struct LogicFormTexts {
  std::string number;
  std::string left_time, left_absolute, right_time, right_absolute;
  std::string start_time, start_absolute, end_time, end_absolute;
  std::string scale;
  std::array<std::string, kMarkerCount> marker_time, marker_absolute;
  std::array<std::string, kMarkerCount> differences;  // M0 to M1, M1 to M2, M0 to M2
};

struct SpinRange {
  int32_t minimum = 0;
  int32_t maximum = 0;
};

class LogicFormModel {
 public:
  explicit LogicFormModel(const SettingsRecord& settings);

  bool HasTransaction() const { return has_transaction_; }
  const ShownTransaction& Shown() const { return shown_; }
  void SetTransaction(const ShownTransaction& shown);
  // "Extend Time": the range runs on to the next transaction.
  void SetExtend(bool extend);
  bool Extend() const { return extend_; }

  const ScrollWndModel& Canvas() const { return canvas_; }
  const WaveformWindow& Window() const { return canvas_.Window(); }
  int32_t RangeStart() const { return range_start_; }
  int32_t RangeEnd() const { return range_end_; }
  int32_t Left() const { return left_; }
  int32_t Width() const { return width_; }
  int32_t Marker(int marker) const { return markers_[marker]; }
  bool OutOfView(int marker) const { return out_of_view_[marker]; }
  SpinRange ScrollSpinRange() const { return scroll_spin_; }
  uint32_t Scale() const { return canvas_.Window().scale; }
  // The marker sliders' length: the visible window in pixels.
  int SliderPixelWidth() const;
  LogicFormTexts Texts() const;

  // Scale slider and spin.
  void SetScale(uint32_t scale);
  void StepScale(bool up);
  // Scroll spin: one clock.
  void StepScroll(bool forward);
  // The canvas's own input.
  void CanvasScroll(ScrollCode code, int32_t track_position = 0);
  void CanvasWheel(int32_t delta);
  void CanvasZoomAt(uint32_t scale, int column);
  void CanvasScrollTo(int64_t left);
  void CanvasResize(int client_width);

  // Double-clicks.
  std::optional<TimeEntryRequest> RequestTimeEntry(TimeEntryTarget target, int marker = 0) const;
  void ApplySpanEntry(const TimeEntryRequest& request, int64_t value);
  void ApplyAbsoluteEntry(const TimeEntryRequest& request, uint64_t value);
  void JumpToRangeStart();
  void JumpToRangeEnd();
  void BringIntoView(int marker);

  // Markers.
  void DragMarker(int marker, int32_t position);
  void JumpChangeSignal(int marker, bool forward);
  void JumpByteData(int marker, bool forward);
  void SearchHit(int32_t offset);

 private:
  void ApplyExtend();
  void Refresh();
  void MoveMarker(int marker, int64_t position);
  void SetCanvasLeft(int64_t left);
  void OnRangeChanged(int32_t left, int32_t right);
  void DeliverRangeChanged();
  int64_t Time(int64_t clocks) const { return clocks * period_; }
  uint64_t AbsoluteTime(int64_t offset) const;
  uint32_t Period() const;

  const SettingsRecord& settings_;
  ScrollWndModel canvas_;
  bool has_transaction_ = false;
  ShownTransaction shown_;
  int64_t period_ = 2;
  bool extend_ = false;
  int32_t range_start_ = 0;
  int32_t range_end_ = 0;
  int32_t left_ = 0;
  int32_t width_ = 0;
  std::array<int32_t, kMarkerCount> markers_{};
  std::array<bool, kMarkerCount> out_of_view_{true, true, true};
  SpinRange scroll_spin_;
  // The canvas's last report, handled once the call that caused it is done
  // (as a posted message would be).
  std::optional<std::array<int32_t, 2>> pending_range_;
};

}  // namespace orvane::ui
