#include "Orvane/ui/waveform_paint/overlay_painting.h"

#include <algorithm>

#include "Orvane/ui/waveform_paint/waveform_labels.h"

namespace orvane::ui {

namespace {

const QColor kConditionColour(0x40, 0xC0, 0xC0);
const QColor kAckColour(0x00, 0xFF, 0x00);
const QColor kMarkLabelColour(0xFF, 0x20, 0x40);
const QColor kDataLabelColour(0xFF, 0xFF, 0x00);
const QColor kByteColour(0xCC, 0xFF, 0xFF);

constexpr int kConditionY = 67;
constexpr int kAckY = 92;
constexpr int kI2CByteY = 107;
constexpr int kMosiByteY = 146;
constexpr int kMisoByteY = 186;
constexpr int kBandTop = 26;

bool Visible(const WaveformWindow& w, int64_t offset) { return w.left <= offset && offset <= w.right; }

// The label row of mark i of a list.
int MarkLabelY(MarkList list, size_t i) {
  switch (list) {
    case MarkList::kTiming: return static_cast<int>(130 + 14 * i);
    case MarkList::kClock: return static_cast<int>(136 + 14 * i);
    case MarkList::kData: return i % 2 == 0 ? 166 : 180;
  }
  return 0;
}

// The byte offsets ascend, except for a tail of zeros where the extraction
// never reached the bytes: the first index at or after the left edge among
// the reached ones, and the end of those.
std::pair<size_t, size_t> VisibleRange(const std::vector<uint32_t>& offsets, size_t count, int64_t left) {
  size_t end = std::min(count, offsets.size());
  while (end > 1 && offsets[end - 1] == 0) --end;
  const auto first = std::partition_point(offsets.begin(), offsets.begin() + static_cast<ptrdiff_t>(end),
                                          [left](uint32_t o) { return int64_t(o) < left; });
  return {static_cast<size_t>(first - offsets.begin()), end};
}

}  // namespace

void PaintConditionLabels(CanvasContext& canvas, const ConditionMarks& c) {
  const WaveformWindow& w = canvas.window;
  if (c.start && Visible(w, c.start_offset)) {
    canvas.Text(canvas.X(c.start_offset) + 2, kConditionY, kStartLabel, kConditionColour, canvas.normal);
  }
  if (c.repeat && Visible(w, c.repeat_offset)) {
    canvas.Text(canvas.X(c.repeat_offset) + 2, kConditionY, kRepeatLabel, kConditionColour, canvas.normal);
  }
  if (c.stop && Visible(w, c.stop_offset)) {
    const int x = canvas.X(c.stop_offset);
    const int text_width = canvas.TextWidth(kStopLabel, canvas.normal);
    const int at = x + text_width > canvas.X(w.right) ? x - text_width - 1 : x;
    canvas.Text(at, kConditionY, kStopLabel, kConditionColour, canvas.normal);
  }
}

void PaintAckLabels(CanvasContext& canvas, const std::vector<AckMark>& acks) {
  const WaveformWindow& w = canvas.window;
  // The extraction yields the ACK clocks in time order.
  const auto first = std::partition_point(acks.begin(), acks.end(),
                                          [&w](const AckMark& a) { return a.offset < w.left; });
  for (auto a = first; a != acks.end() && a->offset <= w.right; ++a) {
    canvas.Text(canvas.X(a->offset), kAckY, a->nack ? kNackLabel : kAckLabel, kAckColour, canvas.normal);
  }
}

void PaintMarks(CanvasContext& canvas, const std::vector<TimingMark>& marks, MarkList list) {
  const WaveformWindow& w = canvas.window;
  // Each list holds spans that do not overlap, in time order (one walk
  // forward made them), so their ends ascend as well.
  const auto first = std::partition_point(marks.begin(), marks.end(), [&w](const TimingMark& m) {
    return int64_t(m.start) + m.length <= w.left;
  });
  const QFont& font = canvas.italic;
  const QColor& label_colour = list == MarkList::kData ? kDataLabelColour : kMarkLabelColour;
  for (auto m = first; m != marks.end() && m->start <= w.right; ++m) {
    const size_t i = static_cast<size_t>(m - marks.begin());
    const int x = canvas.X(m->start);
    const int x_end = canvas.X(int64_t(m->start) + m->length);
    if (!m->label.empty()) {
      const QString label = QString::fromStdString(m->label);
      const int text_width = canvas.TextWidth(label, font);
      const int right_x = canvas.X(w.right);
      const int at = x + 2 + text_width > right_x && w.right >= w.max ? right_x - text_width - 2 : x + 2;
      canvas.Text(at, MarkLabelY(list, i), label, label_colour, font);
    }
    canvas.painter.fillRect(QRect(x, kBandTop, x_end - x, canvas.height), QColor::fromRgba(m->colour));
  }
}

void PaintByteValues(CanvasContext& canvas, const TransactionDetail& detail, ByteRows rows) {
  const WaveformWindow& w = canvas.window;
  const auto [first, end] = VisibleRange(detail.offsets, detail.count, w.left);
  for (size_t i = first; i < end && int64_t(detail.offsets[i]) <= w.right; ++i) {
    const int x = canvas.X(detail.offsets[i]);
    const uint32_t index = static_cast<uint32_t>(i);
    if (rows == ByteRows::kI2C) {
      if (i < detail.bytes.size()) {
        canvas.Text(x, kI2CByteY, QString::fromStdString(ByteIndexText(detail.bytes[i], index)), kByteColour,
                    canvas.normal);
      }
      continue;
    }
    if (i < detail.bytes2.size()) {
      canvas.Text(x, kMosiByteY, QString::fromStdString(ByteIndexText(detail.bytes2[i], index)), kByteColour,
                  canvas.normal);
    }
    if (i < detail.bytes.size()) {
      canvas.Text(x, kMisoByteY, QString::fromStdString(ByteText(detail.bytes[i])), kByteColour, canvas.normal);
    }
  }
}

}  // namespace orvane::ui
