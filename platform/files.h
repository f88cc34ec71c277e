#pragma once
// File-system services: existence, copy, delete, the temporary folder and
// unique temporary names. Each returns 0 / true on success and the errno
// value otherwise, which SystemErrorText() turns into words.

#include <cstdint>
#include <string>

namespace velix::platform {

bool FileExists(const std::string& path);
// A regular file: not a device, pipe, socket or folder, so reading it ends
// and its size is known.
bool IsRegularFile(const std::string& path);
// Copies src to dst, replacing dst when `overwrite`; 0 or errno. A source
// that is not a regular file is refused (EINVAL) without reading it.
uint32_t CopyFileTo(const std::string& src, const std::string& dst, bool overwrite);
// 0 or errno.
uint32_t DeleteFileAt(const std::string& path);
// The folder for temporary files, always ending in "/": $TMPDIR, else /tmp/.
// Empty (with errno in *error) when no usable folder exists.
std::string TempFolder(uint32_t* error = nullptr);
// Creates an empty file with a unique name "<folder><prefix>XXXXXX.tmp" and
// returns its name; empty with errno in *error on failure.
std::string UniqueTempFileName(const std::string& folder, const std::string& prefix,
                               uint32_t* error = nullptr);

}  // namespace velix::platform
