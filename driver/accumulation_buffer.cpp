#include "driver/accumulation_buffer.h"

#include <cstring>
#include <mutex>
#include <new>

namespace velix::driver {

using Guard = std::lock_guard<KernelMutex>;

NtStatus AccumulationBuffer::SetBufferSize(uint8_t megabytes) {
  Guard guard(lock_);
  AccumBuffer.reset();
  BufferSize = 0;
  ReadOffset = 0;
  WriteOffset = 0;
  Wrapped = false;
  if (megabytes == 0 || megabytes > kMaxBufferMegabytes) {
    status_.Record(driver_status::kBadBufferSize);
    return STATUS_UNSUCCESSFUL;
  }
  const uint32_t size = megabytes * kMegabyte;
  AccumBuffer.reset(new (std::nothrow) uint8_t[size]());
  if (!AccumBuffer) {
    status_.Record(driver_status::kNoAccumBuffer);
    return STATUS_UNSUCCESSFUL;
  }
  BufferSize = size;
  return STATUS_SUCCESS;
}

void AccumulationBuffer::Free() {
  Guard guard(lock_);
  AccumBuffer.reset();
  BufferSize = 0;
  ReadOffset = 0;
  WriteOffset = 0;
  Wrapped = false;
}

bool AccumulationBuffer::HasBuffer() {
  Guard guard(lock_);
  return AccumBuffer != nullptr;
}

uint32_t AccumulationBuffer::CountLocked() const {
  return Wrapped ? BufferSize - ReadOffset + WriteOffset : WriteOffset - ReadOffset;
}

uint32_t AccumulationBuffer::Count() {
  Guard guard(lock_);
  return CountLocked();
}

bool AccumulationBuffer::Store(std::span<const uint8_t> data) {
  Guard guard(lock_);
  // Without a buffer there is nowhere to put the data.
  if (!AccumBuffer) {
    status_.Record(driver_status::kNoAccumBuffer);
    return false;
  }
  const uint64_t n = data.size();
  if (CountLocked() + n > BufferSize) {
    status_.Record(Wrapped ? driver_status::kOverrunWrapped : driver_status::kOverrunNotWrapped);
    return false;
  }
  const auto length = static_cast<uint32_t>(n);
  if (WriteOffset + n <= BufferSize) {
    std::memcpy(AccumBuffer.get() + WriteOffset, data.data(), length);
    WriteOffset += length;
  } else if (WriteOffset < BufferSize) {
    const uint32_t head = BufferSize - WriteOffset;
    std::memcpy(AccumBuffer.get() + WriteOffset, data.data(), head);
    WriteOffset = 0;
    Wrapped = true;
    std::memcpy(AccumBuffer.get() + 0, data.data() + head, length - head);
    WriteOffset = length - head;
  } else if (WriteOffset == BufferSize) {
    WriteOffset = 0;
    Wrapped = true;
    std::memcpy(AccumBuffer.get() + 0, data.data(), length);
    WriteOffset = length;
  } else {
    status_.Record(driver_status::kWriteOffsetBeyondSize);
    return false;
  }
  if (OneTransferEvent) OneTransferEvent->Set();
  return true;
}

NtStatus AccumulationBuffer::Take(std::span<uint8_t> out) {
  // The availability test runs under the lock as well, so two readers
  // cannot both be promised the same bytes.
  Guard guard(lock_);
  if (!AccumBuffer || out.empty()) {
    status_.Record(driver_status::kReadEmptyRequest);
    return STATUS_UNSUCCESSFUL;
  }
  const uint64_t n = out.size();
  if (n > CountLocked()) {
    status_.Record(Wrapped ? driver_status::kReadTooLongWrapped
                           : driver_status::kReadTooLongNotWrapped);
    return STATUS_UNSUCCESSFUL;
  }
  const auto length = static_cast<uint32_t>(n);
  if (ReadOffset + n <= BufferSize) {
    std::memcpy(out.data(), AccumBuffer.get() + ReadOffset, length);
    ReadOffset += length;
    return STATUS_SUCCESS;
  }
  if (ReadOffset > BufferSize) {
    status_.Record(driver_status::kReadOffsetBeyondSize);
    return STATUS_UNSUCCESSFUL;
  }
  Wrapped = false;
  const uint32_t head = BufferSize - ReadOffset;
  std::memcpy(out.data(), AccumBuffer.get() + ReadOffset, head);
  std::memcpy(out.data() + head, AccumBuffer.get() + 0, length - head);
  ReadOffset = length - head;
  return STATUS_SUCCESS;
}

NtStatus AccumulationBuffer::Fill(uint8_t value) {
  Guard guard(lock_);
  if (!AccumBuffer) {
    status_.Record(driver_status::kNoAccumBuffer);
    return STATUS_UNSUCCESSFUL;
  }
  std::memset(AccumBuffer.get(), value, BufferSize);
  return STATUS_SUCCESS;
}

void AccumulationBuffer::Reset() {
  Guard guard(lock_);
  ReadOffset = 0;
  WriteOffset = 0;
  Wrapped = false;
  status_.Clear();
}

void AccumulationBuffer::Discard() {
  Guard guard(lock_);
  ReadOffset = 0;
  WriteOffset = 0;
  Wrapped = false;
}

bool AccumulationBuffer::OneTransferEventRegistered() {
  Guard guard(lock_);
  return OneTransferEvent != nullptr;
}

void AccumulationBuffer::RegisterOneTransferEvent(std::shared_ptr<platform::Event> event) {
  Guard guard(lock_);
  OneTransferEvent = std::move(event);
}

void AccumulationBuffer::DropOneTransferEvent() {
  Guard guard(lock_);
  OneTransferEvent.reset();
}

}  // namespace velix::driver
