#pragma once
// The bulk streaming engine: a reader thread keeps eight bulk IN transfers
// in flight and appends their data, in the order the device sent them, to
// the accumulation buffer; a watcher thread waits for the device's two-byte
// interrupt message that ends a capture. Start, stop and the settings are
// entered from client requests.
//
// Locks: the accumulation lock (the buffer's) guards the buffer, the
// watcher's final report and every hand-off of the start event; the submit
// lock guards slot submission against cancellation. Order: accumulation
// lock, then submit lock; the reader never holds both.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "driver/accumulation_buffer.h"
#include "driver/cancel_word.h"
#include "driver/driver_status.h"
#include "driver/kernel_services.h"
#include "driver/usb_lower_edge.h"
#include "platform/event.h"

namespace velix::driver {

inline constexpr int kBulkSlots = 8;
inline constexpr uint32_t kMaxTransferLength = 0xA0000;  // 655,360 bytes
inline constexpr uint32_t kCloseThreadWaitMs = 20000;
inline constexpr uint32_t kDrainWaitMs = 2000;
// After the device's own end message, how long each transfer still in
// flight may take to complete before the rest are left to the drain.
inline constexpr uint32_t kInFlightWaitMs = 50;
// How often a reader waiting for a transfer looks whether the device has
// ended the stream.
inline constexpr uint32_t kCollectPollMs = 20;
inline constexpr uint32_t kStartSettleMs = 50;
// A completion that still reads pending is looked at again this many times
// before it counts as a failed transfer.
inline constexpr uint32_t kMaxPendingRetries = 8;

// The length one bulk IN transfer really uses for a requested length.
uint32_t EffectiveTransferLength(uint32_t requested);

// What a start or an event registration hands back: the completion status
// of the request and the 32-bit output (Information is always 4).
struct RequestOutcome {
  NtStatus status = STATUS_SUCCESS;
  uint32_t output = 0;
};

// Stop from the stop request or removal waits for the threads without a
// limit; stop from a close gives up after 20 s per thread.
enum class StopWait { kUnlimited, kClose };

class StreamingEngine {
 public:
  StreamingEngine(UsbLowerEdge& edge, AccumulationBuffer& buffer, DriverStatusWord& status);
  ~StreamingEngine();
  StreamingEngine(const StreamingEngine&) = delete;
  StreamingEngine& operator=(const StreamingEngine&) = delete;

  RequestOutcome Start(std::shared_ptr<platform::Event> client_event);
  // Always succeeds; data already stored stay readable.
  void Stop(StopWait wait);

  RequestOutcome SetOneTransferEvent(std::shared_ptr<platform::Event> event);
  NtStatus SetOneTransferLength(uint32_t length);
  NtStatus SetBufferSize(uint8_t megabytes);
  uint32_t Count() { return buffer_.Count(); }

  // Surprise removal; never cleared.
  void SetDeviceGone() {
    DeviceRemoved.store(true);
    DeviceGone.store(true);
  }
  bool IsDeviceGone() const { return DeviceGone.load(); }
  bool IsArmed() const { return StreamArmed.load(); }

 private:
  struct Slot {
    std::atomic<bool> SlotBusy{false};
    KernelEvent completion{KernelEvent::Type::kNotification, true};
    std::atomic<UsbdStatus> usb_status{kUsbdSuccess};
    std::atomic<uint32_t> bytes{0};
    std::atomic<TransferId> transfer{0};
    CancelWord cancel;
    std::unique_ptr<uint8_t[]> data;
    // Reader only: submitted and not yet collected. A stop clears
    // `SlotBusy` to cancel; this still tells which data are owed.
    bool awaiting = false;
  };

  struct InterruptTransfer {
    std::array<uint8_t, 2> message{};
    std::atomic<UsbdStatus> usb_status{kUsbdSuccess};
    std::atomic<TransferId> transfer{0};
    CancelWord cancel;
  };

  bool StreamingBusy() const;
  void ReleaseStartEvent(bool signal);  // under the accumulation lock

  // stream_watcher.cpp
  void WatcherThread();
  void CancelInterrupt();

  // stream_reader.cpp
  void ReaderThread();
  bool StreamEnding() const;
  NtStatus ServiceSlot(int slot_number, uint32_t length);
  NtStatus CollectSlot(Slot& slot, int slot_number, uint32_t length);
  // Stores what a completed transfer delivered; false when it did not
  // succeed or the buffer refused it, which ends the stored data.
  bool StoreCompleted(Slot& slot, uint32_t length);
  void StoreInFlight(int last_slot, uint32_t length);
  // Records the status word code of a failed bulk IN transfer.
  void RecordTransferFailure(UsbdStatus usb);
  void CancelBusySlots();
  NtStatus SubmitSlot(Slot& slot, uint32_t length);
  void CancelSlot(Slot& slot);
  void Drain();

  UsbLowerEdge& edge_;
  AccumulationBuffer& buffer_;
  DriverStatusWord& status_;
  FastMutex submit_lock_;
  // Serialises start and stop (a close may race a start on another handle),
  // which both manage the thread objects.
  std::mutex control_lock_;
  std::atomic<TransferId> next_transfer_id_{1};

  std::atomic<uint32_t> OneTransferLength{0};
  std::atomic<bool> StreamArmed{false};
  std::atomic<bool> StreamActive{false};
  std::atomic<bool> DeviceEnded{false};  // the watcher reported the device's message
  // Set on surprise removal and on a bulk IN transaction error. A device
  // that left the bus stays gone; one that only failed a transaction is
  // still there, and the stop that ends that stream clears the flag again.
  std::atomic<bool> DeviceGone{false};
  std::atomic<bool> DeviceRemoved{false};  // surprise removal; never cleared
  // A reader runs for this start; cleared under the accumulation lock when it
  // ends. While it runs, it wakes the client after an interrupt transfer
  // that failed instead of carrying a message.
  std::atomic<bool> ReaderActive{false};
  std::atomic<bool> CancelAll{false};
  bool FirstRoundDone = false;  // reader only
  std::atomic<uint16_t> BulkNo{0};
  std::array<Slot, kBulkSlots> slots_;
  InterruptTransfer interrupt_;

  // Held from a start until it is signalled or dropped; guarded by the
  // accumulation lock.
  std::shared_ptr<platform::Event> StartEvent;

  KernelEvent StreamStopEvent{KernelEvent::Type::kNotification, false};
  KernelEvent ArmedEvent{KernelEvent::Type::kNotification, false};
  KernelEvent WatchDoneEvent{KernelEvent::Type::kNotification, false};

  SystemThread reader_thread_;
  SystemThread watcher_thread_;
};

}  // namespace velix::driver
