#pragma once
// A test host that reads the device the way the driver's reader does: eight
// bulk IN transfers in flight, collected strictly in submission order and
// resubmitted, plus the watcher's two-byte interrupt transfer.

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>
#include <optional>
#include <vector>

#include "driver/usb_lower_edge.h"

namespace velix::sim::testing {

struct HostResult {
  std::vector<uint8_t> data;
  std::optional<std::array<uint8_t, 2>> message;
  driver::UsbdStatus error = driver::kUsbdSuccess;  // first failed bulk IN
  bool timed_out = false;
};

class ReaderHost {
 public:
  static constexpr int kSlots = 8;

  ReaderHost(driver::UsbLowerEdge* edge, uint32_t transfer_length) : edge_(edge) {
    for (auto& slot : slots_) slot.buffer.resize(transfer_length);
  }
  ~ReaderHost() { CancelAll(); }

  bool Start() {
    interrupt_.buffer.resize(2);
    if (!SubmitInterrupt()) return false;
    for (int i = 0; i < kSlots; ++i) {
      if (!Submit(i)) return false;
    }
    return true;
  }

  // Collects until the device's message, a failed transfer, `limit` bytes or
  // the time-out.
  HostResult Collect(uint64_t limit = std::numeric_limits<uint64_t>::max(),
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(900)) {
    HostResult result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (result.data.size() < limit) {
      Slot& slot = slots_[next_];
      std::unique_lock lock(mu_);
      if (!slot.in_flight) break;  // the device refused its resubmission
      cv_.wait_until(lock, deadline, [&] { return slot.done || message_.has_value(); });
      if (!slot.done) {
        result.message = message_;
        result.timed_out = !message_.has_value();
        return result;
      }
      slot.done = false;
      slot.in_flight = false;
      lock.unlock();
      if (slot.status != driver::kUsbdSuccess) {
        result.error = slot.status;
        return result;
      }
      result.data.insert(result.data.end(), slot.buffer.begin(), slot.buffer.begin() + slot.bytes);
      Submit(next_);
      next_ = (next_ + 1) % kSlots;
    }
    std::lock_guard lock(mu_);
    result.message = message_;
    return result;
  }

  // Cancels everything in flight, waits for every completion and returns the
  // data of transfers that completed before they were collected, in order.
  std::vector<uint8_t> CancelAll() {
    std::vector<uint8_t> tail;
    for (int i = 0; i < kSlots; ++i) edge_->Cancel(static_cast<driver::TransferId>(i + 1));
    edge_->Cancel(kInterruptId);
    std::unique_lock lock(mu_);
    cv_.wait(lock, [&] {
      for (const Slot& slot : slots_) {
        if (slot.in_flight && !slot.done) return false;
      }
      return !interrupt_.in_flight || interrupt_.done;
    });
    for (int n = 0; n < kSlots; ++n) {
      Slot& slot = slots_[(next_ + n) % kSlots];
      if (slot.in_flight && slot.status == driver::kUsbdSuccess) {
        tail.insert(tail.end(), slot.buffer.begin(), slot.buffer.begin() + slot.bytes);
      }
      slot.in_flight = slot.done = false;
    }
    interrupt_.in_flight = interrupt_.done = false;
    return tail;
  }

  std::vector<driver::UsbdStatus> OutstandingStatuses() {
    std::lock_guard lock(mu_);
    std::vector<driver::UsbdStatus> statuses;
    for (const Slot& slot : slots_) {
      if (slot.done) statuses.push_back(slot.status);
    }
    return statuses;
  }

 private:
  static constexpr driver::TransferId kInterruptId = 100;
  struct Slot {
    std::vector<uint8_t> buffer;
    bool in_flight = false;
    bool done = false;
    driver::UsbdStatus status = driver::kUsbdSuccess;
    uint32_t bytes = 0;
  };

  bool Submit(int index) {
    Slot& slot = slots_[index];
    {
      std::lock_guard lock(mu_);
      slot.in_flight = true;
    }
    driver::UsbTransfer transfer;
    transfer.id = static_cast<driver::TransferId>(index + 1);
    transfer.endpoint = driver::Endpoint::kBulkIn;
    transfer.buffer = slot.buffer;
    transfer.on_complete = [this, &slot](driver::UsbdStatus status, uint32_t bytes) {
      std::lock_guard lock(mu_);
      slot.status = status;
      slot.bytes = bytes;
      slot.done = true;
      cv_.notify_all();
    };
    if (edge_->Submit(transfer) == driver::STATUS_PENDING) return true;
    std::lock_guard lock(mu_);
    slot.in_flight = false;
    return false;
  }

  bool SubmitInterrupt() {
    interrupt_.in_flight = true;
    driver::UsbTransfer transfer;
    transfer.id = kInterruptId;
    transfer.endpoint = driver::Endpoint::kInterruptIn;
    transfer.buffer = interrupt_.buffer;
    transfer.on_complete = [this](driver::UsbdStatus status, uint32_t bytes) {
      std::lock_guard lock(mu_);
      interrupt_.done = true;
      if (status == driver::kUsbdSuccess && bytes == 2) message_ = std::array<uint8_t, 2>{interrupt_.buffer[0], interrupt_.buffer[1]};
      cv_.notify_all();
    };
    if (edge_->Submit(transfer) == driver::STATUS_PENDING) return true;
    interrupt_.in_flight = false;
    return false;
  }

  driver::UsbLowerEdge* edge_;
  std::mutex mu_;
  std::condition_variable cv_;
  std::array<Slot, kSlots> slots_;
  Slot interrupt_;
  std::optional<std::array<uint8_t, 2>> message_;
  int next_ = 0;
};

}  // namespace velix::sim::testing
