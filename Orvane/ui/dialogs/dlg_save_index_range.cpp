#include "Orvane/ui/dialogs/dlg_save_index_range.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "Orvane/ui/dialogs/dialog_widgets.h"

namespace {

// The caption and the description come from the core: their translations
// stand with the core's other texts.
constexpr const char* kCoreTextContext = "Messages";

}  // namespace

DlgSaveIndexRange::DlgSaveIndexRange(const orvane::SaveIndexRangeDialog& values, QWidget* parent)
    : QDialog(parent), values_(values) {
  setWindowTitle(values_.caption.empty() ? tr("Transaction Index Range")
                                         : TranslatedText(kCoreTextContext, values_.caption.c_str()));
  auto* description = new QLabel(TranslatedText(kCoreTextContext, values_.description.c_str()));
  description->setObjectName(QStringLiteral("description"));
  description->setWordWrap(true);
  description->setVisible(!values_.description.empty());

  header_only_ = new QRadioButton(tr("Only transaction header"));
  NameControl(header_only_, "headerOnly", header_only_->text());
  all_data_ = new QRadioButton(tr("All the data"));
  NameControl(all_data_, "allData", all_data_->text());
  auto* choice = new QButtonGroup(this);
  choice->addButton(header_only_);
  choice->addButton(all_data_);
  (values_.header_only ? header_only_ : all_data_)->setChecked(true);

  auto* group = new QGroupBox(tr("Save data"));
  group->setAccessibleName(group->title());
  auto* group_layout = new QVBoxLayout(group);
  group_layout->addWidget(header_only_);
  group_layout->addWidget(all_data_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(description);
  layout->addWidget(group);
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &DlgSaveIndexRange::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DlgSaveIndexRange::reject);
}

void DlgSaveIndexRange::accept() {
  values_.header_only = header_only_->isChecked();
  QDialog::accept();
}
