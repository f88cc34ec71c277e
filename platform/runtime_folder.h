#pragma once
// Whether a runtime folder can be trusted with the daemon's sockets and
// files. Whoever can write in the folder, or in a folder above it, can plant
// symbolic links for the daemon to follow or put a socket of its own in
// place of the daemon's, so the folder must be a real directory that only its
// owner can change, and every folder above it must be owned by root or that
// user and, when others may write in it, sticky (like /tmp), so the folder
// cannot be renamed away.

#include <string>

namespace velix::platform {

enum class FolderUse {
  // The daemon: the folder must be its own user's.
  kServe,
  // A client: the folder must be root's or the client's own. A client that
  // is not root also uses the folder of another account (the daemon's
  // service account); it has no privilege such a folder could abuse.
  kConnect,
};

// True when `folder` passes; otherwise false with the reason in *error.
bool CheckRuntimeFolder(const std::string& folder, FolderUse use, std::string* error);

// The daemon's side: creates the folder with mode 0750 when it is missing,
// then checks it.
bool PrepareRuntimeFolder(const std::string& folder, std::string* error);

}  // namespace velix::platform
