#include "tools/orvane-cli/terminal_sink.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

namespace orvane::cli {

using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::Icon;

namespace {

bool IsQuestion(Buttons buttons) {
  return buttons == Buttons::kYesNo || buttons == Buttons::kYesNoCancel ||
         buttons == Buttons::kOkCancel || buttons == Buttons::kRetryCancel;
}

Answer YesAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOkCancel: return Answer::kOk;
    case Buttons::kRetryCancel: return Answer::kRetry;
    default: return Answer::kYes;
  }
}

Answer NoAnswer(Buttons buttons) {
  return buttons == Buttons::kYesNo ? Answer::kNo : Answer::kCancel;
}

}  // namespace

Answer TerminalSink::MessageBox(std::string_view text, Icon icon, Buttons buttons,
                                Answer default_answer) {
  FinishProgress();
  ++messages_shown_;
  std::string shown(text);
  while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.pop_back();
  const char* prefix = icon == Icon::kStop ? "error: " : icon == Icon::kExclamation ? "warning: " : "";
  std::fprintf(stderr, "%s%s\n", prefix, shown.c_str());
  if (!IsQuestion(buttons)) return default_answer;
  if (preset_yes_) {
    const Answer answer = *preset_yes_ ? YesAnswer(buttons) : NoAnswer(buttons);
    std::fprintf(stderr, "(answered %s)\n", *preset_yes_ ? "yes" : "no");
    return answer;
  }
  if (!::isatty(STDIN_FILENO)) return default_answer;
  for (;;) {
    std::fprintf(stderr, "[y/n] ");
    std::string line;
    if (!std::getline(std::cin, line)) return default_answer;
    if (line == "y" || line == "yes") return YesAnswer(buttons);
    if (line == "n" || line == "no") return NoAnswer(buttons);
  }
}

void TerminalSink::Progress(uint32_t code, uint32_t value) {
  if (!show_progress_) return;
  switch (code) {
    case 10: range_ = value / 100; DrawBar(0); break;
    case 11: DrawBar(value / 100); break;
    case 12: range_ = value; DrawBar(0); break;
    case 13: DrawBar(value); break;
    default: break;
  }
}

void TerminalSink::DrawBar(uint32_t position) {
  const uint32_t range = range_ == 0 ? 1 : range_;
  const uint32_t percent = static_cast<uint32_t>(std::min<uint64_t>(100, uint64_t(position) * 100 / range));
  if (bar_visible_ && percent == last_drawn_) return;
  last_drawn_ = percent;
  constexpr int kWidth = 40;
  const int filled = static_cast<int>(percent * kWidth / 100);
  std::fprintf(stderr, "\r[%.*s%*s] %3u%%", filled, "########################################",
               kWidth - filled, "", percent);
  std::fflush(stderr);
  bar_visible_ = true;
}

void TerminalSink::FinishProgress() {
  if (!bar_visible_) return;
  std::fprintf(stderr, "\n");
  bar_visible_ = false;
  last_drawn_ = 0xFFFFFFFFu;
}

void TerminalSink::StatusText(std::string_view text, uint32_t /*colour*/) {
  if (!show_progress_) return;
  FinishProgress();
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace orvane::cli
