#pragma once
// The command-line face of the interaction sink: messages go to standard
// error exactly as the application words them, questions are answered from
// a preset choice (--yes / --no), else asked on the terminal, else given
// their default answer; progress is a bar on standard error when asked for.

#include <optional>

#include "platform/interaction.h"

namespace orvane::cli {

class TerminalSink final : public velix::platform::InteractionSink {
 public:
  void SetPresetAnswer(std::optional<bool> yes) { preset_yes_ = yes; }
  // Questions are answered from the preset, never by a user.
  bool AnswersByItself() const { return preset_yes_.has_value(); }
  void SetShowProgress(bool show) { show_progress_ = show; }
  int MessagesShown() const { return messages_shown_; }

  velix::platform::Answer MessageBox(std::string_view text, velix::platform::Icon icon,
                                     velix::platform::Buttons buttons,
                                     velix::platform::Answer default_answer) override;
  void Progress(uint32_t code, uint32_t value) override;
  void StatusText(std::string_view text, uint32_t colour) override;
  void StatusRefresh() override {}
  // Ends a progress bar line, if one is showing.
  void FinishProgress();

 private:
  void DrawBar(uint32_t position);

  std::optional<bool> preset_yes_;
  bool show_progress_ = false;
  bool bar_visible_ = false;
  uint32_t range_ = 100;
  uint32_t last_drawn_ = 0xFFFFFFFFu;
  int messages_shown_ = 0;
};

}  // namespace orvane::cli
