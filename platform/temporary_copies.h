#pragma once
// Temporary working copies that must not outlive the process, not even when
// a signal ends it: a copy is remembered while it exists, and
// RemoveTemporaryCopies() deletes every remembered one from a signal
// handler. The list is a few fixed slots so that the removal needs neither
// locks nor allocation.

#include <string>

namespace velix::platform {

// False when the path is too long or every slot is taken (the copy is then
// only removed by the normal close).
bool RememberTemporaryCopy(const std::string& path);
void ForgetTemporaryCopy(const std::string& path);
// Unlinks every remembered copy; async-signal-safe.
void RemoveTemporaryCopies();

}  // namespace velix::platform
