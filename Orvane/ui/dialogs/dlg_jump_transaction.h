#pragma once
// "Jump Transaction number": the numbers of the first and last listed
// transactions, and the number to jump to.

#include <QDialog>

#include <cstdint>

class QLineEdit;

class DlgJumpTransaction : public QDialog {
  Q_OBJECT

 public:
  DlgJumpTransaction(uint32_t first_index, uint32_t last_index, QWidget* parent = nullptr);
  // The number typed, with C-style base prefixes; all ones when unreadable
  // (a jump that then offers the last row).
  uint32_t Target() const;

 private:
  QLineEdit* target_ = nullptr;
};
