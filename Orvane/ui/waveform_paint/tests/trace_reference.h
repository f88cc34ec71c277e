#pragma once
// Shared by the canvas tests: a capture with one or more decoded I2C
// records, and the levels of the visible window worked out the plain way,
// run by run with the decoders' signal cursor from the record's start, as a
// reference for the painter's indexed and column-reduced walk.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/linked_records.h"
#include "Orvane/decode/signal_cursor.h"
#include "Orvane/decode/tests/analyzer_test_support.h"
#include "Orvane/ui/waveform_paint/trace_columns.h"
#include "Orvane/ui/waveform_paint/waveform_window.h"

namespace orvane::ui::testing {

// Levels per row and column, as TraceColumns keeps them.
struct ReferenceLevels {
  int width = 0;
  int rows = 0;
  std::vector<uint8_t> levels;
  uint8_t At(int row, int column) const { return levels[static_cast<size_t>(row) * width + column]; }
};

inline ReferenceLevels ReferenceTrace(CSamplingObj& sampling, const SettingsRecord& settings,
                                      const TransactionInfo& record, const WaveformWindow& w, int width, int rows) {
  ReferenceLevels ref{width, rows, std::vector<uint8_t>(static_cast<size_t>(width) * rows, 0)};
  const TransactionInfo* next = LinkedRecord(sampling.Records(), record.Next);
  AtomWalker walker(sampling);
  SignalCursor cursor(walker, LineMappingFor(settings), record, sampling.m_lenSamplingDataInBuffer,
                      next != nullptr ? next->SamplePos : kNoPositionLimit);
  auto column = [&](int64_t p) {
    return static_cast<int>(std::clamp<int64_t>(PixelOf(w, p, width), 0, width - 1));
  };
  uint32_t held = 0;
  for (;;) {
    const uint8_t state = cursor.State();
    const int64_t begins = cursor.ChangeOffset();
    const bool advanced = cursor.GetSignal_NextSignal(&held);
    const int64_t ends = advanced ? cursor.ChangeOffset() : cursor.EndOffset();
    // The run in force at the left edge is the first drawn: one that ends
    // exactly there gave way to the next.
    if (ends > w.left || (!advanced && ends == w.left)) {
      for (int row = 0; row < rows; ++row) {
        const uint8_t level = ((state >> row) & 1) ? kLevelHigh : kLevelLow;
        for (int x = column(std::max<int64_t>(begins, w.left)); x <= column(ends); ++x) {
          ref.levels[static_cast<size_t>(row) * width + x] |= level;
        }
      }
      if (ends >= w.right || ends > w.max) break;
    }
    if (!advanced) break;
  }
  return ref;
}

// The window of `width` columns at `scale` from `left` over a record of
// range [min, max].
inline WaveformWindow WindowAt(int32_t min, int32_t max, int32_t left, uint32_t scale, int width) {
  WaveformWindow w;
  w.min = min;
  w.max = max;
  w.scale = scale;
  w.page = static_cast<int32_t>(int64_t(width) * scale / 10);
  w.left = left;
  w.right = left + w.page;
  return w;
}

// A long I2C write at a fast clock: many atoms per column at coarse scales
// and many seek checkpoints.
inline std::vector<uint8_t> DenseI2CWrite(uint32_t bytes, uint8_t channel = 1) {
  analyzer_test::I2CWave wave(channel, {3, 2, 1, 4, 4, 4, 30});
  wave.Start();
  for (uint32_t i = 0; i < bytes; ++i) wave.Byte(static_cast<uint8_t>(i * 37 + 11), i % 5 == 4);
  wave.Stop();
  return wave.Finish(500);
}

}  // namespace orvane::ui::testing
