#include "driver/tests/fake_lower_edge.h"

#include <algorithm>

namespace velix::driver::testing {

FakeLowerEdge::FakeLowerEdge() : worker_([this] { Run(); }) {}

FakeLowerEdge::~FakeLowerEdge() {
  {
    std::lock_guard lock(mutex_);
    shutting_down_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

void FakeLowerEdge::Produce(uint64_t bytes) {
  {
    std::lock_guard lock(mutex_);
    produced_ += bytes;
  }
  wake_.notify_all();
}

void FakeLowerEdge::WaitUntilDelivered() {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return delivered_ == produced_ && !completing_; });
}

void FakeLowerEdge::SetChunkLimit(uint32_t bytes) {
  std::lock_guard lock(mutex_);
  chunk_limit_ = bytes;
}

bool FakeLowerEdge::SendInterruptMessage(uint8_t b0, uint8_t b1) {
  {
    std::lock_guard lock(mutex_);
    if (!interrupt_) return false;
    interrupt_->buffer[0] = b0;
    interrupt_->buffer[1] = b1;
    ready_interrupt_ = Completion{interrupt_->on_complete, kUsbdSuccess, 2};
    interrupt_.reset();
  }
  wake_.notify_all();
  return true;
}

void FakeLowerEdge::FailNextBulk(UsbdStatus status) {
  {
    std::lock_guard lock(mutex_);
    fail_next_ = status;
  }
  wake_.notify_all();
}

void FakeLowerEdge::Unplug() {
  {
    std::lock_guard lock(mutex_);
    unplugged_ = true;
  }
  wake_.notify_all();
}

void FakeLowerEdge::CompleteInterruptAfterUnplug() {
  {
    std::lock_guard lock(mutex_);
    if (!interrupt_) return;
    ready_interrupt_ = Completion{interrupt_->on_complete, kUsbdXactError, 0};
    interrupt_.reset();
  }
  wake_.notify_all();
}

bool FakeLowerEdge::InterruptPending() {
  std::lock_guard lock(mutex_);
  return interrupt_.has_value();
}

uint32_t FakeLowerEdge::MaxBulkInFlight() {
  std::lock_guard lock(mutex_);
  return max_in_flight_;
}

uint32_t FakeLowerEdge::LastBulkLength() {
  std::lock_guard lock(mutex_);
  return last_length_;
}

NtStatus FakeLowerEdge::Submit(const UsbTransfer& transfer) {
  {
    std::lock_guard lock(mutex_);
    if (unplugged_) return STATUS_DEVICE_NOT_CONNECTED;
    if (transfer.endpoint == Endpoint::kInterruptIn) {
      interrupt_ = transfer;
    } else {
      bulk_.push_back(InFlight{transfer, false});
      max_in_flight_ = std::max(max_in_flight_, static_cast<uint32_t>(bulk_.size()));
      last_length_ = static_cast<uint32_t>(transfer.buffer.size());
    }
  }
  wake_.notify_all();
  return STATUS_PENDING;
}

void FakeLowerEdge::Cancel(TransferId id) {
  {
    std::lock_guard lock(mutex_);
    if (interrupt_ && interrupt_->id == id) {
      ready_interrupt_ = Completion{interrupt_->on_complete, kUsbdCanceled, 0};
      interrupt_.reset();
    }
    for (InFlight& in_flight : bulk_) {
      if (in_flight.transfer.id == id) in_flight.cancelled = true;
    }
  }
  wake_.notify_all();
}

std::optional<FakeLowerEdge::Completion> FakeLowerEdge::NextCompletionLocked() {
  if (ready_interrupt_) {
    std::optional<Completion> completion = std::move(ready_interrupt_);
    ready_interrupt_.reset();
    return completion;
  }
  // A cancelled transfer completes at once, wherever it stands in the queue.
  const auto cancelled = std::find_if(bulk_.begin(), bulk_.end(),
                                      [](const InFlight& in_flight) { return in_flight.cancelled; });
  if (cancelled != bulk_.end()) {
    Completion completion{cancelled->transfer.on_complete, kUsbdCanceled, 0};
    bulk_.erase(cancelled);
    return completion;
  }
  if (bulk_.empty()) return std::nullopt;
  UsbTransfer& oldest = bulk_.front().transfer;
  Completion completion{oldest.on_complete, kUsbdSuccess, 0};
  if (unplugged_) {
    completion.status = kUsbdXactError;
  } else if (fail_next_) {
    completion.status = *fail_next_;
    fail_next_.reset();
  } else if (produced_ > delivered_) {
    const uint64_t bytes = std::min<uint64_t>(
        {produced_ - delivered_, oldest.buffer.size(), static_cast<uint64_t>(chunk_limit_)});
    for (uint64_t i = 0; i < bytes; ++i) oldest.buffer[i] = PatternByte(delivered_ + i);
    delivered_ += bytes;
    completion.bytes = static_cast<uint32_t>(bytes);
  } else {
    return std::nullopt;
  }
  bulk_.pop_front();
  return completion;
}

void FakeLowerEdge::Run() {
  std::unique_lock lock(mutex_);
  while (!shutting_down_) {
    std::optional<Completion> completion = NextCompletionLocked();
    if (!completion) {
      wake_.wait(lock);
      continue;
    }
    completing_ = true;
    lock.unlock();
    completion->callback(completion->status, completion->bytes);
    lock.lock();
    completing_ = false;
    wake_.notify_all();
  }
}

SyncTransferResult FakeLowerEdge::BulkOut(std::span<const uint8_t> data, uint32_t) {
  return {STATUS_SUCCESS, kUsbdSuccess, static_cast<uint32_t>(data.size())};
}

SyncTransferResult FakeLowerEdge::ControlTransfer(const VendorRequest&, std::span<uint8_t> data,
                                                  uint32_t) {
  return {STATUS_SUCCESS, kUsbdSuccess, static_cast<uint32_t>(data.size())};
}

NtStatus FakeLowerEdge::ResetPipe(Endpoint) { return STATUS_SUCCESS; }

NtStatus FakeLowerEdge::GetPortStatus(uint32_t* port_status) {
  *port_status = kPortEnabled | kPortConnected;
  return STATUS_SUCCESS;
}

NtStatus FakeLowerEdge::ResetPort() { return STATUS_SUCCESS; }

NtStatus FakeLowerEdge::GetDescriptor(DescriptorType, std::span<uint8_t>, uint32_t* length) {
  *length = 0;
  return STATUS_UNSUCCESSFUL;
}

}  // namespace velix::driver::testing
