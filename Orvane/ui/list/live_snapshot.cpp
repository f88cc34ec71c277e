#include "Orvane/ui/list/live_snapshot.h"

#include <algorithm>
#include <new>

namespace orvane {

bool LiveSnapshot::Take(CSamplingObj& sampling) {
  if (!records_) {
    records_.reset(new (std::nothrow) TransactionInfo[kLivePoolRecords]);
    if (!records_) return false;
  }
  velix::platform::SectionLock lock(sampling.PoolLock());
  const TransactionStore& store = sampling.Records();
  const TransactionInfo* pool = store.PoolRecords();
  if (pool == nullptr) return false;
  std::copy_n(pool, kLivePoolRecords, records_.get());
  // Until the pool wraps, row r is slot r; afterwards the cursor marks the
  // oldest record.
  cursor_ = store.PoolWrapped() ? store.PoolCursor() : 0;
  active_ = true;
  return true;
}

void LiveSnapshot::Release() {
  active_ = false;
  records_.reset();
  cursor_ = 0;
}

bool LiveSnapshot::Record(uint32_t row, TransactionInfo* out) const {
  if (!active_ || row >= kLivePoolRecords) return false;
  const TransactionInfo& record = records_[(uint64_t{row} + cursor_) % kLivePoolRecords];
  if ((record.RecordFlags & kRecordComplete) == 0) return false;
  *out = record;
  return true;
}

}  // namespace orvane
