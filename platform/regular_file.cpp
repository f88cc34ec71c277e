#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/descriptor_io.h"
#include "platform/system_error.h"

namespace velix::platform {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  const int fd_;
};

}  // namespace

FileReadResult ReadRegularFile(const std::string& path, FinalLink link, uint64_t skip, uint64_t max_bytes,
                               std::vector<uint8_t>* bytes) {
  bytes->clear();
  // Non-blocking, so opening a FIFO without a writer does not wait.
  const int no_follow = link == FinalLink::kRefuse ? O_NOFOLLOW : 0;
  const Descriptor file(::open(path.c_str(), O_RDONLY | no_follow | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) return FileReadResult::kCannotOpen;
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) return FileReadResult::kCannotOpen;
  if (!S_ISREG(info.st_mode)) return FileReadResult::kNotRegular;
  const auto size = static_cast<uint64_t>(info.st_size);
  if (size < skip) return FileReadResult::kTooShort;
  if (size - skip > max_bytes) return FileReadResult::kTooLarge;
  bytes->resize(size - skip);
  if (::lseek(file.get(), static_cast<off_t>(skip), SEEK_SET) < 0 ||
      !ReadExactly(file.get(), bytes->data(), bytes->size())) {
    bytes->clear();
    return FileReadResult::kReadFailed;
  }
  return FileReadResult::kOk;
}

bool ReplaceRegularFile(const std::string& path, std::span<const uint8_t> bytes, std::string* error) {
  const std::string temporary = path + ".tmp";
  ::unlink(temporary.c_str());
  // O_EXCL fails on anything that is there again, a link included, rather
  // than writing through it.
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    *error = "cannot create " + temporary + ": " + SystemErrorText(static_cast<uint32_t>(errno));
    return false;
  }
  const bool written = WriteExactly(fd, bytes.data(), bytes.size());
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    *error = "cannot write " + temporary;
    ::unlink(temporary.c_str());
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    *error = "cannot replace " + path;
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace velix::platform
