#pragma once
// Reads a LogicSource on a thread of its own, a few batches ahead of the
// caller: parsing the text of a large file and sampling and encoding its
// changes then run on two cores at once. The source belongs to the reading
// thread until Finish() returns; after that the caller may ask it for its
// state, end tick and error again.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "Orvane/interchange/logic_source.h"

namespace velix::interchange {

class ChangeReadAhead {
 public:
  // Starts reading batches of up to `batch_size` changes, at most `depth`
  // (two or more) of them filled ahead.
  ChangeReadAhead(LogicSource* source, size_t batch_size, size_t depth);
  ChangeReadAhead(const ChangeReadAhead&) = delete;
  ChangeReadAhead& operator=(const ChangeReadAhead&) = delete;
  ~ChangeReadAhead() { Finish(); }

  // The next batch, valid until the next call; empty once the source has
  // nothing more (its state is then no longer kReading).
  std::span<const LevelChange> Next();
  // Stops reading, waits for the thread, and hands the source back.
  void Finish();

 private:
  struct Batch {
    std::vector<LevelChange> changes;
    size_t count = 0;
  };

  void ReadAll();

  LogicSource& source_;
  std::vector<Batch> batches_;
  std::mutex mutex_;
  std::condition_variable filled_;  // a batch was filled, or reading ended
  std::condition_variable freed_;   // a batch was given back, or stop asked
  // Batches filled and batches given back so far; batch i lives in
  // batches_[i % depth].
  size_t produced_ = 0;
  size_t consumed_ = 0;
  bool holding_ = false;  // the caller holds batch consumed_
  bool ended_ = false;
  bool stop_ = false;
  std::thread reader_;
};

}  // namespace velix::interchange
