#pragma once
// CScrollWnd, the waveform canvas, without its window: the scrollable range,
// the visible window and the zoom, with the clamping of every way the user
// moves it. Every change of the window is reported through the notify
// callback (the form's "Range changed"); repaints are asked for through the
// repaint callback. Qt-free.

#include <cstdint>
#include <functional>

#include "Orvane/ui/waveform_paint/waveform_window.h"

namespace orvane::ui {

inline constexpr uint32_t kMinScale = 1;
inline constexpr uint32_t kMaxScale = 500;
inline constexpr int32_t kScrollLineClocks = 4;

enum class ScrollCode : uint8_t { kLineLeft, kLineRight, kPageLeft, kPageRight, kThumbTrack };

// What the horizontal scroll bar shows: the whole range, the page, the
// position (the window's left edge).
struct ScrollBarState {
  int32_t minimum = 0;
  int32_t maximum = 0;
  int32_t page = 0;
  int32_t position = 0;
};

class ScrollWndModel {
 public:
  using Notify = std::function<void(int32_t left, int32_t right)>;
  using Repaint = std::function<void()>;

  void SetNotify(Notify notify) { notify_ = std::move(notify); }
  void SetRepaint(Repaint repaint) { repaint_ = std::move(repaint); }

  const WaveformWindow& Window() const { return window_; }
  int ClientWidth() const { return client_width_; }
  ScrollBarState ScrollBar() const { return bar_; }

  // The scrollable range; the window itself moves with the next SetLeft.
  void SetRange(int32_t minimum, int32_t maximum);
  // Puts the left edge at `left` (at most max; at min when the whole range
  // fits the page).
  void SetLeft(int32_t left);
  // Zooms to `scale`, keeping the first visible marker (else the left edge)
  // on its pixel column.
  void SetScale(uint32_t scale, bool repaint);
  // Zooms keeping the offset under pixel column `column` where it is.
  void ZoomAt(uint32_t scale, int column);
  void Scroll(ScrollCode code, int32_t track_position = 0);
  // A wheel turn over the canvas: one notch (+120) moves 120 clocks back.
  void Wheel(int32_t delta);
  // Moves the left edge to `left` within the range (dragging, keys).
  void ScrollTo(int64_t left);
  void Resize(int client_width);
  void SetMarker(int marker, bool shown, int32_t position);
  void SetExtend(bool extend) { window_.extend = extend; }

 private:
  void ClampAndUpdate(int64_t left);
  void SetWindow(int64_t left);
  int32_t PageFor(uint32_t scale) const;
  void UpdateBarAndNotify();
  void RequestRepaint();

  WaveformWindow window_;
  int client_width_ = 100;
  ScrollBarState bar_{0, 100, 100, 0};
  Notify notify_;
  Repaint repaint_;
};

}  // namespace orvane::ui
