#pragma once
// Reading and replacing files in places other users may have prepared: only
// regular files are read (a FIFO, a device or a folder is refused without
// blocking), what is read is bounded before any of it is stored, and a file
// in a folder the daemon keeps is never reached through a symbolic link.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velix::platform {

enum class FinalLink { kRefuse, kFollow };

enum class FileReadResult { kOk, kCannotOpen, kNotRegular, kTooShort, kTooLarge, kReadFailed };

// Reads the file at `path` after skipping its first `skip` bytes; a file
// with more than max_bytes after them is kTooLarge, one shorter than `skip`
// kTooShort.
FileReadResult ReadRegularFile(const std::string& path, FinalLink link, uint64_t skip, uint64_t max_bytes,
                               std::vector<uint8_t>* bytes);

// Writes `bytes` to "<path>.tmp", created afresh (an old one, or a link in its
// place, is removed first), and renames it over `path`; mode 0600. False
// with the reason in *error.
bool ReplaceRegularFile(const std::string& path, std::span<const uint8_t> bytes, std::string* error);

}  // namespace velix::platform
