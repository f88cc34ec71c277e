#include "Orvane/ui/waveform/parameter_error_box.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <string_view>

#include "Orvane/ui/waveform/time_entry_values.h"

namespace {

ParameterErrorPresenter& Presenter() {
  static ParameterErrorPresenter presenter;
  return presenter;
}

// The model's texts, marked for the translation tools.
constexpr const char* kCaption = QT_TRANSLATE_NOOP("TimeEntry", "Parameter error");
constexpr const char* kOutOfRange = QT_TRANSLATE_NOOP("TimeEntry", "The specified value is out of range.");
static_assert(std::string_view(kCaption) == orvane::ui::kParameterErrorCaption);
static_assert(std::string_view(kOutOfRange) == orvane::ui::kTimeOutOfRange);

}  // namespace

void SetParameterErrorPresenter(ParameterErrorPresenter presenter) { Presenter() = std::move(presenter); }

void ShowTimeOutOfRange(QWidget* parent) {
  const QString caption = QCoreApplication::translate("TimeEntry", kCaption);
  const QString text = QCoreApplication::translate("TimeEntry", kOutOfRange);
  if (Presenter()) {
    Presenter()(caption, text);
    return;
  }
  QMessageBox::warning(parent, caption, text);
}
