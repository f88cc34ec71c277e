#pragma once
// A text field for a limit that also steps like a spin box: the Up and Down
// keys and the mouse wheel move a readable value by one within its range.
// Whatever is typed stays as typed (an empty field has its own meaning);
// the dialog checks the text on OK.

#include <QLineEdit>

#include <cstdint>

class QKeyEvent;
class QWheelEvent;

class SteppingLineEdit : public QLineEdit {
 public:
  SteppingLineEdit(uint32_t minimum, uint32_t maximum, QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void Step(int steps);

  uint32_t minimum_;
  uint32_t maximum_;
};
