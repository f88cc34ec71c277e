#pragma once
// What a conversion left in its folder.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/tests/scratch_folder.h"

namespace velix::interchange::testing {

using platform::testing::ReadFile;
using platform::testing::ScratchFolder;
using platform::testing::WriteFile;

// Every name in the folder, dot files included.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

}  // namespace velix::interchange::testing
