#pragma once
// Whole reads and writes on a file descriptor, riding over short transfers
// and signals.

#include <cstddef>

namespace velix::platform {

// False when the file ends first or a call fails (errno says why).
bool ReadExactly(int fd, void* data, size_t size);
bool WriteExactly(int fd, const void* data, size_t size);

}  // namespace velix::platform
