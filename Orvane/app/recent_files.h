#pragma once
// The recent-file list of the File menu: at most six capture files, the
// last opened first. A file opened again moves to the front instead of
// appearing twice; two names of one file (a relative name, a path through
// a symbolic link) count as the same file. Entries whose file has gone stay
// on the list: opening one then fails like any other missing file.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace orvane {

class RecentFiles {
 public:
  static constexpr size_t kMaxEntries = 6;
  // Where the list is kept: "File1" … "File6" of this section.
  static constexpr const char* kSection = "RecentFileList";

  // Puts `path` at the front (as its canonical absolute path).
  void Add(const std::string& path);
  // Takes `path` off the list; false when it was not on it.
  bool Remove(const std::string& path);
  const std::vector<std::string>& Entries() const { return entries_; }

  void Load(const velix::platform::SettingsStore& store);
  // Writes every slot, an empty value for those the list does not fill.
  bool Save(velix::platform::SettingsStore& store) const;

 private:
  std::vector<std::string> entries_;
};

// The absolute path with "." and ".." and symbolic links resolved as far as
// the path exists; what is missing is kept as written.
std::string CanonicalFilePath(const std::string& path);

}  // namespace orvane
