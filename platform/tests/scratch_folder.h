#pragma once
// A private folder under /tmp for one test, removed with everything in it.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace velix::platform::testing {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = "/tmp/velix-platform-XXXXXX";
    path_ = mkdtemp(pattern.data()) != nullptr ? pattern + "/" : std::string();
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder, with a trailing "/".
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return std::move(content).str();
}

}  // namespace velix::platform::testing
