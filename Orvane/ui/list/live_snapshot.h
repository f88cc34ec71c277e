#pragma once
// The list's private copy of the whole live pool. Once the live ring is full
// every new record overwrites the oldest one, so the row count stops
// changing; instead of taking the pool lock for every painted cell, the list
// copies the whole pool (with its cursor) at most every 500 ms and reads its
// rows from the copy.

#include <cstdint>
#include <memory>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/transaction_info.h"

namespace orvane {

class LiveSnapshot {
 public:
  // Copies the pool and its cursor under the pool lock and enters snapshot
  // mode; false (mode unchanged) when the sampling object has no live pool.
  bool Take(CSamplingObj& sampling);
  // Leaves snapshot mode; the copy's memory is kept for the next one.
  void Leave() { active_ = false; }
  // Leaves snapshot mode and frees the copy.
  void Release();
  bool Active() const { return active_; }

  // The record of `row`: entry (row + copied cursor) mod the pool size, the
  // cursor being the oldest record once the pool has wrapped (0 before).
  // False when not
  // in snapshot mode, or when the decoder had not finished the record at the
  // time of the copy.
  bool Record(uint32_t row, TransactionInfo* out) const;

 private:
  std::unique_ptr<TransactionInfo[]> records_;
  uint32_t cursor_ = 0;
  bool active_ = false;
};

}  // namespace orvane
