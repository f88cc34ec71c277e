#pragma once
// Paints the waveform canvas: background, time axis and grid, the traces
// of the shown transaction, markers, condition and ACK labels, the timing
// overlays and the byte values, into one off-screen picture. The cost of a
// paint follows the canvas width, not the length of the transaction.

#include <QPainter>
#include <QSize>
#include <memory>
#include <optional>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/waveform_overlays.h"
#include "Orvane/ui/waveform_paint/waveform_window.h"

namespace orvane::ui {

// What the canvas shows. Pointers are owned by the caller and outlive the
// next SetScene call.
struct WaveformScene {
  CSamplingObj* sampling = nullptr;
  const SettingsRecord* settings = nullptr;
  std::optional<TransactionInfo> record;   // none: background only
  const WaveformOverlays* overlays = nullptr;
  bool show_error_timing = false;          // draw the clock and data marks
};

class WaveformPainter {
 public:
  WaveformPainter();
  ~WaveformPainter();
  WaveformPainter(const WaveformPainter&) = delete;
  WaveformPainter& operator=(const WaveformPainter&) = delete;

  void SetScene(const WaveformScene& scene);
  // Draws the whole client area of `client` size.
  void Paint(QPainter& painter, QSize client, const WaveformWindow& window);
  // Prepares a little more of what paints far into a long transaction
  // will need, so that no paint has to; the canvas calls it while idle.
  // False once everything is prepared (or there is nothing to prepare).
  bool PrepareSome();

 private:
  bool Drawable() const;

  struct Cache;
  WaveformScene scene_;
  std::unique_ptr<Cache> cache_;
};

}  // namespace orvane::ui
