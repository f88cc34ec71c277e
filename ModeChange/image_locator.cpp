#include "ModeChange/image_locator.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace velix::modechange {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return Lower(x) == Lower(y);
         });
}

}  // namespace

const char* ImageFileMask(Personality mode) {
  switch (mode) {
    case Personality::kAnalyzer:
      return "velixc_ana*.frm";
    case Personality::kMonitor:
      return "velixc_mon*.frm";
    case Personality::kNone:
      break;
  }
  return "";
}

bool MatchesImageMask(const std::string& name, const std::string& mask) {
  const size_t star = mask.find('*');
  if (star == std::string::npos) return EqualNoCase(name, mask);
  const std::string_view head = std::string_view(mask).substr(0, star);
  const std::string_view tail = std::string_view(mask).substr(star + 1);
  if (name.size() < head.size() + tail.size()) return false;
  const std::string_view whole(name);
  return EqualNoCase(whole.substr(0, head.size()), head) &&
         EqualNoCase(whole.substr(whole.size() - tail.size()), tail);
}

std::string FindImageFile(const std::string& folder, Personality mode) {
  const std::string mask = ImageFileMask(mode);
  if (mask.empty()) return {};
  std::error_code error;
  std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error);
  std::vector<std::string> matches;
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    const std::string name = it->path().filename().string();
    std::error_code kind_error;
    if (MatchesImageMask(name, mask) && it->is_regular_file(kind_error)) matches.push_back(it->path().string());
  }
  if (matches.empty()) return {};
  return *std::min_element(matches.begin(), matches.end());
}

std::string ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return ".";
  return exe.parent_path().string();
}

}  // namespace velix::modechange
