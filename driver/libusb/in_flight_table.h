#pragma once
// The bookkeeping behind Submit and Cancel: which transfers are with libusb,
// under which ids, and whom to tell when each one ends.
//
// A transfer enters the table before it is handed to libusb and leaves it
// when its completion arrives, which delivers each completion exactly once.
// Cancel requests are made under the table's lock, and a completion takes
// that lock to leave the table before its transfer is freed, so a cancel can
// never reach a transfer that libusb has finished with. A cancel that comes
// while the transfer is still being handed over is held and carried out as
// soon as the hand-over is done.
//
// Each entry also records the session (the opened device) its transfer runs
// on. Closing a libusb handle drops the transfers still queued on it without
// their callbacks; the entries of that session are then taken out here and
// finished by the edge, so that every completion still runs once.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "driver/usb_lower_edge.h"

struct libusb_transfer;

namespace velix::driver {

class InFlightTable {
 public:
  // Asks libusb to cancel one transfer; called under the table's lock.
  using CancelRequest = std::function<void(libusb_transfer*)>;

  struct Leftover {
    libusb_transfer* transfer = nullptr;
    TransferCompletion on_complete;
  };
  // True for a transfer that matters to the question asked; called under the
  // table's lock, while the transfer is certainly not freed.
  using TransferMatch = std::function<bool(const libusb_transfer*)>;

  // False when `id` is already in flight: ids are unique among live transfers.
  bool Add(TransferId id, libusb_transfer* transfer, TransferCompletion on_complete, uint64_t session = 0);
  // The transfer is with libusb now; a cancel held meanwhile is made.
  void MarkSubmitted(TransferId id, libusb_transfer* transfer, const CancelRequest& request_cancel);
  // Handing over failed: the entry goes and its completion never runs.
  void Abandon(TransferId id, libusb_transfer* transfer);
  // The transfer has ended: removes it and returns its completion for the
  // caller to run outside the lock; empty when it is not in the table.
  TransferCompletion Complete(libusb_transfer* transfer);
  // Unknown and finished ids are ignored; a second cancel of the same
  // transfer asks nothing more.
  void Cancel(TransferId id, const CancelRequest& request_cancel);
  void CancelAll(const CancelRequest& request_cancel);
  // False when transfers are still in flight after `limit`.
  bool WaitUntilEmpty(std::chrono::milliseconds limit);
  size_t size() const;
  bool Any(const TransferMatch& match) const;
  // Removes and returns the entries of `session`, whose handle is closed.
  std::vector<Leftover> TakeSession(uint64_t session);

 private:
  struct Entry {
    TransferId id = 0;
    libusb_transfer* transfer = nullptr;
    TransferCompletion on_complete;
    uint64_t session = 0;
    bool submitted = false;
    bool cancel_requested = false;
  };
  using Entries = std::vector<Entry>;

  Entries::iterator FindLocked(TransferId id, libusb_transfer* transfer);
  static void CancelLocked(Entry& entry, const CancelRequest& request_cancel);
  void EraseLocked(Entries::iterator entry);

  mutable std::mutex mu_;
  std::condition_variable emptied_;
  Entries entries_;  // a handful at a time: a linear scan is the fastest look-up
};

}  // namespace velix::driver
