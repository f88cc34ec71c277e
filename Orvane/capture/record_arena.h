#pragma once
// Append-only storage for fixed-size records, addressed by 32-bit index.
// Records live in blocks of 65,536, so growth never moves a record and the
// memory used follows the number of records, not a preset capacity.
//
// Each block is its own anonymous mapping, populated when it is made (on
// huge pages where the system gives them): a decoder that creates millions
// of records then takes one system call per block instead of a page fault
// every few records, and the records come zero-filled from the kernel.

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace orvane {

template <typename T>
class RecordArena {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_default_constructible_v<T>,
                "records are plain bytes: zero-filled, never constructed");

 public:
  static constexpr uint32_t kBlockShift = 16;
  static constexpr uint32_t kBlockSize = 1u << kBlockShift;
  static constexpr uint32_t kMaxRecords = 0xFFFFFFF0u;

  // A zero-filled record; false (nothing allocated) when memory runs out.
  bool Allocate(uint32_t* index) {
    if (count_ == kMaxRecords) return false;
    if ((count_ & (kBlockSize - 1)) == 0 && count_ >> kBlockShift == blocks_.size()) {
      try {
        blocks_.emplace_back();
      } catch (const std::bad_alloc&) {
        return false;
      }
      T* const block = MapBlock();
      if (block == nullptr) {
        blocks_.pop_back();
        return false;
      }
      blocks_.back().reset(block);
    }
    *index = count_++;
    return true;
  }

  // Allocate() that also hands back the record; null when memory runs out.
  // Within the newest block that is an increment, not a block look-up.
  T* AllocateRecord(uint32_t* index) {
    if ((count_ & (kBlockSize - 1)) != 0 && count_ != kMaxRecords) {
      *index = count_++;
      return blocks_.back().get() + (*index & (kBlockSize - 1));
    }
    return Allocate(index) ? &At(*index) : nullptr;
  }

  T& At(uint32_t index) { return blocks_[index >> kBlockShift].get()[index & (kBlockSize - 1)]; }
  const T& At(uint32_t index) const { return blocks_[index >> kBlockShift].get()[index & (kBlockSize - 1)]; }
  uint32_t Count() const { return count_; }
  void Clear() {
    blocks_.clear();
    blocks_.shrink_to_fit();
    count_ = 0;
  }

 private:
  static constexpr size_t kBlockBytes = sizeof(T) * kBlockSize;
  static constexpr size_t kHugePage = size_t{2} << 20;

  // A populated block, on huge pages where the system has them for the
  // asking: the first write to each small page of a fresh mapping can cost
  // far more than the record written (a virtual machine's shadow page
  // tables), and a huge page takes that cost once for thousands of records.
  static T* MapBlock() {
    void* const mapped =
        mmap(nullptr, kBlockBytes + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    auto* const raw = static_cast<std::byte*>(mapped);
    const size_t head = (kHugePage - reinterpret_cast<uintptr_t>(raw) % kHugePage) % kHugePage;
    std::byte* const block = raw + head;
    if (head != 0) munmap(raw, head);
    munmap(block + kBlockBytes, kHugePage - head);
    // Both are requests: without them the pages come in on the first writes.
    madvise(block, kBlockBytes, MADV_HUGEPAGE);
    madvise(block, kBlockBytes, MADV_POPULATE_WRITE);
    return reinterpret_cast<T*>(block);
  }

  struct Unmap {
    void operator()(T* block) const { munmap(block, kBlockBytes); }
  };

  std::vector<std::unique_ptr<T, Unmap>> blocks_;
  uint32_t count_ = 0;
};

}  // namespace orvane
