#include "Orvane/ui/dialogs/dlg_jump_transaction.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Orvane/decode/dialog_values.h"
#include "Orvane/ui/dialogs/dialog_widgets.h"
#include "Orvane/ui/dialogs/search_dialog_model.h"

DlgJumpTransaction::DlgJumpTransaction(uint32_t first_index, uint32_t last_index, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(tr("Jump Transaction number"));
  const orvane::JumpFields fields = orvane::JumpFieldsFromRange(first_index, last_index);
  auto* first = new QLineEdit(QString::fromStdString(fields.first));
  auto* last = new QLineEdit(QString::fromStdString(fields.last));
  for (QLineEdit* number : {first, last}) {
    number->setReadOnly(true);
    number->setFocusPolicy(Qt::ClickFocus);
  }
  first->setObjectName(QStringLiteral("first"));
  last->setObjectName(QStringLiteral("last"));
  target_ = new QLineEdit(QString::fromStdString(fields.target));
  target_->setObjectName(QStringLiteral("target"));

  auto* form = new QFormLayout;
  AddLabelledRow(form, tr("First transaction"), first);
  AddLabelledRow(form, tr("Last transaction"), last);
  AddLabelledRow(form, tr("Jump to"), target_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  target_->selectAll();
  target_->setFocus();
}

uint32_t DlgJumpTransaction::Target() const { return orvane::ParseDialogNumber(target_->text().toStdString()); }
