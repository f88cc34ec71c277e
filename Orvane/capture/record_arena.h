#pragma once
// Append-only storage for fixed-size records, addressed by 32-bit index.
// Records live in blocks of 65,536, so growth never moves a record and the
// memory used follows the number of records, not a preset capacity.

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace orvane {

template <typename T>
class RecordArena {
 public:
  static constexpr uint32_t kBlockShift = 16;
  static constexpr uint32_t kBlockSize = 1u << kBlockShift;
  static constexpr uint32_t kMaxRecords = 0xFFFFFFF0u;

  // A zero-filled record; false (nothing allocated) when memory runs out.
  bool Allocate(uint32_t* index) {
    if (count_ == kMaxRecords) return false;
    if ((count_ & (kBlockSize - 1)) == 0 && count_ >> kBlockShift == blocks_.size()) {
      try {
        blocks_.push_back(std::unique_ptr<T[]>(new (std::nothrow) T[kBlockSize]));
      } catch (const std::bad_alloc&) {
        return false;
      }
      if (blocks_.back() == nullptr) {
        blocks_.pop_back();
        return false;
      }
    }
    *index = count_++;
    std::memset(static_cast<void*>(&At(*index)), 0, sizeof(T));
    return true;
  }

  T& At(uint32_t index) { return blocks_[index >> kBlockShift][index & (kBlockSize - 1)]; }
  const T& At(uint32_t index) const {
    return blocks_[index >> kBlockShift][index & (kBlockSize - 1)];
  }
  uint32_t Count() const { return count_; }
  void Clear() {
    blocks_.clear();
    blocks_.shrink_to_fit();
    count_ = 0;
  }

 private:
  std::vector<std::unique_ptr<T[]>> blocks_;
  uint32_t count_ = 0;
};

}  // namespace orvane
