#include "platform/runtime_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/system_error.h"

namespace velix::platform {
namespace {

constexpr mode_t kCreatedFolderMode = 0750;

bool TrustedOwner(uid_t owner, FolderUse use) {
  const uid_t self = ::geteuid();
  return owner == 0 || owner == self || (use == FolderUse::kConnect && self != 0);
}

std::string ParentOf(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Every folder from the root down to `parent` (resolved, so a link such as
// /var/run is judged by where it leads).
bool CheckAncestors(const std::string& parent, FolderUse use, std::string* error) {
  char resolved[PATH_MAX];
  if (::realpath(parent.c_str(), resolved) == nullptr) {
    *error = "cannot reach " + parent + ": " + SystemErrorText(static_cast<uint32_t>(errno));
    return false;
  }
  std::string path = resolved;
  for (;;) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
      *error = "cannot examine " + path + ": " + SystemErrorText(static_cast<uint32_t>(errno));
      return false;
    }
    const bool others_write = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    if (!TrustedOwner(info.st_uid, use) || (others_write && (info.st_mode & S_ISVTX) == 0)) {
      *error = path + " above the runtime folder can be changed by other users";
      return false;
    }
    if (path == "/") return true;
    path = ParentOf(path);
  }
}

}  // namespace

bool CheckRuntimeFolder(const std::string& folder, FolderUse use, std::string* error) {
  if (folder.empty()) {
    *error = "no runtime folder";
    return false;
  }
  if (!CheckAncestors(ParentOf(folder), use, error)) return false;
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) {
    *error = "cannot examine the runtime folder " + folder + ": " + SystemErrorText(static_cast<uint32_t>(errno));
    return false;
  }
  if (!S_ISDIR(info.st_mode)) {
    *error = "the runtime folder " + folder + " is not a directory";
    return false;
  }
  if (use == FolderUse::kServe ? info.st_uid != ::geteuid() : !TrustedOwner(info.st_uid, use)) {
    *error = "the runtime folder " + folder + " belongs to another user";
    return false;
  }
  if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    *error = "the runtime folder " + folder + " is writable by other users";
    return false;
  }
  return true;
}

bool PrepareRuntimeFolder(const std::string& folder, std::string* error) {
  if (folder.empty()) {
    *error = "no runtime folder";
    return false;
  }
  if (!CheckAncestors(ParentOf(folder), FolderUse::kServe, error)) return false;
  if (::mkdir(folder.c_str(), kCreatedFolderMode) == 0) {
    // The mode is exact whatever the umask; the folder is new and its
    // parent checked, so the path still names it.
    if (::chmod(folder.c_str(), kCreatedFolderMode) != 0) {
      *error = "cannot set the mode of " + folder + ": " + SystemErrorText(static_cast<uint32_t>(errno));
      return false;
    }
  } else if (errno != EEXIST) {
    *error = "cannot create the runtime folder " + folder + ": " + SystemErrorText(static_cast<uint32_t>(errno));
    return false;
  }
  return CheckRuntimeFolder(folder, FolderUse::kServe, error);
}

}  // namespace velix::platform
