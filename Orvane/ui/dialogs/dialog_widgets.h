#pragma once
// Small pieces every settings dialog builds its controls from, so that each
// control gets its object name, its accessible name and its label's buddy
// the same way.

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;
class QWidget;

// True when a dialog's list texts, marked for the translation tools, are
// the core's texts: checked at compile time, so the two never drift apart.
template <size_t N>
constexpr bool SameTexts(const char* const (&ours)[N], const std::array<const char*, N>& core) {
  for (size_t i = 0; i < N; ++i) {
    if (std::string_view(ours[i]) != core[i]) return false;
  }
  return true;
}

// A text marked with QT_TRANSLATE_NOOP, translated in its context. The
// resource texts break lines with "\r\n" or a lone "\r" as well; here
// every line break is "\n".
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
