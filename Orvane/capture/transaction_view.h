#pragma once
// The view index: the record references the list shows, in display order.
// Offline it is a table of up to 18,000,000 entries reserved once and never
// reallocated; pages are committed only as entries are written. In live mode
// it is a ring over the 24,002 records of the live pool.

#include <cstddef>
#include <cstdint>

#include "Orvane/capture/transaction_info.h"

namespace orvane {

inline constexpr uint32_t kViewCapacity = 18000000;
inline constexpr uint32_t kLivePoolRecords = 24002;

class TransactionView {
 public:
  TransactionView();
  ~TransactionView();
  TransactionView(const TransactionView&) = delete;
  TransactionView& operator=(const TransactionView&) = delete;

  // Empties the view; `live` selects the ring of kLivePoolRecords entries.
  void Reset(bool live);
  // Offline append; false when the table is full.
  bool Append(RecordRef ref);
  // Offline append of `count` rows at once, as many Append calls would:
  // false when the table is full afterwards.
  bool AppendRows(const RecordRef* refs, uint32_t count);
  // Live append: the ring overwrites its oldest entry once full.
  void AppendRing(RecordRef ref);

  uint32_t Count() const { return count_; }
  uint32_t Capacity() const { return capacity_; }
  bool Live() const { return live_; }
  // The reference shown in `row`; kNoRecord beyond the count.
  RecordRef Row(uint32_t row) const;

 private:
  RecordRef* entries_ = nullptr;  // kViewCapacity entries, committed lazily
  uint32_t count_ = 0;
  uint32_t capacity_ = kViewCapacity;
  uint32_t start_ = 0;            // live ring: row 0
  uint32_t write_ = 0;            // live ring: next slot
  bool live_ = false;
};

}  // namespace orvane
