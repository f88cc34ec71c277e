#pragma once
// The accumulation buffer: a ring in driver memory that the reader appends
// bulk IN data to and read requests take it out of, oldest first. The
// writer never overtakes the reader: data that would not fit are refused,
// never overwritten. Every operation runs under the accumulation lock, which
// the streaming engine also takes for its own hand-offs.

#include <cstdint>
#include <memory>
#include <span>

#include "driver/driver_status.h"
#include "driver/kernel_services.h"
#include "platform/event.h"

namespace velix::driver {

inline constexpr uint32_t kMegabyte = 1048576u;
inline constexpr uint8_t kMaxBufferMegabytes = 16;

class AccumulationBuffer {
 public:
  explicit AccumulationBuffer(DriverStatusWord& status) : status_(status) {}
  AccumulationBuffer(const AccumulationBuffer&) = delete;
  AccumulationBuffer& operator=(const AccumulationBuffer&) = delete;

  KernelMutex& Lock() { return lock_; }

  // Replaces the buffer with a zero-filled one of megabytes × 1 MB. The
  // old buffer is freed first, so a refused size leaves no buffer.
  NtStatus SetBufferSize(uint8_t megabytes);
  void Free();
  bool HasBuffer();

  // Appends the bytes (the whole transfer or nothing) and sets the
  // registered one-transfer event. Records 2, 9, 10 or 11 when refused.
  bool Store(std::span<const uint8_t> data);
  // Copies exactly out.size() bytes out, oldest first. Fails with
  // STATUS_UNSUCCESSFUL and records 14, 15, 16 or 17 without consuming
  // anything when the request is empty or longer than what is waiting.
  NtStatus Take(std::span<uint8_t> out);
  uint32_t Count();
  NtStatus Fill(uint8_t value);
  // Positions to 0, wrap flag and status word cleared, contents unchanged.
  void Reset();
  // Drops every byte waiting; the status word keeps its cause.
  void Discard();

  // The per-transfer event; registering replaces any held one.
  bool OneTransferEventRegistered();
  void RegisterOneTransferEvent(std::shared_ptr<platform::Event> event);
  void DropOneTransferEvent();

 private:
  uint32_t CountLocked() const;

  DriverStatusWord& status_;
  KernelMutex lock_;
  std::unique_ptr<uint8_t[]> AccumBuffer;
  uint32_t BufferSize = 0;
  uint32_t ReadOffset = 0;
  uint32_t WriteOffset = 0;
  bool Wrapped = false;
  std::shared_ptr<platform::Event> OneTransferEvent;
};

}  // namespace velix::driver
