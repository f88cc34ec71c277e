#include "Orvane/ui/list/list_rows.h"

namespace orvane {

bool ListRecordAt(CSamplingObj* sampling, const LiveSnapshot& snapshot, uint32_t announced,
                  uint32_t row, TransactionInfo* out, RecordRef* ref) {
  if (row >= announced) return false;
  if (snapshot.Active()) {
    if (!snapshot.Record(row, out)) return false;
    if (ref != nullptr) *ref = kNoRecord;
    return true;
  }
  if (sampling == nullptr) return false;
  velix::platform::SectionLock lock(sampling->ViewLock());
  const TransactionStore& store = sampling->Records();
  const RecordRef found = store.RowRef(row);
  if (found == kNoRecord) return false;
  *out = store.At(found);
  if (ref != nullptr) *ref = found;
  return true;
}

}  // namespace orvane
