#pragma once
// Small pieces every settings dialog builds its controls from, so that each
// control gets its object name, its accessible name and its label's buddy
// the same way.

#include <QColor>
#include <QString>

#include <cstdint>
#include <span>

class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;
class QWidget;

// A text marked with QT_TRANSLATE_NOOP, translated in its context. Carriage
// returns of the resource texts are dropped: a line break is "\n" here.
QString TranslatedText(const char* context, const char* text);
// A text with its line breaks as spaces, as a screen reader should say it.
QString AccessibleText(const QString& text);
// A 0x00BBGGRR colour value as the colour it names.
QColor ColourFromColorRef(uint32_t colour);

QComboBox* NewComboBox(const char* name, const char* context, std::span<const char* const> items,
                       int selected);
QPushButton* NewPushButton(const QString& text, const char* name);
// A row with a label whose buddy is `field`; the field takes the label text
// as its accessible name. Returns the label.
QLabel* AddLabelledRow(QFormLayout* form, const QString& label, QWidget* field);
// Names a control for tests and screen readers.
void NameControl(QWidget* control, const char* name, const QString& accessible_name);
