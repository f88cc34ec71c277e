#pragma once
// A DriverLink whose "driver" holds a queue of numbered bytes. Tests feed
// bytes (from any thread), fail single requests on demand and set the status
// word the driver reports after its event. Reads follow the driver's rule:
// a read of nothing or of more than is waiting fails and takes nothing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "Orvane/capture/driver_link.h"

namespace orvane::testing {

// The byte the driver delivers as its serial-th byte; neighbours and bytes
// 256 apart differ, so a byte written to the wrong place shows.
inline uint8_t SerialByte(uint64_t serial) {
  return static_cast<uint8_t>(serial + (serial >> 8) * 7 + (serial >> 16) * 13);
}

class ScriptedDriverLink final : public DriverLink {
 public:
  static constexpr uint32_t kError = 5;

  // Queues the next `length` numbered bytes.
  void Feed(uint32_t length) {
    std::lock_guard lock(mutex_);
    const size_t old_size = bytes_.size();
    bytes_.resize(old_size + length);
    uint8_t* out = bytes_.data() + old_size;
    for (uint32_t i = 0; i < length; ++i) out[i] = SerialByte(fed_++);
  }
  size_t Waiting() const {
    std::lock_guard lock(mutex_);
    return WaitingLocked();
  }
  void SetStatusWord(uint32_t word) {
    std::lock_guard lock(mutex_);
    status_word_ = word;
  }
  std::vector<uint32_t> ReadLengths() const {
    std::lock_guard lock(mutex_);
    return read_lengths_;
  }
  int CountQueries() const {
    std::lock_guard lock(mutex_);
    return count_queries_;
  }

  bool fail_count = false;
  bool fail_read = false;
  bool fail_status = false;
  // A count the driver claims instead of what it holds.
  std::optional<uint32_t> claimed_count;

  bool GetAccumulatedCount(uint32_t* count) override {
    std::lock_guard lock(mutex_);
    ++count_queries_;
    if (fail_count) return false;
    *count = claimed_count.value_or(static_cast<uint32_t>(WaitingLocked()));
    return true;
  }

  bool ReadData(uint8_t* buffer, uint32_t length, uint32_t* read) override {
    std::lock_guard lock(mutex_);
    read_lengths_.push_back(length);
    *read = 0;
    if (fail_read || length == 0 || length > WaitingLocked()) return false;
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(taken_), length, buffer);
    taken_ += length;
    *read = length;
    return true;
  }

  bool GetDriverEventStatus(uint32_t* status) override {
    std::lock_guard lock(mutex_);
    if (fail_status) return false;
    *status = status_word_;
    return true;
  }

  uint32_t LastError() const override { return kError; }

 private:
  size_t WaitingLocked() const { return bytes_.size() - taken_; }

  mutable std::mutex mutex_;
  std::vector<uint8_t> bytes_;  // every byte fed; the first `taken_` were read
  size_t taken_ = 0;
  uint64_t fed_ = 0;
  uint32_t status_word_ = 0;
  std::vector<uint32_t> read_lengths_;
  int count_queries_ = 0;
};

}  // namespace orvane::testing
