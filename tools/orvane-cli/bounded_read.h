#pragma once
// Reading a whole text input without trusting it to end: a device such as
// /dev/zero never does, a FIFO may never get a writer, and a huge file
// would exhaust memory. Both readers stop at `max_bytes`.

#include <cstddef>
#include <istream>
#include <string>

namespace orvane::cli {

// False with the reason in *error when the stream fails or holds more than
// `max_bytes`.
bool ReadBounded(std::istream& in, size_t max_bytes, std::string* text, std::string* error);

// The same for a named file, which must be a regular file; anything else
// is refused before it is opened.
bool ReadRegularFileBounded(const std::string& path, size_t max_bytes, std::string* text,
                            std::string* error);

}  // namespace orvane::cli
