#include "platform/bulk_file_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace velix::platform {

AlignedBuffer AllocateAlignedBuffer(size_t size) {
  const size_t rounded = (size + kDirectWriteAlign - 1) / kDirectWriteAlign * kDirectWriteAlign;
  const size_t bytes = rounded == 0 ? kDirectWriteAlign : rounded;
  AlignedBuffer buffer(static_cast<char*>(std::aligned_alloc(kDirectWriteAlign, bytes)));
  if (!buffer) throw std::bad_alloc();
  return buffer;
}

BulkFileOutput::~BulkFileOutput() { EndDirect(); }

// Only a regular file at a block boundary, and only once: a file that
// refused direct writes, or was written unaligned, keeps the usual way. The
// standard streams keep it too: other programs, and our own messages on
// the other stream, may write to the same open file, and the flag would
// hold for their writes as well.
bool BulkFileOutput::StartDirect() {
  if (mode_ != Mode::kUntried) return mode_ == Mode::kDirect;
  mode_ = Mode::kUsual;
  if (fd_ <= STDERR_FILENO) return false;
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  const off_t position = ::lseek(fd_, 0, SEEK_CUR);
  if (position < 0 || position % static_cast<off_t>(kDirectWriteAlign) != 0) return false;
  flags_ = ::fcntl(fd_, F_GETFL);
  if (flags_ < 0 || (flags_ & O_APPEND) != 0) return false;
  if (::fcntl(fd_, F_SETFL, flags_ | O_DIRECT) != 0) return false;
  mode_ = Mode::kDirect;
  return true;
}

void BulkFileOutput::EndDirect() {
  if (mode_ != Mode::kDirect) return;
  ::fcntl(fd_, F_SETFL, flags_);
  mode_ = Mode::kUsual;
}

bool BulkFileOutput::WriteUsual(const char* data, size_t size) {
  while (error_ == 0 && size > 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error_ = errno;
    } else {
      data += n;
      size -= static_cast<size_t>(n);
    }
  }
  return error_ == 0;
}

bool BulkFileOutput::WriteBlocks(const char* data, size_t size, size_t* written) {
  *written = 0;
  if (error_ != 0) return false;
  const size_t blocks = size / kDirectWriteAlign * kDirectWriteAlign;
  // Less than a page waits while direct writes may still come.
  if (blocks == 0 && mode_ != Mode::kUsual) return true;
  if (!StartDirect()) {
    *written = size;
    return WriteUsual(data, size);
  }
  while (*written < blocks) {
    const ssize_t n = ::write(fd_, data + *written, blocks - *written);
    if (n < 0 && errno == EINTR) continue;
    // A refused direct write (EINVAL: an alignment this file system does not
    // take) and a short one (which may leave the position unaligned, or
    // wrote nothing) hand the rest to the usual way.
    if (n < 0 && errno != EINVAL) {
      error_ = errno;
      return false;
    }
    if (n <= 0 || static_cast<size_t>(n) % kDirectWriteAlign != 0) {
      if (n > 0) *written += static_cast<size_t>(n);
      EndDirect();
      const size_t rest = size - *written;
      *written = size;
      return WriteUsual(data + size - rest, rest);
    }
    *written += static_cast<size_t>(n);
  }
  return true;
}

bool BulkFileOutput::WriteAll(const char* data, size_t size) {
  size_t written = 0;
  if (!WriteBlocks(data, size, &written)) return false;
  EndDirect();
  return WriteUsual(data + written, size - written);
}

}  // namespace velix::platform
