#include "platform/event.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <vector>

namespace velix::platform {
namespace {

using Clock = std::chrono::steady_clock;

// The time left of a wait, in the form poll() takes. An infinite wait stays
// infinite; a finite one is counted against a fixed deadline so that retries
// after a lost race or a signal never stretch the caller's time-out.
class WaitBudget {
 public:
  explicit WaitBudget(uint32_t timeout_ms)
      : infinite_(timeout_ms == kInfinite),
        deadline_(Clock::now() + std::chrono::milliseconds(timeout_ms)) {}

  int PollTimeout() const {
    if (infinite_) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline_ - Clock::now());
    if (left.count() <= 0) return 0;
    return left.count() > INT_MAX ? INT_MAX : static_cast<int>(left.count());
  }
  bool Expired() const { return !infinite_ && Clock::now() >= deadline_; }

 private:
  bool infinite_;
  Clock::time_point deadline_;
};

WaitResult Failed(int error) {
  WaitResult result;
  result.status = WaitStatus::kFailed;
  result.error = static_cast<uint32_t>(error);
  return result;
}

WaitResult Signalled(size_t index) {
  WaitResult result;
  result.status = WaitStatus::kSignalled;
  result.index = index;
  return result;
}

WaitResult TimedOut() {
  WaitResult result;
  result.status = WaitStatus::kTimeout;
  return result;
}

// Drains the counter. Returns 1 when a signal was taken, 0 when another
// waiter got there first, -1 on a real failure (errno set).
int ConsumeSignal(int fd) {
  uint64_t count = 0;
  while (true) {
    if (read(fd, &count, sizeof count) == static_cast<ssize_t>(sizeof count)) return 1;
    if (errno == EINTR) continue;
    return errno == EAGAIN ? 0 : -1;
  }
}

// Claims the event that poll() reported ready. Manual-reset events are not
// consumed; auto-reset ones are, and may have been taken by a racing waiter.
int Claim(const Event& event) {
  return event.Mode() == ResetMode::kManual ? 1 : ConsumeSignal(event.Fd());
}

}  // namespace

Event Event::Create(ResetMode mode, bool initially_set) {
  const int fd = eventfd(initially_set ? 1u : 0u, EFD_CLOEXEC | EFD_NONBLOCK);
  return fd < 0 ? Event() : Event(fd, mode);
}

Event Event::Adopt(int fd, ResetMode mode) {
  if (fd < 0) {
    errno = EBADF;
    return Event();
  }
  // A descriptor received from another process may lack our flags; waits
  // rely on non-blocking reads to lose a race without hanging.
  const int status_flags = fcntl(fd, F_GETFL);
  if (status_flags < 0 || fcntl(fd, F_SETFL, status_flags | O_NONBLOCK) < 0 ||
      fcntl(fd, F_SETFD, FD_CLOEXEC) < 0) {
    const int error = errno;
    close(fd);
    errno = error;
    return Event();
  }
  return Event(fd, mode);
}

Event::~Event() { Close(); }

Event::Event(Event&& other) noexcept : fd_(other.fd_), mode_(other.mode_) { other.fd_ = -1; }

Event& Event::operator=(Event&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    mode_ = other.mode_;
    other.fd_ = -1;
  }
  return *this;
}

bool Event::Set() {
  if (!Valid()) {
    errno = EBADF;
    return false;
  }
  const uint64_t one = 1;
  while (true) {
    if (write(fd_, &one, sizeof one) == static_cast<ssize_t>(sizeof one)) return true;
    if (errno == EINTR) continue;
    // A saturated counter is still a set event.
    return errno == EAGAIN;
  }
}

bool Event::Reset() {
  if (!Valid()) {
    errno = EBADF;
    return false;
  }
  return ConsumeSignal(fd_) >= 0;
}

bool Event::TryConsume() { return Wait(0).status == WaitStatus::kSignalled; }

WaitResult Event::Wait(uint32_t timeout_ms) const {
  const Event* self = this;
  return WaitForAny(std::span<const Event* const>(&self, 1), timeout_ms);
}

void Event::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

WaitResult WaitForAny(std::span<const Event* const> events, uint32_t timeout_ms) {
  if (events.empty()) return Failed(EINVAL);
  std::vector<pollfd> fds;
  fds.reserve(events.size());
  for (const Event* event : events) {
    if (event == nullptr) return Failed(EINVAL);
    if (!event->Valid()) return Failed(EBADF);
    fds.push_back(pollfd{event->Fd(), POLLIN, 0});
  }

  const WaitBudget budget(timeout_ms);
  while (true) {
    const int ready = poll(fds.data(), fds.size(), budget.PollTimeout());
    if (ready < 0 && errno != EINTR) return Failed(errno);
    for (size_t i = 0; ready > 0 && i < fds.size(); ++i) {
      if (fds[i].revents & POLLNVAL) return Failed(EBADF);
      if (!(fds[i].revents & POLLIN)) continue;
      const int claimed = Claim(*events[i]);
      if (claimed < 0) return Failed(errno);
      if (claimed > 0) return Signalled(i);
    }
    if (budget.Expired()) return TimedOut();
  }
}

}  // namespace velix::platform
