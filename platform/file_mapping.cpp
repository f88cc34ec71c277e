#include "platform/file_mapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

// Views are MAP_SHARED mappings of the file as it is on disk. If another
// process truncates the file while a view is mapped, touching the lost pages
// raises SIGBUS; the sampling files we map are private temporary copies, so
// nobody else is expected to shrink them.

namespace velix::platform {

ReadOnlyFile::~ReadOnlyFile() { Close(); }

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : fd_(other.fd_), last_error_(other.last_error_) {
  other.fd_ = -1;
}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    last_error_ = other.last_error_;
    other.fd_ = -1;
  }
  return *this;
}

bool ReadOnlyFile::Open(const std::string& path) {
  Close();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    last_error_ = static_cast<uint32_t>(errno);
    return false;
  }
  // A directory opens read-only on Linux, but it is not a file to read.
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    last_error_ = S_ISDIR(info.st_mode) ? EISDIR : static_cast<uint32_t>(errno);
    close(fd);
    return false;
  }
  fd_ = fd;
  last_error_ = 0;
  return true;
}

void ReadOnlyFile::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

uint64_t ReadOnlyFile::Size() const {
  struct stat info {};
  if (fd_ < 0 || fstat(fd_, &info) != 0) return 0;
  return static_cast<uint64_t>(info.st_size);
}

FileMapping::~FileMapping() { Close(); }

bool FileMapping::Create(const ReadOnlyFile& file) {
  Close();
  struct stat info {};
  if (!file.IsOpen() || fstat(file.Fd(), &info) != 0) {
    last_error_ = file.IsOpen() ? static_cast<uint32_t>(errno) : EBADF;
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    last_error_ = ENODEV;  // what mmap says for files it cannot map
    return false;
  }
  if (info.st_size == 0) {
    last_error_ = EINVAL;
    return false;
  }
  const int fd = fcntl(file.Fd(), F_DUPFD_CLOEXEC, 0);
  if (fd < 0) {
    last_error_ = static_cast<uint32_t>(errno);
    return false;
  }
  fd_ = fd;
  size_ = static_cast<uint64_t>(info.st_size);
  last_error_ = 0;
  return true;
}

void FileMapping::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  size_ = 0;
}

const uint8_t* FileMapping::MapView(uint64_t offset, size_t length) {
  if (!IsOpen()) {
    last_error_ = EBADF;
    return nullptr;
  }
  // Views stay inside the file: pages past its end would fault on access.
  if (length == 0 || offset % AllocationGranularity() != 0 || offset >= size_ ||
      length > size_ - offset) {
    last_error_ = EINVAL;
    return nullptr;
  }
  // Views are read through from start to end: populating the page tables
  // at once costs far less than one fault per page.
  void* view = mmap(nullptr, length, PROT_READ, MAP_SHARED | MAP_POPULATE, fd_,
                    static_cast<off_t>(offset));
  if (view == MAP_FAILED) {
    last_error_ = static_cast<uint32_t>(errno);
    return nullptr;
  }
  last_error_ = 0;
  return static_cast<const uint8_t*>(view);
}

bool FileMapping::UnmapView(const uint8_t* view, size_t length) {
  if (view == nullptr || length == 0) {
    last_error_ = EINVAL;
    return false;
  }
  if (munmap(const_cast<uint8_t*>(view), length) != 0) {
    last_error_ = static_cast<uint32_t>(errno);
    return false;
  }
  last_error_ = 0;
  return true;
}

size_t AllocationGranularity() {
  static const size_t page_size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return page_size;
}

}  // namespace velix::platform
