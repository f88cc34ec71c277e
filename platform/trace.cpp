#include "platform/trace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace velix::platform {
namespace {

// The application has always cut its trace lines at this many characters.
constexpr size_t kMaxLineLength = 512;

// Appends to a regular file only, never through a symbolic link: the
// daemon may run as another user than whoever prepared the path.
std::FILE* OpenTraceFile(const char* path) {
  const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::fcntl(fd, F_SETFL, O_APPEND) != 0) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* file = ::fdopen(fd, "a");
  if (file == nullptr) ::close(fd);
  return file;
}

// Where trace lines go. One mutex serialises the writes and the target
// changes, so lines from different threads never interleave.
class TraceTarget {
 public:
  TraceTarget() { Reload(); }

  void Reload() {
    std::lock_guard lock(mutex_);
    CloseFile();
    const char* setting = std::getenv("VELIX_TRACE");
    if (setting == nullptr || *setting == '\0') {
      output_ = nullptr;
    } else if (std::strcmp(setting, "stderr") == 0) {
      output_ = stderr;
    } else {
      output_ = OpenTraceFile(setting);
    }
    enabled_.store(output_ != nullptr, std::memory_order_relaxed);
  }

  bool Enabled() const { return enabled_.load(std::memory_order_relaxed); }

  void Write(const char* line, size_t length) {
    std::lock_guard lock(mutex_);
    if (output_ == nullptr) return;
    std::fwrite(line, 1, length, output_);
    std::fflush(output_);
  }

 private:
  void CloseFile() {
    if (output_ != nullptr && output_ != stderr) std::fclose(output_);
    output_ = nullptr;
  }

  std::mutex mutex_;
  std::FILE* output_ = nullptr;
  std::atomic<bool> enabled_{false};
};

// Never destroyed: worker threads may still trace while the process exits,
// and every line is flushed as it is written, so nothing is lost.
TraceTarget& Target() {
  static TraceTarget* const target = new TraceTarget;
  return *target;
}

std::atomic<bool> debug_messages{false};

}  // namespace

void TraceV(const char* format, va_list args) {
  TraceTarget& target = Target();
  if (!target.Enabled()) return;
  char line[kMaxLineLength + 1];
  const int length = std::vsnprintf(line, sizeof line, format, args);
  if (length <= 0) return;
  target.Write(line, std::min(static_cast<size_t>(length), kMaxLineLength));
}

void Trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  TraceV(format, args);
  va_end(args);
}

void TraceDebug(const char* format, ...) {
  if (!DebugMessages()) return;
  va_list args;
  va_start(args, format);
  TraceV(format, args);
  va_end(args);
}

bool TraceEnabled() { return Target().Enabled(); }

void SetDebugMessages(bool on) { debug_messages.store(on, std::memory_order_relaxed); }

bool DebugMessages() { return debug_messages.load(std::memory_order_relaxed); }

void ReloadTraceTarget() { Target().Reload(); }

}  // namespace velix::platform
