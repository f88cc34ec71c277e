#pragma once
// The output of a long file written front to back, such as an export of
// gigabytes of text. Whole aligned blocks bypass the page cache (O_DIRECT)
// where the file system takes them: copying every byte into freshly
// allocated cache pages costs the kernel more than formatting the text costs
// the program, and a file this large would only push other files out of the
// cache. Whatever is not a whole block, and all output to a file that
// refuses direct writes (a pipe, a device, some file systems, the standard
// streams), goes the usual way.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace velix::platform {

// The alignment of the memory, the length and the file position of a
// direct write.
inline constexpr size_t kDirectWriteAlign = 4096;

struct AlignedFree {
  void operator()(char* bytes) const { std::free(bytes); }
};
using AlignedBuffer = std::unique_ptr<char[], AlignedFree>;

// At least `size` bytes, uninitialized, starting at a multiple of
// kDirectWriteAlign; std::bad_alloc when memory runs out, as from new.
AlignedBuffer AllocateAlignedBuffer(size_t size);

class BulkFileOutput {
 public:
  // `fd` stays the caller's: its status flags are restored before anything
  // but whole blocks is written, and at destruction.
  explicit BulkFileOutput(int fd) : fd_(fd) {}
  ~BulkFileOutput();
  BulkFileOutput(const BulkFileOutput&) = delete;
  BulkFileOutput& operator=(const BulkFileOutput&) = delete;

  // Writes the whole blocks at the front of `data` (memory from
  // AllocateAlignedBuffer) directly, or all of it when direct writes are not
  // taken; `*written` receives how many bytes went out, and the caller hands
  // the rest over again with what follows. False after a failed write.
  bool WriteBlocks(const char* data, size_t size, size_t* written);
  // Writes all of `data`; false after a failed write.
  bool WriteAll(const char* data, size_t size);
  // The system error code of the failed write, 0 before one.
  int Error() const { return error_; }

 private:
  enum class Mode : uint8_t { kUntried, kDirect, kUsual };

  bool StartDirect();
  void EndDirect();
  bool WriteUsual(const char* data, size_t size);

  int fd_;
  Mode mode_ = Mode::kUntried;
  int flags_ = 0;  // the descriptor's status flags before direct writes
  int error_ = 0;
};

}  // namespace velix::platform
