#pragma once
// Everything the core says to the user goes through an InteractionSink:
// message boxes (text, icon, buttons, default button → answer), and progress
// and status postings. The command-line tools answer on the terminal, tests
// record, the Qt front end shows real message boxes.

#include <cstdint>
#include <string>
#include <string_view>

namespace velix::platform {

enum class Icon { kNone, kStop, kExclamation, kQuestion, kInformation };
enum class Buttons { kOk, kOkCancel, kYesNo, kYesNoCancel, kRetryCancel };
enum class Answer { kOk, kCancel, kYes, kNo, kRetry };

class InteractionSink {
 public:
  virtual ~InteractionSink() = default;
  // Shows a message and returns the user's answer. A sink that cannot ask
  // returns `default_answer`.
  virtual Answer MessageBox(std::string_view text, Icon icon, Buttons buttons,
                            Answer default_answer) = 0;
  // Progress bar: code 10 = range 0..value/100, position 0; 11 = position
  // value/100; 12 = range 0..value; 13 = position value (percent).
  virtual void Progress(uint32_t code, uint32_t value) = 0;
  // Status text with its colour (0x00BBGGRR), and the idle-text refresh.
  virtual void StatusText(std::string_view text, uint32_t colour) = 0;
  virtual void StatusRefresh() = 0;

  // Convenience: an OK box.
  void Show(std::string_view text, Icon icon = Icon::kNone) {
    MessageBox(text, icon, Buttons::kOk, Answer::kOk);
  }
};

// Swallows everything and answers with the default: for code paths that
// run without a user.
class NullSink final : public InteractionSink {
 public:
  Answer MessageBox(std::string_view, Icon, Buttons, Answer default_answer) override {
    return default_answer;
  }
  void Progress(uint32_t, uint32_t) override {}
  void StatusText(std::string_view, uint32_t) override {}
  void StatusRefresh() override {}
};

}  // namespace velix::platform
