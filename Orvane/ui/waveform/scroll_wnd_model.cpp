#include "Orvane/ui/waveform/scroll_wnd_model.h"

#include <algorithm>
#include <limits>

namespace orvane::ui {

namespace {

int32_t Saturated(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

void ScrollWndModel::SetRange(int32_t minimum, int32_t maximum) {
  window_.min = minimum;
  window_.max = maximum;
}

int32_t ScrollWndModel::PageFor(uint32_t scale) const {
  return Saturated(int64_t{client_width_} * scale / 10);
}

void ScrollWndModel::SetWindow(int64_t left) {
  window_.left = Saturated(left);
  window_.right = Saturated(int64_t{window_.left} + window_.page);
}

void ScrollWndModel::SetLeft(int32_t left) {
  int64_t target = std::min(left, window_.max);
  if (int64_t{window_.max} - window_.min < window_.page) target = window_.min;
  SetWindow(target);
  RequestRepaint();
  UpdateBarAndNotify();
}

void ScrollWndModel::SetScale(uint32_t scale, bool repaint) {
  scale = std::clamp(scale, kMinScale, kMaxScale);
  const int64_t old_page = window_.page;
  window_.scale = scale;
  const int32_t new_page = PageFor(scale);
  // The first marker in view stays on its column; without one, the left edge.
  int64_t focus = window_.left;
  for (int m = 0; m < kMarkerCount; ++m) {
    const int32_t position = window_.marker_position[m];
    if (window_.marker_shown[m] && position >= window_.left && position <= window_.right) {
      focus = position;
      break;
    }
  }
  window_.page = new_page;
  if (window_.right < window_.max) {
    int64_t left = window_.left;
    if (int64_t{window_.max} - window_.min < new_page) {
      left = window_.min;
      repaint = true;
    } else if (focus != left && old_page > 0) {
      const int64_t moved = focus - int64_t{new_page} * (focus - left) / old_page;
      if (moved >= window_.min) left = moved;
    }
    SetWindow(left);
  } else {
    int64_t left = int64_t{window_.max} - new_page;
    if (left < window_.min) left = window_.min;
    SetWindow(left);
    repaint = true;
  }
  if (repaint) RequestRepaint();
  UpdateBarAndNotify();
}

void ScrollWndModel::ZoomAt(uint32_t scale, int column) {
  scale = std::clamp(scale, kMinScale, kMaxScale);
  const int64_t under = window_.left + int64_t{column} * window_.scale / 10;
  window_.scale = scale;
  window_.page = PageFor(scale);
  ClampAndUpdate(under - int64_t{column} * scale / 10);
}

void ScrollWndModel::Scroll(ScrollCode code, int32_t track_position) {
  int64_t left = window_.left;
  switch (code) {
    case ScrollCode::kLineLeft: left -= kScrollLineClocks; break;
    case ScrollCode::kLineRight: left += kScrollLineClocks; break;
    case ScrollCode::kPageLeft: left = std::max<int64_t>(left - window_.page / 2, window_.min); break;
    case ScrollCode::kPageRight: left += window_.page / 2; break;
    case ScrollCode::kThumbTrack: left = track_position; break;
  }
  ClampAndUpdate(left);
}

void ScrollWndModel::Wheel(int32_t delta) { ClampAndUpdate(int64_t{window_.left} - delta); }

void ScrollWndModel::ScrollTo(int64_t left) { ClampAndUpdate(left); }

void ScrollWndModel::ClampAndUpdate(int64_t left) {
  left = std::min(left, int64_t{window_.max} - window_.page);
  left = std::max(left, int64_t{window_.min});
  SetWindow(left);
  RequestRepaint();
  UpdateBarAndNotify();
}

void ScrollWndModel::Resize(int client_width) {
  client_width_ = std::max(client_width, 0);
  window_.page = PageFor(window_.scale);
  SetWindow(window_.left);
  UpdateBarAndNotify();
}

void ScrollWndModel::SetMarker(int marker, bool shown, int32_t position) {
  if (marker < 0 || marker >= kMarkerCount) return;
  window_.marker_shown[marker] = shown;
  window_.marker_position[marker] = position;
}

void ScrollWndModel::UpdateBarAndNotify() {
  bar_ = {window_.min, window_.max, window_.page, window_.left};
  if (notify_) notify_(window_.left, window_.right);
}

void ScrollWndModel::RequestRepaint() {
  if (repaint_) repaint_();
}

}  // namespace orvane::ui
