#include "Orvane/ui/list/list_window.h"

#include <algorithm>

namespace orvane {

uint32_t MaxListOffset(const ListWindow& window) {
  const uint32_t visible = std::max<uint32_t>(window.visible, 1);
  return window.count > visible ? window.count - visible : 0;
}

ListWindow ClampListWindow(ListWindow window) {
  window.visible = std::max<uint32_t>(window.visible, 1);
  window.offset = std::min(window.offset, MaxListOffset(window));
  return window;
}

uint32_t ListWindowRows(const ListWindow& window) {
  if (window.offset >= window.count) return 0;
  const uint64_t wanted = uint64_t{window.visible} + kListWindowMargin;
  return static_cast<uint32_t>(std::min<uint64_t>(wanted, window.count - window.offset));
}

uint32_t OffsetShowing(const ListWindow& window, uint32_t row) {
  const ListWindow clamped = ClampListWindow(window);
  if (row >= clamped.count) return clamped.offset;
  if (row < clamped.offset) return row;
  if (row - clamped.offset < clamped.visible) return clamped.offset;
  return std::min(row - clamped.visible + 1, MaxListOffset(clamped));
}

bool ToWindowRow(const ListWindow& window, uint32_t row, uint32_t* window_row) {
  if (row == kNoListRow || row < window.offset || row - window.offset >= ListWindowRows(window)) return false;
  *window_row = row - window.offset;
  return true;
}

uint32_t ListMoveTarget(const ListWindow& window, uint32_t current, ListMove move) {
  const ListWindow clamped = ClampListWindow(window);
  if (clamped.count == 0) return kNoListRow;
  const uint32_t last = clamped.count - 1;
  if (current == kNoListRow || current > last) {
    if (move == ListMove::kFirst) return 0;
    if (move == ListMove::kLast) return last;
    return clamped.offset;
  }
  switch (move) {
    case ListMove::kUp: return current > 0 ? current - 1 : 0;
    case ListMove::kDown: return current < last ? current + 1 : last;
    case ListMove::kPageUp: return current > clamped.visible ? current - clamped.visible : 0;
    case ListMove::kPageDown: return last - current > clamped.visible ? current + clamped.visible : last;
    case ListMove::kFirst: return 0;
    case ListMove::kLast: break;
  }
  return last;
}

}  // namespace orvane
