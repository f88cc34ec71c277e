// The reader thread: eight bulk IN transfers in flight, submitted and
// collected strictly in slot order, so data reach the accumulation buffer
// in the order the device sent them.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

#include "driver/streaming_engine.h"
#include "platform/trace.h"

namespace velix::driver {

using AccumGuard = std::lock_guard<KernelMutex>;
using SubmitGuard = std::lock_guard<FastMutex>;

void StreamingEngine::ReaderThread() {
  struct EndOfReader {
    StreamingEngine& engine;
    ~EndOfReader() {
      AccumGuard guard(engine.buffer_.Lock());
      engine.ReaderActive.store(false);
    }
  } end_of_reader{*this};
  CancelAll.store(false);
  const uint32_t length = EffectiveTransferLength(OneTransferLength.load());
  BulkNo.store(0);
  for (Slot& slot : slots_) {
    slot.awaiting = false;
    slot.data.reset(new (std::nothrow) uint8_t[length]);
    if (!slot.data) {
      status_.Record(driver_status::kReaderNoBuffer);
      for (Slot& allocated : slots_) allocated.data.reset();
      return;
    }
  }
  StreamActive.store(true);
  FirstRoundDone = false;
  for (int slot_number = 1;; slot_number = slot_number % kBulkSlots + 1) {
    BulkNo.store(static_cast<uint16_t>(slot_number));
    const NtStatus serviced = ServiceSlot(slot_number, length);
    if (StreamStopEvent.ReadState()) {
      // The client stops the device before it stops the stream, so the
      // transfers that completed before this stop hold the last bytes the
      // device sent: keep them, in order.
      if (NtSuccess(serviced)) StoreInFlight(slot_number, length);
      break;
    }
    if (DeviceGone.load() || !NtSuccess(serviced)) {
      // The device is gone or a transfer failed: wake the client. A device
      // that left between two good transfers may have completed more of
      // them; after a failed transfer nothing later may be stored, or the
      // data would have a hole.
      if (NtSuccess(serviced)) StoreInFlight(slot_number, length);
      AccumGuard guard(buffer_.Lock());
      StreamStopEvent.Set();
      ReleaseStartEvent(true);
      break;
    }
    if (!StreamArmed.load()) {
      // The watcher has reported the device's message (and woken the client
      // unless its transfer failed). What the device sent before is still in
      // the transfers in flight: keep it.
      StoreInFlight(slot_number, length);
      CancelBusySlots();
      AccumGuard guard(buffer_.Lock());
      StreamStopEvent.Set();
      ReleaseStartEvent(true);
      break;
    }
    if (!StreamActive.load()) {
      AccumGuard guard(buffer_.Lock());
      StreamStopEvent.Set();
      ReleaseStartEvent(false);
      break;
    }
    if (slot_number == kBulkSlots) FirstRoundDone = true;
  }
  Drain();
  for (Slot& slot : slots_) slot.data.reset();
}

bool StreamingEngine::StreamEnding() const {
  return !StreamArmed.load() || !StreamActive.load() || StreamStopEvent.ReadState() ||
         DeviceGone.load();
}

NtStatus StreamingEngine::ServiceSlot(int slot_number, uint32_t length) {
  Slot& slot = slots_[slot_number - 1];
  if (FirstRoundDone) {
    const NtStatus collected = CollectSlot(slot, slot_number, length);
    if (collected != STATUS_PENDING) return collected;
  }
  std::memset(slot.data.get(), 0, length);
  if (StreamEnding()) return STATUS_SUCCESS;
  slot.completion.Clear();
  NtStatus result = STATUS_SUCCESS;
  {
    SubmitGuard submit(submit_lock_);
    if (CancelAll.load()) {
      slot.completion.Set();
      return STATUS_CANCELLED;
    }
    slot.SlotBusy.store(true);
    slot.awaiting = true;
    const TransferId id = next_transfer_id_.fetch_add(1);
    slot.transfer.store(id);
    slot.cancel.Reset();
    slot.usb_status.store(kUsbdPending);
    UsbTransfer transfer;
    transfer.id = id;
    transfer.endpoint = Endpoint::kBulkIn;
    transfer.buffer = {slot.data.get(), length};
    transfer.on_complete = [this, &slot](UsbdStatus status, uint32_t bytes) {
      slot.bytes.store(bytes);
      slot.usb_status.store(status);
      if (!slot.cancel.CompleteAndHold()) slot.completion.Set();
    };
    const NtStatus submitted = edge_.Submit(transfer);
    if (submitted != STATUS_PENDING) {
      // The transfer never started: nothing will complete it.
      slot.awaiting = false;
      slot.completion.Set();
      result = NtSuccess(submitted) ? STATUS_UNSUCCESSFUL : submitted;
    }
    // A transfer may fail before Submit even returns; its failure is then
    // recorded here, as the collecting side would have.
    const UsbdStatus usb = slot.usb_status.load();
    if (!UsbdPending(usb) && usb != kUsbdSuccess) {
      RecordTransferFailure(usb);
      result = STATUS_UNSUCCESSFUL;
    }
  }
  if (StreamEnding()) return STATUS_SUCCESS;
  // Only the newest transfer failed (typically: the device has just left the
  // bus). The older ones in flight hold what the device sent before, in
  // order; keep it before the stream ends.
  if (!NtSuccess(result)) StoreInFlight(slot_number, length);
  return result;
}

// Waits for the slot's transfer and stores its data. Returns STATUS_PENDING
// when the slot is free for a new submission.
NtStatus StreamingEngine::CollectSlot(Slot& slot, int slot_number, uint32_t length) {
  for (uint32_t retry = 0;; ++retry) {
    // A device that has ended its stream completes nothing more: stop
    // waiting for this slot then (transfers complete in order, so nothing
    // after it holds data either).
    while (slot.completion.Wait(kCollectPollMs) != WaitOutcome::kSignalled) {
      if (DeviceEnded.load()) return STATUS_SUCCESS;
    }
    slot.SlotBusy.store(false);
    slot.awaiting = false;
    // A transfer that completed with data before a stop cancelled the rest
    // holds bytes the device sent before it was told to stop; keep them.
    // A cancelled one ends what is stored, so nothing later leaves a hole.
    if (!StreamActive.load() || StreamStopEvent.ReadState()) {
      return StoreCompleted(slot, length) ? STATUS_SUCCESS : STATUS_CANCELLED;
    }
    const UsbdStatus usb = slot.usb_status.load();
    if (!UsbdPending(usb)) break;
    platform::Trace(" USBD_PENDING <Bulk:%u> retry...%u \n", static_cast<unsigned>(slot_number),
                    static_cast<unsigned>(retry));
    if (retry == kMaxPendingRetries) {
      status_.Record(driver_status::kBulkTransferFailed);
      return STATUS_UNSUCCESSFUL;
    }
  }
  const UsbdStatus usb = slot.usb_status.load();
  if (usb == kUsbdCanceled) return STATUS_SUCCESS;
  if (usb != kUsbdSuccess) {
    RecordTransferFailure(usb);
    return STATUS_UNSUCCESSFUL;
  }
  if (!StoreCompleted(slot, length)) return STATUS_UNSUCCESSFUL;
  return STATUS_PENDING;
}

bool StreamingEngine::StoreCompleted(Slot& slot, uint32_t length) {
  if (slot.usb_status.load() != kUsbdSuccess) return false;
  // Never trust a byte count beyond the buffer the transfer was given.
  const uint32_t received = std::min(slot.bytes.load(), length);
  return received == 0 || buffer_.Store({slot.data.get(), received});
}

void StreamingEngine::RecordTransferFailure(UsbdStatus usb) {
  if (usb == kUsbdCanceled) return;
  if (usb == kUsbdXactError) {
    // A transaction error: the device is treated as gone.
    DeviceGone.store(true);
    status_.Record(driver_status::kBulkTransactionError);
    return;
  }
  status_.Record(driver_status::kBulkTransferFailed);
}

void StreamingEngine::StoreInFlight(int last_slot, uint32_t length) {
  // Oldest submission first: the slot after the one just serviced.
  for (int k = 1; k <= kBulkSlots; ++k) {
    Slot& slot = slots_[(last_slot + k - 1) % kBulkSlots];
    if (!slot.awaiting) continue;
    // A device that has ended its stream may never complete the rest; a
    // later slot cannot be stored before an earlier one, so stop there.
    if (slot.completion.Wait(kInFlightWaitMs) != WaitOutcome::kSignalled) return;
    slot.SlotBusy.store(false);
    slot.awaiting = false;
    if (!StoreCompleted(slot, length)) return;
  }
}

void StreamingEngine::CancelBusySlots() {
  SubmitGuard submit(submit_lock_);
  CancelAll.store(true);
  for (Slot& slot : slots_) {
    if (slot.SlotBusy.exchange(false) && UsbdPending(slot.usb_status.load())) CancelSlot(slot);
  }
}

void StreamingEngine::CancelSlot(Slot& slot) {
  slot.cancel.CancelTransfer([this, &slot] { edge_.Cancel(slot.transfer.load()); },
                             [&slot] { slot.completion.Set(); });
}

void StreamingEngine::Drain() {
  std::array<KernelEvent*, kBulkSlots> completions{};
  for (int i = 0; i < kBulkSlots; ++i) completions[i] = &slots_[i].completion;
  while (WaitForMultiple(completions, true, kDrainWaitMs) == WaitOutcome::kTimeout) {
    platform::Trace(
        "[VELIX.SYS]  %%%%%% *** BULK[] Event Wait( WaitForMultiple )  TIMEOUT!!! *** %%%%%%\n");
    platform::Trace("[VELIX.SYS]   current BulkNo = %u *** \n",
                    static_cast<unsigned>(BulkNo.load()));
    for (Slot& slot : slots_) {
      if (!slot.completion.ReadState()) CancelSlot(slot);
    }
  }
}

}  // namespace velix::driver
