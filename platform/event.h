#pragma once
// Kernel-style events built on eventfd: auto-reset events release one waiter
// and reset themselves, manual-reset events stay signalled until Reset().
// An event is a file descriptor, so it can be passed to another process over
// a Unix socket (SCM_RIGHTS) and adopted there with Event::Adopt.

#include <cstddef>
#include <cstdint>
#include <span>

namespace velix::platform {

inline constexpr uint32_t kInfinite = 0xFFFFFFFFu;

enum class ResetMode { kAuto, kManual };

// The outcome of a wait: kSignalled (index in `index` for WaitForAny),
// kTimeout, or kFailed (errno in the error code).
enum class WaitStatus { kSignalled, kTimeout, kFailed };

struct WaitResult {
  WaitStatus status = WaitStatus::kFailed;
  size_t index = 0;        // which event fired (WaitForAny)
  uint32_t error = 0;      // system error code when kFailed
};

class Event {
 public:
  Event() = default;                        // invalid event
  static Event Create(ResetMode mode, bool initially_set = false);
  // Takes ownership of an eventfd received from elsewhere.
  static Event Adopt(int fd, ResetMode mode);
  ~Event();
  Event(Event&& other) noexcept;
  Event& operator=(Event&& other) noexcept;
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  bool Valid() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  ResetMode Mode() const { return mode_; }

  bool Set();
  bool Reset();
  // Non-blocking test; consumes the signal of an auto-reset event.
  bool TryConsume();
  WaitResult Wait(uint32_t timeout_ms) const;
  void Close();

 private:
  Event(int fd, ResetMode mode) : fd_(fd), mode_(mode) {}
  int fd_ = -1;
  ResetMode mode_ = ResetMode::kAuto;
};

// Waits until any of the events is signalled (the lowest index wins when
// several are) or the time-out passes. Consumes the signal of an auto-reset
// event that is reported.
WaitResult WaitForAny(std::span<const Event* const> events, uint32_t timeout_ms);

}  // namespace velix::platform
