#pragma once
// A scripted device behind the lower edge. Bulk IN transfers complete, on
// the fake's own thread and in submission order, from a pattern byte source
// that the test tops up; the interrupt message, failed transfers and an
// unplug are sent on request.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "driver/usb_lower_edge.h"

namespace velix::driver::testing {

// The byte the device sends at stream position `position`.
inline uint8_t PatternByte(uint64_t position) {
  return static_cast<uint8_t>((position * 131u) ^ (position >> 9));
}

class FakeLowerEdge : public UsbLowerEdge {
 public:
  FakeLowerEdge();
  ~FakeLowerEdge() override;

  // Makes `bytes` more stream bytes available to bulk IN transfers.
  void Produce(uint64_t bytes);
  // Returns once every produced byte has reached the engine's completion
  // routine, which has returned; the engine may not have stored it yet.
  void WaitUntilDelivered();
  // Largest number of bytes one transfer delivers (a short transfer).
  void SetChunkLimit(uint32_t bytes);
  // Completes the pending interrupt transfer with b0 b1; false if none.
  bool SendInterruptMessage(uint8_t b0, uint8_t b1);
  // The next bulk IN transfer to complete fails with this status.
  void FailNextBulk(UsbdStatus status);
  // Pulls the cable: bulk transfers complete with a transaction error and
  // new submissions are refused. The interrupt transfer stays pending until
  // CompleteInterruptAfterUnplug, so tests can order the two.
  void Unplug();
  void CompleteInterruptAfterUnplug();

  bool InterruptPending();
  uint32_t MaxBulkInFlight();
  uint32_t LastBulkLength();

  NtStatus Submit(const UsbTransfer& transfer) override;
  void Cancel(TransferId id) override;
  SyncTransferResult BulkOut(std::span<const uint8_t> data, uint32_t timeout_ms) override;
  SyncTransferResult ControlTransfer(const VendorRequest& setup, std::span<uint8_t> data,
                                     uint32_t timeout_ms) override;
  NtStatus ResetPipe(Endpoint endpoint) override;
  NtStatus GetPortStatus(uint32_t* port_status) override;
  NtStatus ResetPort() override;
  NtStatus GetDescriptor(DescriptorType type, std::span<uint8_t> out, uint32_t* length) override;
  uint16_t BulkMaxPacketSize() const override { return 512; }
  NtStatus ClearControlHalt() override { return STATUS_SUCCESS; }
  void SetPresenceListener(PresenceListener) override {}

 private:
  struct InFlight {
    UsbTransfer transfer;
    bool cancelled = false;
  };
  struct Completion {
    TransferCompletion callback;
    UsbdStatus status;
    uint32_t bytes;
  };

  void Run();
  // Picks the next completion to deliver, or nothing; under mutex_.
  std::optional<Completion> NextCompletionLocked();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<InFlight> bulk_;
  std::optional<UsbTransfer> interrupt_;
  std::optional<Completion> ready_interrupt_;
  uint64_t produced_ = 0;
  uint64_t delivered_ = 0;
  bool completing_ = false;  // a completion routine runs
  uint32_t chunk_limit_ = 0xFFFFFFFFu;
  std::optional<UsbdStatus> fail_next_;
  bool unplugged_ = false;
  bool shutting_down_ = false;
  uint32_t max_in_flight_ = 0;
  uint32_t last_length_ = 0;
  std::thread worker_;
};

}  // namespace velix::driver::testing
