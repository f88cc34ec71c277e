#include "platform/files.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "platform/descriptor_io.h"

namespace velix::platform {
namespace {

// Sampling files run to hundreds of megabytes; big chunks keep the number
// of system calls low without holding much memory.
constexpr size_t kCopyChunk = 4u << 20;

constexpr char kTempSuffix[] = ".tmp";
constexpr int kTempSuffixLength = sizeof kTempSuffix - 1;

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string WithTrailingSlash(std::string folder) {
  if (folder.back() != '/') folder.push_back('/');
  return folder;
}

void Report(uint32_t* error, uint32_t code) {
  if (error != nullptr) *error = code;
}

// Copies the remaining content of `from` into `to`; 0 or errno.
// Errors of the kernel's own copy that only say "not between these files":
// the plain copy still works.
bool KernelCopyUnsupported(int error) {
  return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP || error == EBADF;
}

// Copies inside the kernel: a clone of the extents where the file system
// shares them (instant for any size), else copy_file_range. Opening a
// capture of hundreds of megabytes copies it first, with the window
// waiting. Returns -1 when the kernel cannot copy between these files and
// nothing was written, else 0 or the error.
int KernelCopy(int from, int to) {
  if (ioctl(to, FICLONE, from) == 0) return 0;
  bool copied_some = false;
  while (true) {
    const ssize_t got = copy_file_range(from, nullptr, to, nullptr, kCopyChunk, 0);
    if (got == 0) return 0;
    if (got > 0) {
      copied_some = true;
      continue;
    }
    if (errno == EINTR) continue;
    if (!copied_some && KernelCopyUnsupported(errno)) return -1;
    return errno;
  }
}

uint32_t CopyContent(int from, int to) {
  if (const int kernel = KernelCopy(from, to); kernel >= 0) return static_cast<uint32_t>(kernel);
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyChunk]);
  if (!buffer) return ENOMEM;
  while (true) {
    const ssize_t got = read(from, buffer.get(), kCopyChunk);
    if (got == 0) return 0;
    if (got < 0) {
      if (errno == EINTR) continue;
      return static_cast<uint32_t>(errno);
    }
    if (!WriteExactly(to, buffer.get(), static_cast<size_t>(got))) return static_cast<uint32_t>(errno);
  }
}

// Opens the destination of a copy. Refuses to truncate the source onto
// itself, which would lose the data being copied.
int OpenCopyDestination(const std::string& dst, const struct stat& source, bool overwrite,
                        uint32_t* error) {
  struct stat existing {};
  if (stat(dst.c_str(), &existing) == 0) {
    if (!overwrite) {
      *error = EEXIST;
      return -1;
    }
    if (existing.st_dev == source.st_dev && existing.st_ino == source.st_ino) {
      *error = EINVAL;
      return -1;
    }
  }
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (overwrite ? O_TRUNC : O_EXCL);
  const int fd = open(dst.c_str(), flags, 0666);
  if (fd < 0) *error = static_cast<uint32_t>(errno);
  return fd;
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

uint32_t CopyFileTo(const std::string& src, const std::string& dst, bool overwrite) {
  // Non-blocking, so that opening a FIFO does not wait for a writer before
  // the type check refuses it; reads of a regular file never block anyway.
  const int from = open(src.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (from < 0) return static_cast<uint32_t>(errno);
  struct stat source {};
  uint32_t refused = 0;
  if (fstat(from, &source) != 0) {
    refused = static_cast<uint32_t>(errno);
  } else if (!S_ISREG(source.st_mode)) {
    refused = S_ISDIR(source.st_mode) ? EISDIR : EINVAL;
  }
  if (refused != 0) {
    close(from);
    return refused;
  }
  uint32_t error = 0;
  const int to = OpenCopyDestination(dst, source, overwrite, &error);
  if (to < 0) {
    close(from);
    return error;
  }
  error = CopyContent(from, to);
  if (close(to) != 0 && error == 0) error = static_cast<uint32_t>(errno);
  close(from);
  // A half-written copy is worse than none: callers treat the destination
  // as a complete file as soon as it exists.
  if (error != 0) unlink(dst.c_str());
  return error;
}

uint32_t DeleteFileAt(const std::string& path) {
  return unlink(path.c_str()) == 0 ? 0 : static_cast<uint32_t>(errno);
}

std::string TempFolder(uint32_t* error) {
  const char* from_environment = std::getenv("TMPDIR");
  if (from_environment != nullptr && *from_environment != '\0' && IsDirectory(from_environment)) {
    Report(error, 0);
    return WithTrailingSlash(from_environment);
  }
  if (IsDirectory("/tmp")) {
    Report(error, 0);
    return "/tmp/";
  }
  Report(error, ENOENT);
  return {};
}

std::string UniqueTempFileName(const std::string& folder, const std::string& prefix,
                               uint32_t* error) {
  if (folder.empty() || prefix.find('/') != std::string::npos) {
    Report(error, EINVAL);
    return {};
  }
  const std::string pattern = WithTrailingSlash(folder) + prefix + "XXXXXX" + kTempSuffix;
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkostemps(name.data(), kTempSuffixLength, O_CLOEXEC);
  if (fd < 0) {
    Report(error, static_cast<uint32_t>(errno));
    return {};
  }
  close(fd);
  Report(error, 0);
  return name.data();
}

}  // namespace velix::platform
