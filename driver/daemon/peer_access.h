#pragma once
// Who may talk to the daemon. The socket modes keep other users out of the
// runtime folder's names; the peer's credentials, taken from the kernel for
// each connection, are checked as well, so a name that was made reachable by
// mistake (a umask, a chmod) still serves nobody else.

namespace velix::daemon {

enum class PeerAccess {
  kGroup,  // root, the daemon's user and the members of its group: the device sockets
  kOwner,  // root and the daemon's user: the control socket
};

// The mode a published socket gets for `access`.
unsigned SocketMode(PeerAccess access);

// True when the peer connected on `fd` may be served under `access`.
bool PeerAllowed(int fd, PeerAccess access);

}  // namespace velix::daemon
