#include "driver/daemon/peer_access.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace velix::daemon {
namespace {

// The peer's supplementary groups, as the kernel recorded them at connect.
std::vector<gid_t> PeerGroups(int fd) {
  std::vector<gid_t> groups(64);
  for (;;) {
    socklen_t length = static_cast<socklen_t>(groups.size() * sizeof(gid_t));
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERGROUPS, groups.data(), &length) == 0) {
      groups.resize(length / sizeof(gid_t));
      return groups;
    }
    if (errno != ERANGE || length <= groups.size() * sizeof(gid_t)) return {};
    groups.resize(length / sizeof(gid_t));
  }
}

}  // namespace

unsigned SocketMode(PeerAccess access) { return access == PeerAccess::kGroup ? 0660 : 0600; }

bool PeerAllowed(int fd, PeerAccess access) {
  ucred peer{};
  socklen_t length = sizeof(peer);
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || length != sizeof(peer)) return false;
  if (peer.uid == 0 || peer.uid == ::geteuid()) return true;
  if (access == PeerAccess::kOwner) return false;
  const gid_t group = ::getegid();
  if (peer.gid == group) return true;
  const std::vector<gid_t> groups = PeerGroups(fd);
  return std::find(groups.begin(), groups.end(), group) != groups.end();
}

}  // namespace velix::daemon
