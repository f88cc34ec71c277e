#pragma once
// What the search dialogs share: the two buttons that confirm the dialog
// with a direction ("Next" searches forward, "Previous" backward) and the
// check of the entries that keeps the dialog open with a message.

#include <QDialog>

#include <optional>
#include <string>

#include "Orvane/decode/transaction_search.h"
#include "platform/interaction.h"

class QComboBox;
class QLayout;
class QLineEdit;

class DlgSearchBase : public QDialog {
  Q_OBJECT

 public:
  // The button the dialog was confirmed with.
  orvane::SearchDirection Direction() const { return direction_; }

 protected:
  DlgSearchBase(velix::platform::InteractionSink& sink, QWidget* parent);
  // Puts `fields` above the direction buttons and Cancel.
  void SetBody(QLayout* fields);
  // The body of the byte-pattern searches: a length list of 1..max_length,
  // the pattern entry (named `pattern_name`) and under it the hint that
  // marks each byte's position, both in a fixed-pitch font so they line up.
  struct PatternControls {
    QComboBox* length;
    QLineEdit* pattern;
  };
  PatternControls SetPatternBody(int max_length, const QString& length_text, const char* pattern_name,
                                 const QString& pattern_text, const QString& hint);
  // The entries' message when they cannot be searched for; nullopt when
  // they are kept.
  virtual std::optional<std::string> Keep() = 0;

 private:
  void Confirm(orvane::SearchDirection direction);

  velix::platform::InteractionSink& sink_;
  orvane::SearchDirection direction_ = orvane::SearchDirection::kForward;
};
