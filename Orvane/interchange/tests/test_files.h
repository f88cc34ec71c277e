#pragma once
// A private folder per test, and reading what the code under test wrote.

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace velix::interchange::testing {

class TempFolder {
 public:
  TempFolder() {
    char name[] = "/tmp/interchange-test-XXXXXX";
    path_ = ::mkdtemp(name) != nullptr ? name : "";
  }
  ~TempFolder() {
    for (const std::string& entry : Entries()) ::unlink((path_ + "/" + entry).c_str());
    ::rmdir(path_.c_str());
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Every name in the folder (dot files included, "." and ".." not).
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(path_.c_str())) {
      while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
      }
      ::closedir(dir);
    }
    return names;
  }

 private:
  std::string path_;
};

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace velix::interchange::testing
