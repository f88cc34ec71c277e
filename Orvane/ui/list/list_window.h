#pragma once
// The rows the list's table actually holds: a window of the rows that fit
// the viewport (plus a partly shown one and a spare) starting at an offset
// into the announced rows. The table and its header then cost the same for
// ten rows as for eighteen million; the list's own scroll bar moves the
// offset. Rows here are absolute (0 = the first announced row) unless named
// window rows.

#include <cstdint>

namespace orvane {

inline constexpr uint32_t kNoListRow = UINT32_MAX;
// Rows the window holds beyond those that fit whole: the partly shown row at
// the bottom and one more, so a slightly taller viewport is never blank.
inline constexpr uint32_t kListWindowMargin = 2;

struct ListWindow {
  uint32_t count = 0;    // announced rows
  uint32_t visible = 1;  // rows that fit whole in the viewport, at least 1
  uint32_t offset = 0;   // the first row shown
};

// The largest offset: the last row shown whole at the bottom.
uint32_t MaxListOffset(const ListWindow& window);
// The window with its offset within 0 .. MaxListOffset.
ListWindow ClampListWindow(ListWindow window);
// How many rows the table holds for a clamped window.
uint32_t ListWindowRows(const ListWindow& window);
// The offset after the least scrolling that shows `row` whole.
uint32_t OffsetShowing(const ListWindow& window, uint32_t row);
// The window row of an absolute row; false when the window does not hold it.
bool ToWindowRow(const ListWindow& window, uint32_t row, uint32_t* window_row);

enum class ListMove { kUp, kDown, kPageUp, kPageDown, kFirst, kLast };

// The row a key moves the current row to; kNoListRow without rows. Without
// a current row every move starts from the first row shown.
uint32_t ListMoveTarget(const ListWindow& window, uint32_t current, ListMove move);

}  // namespace orvane
