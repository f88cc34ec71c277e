// The device's worker: completes interrupt and bulk IN transfers with
// replies, stream data and injected faults.
#include <algorithm>
#include <cstring>

#include "sim/device/idle_line.h"
#include "sim/device/simulated_device.h"

namespace velix::sim {

using driver::UsbdStatus;

void SimulatedDevice::Run() {
  std::unique_lock lock(mu_);
  while (!quit_) {
    Completions done;
    std::optional<Clock::time_point> wake_at;
    ServiceLocked(Clock::now(), &done, &wake_at);
    if (!done.empty() || !presence_news_.empty()) {
      lock.unlock();
      Deliver(&done);
      lock.lock();
      continue;
    }
    if (wake_at) {
      wake_.wait_until(lock, *wake_at);
    } else {
      wake_.wait(lock);
    }
  }
}

void SimulatedDevice::RunCompletions(Completions* done) {
  for (Completion& completion : *done) completion.callback(completion.status, completion.bytes);
  done->clear();
}

void SimulatedDevice::CompleteFrontLocked(std::deque<driver::UsbTransfer>* queue, UsbdStatus status,
                                          uint32_t bytes, Completions* done) {
  done->push_back({std::move(queue->front().on_complete), status, bytes});
  queue->pop_front();
}

void SimulatedDevice::ServiceLocked(Clock::time_point now, Completions* done,
                                    std::optional<Clock::time_point>* wake_at) {
  if (!plugged_) return;
  ServiceBulkInLocked(now, done, wake_at);
  // After the bulk IN completions, so a host sees the stream's last data
  // before the message that ends it.
  if (plugged_ && message_ && !interrupt_in_.empty()) {
    auto& buffer = interrupt_in_.front().buffer;
    const size_t n = std::min<size_t>(buffer.size(), 2);
    std::memcpy(buffer.data(), message_->data(), n);
    message_.reset();
    CompleteFrontLocked(&interrupt_in_, driver::kUsbdSuccess, static_cast<uint32_t>(n), done);
  }
}

void SimulatedDevice::ServiceBulkInLocked(Clock::time_point now, Completions* done,
                                          std::optional<Clock::time_point>* wake_at) {
  while (!bulk_in_.empty()) {
    if (bulk_in_stalled_) {
      CompleteFrontLocked(&bulk_in_, driver::kUsbdStallPid, 0, done);
      continue;
    }
    if (!reply_.empty()) {
      if (now < reply_ready_) {
        *wake_at = reply_ready_;
        return;
      }
      auto& buffer = bulk_in_.front().buffer;
      const size_t n = std::min(buffer.size(), reply_.size());
      std::memcpy(buffer.data(), reply_.data(), n);
      reply_.erase(reply_.begin(), reply_.begin() + static_cast<std::ptrdiff_t>(n));
      CompleteFrontLocked(&bulk_in_, driver::kUsbdSuccess, static_cast<uint32_t>(n), done);
      continue;
    }
    if (!ServiceStreamLocked(now, done, wake_at)) return;
  }
}

// Serves the front bulk IN transfer from the stream; false when it has to
// wait (no stream, rate limit) or the device has left the bus.
bool SimulatedDevice::ServiceStreamLocked(Clock::time_point now, Completions* done,
                                          std::optional<Clock::time_point>* wake_at) {
  if (!streaming_) return false;
  if (!faults_.empty() && faults_.front().at_byte <= sent_.bytes) {
    const FaultKind kind = faults_.front().kind;
    faults_.erase(faults_.begin());
    switch (kind) {
      case FaultKind::kFifoOverrun:
        EndStreamLocked(kFifoOverrunMessage);
        return true;
      case FaultKind::kStallBulkIn:
        bulk_in_stalled_ = true;
        return true;
      case FaultKind::kTransferError:
        CompleteFrontLocked(&bulk_in_, driver::kUsbdXactError, 0, done);
        return true;
      case FaultKind::kUnplug:
        UnplugLocked(done);
        return false;
    }
  }
  const size_t size = source_ ? source_->size() : 0;
  const bool quiet_bus = position_ >= size;
  // A monitor on a quiet bus has nothing to decode and so nothing to send.
  if (quiet_bus && !memory_.analyzer_image) return false;
  auto& buffer = bulk_in_.front().buffer;
  uint64_t n = quiet_bus ? buffer.size() : std::min<uint64_t>(buffer.size(), size - position_);
  if (stream_config_.max_transfer_bytes != 0) n = std::min<uint64_t>(n, stream_config_.max_transfer_bytes);
  if (!faults_.empty()) n = std::min(n, faults_.front().at_byte - sent_.bytes);
  if (stream_config_.bytes_per_second != 0) {
    const double elapsed = std::chrono::duration<double>(now - stream_start_).count();
    const auto earned = static_cast<uint64_t>(elapsed * static_cast<double>(stream_config_.bytes_per_second));
    const uint64_t allowed = earned > sent_.bytes ? earned - sent_.bytes : 0;
    const uint64_t packet = high_speed_ ? 512 : 64;
    const uint64_t wanted = std::min<uint64_t>(n, packet);
    if (allowed < wanted) {
      const double due = static_cast<double>(sent_.bytes + wanted) / static_cast<double>(stream_config_.bytes_per_second);
      *wake_at = stream_start_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(due));
      return false;
    }
    // A streaming device moves whole packets; only the end of its data (or
    // a fault) cuts one short, so a transfer never ends inside an atom.
    n = std::min(n, std::max(allowed - allowed % packet, wanted));
  }
  const auto chunk = std::span<uint8_t>(buffer.data(), static_cast<size_t>(n));
  FillStreamLocked(chunk);
  sent_.bytes += chunk.size();
  sent_.checksum = StreamChecksum(sent_.checksum, chunk);
  if (stream_config_.keep_bytes) sent_.data.insert(sent_.data.end(), chunk.begin(), chunk.end());
  CompleteFrontLocked(&bulk_in_, driver::kUsbdSuccess, static_cast<uint32_t>(n), done);
  if (stream_config_.end_at_source_end && position_ == size &&
      (faults_.empty() || faults_.front().at_byte > sent_.bytes)) {
    EndStreamLocked(kEndOfDataMessage);
  }
  return true;
}

void SimulatedDevice::FillStreamLocked(std::span<uint8_t> out) {
  const size_t size = source_ ? source_->size() : 0;
  const size_t from_source = std::min(out.size(), size - std::min(position_, size));
  if (from_source != 0) std::memcpy(out.data(), source_->data() + position_, from_source);
  position_ += from_source;
  FillIdleAtoms(idle_state_, ((sent_.bytes + from_source) & 1) != 0, out.subspan(from_source));
}

void SimulatedDevice::StartStreamLocked() {
  streaming_ = true;
  position_ = 0;
  sent_ = StreamRecord{};
  stream_start_ = Clock::now();
  message_.reset();
  if (stream_config_.end_at_source_end && (!source_ || source_->empty())) EndStreamLocked(kEndOfDataMessage);
}

void SimulatedDevice::EndStreamLocked(const uint8_t (&message)[2]) {
  streaming_ = false;
  message_ = std::array<uint8_t, 2>{message[0], message[1]};
}

}  // namespace velix::sim
