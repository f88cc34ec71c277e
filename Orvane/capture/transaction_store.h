#pragma once
// The decoded transactions of one sampling object: the records in decode
// order (a list through Prev/Next), their timing side records, the live pool
// that a capture reuses as a ring, and the view index of the rows shown.
//
// Locks (owned by the sampling object): the view lock guards the view
// index; the pool lock guards the pool cursor. Taken in that order when both
// are needed.

#include <atomic>
#include <cstdint>
#include <memory>

#include "Orvane/capture/record_arena.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/capture/transaction_view.h"
#include "platform/critical_section.h"

namespace orvane {

class TransactionStore {
 public:
  TransactionStore(velix::platform::CriticalSection& view_lock,
                   velix::platform::CriticalSection& pool_lock);
  ~TransactionStore();
  TransactionStore(const TransactionStore&) = delete;
  TransactionStore& operator=(const TransactionStore&) = delete;

  // A zero-filled record: from the live pool (oldest overwritten) when the
  // pool exists, else new. kNoRecord when memory runs out.
  RecordRef Allocate() {
    if (pool_) return AllocateFromPool();
    RecordRef ref = kNoRecord;
    return records_.Allocate(&ref) ? ref : kNoRecord;
  }
  // Allocate() that also hands back the record; null when memory runs out.
  TransactionInfo* AllocateRecord(RecordRef* ref) {
    if (!pool_) return records_.AllocateRecord(ref);
    *ref = AllocateFromPool();
    return &pool_[*ref];
  }
  TransactionInfo& At(RecordRef ref) { return pool_ ? pool_[ref] : records_.At(ref); }
  const TransactionInfo& At(RecordRef ref) const { return pool_ ? pool_[ref] : records_.At(ref); }

  // Links the record behind the current tail (Prev = tail, Next = none).
  void AppendToList(RecordRef ref) { AppendToList(ref, At(ref)); }
  // The same for a record already at hand (`record` is At(ref)); inline,
  // as a decoder links every record it makes.
  void AppendToList(RecordRef ref, TransactionInfo& record) {
    record.Prev = tail_;
    record.Next = kNoRecord;
    if (tail_ != kNoRecord) {
      At(tail_).Next = ref;
    } else {
      head_ = ref;
    }
    tail_ = ref;
  }
  RecordRef Head() const { return head_; }
  RecordRef Tail() const { return tail_; }

  // A zero-filled timing record for an analyzer I2C record; false when
  // memory runs out.
  bool AttachTiming(TransactionInfo& record);
  TimingInfo* Timing(const TransactionInfo& record);

  // View index. Offline append stops (false) when the index is full; the
  // live append never fails. Both set RecordFlags 0x20.
  bool AppendToView(RecordRef ref);
  void AppendToViewLive(RecordRef ref);
  // Offline append of `count` rows under one lock (see view_batch.h);
  // false, traced as AppendToView does, when the view is full after them.
  // The caller marks the records as in the view.
  bool PublishRows(const RecordRef* rows, uint32_t count);
  // Rows the offline view still takes.
  uint32_t ViewRoom() const;
  // Sets RecordFlags 0x20 on a record entered by the caller (see
  // view_batch.h).
  void MarkInView(TransactionInfo& record) {
    record.RecordFlags |= kRecordInView;
    view_marked_.store(true, std::memory_order_relaxed);
  }
  // Empties the view and clears RecordFlags 0x20 on every record.
  void ResetView();
  uint32_t ViewCount() const;
  // Copies the record of a row under the view lock; false beyond the count.
  bool GetRow(uint32_t row, TransactionInfo* out) const;
  // The reference of a row; the caller holds the view lock.
  RecordRef RowRef(uint32_t row) const { return view_.Row(row); }
  const TransactionView& View() const { return view_; }

  // The live pool of kLivePoolRecords records.
  bool CreatePool();
  void DeletePool();
  bool PoolMode() const { return pool_ != nullptr; }
  bool PoolWrapped() const { return pool_wrapped_; }
  uint32_t PoolCursor() const { return pool_cursor_; }
  const TransactionInfo* PoolRecords() const { return pool_.get(); }

  // Frees every record (and the pool); the view is emptied.
  void PurgeAll();
  // Number of records ever allocated since the last purge (heap mode).
  uint32_t RecordCount() const { return records_.Count(); }

 private:
  RecordRef AllocateFromPool();

  velix::platform::CriticalSection& view_lock_;
  velix::platform::CriticalSection& pool_lock_;
  RecordArena<TransactionInfo> records_;
  RecordArena<TimingInfo> timings_;
  std::unique_ptr<TransactionInfo[]> pool_;
  uint32_t pool_cursor_ = 0;
  bool pool_wrapped_ = false;
  RecordRef head_ = kNoRecord;
  RecordRef tail_ = kNoRecord;
  TransactionView view_;
  // Whether a record may carry RecordFlags 0x20: only then does ResetView
  // walk every record (a filter right after a decode of millions of
  // records would otherwise pass over all of them for nothing).
  std::atomic<bool> view_marked_ = false;
};

}  // namespace orvane
