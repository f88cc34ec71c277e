#include "Orvane/ui/waveform/time_entry_widgets.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QLineEdit* NewTimeField(const char* name, const QString& accessible_name) {
  auto* field = new QLineEdit;
  field->setObjectName(QString::fromLatin1(name));
  field->setAccessibleName(accessible_name);
  field->setAttribute(Qt::WA_InputMethodEnabled, false);
  field->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhLatinOnly);
  return field;
}

namespace {

QLineEdit* NewLimitField(const char* name, const QString& label, const QString& text) {
  auto* field = new QLineEdit(text);
  field->setObjectName(QString::fromLatin1(name));
  field->setAccessibleName(label);
  field->setReadOnly(true);
  return field;
}

}  // namespace

void LayOutTimeEntry(QDialog* dialog, const QString& prompt, const QString& minimum,
                     const QString& maximum, QWidget* time_row) {
  auto* prompt_label = new QLabel(prompt);
  prompt_label->setObjectName(QStringLiteral("prompt"));
  prompt_label->setWordWrap(true);

  auto* range = new QGroupBox(QCoreApplication::translate("TimeEntry", "Range"));
  auto* limits = new QFormLayout(range);
  const QString min_text = QCoreApplication::translate("TimeEntry", "min.");
  const QString max_text = QCoreApplication::translate("TimeEntry", "max.");
  limits->addRow(min_text, NewLimitField("minimum", min_text, minimum));
  limits->addRow(max_text, NewLimitField("maximum", max_text, maximum));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);

  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(prompt_label);
  layout->addWidget(range);
  layout->addWidget(time_row);
  layout->addWidget(buttons);
}
