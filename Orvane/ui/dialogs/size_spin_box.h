#pragma once
// A size box of the capture settings dialog. Its text is read like every
// number typed into a dialog (0x hexadecimal, leading 0 octal) and is checked
// when the entry is finished (Enter, focus leaving, or the dialog asking),
// not on every keystroke: "0x20" passes through "0" on its way.

#include <QSpinBox>

#include <functional>
#include <string>
#include <string_view>

#include "Orvane/ui/dialogs/capture_setting_model.h"

class QFocusEvent;
class QKeyEvent;

class SizeSpinBox : public QSpinBox {
 public:
  // Told the message for a refused entry; the box then shows its last
  // accepted value again.
  using RefusedFn = std::function<void(const std::string& message)>;

  // Decides on a typed text: the value, or the message for refusing it.
  using CheckFn = std::function<orvane::SizeEntry(std::string_view text)>;

  explicit SizeSpinBox(int maximum, RefusedFn refused, QWidget* parent = nullptr);
  // A box for another range of numbers, typed and checked the same way.
  SizeSpinBox(int minimum, int maximum, CheckFn check, RefusedFn refused, QWidget* parent = nullptr);

  // Takes the typed text: true when it stands for a size in range (the box
  // value follows it), false when it was refused and reset.
  bool CommitEntry();

 protected:
  QValidator::State validate(QString& text, int& pos) const override;
  int valueFromText(const QString& text) const override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  CheckFn check_;
  RefusedFn refused_;
};
