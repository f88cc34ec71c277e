#pragma once
// An InteractionSink that remembers what it was told, for tests. Answers to
// questions come from a queue (default answer when it runs dry).

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/interaction.h"

namespace velix::platform {

class RecordingSink final : public InteractionSink {
 public:
  struct Message {
    std::string text;
    Icon icon;
    Buttons buttons;
  };
  struct ProgressPost {
    uint32_t code;
    uint32_t value;
  };

  Answer MessageBox(std::string_view text, Icon icon, Buttons buttons,
                    Answer default_answer) override;
  void Progress(uint32_t code, uint32_t value) override;
  void StatusText(std::string_view text, uint32_t colour) override;
  void StatusRefresh() override;

  void QueueAnswer(Answer answer);
  std::vector<Message> Messages() const;
  std::vector<ProgressPost> ProgressPosts() const;
  std::vector<std::string> StatusTexts() const;
  int StatusRefreshes() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::deque<Answer> answers_;
  std::vector<Message> messages_;
  std::vector<ProgressPost> progress_;
  std::vector<std::string> status_;
  int refreshes_ = 0;
};

}  // namespace velix::platform
