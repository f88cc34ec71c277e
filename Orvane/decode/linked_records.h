#pragma once
// The neighbours of a record copy, looked up through its Prev / Next
// references, which must still name records of the store.

#include "Orvane/capture/transaction_store.h"
#include "Orvane/capture/transaction_view.h"

namespace orvane {

// Null for kNoRecord or a reference the store does not hold.
inline const TransactionInfo* LinkedRecord(TransactionStore& store, RecordRef ref) {
  if (ref == kNoRecord) return nullptr;
  if (ref >= (store.PoolMode() ? kLivePoolRecords : store.RecordCount())) return nullptr;
  return &store.At(ref);
}

}  // namespace orvane
