#pragma once
// The application's face of the interaction sink: message boxes with the
// icon, buttons and default button the core asks for, in the user's
// language; progress and status postings go to the main window's status
// bar through hooks it sets.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "platform/interaction.h"

namespace orvane::ui {

// Answers message boxes instead of showing them (tests, scripted runs):
// gets the untranslated text and returns the answer.
using MessageBoxHandler = std::function<velix::platform::Answer(
    const std::string& text, velix::platform::Icon icon, velix::platform::Buttons buttons,
    velix::platform::Answer default_answer)>;

class QtInteractionSink final : public velix::platform::InteractionSink {
 public:
  explicit QtInteractionSink(QWidget* window = nullptr) : window_(window) {}
  void SetWindow(QWidget* window) { window_ = window; }

  std::function<void(uint32_t code, uint32_t value)> on_progress;
  std::function<void(const std::string& text, uint32_t colour)> on_status_text;
  std::function<void()> on_status_refresh;

  velix::platform::Answer MessageBox(std::string_view text, velix::platform::Icon icon,
                                     velix::platform::Buttons buttons,
                                     velix::platform::Answer default_answer) override;
  void Progress(uint32_t code, uint32_t value) override;
  void StatusText(std::string_view text, uint32_t colour) override;
  void StatusRefresh() override;

  // Process-wide; an empty handler shows real message boxes again.
  static void SetMessageBoxHandler(MessageBoxHandler handler);

 private:
  QPointer<QWidget> window_;
};

// A message of the core in the user's language: the fixed texts are
// translated in the context "Messages"; texts built with numbers stay as
// they are.
QString TranslatedMessage(std::string_view text);

}  // namespace orvane::ui
