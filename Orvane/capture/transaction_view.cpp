#include "Orvane/capture/transaction_view.h"

#include <sys/mman.h>

#include <algorithm>
#include <new>

namespace orvane {
namespace {

constexpr size_t kTableBytes = size_t(kViewCapacity) * sizeof(RecordRef);

}  // namespace

TransactionView::TransactionView() {
  // Address space only: untouched pages cost no memory.
  void* p = mmap(nullptr, kTableBytes, PROT_READ | PROT_WRITE,
                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  entries_ = static_cast<RecordRef*>(p);
}

TransactionView::~TransactionView() { munmap(entries_, kTableBytes); }

void TransactionView::Reset(bool live) {
  // Give the written pages back; they read as zero when touched again.
  const size_t used = size_t(live_ ? kLivePoolRecords : count_) * sizeof(RecordRef);
  if (used != 0) madvise(entries_, used, MADV_DONTNEED);
  count_ = 0;
  start_ = 0;
  write_ = 0;
  live_ = live;
  capacity_ = live ? kLivePoolRecords : kViewCapacity;
}

bool TransactionView::Append(RecordRef ref) {
  if (count_ >= capacity_) return false;
  entries_[count_++] = ref;
  return count_ < capacity_;
}

bool TransactionView::AppendRows(const RecordRef* refs, uint32_t count) {
  const uint32_t taken = std::min(count, capacity_ - count_);
  std::copy_n(refs, taken, entries_ + count_);
  count_ += taken;
  return count_ < capacity_;
}

void TransactionView::AppendRing(RecordRef ref) {
  entries_[write_] = ref;
  write_ = write_ + 1 == kLivePoolRecords ? 0 : write_ + 1;
  if (count_ < kLivePoolRecords) {
    ++count_;
  } else {
    start_ = write_;
  }
}

RecordRef TransactionView::Row(uint32_t row) const {
  if (row >= count_) return kNoRecord;
  if (!live_) return entries_[row];
  return entries_[(row + start_) % count_];
}

}  // namespace orvane
