#include "platform/temporary_copies.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <climits>
#include <cstring>

namespace velix::platform {
namespace {

// A document holds one copy at a time; a few more slots cover a process
// that opens several documents.
constexpr size_t kSlots = 8;

enum SlotState : int { kFree, kFilling, kHeld };

struct Slot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX] = {};
};

std::array<Slot, kSlots> g_slots;

static_assert(std::atomic<int>::is_always_lock_free, "a signal handler reads the slot states");

}  // namespace

bool RememberTemporaryCopy(const std::string& path) {
  if (path.empty() || path.size() >= PATH_MAX) return false;
  for (Slot& slot : g_slots) {
    int expected = kFree;
    if (!slot.state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    // The handler sees the path only once it is complete.
    slot.state.store(kHeld, std::memory_order_release);
    return true;
  }
  return false;
}

void ForgetTemporaryCopy(const std::string& path) {
  for (Slot& slot : g_slots) {
    if (slot.state.load(std::memory_order_acquire) == kHeld && path == slot.path) {
      slot.state.store(kFree, std::memory_order_release);
    }
  }
}

void RemoveTemporaryCopies() {
  for (Slot& slot : g_slots) {
    if (slot.state.load(std::memory_order_acquire) == kHeld) unlink(slot.path);
  }
}

}  // namespace velix::platform
