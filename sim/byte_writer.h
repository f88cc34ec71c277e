#pragma once
// Collects output bytes in a fixed buffer and hands full chunks to a sink,
// so captures of any size are produced without holding them in memory.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace velix::sim {

// Receives consecutive chunks of the output; returns false to abort.
using ChunkSink = std::function<bool(const uint8_t* data, size_t size)>;

class ByteWriter {
 public:
  explicit ByteWriter(ChunkSink sink, size_t chunk_size = 1 << 20) : sink_(std::move(sink)) {
    buffer_.resize(chunk_size);
  }

  void Put(uint8_t byte) {
    if (used_ == buffer_.size()) Flush();
    buffer_[used_++] = byte;
    ++written_;
  }
  void PutLe16(uint16_t value) {
    if (buffer_.size() - used_ >= 2) {
      buffer_[used_] = static_cast<uint8_t>(value);
      buffer_[used_ + 1] = static_cast<uint8_t>(value >> 8);
      used_ += 2;
      written_ += 2;
      return;
    }
    Put(static_cast<uint8_t>(value));
    Put(static_cast<uint8_t>(value >> 8));
  }
  void PutLe32(uint32_t value) {
    PutLe16(static_cast<uint16_t>(value));
    PutLe16(static_cast<uint16_t>(value >> 16));
  }

  // Free space for a caller that writes many bytes straight into the
  // buffer (flushed first when full, so never empty); Commit() then counts
  // the bytes it wrote.
  std::span<uint8_t> Space() {
    if (used_ == buffer_.size()) Flush();
    return {buffer_.data() + used_, buffer_.size() - used_};
  }
  void Commit(size_t size) {
    used_ += size;
    written_ += size;
  }

  // Hands the buffered bytes to the sink; false once the sink has refused.
  bool Flush() {
    if (used_ > 0 && ok_) ok_ = sink_(buffer_.data(), used_);
    used_ = 0;
    return ok_;
  }
  bool ok() const { return ok_; }
  uint64_t written() const { return written_; }

 private:
  ChunkSink sink_;
  std::vector<uint8_t> buffer_;
  size_t used_ = 0;
  uint64_t written_ = 0;
  bool ok_ = true;
};

}  // namespace velix::sim
