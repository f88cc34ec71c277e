// The watcher thread: one interrupt IN transfer per start, waiting for the
// device's two-byte message that ends a capture (00 01: its FIFO overran).
#include <mutex>

#include "driver/streaming_engine.h"

namespace velix::driver {

using AccumGuard = std::lock_guard<KernelMutex>;
using SubmitGuard = std::lock_guard<FastMutex>;

void StreamingEngine::WatcherThread() {
  interrupt_.message = {0, 0};
  {
    AccumGuard guard(buffer_.Lock());
    if (StartEvent) StartEvent->Reset();
  }
  WatchDoneEvent.Clear();
  bool pending = false;
  {
    // Submitted under the submit lock and only while no stop has begun, so
    // a stop either sees the transfer pending and cancels it, or the
    // transfer is never sent.
    SubmitGuard submit(submit_lock_);
    if (!StreamStopEvent.ReadState()) {
      const TransferId id = next_transfer_id_.fetch_add(1);
      interrupt_.transfer.store(id);
      interrupt_.cancel.Reset();
      interrupt_.usb_status.store(kUsbdPending);
      UsbTransfer transfer;
      transfer.id = id;
      transfer.endpoint = Endpoint::kInterruptIn;
      transfer.buffer = interrupt_.message;
      transfer.on_complete = [this](UsbdStatus status, uint32_t) {
        interrupt_.usb_status.store(status);
        if (!interrupt_.cancel.CompleteAndHold()) WatchDoneEvent.Set();
      };
      pending = edge_.Submit(transfer) == STATUS_PENDING;
      if (!pending) interrupt_.usb_status.store(kUsbdSuccess);
    }
  }
  if (pending) {
    ArmedEvent.Set();
    WatchDoneEvent.Wait(kWaitForever);
  } else {
    WatchDoneEvent.Set();
  }
  ArmedEvent.Clear();
  if (StreamStopEvent.ReadState()) return;
  AccumGuard guard(buffer_.Lock());
  if (!StreamArmed.exchange(false)) return;
  DeviceEnded.store(true);
  status_.Record(driver_status::DeviceMessage(interrupt_.message[0], interrupt_.message[1]));
  // A transfer that failed carries no message: the device has most likely
  // left the bus, and bulk transfers it completed before going may still be
  // waiting to be stored. The running reader stores them and then wakes the
  // client, so that the count the client reads next is complete.
  const bool message_received = interrupt_.usb_status.load() == kUsbdSuccess;
  if (message_received || !ReaderActive.load()) ReleaseStartEvent(true);
}

void StreamingEngine::CancelInterrupt() {
  SubmitGuard submit(submit_lock_);
  if (!UsbdPending(interrupt_.usb_status.load())) return;
  interrupt_.cancel.CancelTransfer([this] { edge_.Cancel(interrupt_.transfer.load()); },
                                   [this] { WatchDoneEvent.Set(); });
}

}  // namespace velix::driver
