#include "Orvane/interchange/change_read_ahead.h"

namespace velix::interchange {

ChangeReadAhead::ChangeReadAhead(LogicSource* source, size_t batch_size, size_t depth)
    : source_(*source), batches_(depth < 2 ? 2 : depth) {
  for (Batch& batch : batches_) batch.changes.resize(batch_size);
  reader_ = std::thread([this] { ReadAll(); });
}

void ChangeReadAhead::ReadAll() {
  const size_t depth = batches_.size();
  for (;;) {
    size_t slot = 0;
    {
      std::unique_lock lock(mutex_);
      freed_.wait(lock, [&] { return stop_ || produced_ - consumed_ < depth; });
      if (stop_) break;
      slot = produced_ % depth;
    }
    // The slot is neither filled nor held, so it is this thread's alone.
    Batch& batch = batches_[slot];
    batch.count = source_.Read(batch.changes.data(), batch.changes.size());
    std::lock_guard lock(mutex_);
    if (batch.count == 0) break;
    ++produced_;
    filled_.notify_one();
  }
  std::lock_guard lock(mutex_);
  ended_ = true;
  filled_.notify_one();
}

std::span<const LevelChange> ChangeReadAhead::Next() {
  std::unique_lock lock(mutex_);
  if (holding_) {
    holding_ = false;
    ++consumed_;
    freed_.notify_one();
  }
  filled_.wait(lock, [&] { return ended_ || produced_ > consumed_; });
  if (produced_ == consumed_) return {};
  holding_ = true;
  const Batch& batch = batches_[consumed_ % batches_.size()];
  return {batch.changes.data(), batch.count};
}

void ChangeReadAhead::Finish() {
  if (!reader_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    freed_.notify_one();
  }
  reader_.join();
}

}  // namespace velix::interchange
