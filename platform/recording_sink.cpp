#include "platform/recording_sink.h"

namespace velix::platform {

Answer RecordingSink::MessageBox(std::string_view text, Icon icon, Buttons buttons,
                                 Answer default_answer) {
  std::lock_guard lock(mutex_);
  messages_.push_back(Message{std::string(text), icon, buttons});
  if (answers_.empty()) return default_answer;
  const Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void RecordingSink::Progress(uint32_t code, uint32_t value) {
  std::lock_guard lock(mutex_);
  progress_.push_back(ProgressPost{code, value});
}

void RecordingSink::StatusText(std::string_view text, uint32_t /*colour*/) {
  std::lock_guard lock(mutex_);
  status_.emplace_back(text);
}

void RecordingSink::StatusRefresh() {
  std::lock_guard lock(mutex_);
  ++refreshes_;
}

void RecordingSink::QueueAnswer(Answer answer) {
  std::lock_guard lock(mutex_);
  answers_.push_back(answer);
}

std::vector<RecordingSink::Message> RecordingSink::Messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

std::vector<RecordingSink::ProgressPost> RecordingSink::ProgressPosts() const {
  std::lock_guard lock(mutex_);
  return progress_;
}

std::vector<std::string> RecordingSink::StatusTexts() const {
  std::lock_guard lock(mutex_);
  return status_;
}

int RecordingSink::StatusRefreshes() const {
  std::lock_guard lock(mutex_);
  return refreshes_;
}

void RecordingSink::Clear() {
  std::lock_guard lock(mutex_);
  answers_.clear();
  messages_.clear();
  progress_.clear();
  status_.clear();
  refreshes_ = 0;
}

}  // namespace velix::platform
