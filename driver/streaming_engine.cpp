#include "driver/streaming_engine.h"

namespace velix::driver {

using AccumGuard = std::lock_guard<KernelMutex>;
using SubmitGuard = std::lock_guard<FastMutex>;

uint32_t EffectiveTransferLength(uint32_t requested) {
  if (requested > kMaxTransferLength) return kMaxTransferLength;
  if (requested > 512 && requested % 512 != 0) return requested - requested % 512;
  return requested;
}

StreamingEngine::StreamingEngine(UsbLowerEdge& edge, AccumulationBuffer& buffer,
                                 DriverStatusWord& status)
    : edge_(edge), buffer_(buffer), status_(status) {}

StreamingEngine::~StreamingEngine() { Stop(StopWait::kUnlimited); }

bool StreamingEngine::StreamingBusy() const {
  if (StreamArmed.load()) return true;
  for (const Slot& slot : slots_) {
    if (slot.SlotBusy.load()) return true;
  }
  return false;
}

void StreamingEngine::ReleaseStartEvent(bool signal) {
  if (!StartEvent) return;
  if (signal) StartEvent->Set();
  StartEvent.reset();
}

RequestOutcome StreamingEngine::Start(std::shared_ptr<platform::Event> client_event) {
  std::lock_guard control(control_lock_);
  StreamStopEvent.Clear();
  DeviceEnded.store(false);
  WatchDoneEvent.Clear();
  ArmedEvent.Clear();
  if (StreamArmed.load()) {
    status_.Record(driver_status::kAlreadyArmed);
    return {STATUS_SUCCESS, driver_status::kAlreadyArmed};
  }
  ArmedEvent.Clear();
  WatchDoneEvent.Clear();
  if (!client_event || !client_event->Valid()) {
    status_.Record(driver_status::kStartEventInvalid);
    return {STATUS_INVALID_HANDLE, driver_status::kStartEventInvalid};
  }
  {
    AccumGuard guard(buffer_.Lock());
    StartEvent = std::move(client_event);
    StreamArmed.store(true);
  }
  watcher_thread_.Join();
  if (!watcher_thread_.Create([this] { WatcherThread(); })) {
    status_.Record(driver_status::kWatcherNotCreated);
    AccumGuard guard(buffer_.Lock());
    StreamArmed.store(false);
    ReleaseStartEvent(false);
    return {STATUS_INSUFFICIENT_RESOURCES, driver_status::kWatcherNotCreated};
  }
  KernelEvent* const armed_or_done[] = {&ArmedEvent, &WatchDoneEvent};
  size_t fired = 0;
  WaitForMultiple(armed_or_done, false, kWaitForever, &fired);
  if (fired == 1) {
    status_.Record(driver_status::kInterruptNotPending);
    return {STATUS_SUCCESS, driver_status::kInterruptNotPending};
  }
  for (const Slot& slot : slots_) {
    if (slot.SlotBusy.load()) {
      status_.Record(driver_status::kStreamingBusy);
      return {STATUS_SUCCESS, driver_status::kStreamingBusy};
    }
  }
  if (OneTransferLength.load() == 0) {
    status_.Record(driver_status::kZeroTransferLength);
    return {STATUS_SUCCESS, driver_status::kZeroTransferLength};
  }
  // Streaming into no buffer would only overrun at once; refuse like the
  // other set-up faults so the client stops and sets a size.
  if (!buffer_.HasBuffer()) {
    status_.Record(driver_status::kNoAccumBuffer);
    return {STATUS_SUCCESS, driver_status::kNoAccumBuffer};
  }
  reader_thread_.Join();
  CancelAll.store(false);
  ReaderActive.store(true);
  if (!reader_thread_.Create([this] { ReaderThread(); })) {
    ReaderActive.store(false);
    status_.Record(driver_status::kInterruptNotPending);
    return {STATUS_INSUFFICIENT_RESOURCES, driver_status::kInterruptNotPending};
  }
  DelayExecution(kStartSettleMs);
  return {STATUS_SUCCESS, status_.Get()};
}

void StreamingEngine::Stop(StopWait wait) {
  std::lock_guard control(control_lock_);
  const uint32_t limit = wait == StopWait::kClose ? kCloseThreadWaitMs : kWaitForever;
  // A stream the device ended with its own message is still storing what
  // was in flight before that message (each transfer gets a bounded wait):
  // let the reader finish before anything is cancelled, so no byte the
  // device sent ahead of its message is lost.
  if (DeviceEnded.load()) reader_thread_.Join(limit);
  {
    AccumGuard guard(buffer_.Lock());
    StreamStopEvent.Set();
    StreamActive.store(false);
    // A device that left the bus has its transfers completed by the bus; one
    // that only failed a transaction is still there and completes nothing
    // it is not asked to.
    if (!DeviceRemoved.load()) {
      SubmitGuard submit(submit_lock_);
      CancelAll.store(true);
      // Oldest submission first: the slot after the one being handled.
      const int current = BulkNo.load();
      for (int step = 1; step <= kBulkSlots; ++step) {
        Slot& slot = slots_[(current + step - 1) % kBulkSlots];
        if (!slot.SlotBusy.exchange(false)) continue;
        if (UsbdPending(slot.usb_status.load())) CancelSlot(slot);
      }
    }
    buffer_.DropOneTransferEvent();
    // Disarmed whatever ended the stream: an armed flag left behind would
    // refuse every later start and setting until the device is replugged.
    // A transaction error marks the device gone while it may still be on
    // the bus; nobody would then complete its interrupt transfer, and the
    // wait for the watcher below would never end, so it is cancelled too.
    if (StreamArmed.exchange(false) || DeviceGone.load()) CancelInterrupt();
    // A client that stops on its own is not woken. A handle closed under a
    // live client (the daemon ends its sessions at shutdown) is: the client
    // may be waiting on its events, and no transfer event comes any more.
    ReleaseStartEvent(wait == StopWait::kClose);
  }
  reader_thread_.Join(limit);
  watcher_thread_.Join(limit);
  // The stream a transaction error ended is over; a device still on the
  // bus may stream again after the next start. A removal meanwhile wins.
  if (!DeviceRemoved.load()) {
    DeviceGone.store(false);
    if (DeviceRemoved.load()) DeviceGone.store(true);
  }
}

RequestOutcome StreamingEngine::SetOneTransferEvent(std::shared_ptr<platform::Event> event) {
  AccumGuard guard(buffer_.Lock());
  if (buffer_.OneTransferEventRegistered()) {
    status_.Record(driver_status::kEventAlreadyRegistered);
    return {STATUS_UNSUCCESSFUL, driver_status::kEventAlreadyRegistered};
  }
  if (!event || !event->Valid()) {
    status_.Record(driver_status::kRegisterEventInvalid);
    return {STATUS_INVALID_HANDLE, driver_status::kRegisterEventInvalid};
  }
  buffer_.RegisterOneTransferEvent(std::move(event));
  return {STATUS_SUCCESS, status_.Get()};
}

NtStatus StreamingEngine::SetOneTransferLength(uint32_t length) {
  if (StreamingBusy()) {
    status_.Record(driver_status::kStreamingBusy);
    return STATUS_UNSUCCESSFUL;
  }
  OneTransferLength.store(length);
  return STATUS_SUCCESS;
}

NtStatus StreamingEngine::SetBufferSize(uint8_t megabytes) {
  if (StreamingBusy()) {
    status_.Record(driver_status::kStreamingBusy);
    return STATUS_UNSUCCESSFUL;
  }
  return buffer_.SetBufferSize(megabytes);
}

}  // namespace velix::driver
