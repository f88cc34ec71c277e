#include "Orvane/ui/dialogs/dialog_widgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

QString TranslatedText(const char* context, const char* text) {
  return QCoreApplication::translate(context, text).remove(QLatin1Char('\r'));
}

QString AccessibleText(const QString& text) {
  return text.simplified();
}

QColor ColourFromColorRef(uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

QComboBox* NewComboBox(const char* name, const char* context, std::span<const char* const> items,
                       int selected) {
  auto* combo = new QComboBox;
  combo->setObjectName(QString::fromLatin1(name));
  for (const char* item : items) combo->addItem(TranslatedText(context, item));
  combo->setCurrentIndex(selected);
  return combo;
}

QPushButton* NewPushButton(const QString& text, const char* name) {
  auto* button = new QPushButton(text);
  NameControl(button, name, text);
  return button;
}

QLabel* AddLabelledRow(QFormLayout* form, const QString& label, QWidget* field) {
  auto* text = new QLabel(label);
  text->setBuddy(field);
  field->setAccessibleName(AccessibleText(label));
  form->addRow(text, field);
  return text;
}

void NameControl(QWidget* control, const char* name, const QString& accessible_name) {
  control->setObjectName(QString::fromLatin1(name));
  control->setAccessibleName(AccessibleText(accessible_name));
}
