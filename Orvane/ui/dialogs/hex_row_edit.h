#pragma once
// A row of hexadecimal bytes typed over in place (HexRowEditor): a hex digit
// replaces the digit at the caret, Left and Right skip the ":" separators,
// Up and Down go to the row above or below at the same column, Tab moves
// on, a click puts the caret on the nearest digit. Bytes beyond the active
// length are drawn grey but kept. Screen readers get the row's text as its
// value.

#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <string>

#include "Orvane/ui/dialogs/hex_row_model.h"

class HexRowEdit : public QWidget {
  Q_OBJECT

 public:
  explicit HexRowEdit(size_t byte_count, QWidget* parent = nullptr);

  // A monospaced font, so rows line up under their header labels.
  static QFont RowFont();

  void SetBytes(const uint8_t* bytes);
  const std::string& Text() const { return editor_.Text(); }
  size_t Caret() const { return editor_.Caret(); }
  // Bytes from `length` on are drawn grey.
  void SetActiveLength(size_t length);
  // The rows Up and Down go to; either may be null.
  void SetNeighbours(HexRowEdit* above, HexRowEdit* below);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void MoveTo(HexRowEdit* row);
  void Changed(bool text_changed);
  int CharWidth() const;

  orvane::HexRowEditor editor_;
  size_t active_length_;
  HexRowEdit* above_ = nullptr;
  HexRowEdit* below_ = nullptr;
};
