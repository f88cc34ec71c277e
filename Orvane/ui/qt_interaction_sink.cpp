#include "Orvane/ui/qt_interaction_sink.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

namespace orvane::ui {
namespace {

using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::Icon;

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

QMessageBox::Icon QtIcon(Icon icon) {
  switch (icon) {
    case Icon::kStop: return QMessageBox::Critical;
    case Icon::kExclamation: return QMessageBox::Warning;
    case Icon::kQuestion: return QMessageBox::Question;
    case Icon::kInformation: return QMessageBox::Information;
    case Icon::kNone: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons QtButtons(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOk: return QMessageBox::Ok;
    case Buttons::kOkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::kYesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::kYesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::kRetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::StandardButton QtButton(Answer answer) {
  switch (answer) {
    case Answer::kOk: return QMessageBox::Ok;
    case Answer::kCancel: return QMessageBox::Cancel;
    case Answer::kYes: return QMessageBox::Yes;
    case Answer::kNo: return QMessageBox::No;
    case Answer::kRetry: return QMessageBox::Retry;
  }
  return QMessageBox::Ok;
}

Answer AnswerOf(int button, Answer fallback) {
  switch (button) {
    case QMessageBox::Ok: return Answer::kOk;
    case QMessageBox::Cancel: return Answer::kCancel;
    case QMessageBox::Yes: return Answer::kYes;
    case QMessageBox::No: return Answer::kNo;
    case QMessageBox::Retry: return Answer::kRetry;
    default: return fallback;  // closed with Escape where there is no Cancel
  }
}

}  // namespace

QString TranslatedMessage(std::string_view text) {
  const std::string key(text);
  return QCoreApplication::translate("Messages", key.c_str());
}

Answer QtInteractionSink::MessageBox(std::string_view text, Icon icon, Buttons buttons, Answer default_answer) {
  if (Handler()) return Handler()(std::string(text), icon, buttons, default_answer);
  // Only the window's thread may show a box; the worker reports through run
  // events and is never meant to get here.
  if (QThread::currentThread() != QCoreApplication::instance()->thread()) return default_answer;
  QMessageBox box(QtIcon(icon), QCoreApplication::applicationName(), TranslatedMessage(text), QtButtons(buttons),
                  window_);
  box.setDefaultButton(QtButton(default_answer));
  box.setAccessibleName(box.windowTitle());
  box.setAccessibleDescription(box.text());
  return AnswerOf(box.exec(), default_answer);
}

void QtInteractionSink::Progress(uint32_t code, uint32_t value) {
  if (on_progress) on_progress(code, value);
}

void QtInteractionSink::StatusText(std::string_view text, uint32_t colour) {
  if (on_status_text) on_status_text(std::string(text), colour);
}

void QtInteractionSink::StatusRefresh() {
  if (on_status_refresh) on_status_refresh();
}

void QtInteractionSink::SetMessageBoxHandler(MessageBoxHandler handler) { Handler() = std::move(handler); }

}  // namespace orvane::ui
