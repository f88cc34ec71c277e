#pragma once
// Rows entered into the offline view a batch at a time: the view lock is
// taken once per batch instead of once per row, and a reader of the view
// (which takes the same lock) sees it grow by whole batches, each one a
// prefix of the final list. The record is marked as in the view at once, so
// the writer's own "already entered" checks hold before the batch is out.
//
// The batch must be the view's only writer while it lives (the filter walk
// on the front end's thread); it publishes what it holds when it fills,
// when the view fills, on Flush() and when it goes away.

#include <cstdint>

#include "Orvane/capture/transaction_store.h"

namespace orvane {

class ViewBatch {
 public:
  static constexpr uint32_t kRows = 512;

  explicit ViewBatch(TransactionStore& store) : store_(store), room_(store.ViewRoom()) {}
  ~ViewBatch() { Flush(); }
  ViewBatch(const ViewBatch&) = delete;
  ViewBatch& operator=(const ViewBatch&) = delete;

  // As TransactionStore::AppendToView: false once the view is full, the row
  // that fills it being entered. `record` is the store's record of `ref`.
  bool Add(RecordRef ref, TransactionInfo& record) {
    store_.MarkInView(record);
    if (room_ == 0) return store_.PublishRows(rows_, 0);
    rows_[count_++] = ref;
    const bool room = --room_ != 0;
    if (count_ == kRows || !room) Flush();
    return room;
  }

  void Flush() {
    if (count_ == 0) return;
    store_.PublishRows(rows_, count_);
    count_ = 0;
  }

 private:
  TransactionStore& store_;
  uint32_t room_;
  uint32_t count_ = 0;
  RecordRef rows_[kRows];
};

}  // namespace orvane
