#include "tools/orvane-cli/bounded_read.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace orvane::cli {
namespace {

std::string TooLarge(size_t max_bytes) {
  return "larger than " + std::to_string(max_bytes >> 20) + " MiB";
}

}  // namespace

bool ReadBounded(std::istream& in, size_t max_bytes, std::string* text, std::string* error) {
  text->clear();
  char chunk[65536];
  while (in) {
    in.read(chunk, sizeof chunk);
    const auto got = static_cast<size_t>(in.gcount());
    if (text->size() + got > max_bytes) {
      *error = TooLarge(max_bytes);
      return false;
    }
    text->append(chunk, got);
  }
  if (in.bad()) {
    *error = "read error";
    return false;
  }
  return true;
}

bool ReadRegularFileBounded(const std::string& path, size_t max_bytes, std::string* text,
                            std::string* error) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    *error = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    *error = "not a regular file";
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = std::strerror(errno);
    return false;
  }
  return ReadBounded(file, max_bytes, text, error);
}

}  // namespace orvane::cli
