#pragma once
// What the core tells the user, shown with Qt: message boxes with the
// core's icon, buttons and preselected answer, in the user's language
// (context "Messages"), and the progress and status postings handed to
// whatever the main window connects.

#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <functional>

#include "platform/interaction.h"

namespace orvane {

class QtInteractionSink final : public velix::platform::InteractionSink {
 public:
  // Answers in place of a message box (tests, scripted runs): gets the
  // translated text.
  using Presenter = std::function<velix::platform::Answer(const QString& text, velix::platform::Icon icon,
                                                         velix::platform::Buttons buttons,
                                                         velix::platform::Answer default_answer)>;
  using ProgressHook = std::function<void(uint32_t code, uint32_t value)>;
  using StatusTextHook = std::function<void(const QString& text, uint32_t colour)>;
  using StatusRefreshHook = std::function<void()>;

  // Message boxes are centred on `parent` (none: on the screen); the main
  // window sets itself once it exists.
  void SetParent(QWidget* parent) { parent_ = parent; }
  void SetPresenter(Presenter presenter) { presenter_ = std::move(presenter); }
  void SetProgressHook(ProgressHook hook) { progress_ = std::move(hook); }
  void SetStatusTextHook(StatusTextHook hook) { status_text_ = std::move(hook); }
  void SetStatusRefreshHook(StatusRefreshHook hook) { status_refresh_ = std::move(hook); }
  // The title of the boxes shown from now on; empty: the application's
  // name. A presenter can read it while it answers.
  void SetBoxTitle(const QString& title) { box_title_ = title; }
  const QString& BoxTitle() const { return box_title_; }

  velix::platform::Answer MessageBox(std::string_view text, velix::platform::Icon icon,
                                     velix::platform::Buttons buttons,
                                     velix::platform::Answer default_answer) override;
  void Progress(uint32_t code, uint32_t value) override;
  void StatusText(std::string_view text, uint32_t colour) override;
  void StatusRefresh() override;

 private:
  QPointer<QWidget> parent_;
  Presenter presenter_;
  ProgressHook progress_;
  StatusTextHook status_text_;
  StatusRefreshHook status_refresh_;
  QString box_title_;
};

// A core text in the user's language (context "Messages").
QString TranslatedMessage(std::string_view text);

// How the core's choices map onto QMessageBox.
QMessageBox::Icon ToQtIcon(velix::platform::Icon icon);
QMessageBox::StandardButtons ToQtButtons(velix::platform::Buttons buttons);
QMessageBox::StandardButton ToQtButton(velix::platform::Answer answer);
// The answer of the button pressed; `default_answer` for anything that is
// not one of the box's buttons.
velix::platform::Answer FromQtButton(int button, velix::platform::Buttons buttons,
                                     velix::platform::Answer default_answer);

}  // namespace orvane
