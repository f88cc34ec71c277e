#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/device_names.h"
#include "platform/files.h"

namespace velix::platform {
namespace {

bool EnsureFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) {
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }
  return false;
}

}  // namespace

SingleInstanceLock::~SingleInstanceLock() {
  // Closing the descriptor releases the lock. The file stays: removing it
  // would let a starting instance lock a name that is about to vanish.
  if (fd_ >= 0) ::close(fd_);
}

bool SingleInstanceLock::Acquire(const std::string& folder, const std::string& name) {
  if (fd_ >= 0) return true;
  if (!EnsureFolder(folder)) return false;
  const std::string path = folder + "/" + name;
  // The fallback is the shared temporary folder: a planted link is not
  // followed.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return false;
  }
  fd_ = fd;
  return true;
}

std::string InstanceLockFolder() {
  const std::string runtime = DeviceRuntimeFolder();
  // A system daemon's folder admits its group to the sockets only; the lock
  // then lives in the temporary folder.
  if (EnsureFolder(runtime) && ::access(runtime.c_str(), W_OK) == 0) return runtime;
  std::string temp = TempFolder();
  if (!temp.empty() && temp.back() == '/') temp.pop_back();
  return temp;
}

}  // namespace velix::platform
