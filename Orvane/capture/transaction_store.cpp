#include "Orvane/capture/transaction_store.h"

#include <cstring>
#include <ctime>
#include <new>

#include "platform/trace.h"

namespace orvane {

using velix::platform::SectionLock;
using velix::platform::Trace;

namespace {

void TraceClock(const char* format, uint32_t count) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  const unsigned tenth = static_cast<unsigned>(now.tv_nsec / 100000000);
  if (count == kNoRecord) {
    Trace(format, local.tm_hour, local.tm_min, local.tm_sec, tenth);
  } else {
    Trace(format, count, local.tm_hour, local.tm_min, local.tm_sec, tenth);
  }
}

}  // namespace

TransactionStore::TransactionStore(velix::platform::CriticalSection& view_lock,
                                   velix::platform::CriticalSection& pool_lock)
    : view_lock_(view_lock), pool_lock_(pool_lock) {}

TransactionStore::~TransactionStore() = default;

RecordRef TransactionStore::AllocateFromPool() {
  SectionLock lock(pool_lock_);
  const RecordRef ref = pool_cursor_;
  std::memset(static_cast<void*>(&pool_[ref]), 0, sizeof(TransactionInfo));
  if (++pool_cursor_ == kLivePoolRecords) {
    pool_cursor_ = 0;
    pool_wrapped_ = true;
  }
  return ref;
}

bool TransactionStore::AttachTiming(TransactionInfo& record) {
  uint32_t ref = 0;
  if (!timings_.Allocate(&ref)) return false;
  record.SetTimingRef(ref);
  return true;
}

TimingInfo* TransactionStore::Timing(const TransactionInfo& record) {
  if ((record.RecordFlags & (kRecordI2C | kRecordAnalyzer)) != (kRecordI2C | kRecordAnalyzer)) {
    return nullptr;
  }
  const uint32_t ref = record.TimingRef();
  return ref < timings_.Count() ? &timings_.At(ref) : nullptr;
}

bool TransactionStore::AppendToView(RecordRef ref) {
  bool room;
  {
    SectionLock lock(view_lock_);
    room = view_.Append(ref);
  }
  MarkInView(At(ref));
  if (!room) Trace("\n *** [DANGER!!!] *** TransactiobView count MAX !!! (%u) *** \n", view_.Count());
  return room;
}

bool TransactionStore::PublishRows(const RecordRef* rows, uint32_t count) {
  bool room;
  uint32_t entered;
  {
    SectionLock lock(view_lock_);
    room = view_.AppendRows(rows, count);
    entered = view_.Count();
  }
  if (!room) Trace("\n *** [DANGER!!!] *** TransactiobView count MAX !!! (%u) *** \n", entered);
  return room;
}

uint32_t TransactionStore::ViewRoom() const {
  SectionLock lock(view_lock_);
  return view_.Capacity() - view_.Count();
}

void TransactionStore::AppendToViewLive(RecordRef ref) {
  SectionLock lock(view_lock_);
  view_.AppendRing(ref);
  MarkInView(At(ref));
}

void TransactionStore::ResetView() {
  SectionLock lock(view_lock_);
  view_.Reset(pool_ != nullptr);
  if (!view_marked_.exchange(false, std::memory_order_relaxed)) return;
  if (pool_) {
    for (uint32_t i = 0; i < kLivePoolRecords; ++i) pool_[i].RecordFlags &= ~kRecordInView;
  } else {
    for (uint32_t i = 0; i < records_.Count(); ++i) records_.At(i).RecordFlags &= ~kRecordInView;
  }
}

uint32_t TransactionStore::ViewCount() const {
  SectionLock lock(view_lock_);
  return view_.Count();
}

bool TransactionStore::GetRow(uint32_t row, TransactionInfo* out) const {
  SectionLock lock(view_lock_);
  const RecordRef ref = view_.Row(row);
  if (ref == kNoRecord) return false;
  *out = At(ref);
  return true;
}

bool TransactionStore::CreatePool() {
  DeletePool();
  pool_.reset(new (std::nothrow) TransactionInfo[kLivePoolRecords]);
  if (!pool_) return false;
  std::memset(static_cast<void*>(pool_.get()), 0, sizeof(TransactionInfo) * kLivePoolRecords);
  pool_cursor_ = 0;
  pool_wrapped_ = false;
  head_ = tail_ = kNoRecord;
  SectionLock lock(view_lock_);
  view_.Reset(true);
  return true;
}

void TransactionStore::DeletePool() {
  if (!pool_) return;
  Trace("Delete_TransactionArray() ***\n");
  Trace(" => detele  m_rTransactionDataArray...\n");
  pool_.reset();
  pool_cursor_ = 0;
  pool_wrapped_ = false;
  head_ = tail_ = kNoRecord;
  SectionLock lock(view_lock_);
  view_.Reset(false);
}

void TransactionStore::PurgeAll() {
  TraceClock("\n ***=== Purge TransactionInfo ===*** : [%02u:%02u:%02u.%u] \n", kNoRecord);
  const uint32_t count = pool_ ? kLivePoolRecords : records_.Count();
  if (pool_) {
    DeletePool();
  } else {
    records_.Clear();
    timings_.Clear();
    head_ = tail_ = kNoRecord;
    SectionLock lock(view_lock_);
    view_.Reset(false);
  }
  TraceClock("  *---- delete TransactionInfo count : %u ----** : [%02u:%02u:%02u.%u] \n\n", count);
}

}  // namespace orvane
