#pragma once
// The cancel word that lets a canceller and a completion meet safely on a
// transfer the driver built itself. States: 0 in flight, 1 cancel in
// progress, 2 cancel done, 3 completed.
//
// The canceller exchanges the word with 1 and, if it was 0, asks the USB
// stack to cancel; then it exchanges the word with 2, and if that returns 3
// the completion arrived while the cancel was in progress and was held, so
// the canceller finishes it. The completion exchanges the word with 3 and
// holds itself back if a cancel is in progress. The exchange with 2 runs
// whatever the first exchange returned, so a second cancel of the same
// transfer (stop, then the drain's retry) can neither strand the word at 1
// nor lose a completion held meanwhile.

#include <atomic>
#include <cstdint>

#include "driver/kernel_services.h"

namespace velix::driver {

class CancelWord {
 public:
  void Reset() { word_.store(kInFlight, std::memory_order_release); }

  // Runs `cancel` if the transfer is still in flight, and `finish` if its
  // completion was held while the cancel ran.
  template <typename Cancel, typename Finish>
  void CancelTransfer(Cancel cancel, Finish finish) {
    if (InterlockedExchange(word_, kCancelling) == kInFlight) cancel();
    if (InterlockedExchange(word_, kCancelDone) == kCompleted) finish();
  }

  // From the completion: true when it must be held (a cancel is running and
  // will finish it).
  bool CompleteAndHold() { return InterlockedExchange(word_, kCompleted) == kCancelling; }

 private:
  static constexpr uint32_t kInFlight = 0;
  static constexpr uint32_t kCancelling = 1;
  static constexpr uint32_t kCancelDone = 2;
  static constexpr uint32_t kCompleted = 3;
  std::atomic<uint32_t> word_{kInFlight};
};

}  // namespace velix::driver
