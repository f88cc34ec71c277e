#include "Orvane/ui/dialogs/dlg_search_base.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Orvane/ui/dialogs/dialog_widgets.h"

DlgSearchBase::DlgSearchBase(velix::platform::InteractionSink& sink, QWidget* parent)
    : QDialog(parent), sink_(sink) {}

void DlgSearchBase::SetBody(QLayout* fields) {
  QPushButton* next = NewPushButton(tr("Next \nSearch =>>"), "next");
  QPushButton* previous = NewPushButton(tr("Previous \n Search <<="), "previous");
  QPushButton* cancel = NewPushButton(tr("Cancel"), "cancel");
  next->setDefault(true);
  previous->setAutoDefault(false);
  cancel->setAutoDefault(false);
  connect(next, &QPushButton::clicked, this, [this] { Confirm(orvane::SearchDirection::kForward); });
  connect(previous, &QPushButton::clicked, this, [this] { Confirm(orvane::SearchDirection::kBackward); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(previous);
  buttons->addWidget(next);
  buttons->addStretch();
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);
}

void DlgSearchBase::Confirm(orvane::SearchDirection direction) {
  if (const auto message = Keep()) {
    sink_.Show(*message);
    return;
  }
  direction_ = direction;
  accept();
}

DlgSearchBase::PatternControls DlgSearchBase::SetPatternBody(int max_length, const QString& length_text,
                                                             const char* pattern_name, const QString& pattern_text,
                                                             const QString& hint) {
  auto* length = new QComboBox;
  for (int bytes = 1; bytes <= max_length; ++bytes) length->addItem(QString::number(bytes));
  NameControl(length, "length", length_text);
  auto* length_label = new QLabel(length_text);
  length_label->setBuddy(length);

  auto* pattern = new QLineEdit;
  NameControl(pattern, pattern_name, pattern_text);
  auto* pattern_label = new QLabel(pattern_text);
  pattern_label->setBuddy(pattern);
  auto* hint_label = new QLabel(hint);
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  pattern->setFont(fixed);
  hint_label->setFont(fixed);

  auto* grid = new QGridLayout;
  grid->addWidget(length_label, 0, 0);
  grid->addWidget(length, 0, 1);
  grid->addWidget(pattern_label, 1, 0);
  grid->addWidget(pattern, 1, 1);
  grid->addWidget(hint_label, 2, 1);
  SetBody(grid);
  return {length, pattern};
}
