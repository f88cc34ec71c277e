#include "Orvane/app/recent_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace orvane {
namespace {

std::string SlotKey(size_t index) { return "File" + std::to_string(index + 1); }

}  // namespace

std::string CanonicalFilePath(const std::string& path) {
  if (path.empty()) return {};
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return path;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
  return error ? absolute.lexically_normal().string() : canonical.string();
}

void RecentFiles::Add(const std::string& path) {
  const std::string canonical = CanonicalFilePath(path);
  if (canonical.empty()) return;
  Remove(canonical);
  entries_.insert(entries_.begin(), canonical);
  if (entries_.size() > kMaxEntries) entries_.resize(kMaxEntries);
}

bool RecentFiles::Remove(const std::string& path) {
  const std::string canonical = CanonicalFilePath(path);
  const auto found = std::find(entries_.begin(), entries_.end(), canonical);
  if (found == entries_.end()) return false;
  entries_.erase(found);
  return true;
}

void RecentFiles::Load(const velix::platform::SettingsStore& store) {
  entries_.clear();
  for (size_t slot = 0; slot < kMaxEntries; ++slot) {
    const std::string path = store.GetString(kSection, SlotKey(slot), {});
    // Kept as stored: the file may come back (a network share, a card).
    if (!path.empty() && std::find(entries_.begin(), entries_.end(), path) == entries_.end()) {
      entries_.push_back(path);
    }
  }
}

bool RecentFiles::Save(velix::platform::SettingsStore& store) const {
  bool saved = true;
  for (size_t slot = 0; slot < kMaxEntries; ++slot) {
    saved = store.SetString(kSection, SlotKey(slot), slot < entries_.size() ? entries_[slot] : std::string()) &&
            saved;
  }
  return saved;
}

}  // namespace orvane
