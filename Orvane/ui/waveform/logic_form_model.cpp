#include "Orvane/ui/waveform/logic_form_model.h"

#include <algorithm>
#include <limits>

#include "Orvane/ui/waveform/marker_jumps.h"
#include "Orvane/ui/waveform/time_texts.h"

namespace orvane::ui {

namespace {

int32_t ToOffset(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

LogicFormModel::LogicFormModel(const SettingsRecord& settings) : settings_(settings) {
  canvas_.SetNotify([this](int32_t left, int32_t right) { pending_range_ = {left, right}; });
  width_ = canvas_.Window().page;
}

uint32_t LogicFormModel::Period() const {
  // A capture file names its own period; a damaged one must not divide by 0.
  return std::max<uint32_t>(settings_.SamplePeriodCode, 1);
}

uint64_t LogicFormModel::AbsoluteTime(int64_t offset) const {
  const uint64_t start = shown_.record.StartClock;
  const uint64_t magnitude = offset < 0 ? 0 - static_cast<uint64_t>(offset) : static_cast<uint64_t>(offset);
  const uint64_t clock = offset >= 0 ? start + magnitude : (magnitude > start ? 0 : start - magnitude);
  return clock * static_cast<uint64_t>(period_);
}

void LogicFormModel::SetTransaction(const ShownTransaction& shown) {
  shown_ = shown;
  has_transaction_ = true;
  period_ = Period();
  range_start_ = 0;
  left_ = 0;
  markers_ = {};
  out_of_view_ = {true, true, true};
  ApplyExtend();
  DeliverRangeChanged();
}

void LogicFormModel::SetExtend(bool extend) {
  extend_ = extend;
  if (!has_transaction_) return;
  ApplyExtend();
  DeliverRangeChanged();
}

void LogicFormModel::ApplyExtend() {
  canvas_.SetExtend(extend_);
  const TransactionInfo& record = shown_.record;
  uint32_t end = record.Duration;
  if (extend_ && shown_.next_start_clock) {
    end = static_cast<uint32_t>(*shown_.next_start_clock - record.StartClock);
  }
  range_end_ = static_cast<int32_t>(std::min<uint32_t>(end, kMaxRangeEnd));
  range_start_ = -static_cast<int32_t>(record.old_SignalClock);
  Refresh();
}

void LogicFormModel::Refresh() {
  if (int64_t{range_end_} - range_start_ < width_) left_ = range_start_;
  canvas_.SetRange(range_start_, range_end_);
  const int64_t last_left = int64_t{range_end_} - width_;
  scroll_spin_ = {range_start_, last_left < 1 ? range_end_ : ToOffset(last_left)};
  canvas_.SetScale(canvas_.Window().scale, false);
  canvas_.SetLeft(left_);
  for (int m = 0; m < kMarkerCount; ++m) canvas_.SetMarker(m, true, markers_[m]);
}

void LogicFormModel::OnRangeChanged(int32_t left, int32_t right) {
  width_ = ToOffset(int64_t{right} - left);
  left_ = left;
  for (int m = 0; m < kMarkerCount; ++m) out_of_view_[m] = markers_[m] < left || markers_[m] > right;
}

void LogicFormModel::DeliverRangeChanged() {
  if (!pending_range_) return;
  const auto [left, right] = *pending_range_;
  pending_range_.reset();
  OnRangeChanged(left, right);
}

int LogicFormModel::SliderPixelWidth() const {
  const WaveformWindow& window = canvas_.Window();
  return static_cast<int>((int64_t{window.right} - window.left) * 10 / window.scale);
}

LogicFormTexts LogicFormModel::Texts() const {
  LogicFormTexts texts;
  texts.scale = ScaleText(Scale());
  if (!has_transaction_) return texts;
  texts.number = std::to_string(shown_.record.Index);
  const int64_t right = int64_t{left_} + width_;
  texts.left_time = SpanText(Time(left_)) + " usec";
  texts.left_absolute = std::string("(").append(AbsoluteText(AbsoluteTime(left_))).append(")");
  texts.right_time = SpanText(Time(right)) + " usec";
  texts.right_absolute = std::string("(").append(AbsoluteText(AbsoluteTime(right))).append(")");
  texts.start_time = RangeStartText(Time(range_start_));
  texts.start_absolute = AbsoluteText(AbsoluteTime(range_start_));
  texts.end_time = RangeEndText(Time(range_end_));
  texts.end_absolute = AbsoluteText(AbsoluteTime(range_end_));
  for (int m = 0; m < kMarkerCount; ++m) {
    texts.marker_time[m] = SpanText(Time(markers_[m]));
    texts.marker_absolute[m] = AbsoluteText(AbsoluteTime(markers_[m]));
  }
  texts.differences = {SpanText(Time(int64_t{markers_[1]} - markers_[0])),
                       SpanText(Time(int64_t{markers_[2]} - markers_[1])),
                       SpanText(Time(int64_t{markers_[2]} - markers_[0]))};
  return texts;
}

void LogicFormModel::SetScale(uint32_t scale) {
  if (!has_transaction_) return;
  canvas_.SetScale(std::clamp(scale, kMinScale, kMaxScale), true);
  DeliverRangeChanged();
}

void LogicFormModel::StepScale(bool up) {
  const uint32_t scale = Scale();
  if (up ? scale >= kMaxScale : scale <= kMinScale) return;
  SetScale(up ? scale + 1 : scale - 1);
}

void LogicFormModel::StepScroll(bool forward) {
  if (!has_transaction_) return;
  int64_t left = left_;
  if (forward) {
    if (width_ >= range_end_) return;
    left = std::min<int64_t>(left + 1, int64_t{range_end_} - width_);
  } else {
    left = std::max<int64_t>(left - 1, range_start_);
  }
  SetCanvasLeft(left);
  DeliverRangeChanged();
}

void LogicFormModel::CanvasScroll(ScrollCode code, int32_t track_position) {
  if (!has_transaction_) return;
  canvas_.Scroll(code, track_position);
  DeliverRangeChanged();
}

void LogicFormModel::CanvasWheel(int32_t delta) {
  if (!has_transaction_) return;
  canvas_.Wheel(delta);
  DeliverRangeChanged();
}

void LogicFormModel::CanvasZoomAt(uint32_t scale, int column) {
  if (!has_transaction_) return;
  canvas_.ZoomAt(scale, column);
  DeliverRangeChanged();
}

void LogicFormModel::CanvasScrollTo(int64_t left) {
  if (!has_transaction_) return;
  canvas_.ScrollTo(left);
  DeliverRangeChanged();
}

void LogicFormModel::CanvasResize(int client_width) {
  canvas_.Resize(client_width);
  DeliverRangeChanged();
}

void LogicFormModel::SetCanvasLeft(int64_t left) { canvas_.SetLeft(ToOffset(left)); }

std::optional<TimeEntryRequest> LogicFormModel::RequestTimeEntry(TimeEntryTarget target,
                                                                 int marker) const {
  if (!has_transaction_ || marker < 0 || marker >= kMarkerCount) return std::nullopt;
  TimeEntryRequest request;
  request.target = target;
  request.marker = marker;
  const int64_t last_left = int64_t{range_end_} - width_;
  const int64_t right = int64_t{left_} + width_;
  const auto span = [&request, this](int64_t minimum, int64_t maximum, int64_t initial) {
    request.kind = TimeEntryKind::kSpan;
    request.span_minimum = Time(minimum);
    request.span_maximum = Time(maximum);
    request.span_initial = Time(initial);
  };
  const auto absolute = [&request, this](int64_t minimum, int64_t maximum, int64_t initial) {
    request.kind = TimeEntryKind::kAbsolute;
    request.abs_minimum = AbsoluteTime(minimum);
    request.abs_maximum = AbsoluteTime(maximum);
    request.abs_initial = AbsoluteTime(initial);
  };
  switch (target) {
    case TimeEntryTarget::kLeftTime: span(range_start_, last_left, left_); break;
    case TimeEntryTarget::kLeftAbsolute: absolute(range_start_, last_left, left_); break;
    case TimeEntryTarget::kRightTime: span(int64_t{range_start_} + width_, range_end_, right); break;
    case TimeEntryTarget::kRightAbsolute:
      absolute(int64_t{range_start_} + width_, range_end_, right);
      break;
    case TimeEntryTarget::kMarkerTime: span(range_start_, range_end_, markers_[marker]); break;
    case TimeEntryTarget::kMarkerAbsolute: absolute(range_start_, range_end_, markers_[marker]); break;
  }
  return request;
}

void LogicFormModel::ApplySpanEntry(const TimeEntryRequest& request, int64_t value) {
  if (!has_transaction_) return;
  const int64_t clocks = value / period_;
  switch (request.target) {
    case TimeEntryTarget::kLeftTime: SetCanvasLeft(clocks); break;
    case TimeEntryTarget::kRightTime: SetCanvasLeft(clocks - width_); break;
    case TimeEntryTarget::kMarkerTime: MoveMarker(request.marker, clocks); break;
    default: return;
  }
  DeliverRangeChanged();
}

void LogicFormModel::ApplyAbsoluteEntry(const TimeEntryRequest& request, uint64_t value) {
  if (!has_transaction_) return;
  // Both sides stay far below 2^63 for any time a dialog accepted.
  const int64_t clocks = static_cast<int64_t>(value / static_cast<uint64_t>(period_) -
                                              shown_.record.StartClock);
  switch (request.target) {
    case TimeEntryTarget::kLeftAbsolute: SetCanvasLeft(clocks); break;
    case TimeEntryTarget::kRightAbsolute: SetCanvasLeft(clocks - width_); break;
    case TimeEntryTarget::kMarkerAbsolute: MoveMarker(request.marker, clocks); break;
    default: return;
  }
  DeliverRangeChanged();
}

void LogicFormModel::JumpToRangeStart() {
  if (!has_transaction_) return;
  SetCanvasLeft(range_start_);
  DeliverRangeChanged();
}

void LogicFormModel::JumpToRangeEnd() {
  if (!has_transaction_) return;
  SetCanvasLeft(std::max<int64_t>(int64_t{range_end_} - width_, range_start_));
  DeliverRangeChanged();
}

void LogicFormModel::MoveMarker(int marker, int64_t position) {
  markers_[marker] = ToOffset(position);
  canvas_.SetMarker(marker, true, markers_[marker]);
  BringIntoView(marker);
}

void LogicFormModel::BringIntoView(int marker) {
  if (!has_transaction_ || marker < 0 || marker >= kMarkerCount) return;
  const int64_t position = markers_[marker];
  if (position < range_start_ || position > range_end_) return;
  if (position >= left_ && position < int64_t{left_} + width_) return;
  const int64_t half = width_ / 2;
  int64_t left;
  if (position < half) {
    // At the start; a marker in a long lead-in needs the window further left.
    left = position >= 0 ? 0 : std::max<int64_t>(range_start_, position - half);
  } else if (position > int64_t{range_end_} - half) {
    left = int64_t{range_end_} - width_;
  } else {
    left = position - half;
  }
  SetCanvasLeft(left);
  DeliverRangeChanged();
}

void LogicFormModel::DragMarker(int marker, int32_t position) {
  if (!has_transaction_ || marker < 0 || marker >= kMarkerCount) return;
  MoveMarker(marker, position);
  DeliverRangeChanged();
}

void LogicFormModel::JumpChangeSignal(int marker, bool forward) {
  if (!has_transaction_ || marker < 0 || marker >= kMarkerCount || shown_.sampling == nullptr) return;
  const uint32_t limit = SignalWalkLimit(*shown_.sampling, shown_.record);
  const std::optional<int64_t> target =
      SignalChangeFrom(*shown_.sampling, settings_, shown_.record, limit, markers_[marker], forward);
  if (!target) return;
  MoveMarker(marker, std::clamp<int64_t>(*target, range_start_, range_end_));
  DeliverRangeChanged();
}

void LogicFormModel::JumpByteData(int marker, bool forward) {
  if (!has_transaction_ || marker < 0 || marker >= kMarkerCount) return;
  const std::optional<int32_t> target = ByteStartFrom(shown_.byte_offsets, markers_[marker], forward);
  if (!target) return;
  MoveMarker(marker, *target);
  DeliverRangeChanged();
}

void LogicFormModel::SearchHit(int32_t offset) {
  if (!has_transaction_) return;
  int64_t left = std::max<int64_t>(int64_t{offset} - 50, range_start_);
  if (left + width_ >= range_end_) left = int64_t{range_end_} - width_;
  SetCanvasLeft(left);
  markers_[2] = offset;
  canvas_.SetMarker(2, true, offset);
  DeliverRangeChanged();
}

}  // namespace orvane::ui
