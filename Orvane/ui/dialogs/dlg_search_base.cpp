#include "Orvane/ui/dialogs/dlg_search_base.h"

#include <QHBoxLayout>
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
