#include "Orvane/ui/qt_interaction_sink.h"

#include <QCoreApplication>

#include <string>

namespace orvane {
namespace {

using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::Icon;

}  // namespace

QString TranslatedMessage(std::string_view text) {
  const std::string terminated(text);
  return QCoreApplication::translate("Messages", terminated.c_str());
}

QMessageBox::Icon ToQtIcon(Icon icon) {
  switch (icon) {
    case Icon::kStop:
      return QMessageBox::Critical;
    case Icon::kExclamation:
      return QMessageBox::Warning;
    case Icon::kQuestion:
      return QMessageBox::Question;
    case Icon::kInformation:
      return QMessageBox::Information;
    case Icon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case Buttons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::kRetryCancel:
      return QMessageBox::Retry | QMessageBox::Cancel;
    case Buttons::kOk:
      break;
  }
  return QMessageBox::Ok;
}

QMessageBox::StandardButton ToQtButton(Answer answer) {
  switch (answer) {
    case Answer::kCancel:
      return QMessageBox::Cancel;
    case Answer::kYes:
      return QMessageBox::Yes;
    case Answer::kNo:
      return QMessageBox::No;
    case Answer::kRetry:
      return QMessageBox::Retry;
    case Answer::kOk:
      break;
  }
  return QMessageBox::Ok;
}

Answer FromQtButton(int button, Buttons buttons, Answer default_answer) {
  for (const Answer answer : {Answer::kOk, Answer::kCancel, Answer::kYes, Answer::kNo, Answer::kRetry}) {
    const QMessageBox::StandardButton candidate = ToQtButton(answer);
    if (candidate == button && ToQtButtons(buttons).testFlag(candidate)) return answer;
  }
  return default_answer;
}

Answer QtInteractionSink::MessageBox(std::string_view text, Icon icon, Buttons buttons, Answer default_answer) {
  const QString translated = TranslatedMessage(text);
  if (presenter_) return presenter_(translated, icon, buttons, default_answer);
  const QString title = box_title_.isEmpty() ? QCoreApplication::applicationName() : box_title_;
  QMessageBox box(ToQtIcon(icon), title, translated, ToQtButtons(buttons), parent_);
  // A preselected answer that is not one of the buttons leaves Qt's choice.
  if (ToQtButtons(buttons).testFlag(ToQtButton(default_answer))) box.setDefaultButton(ToQtButton(default_answer));
  return FromQtButton(box.exec(), buttons, default_answer);
}

void QtInteractionSink::Progress(uint32_t code, uint32_t value) {
  if (progress_) progress_(code, value);
}

void QtInteractionSink::StatusText(std::string_view text, uint32_t colour) {
  if (status_text_) status_text_(TranslatedMessage(text), colour);
}

void QtInteractionSink::StatusRefresh() {
  if (status_refresh_) status_refresh_();
}

}  // namespace orvane
