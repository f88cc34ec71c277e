#pragma once
// The daemon's socket side: the published names, one accept loop over all
// of them, and one thread per connection. A name is served by the session
// body it was published with, to the peers its access admits; the server
// owns each connection's descriptor and closes it once the body has
// returned. It serves at most kMaxConnections at a time, fewer when the
// descriptor limit is low, and stops accepting for a while when the process
// runs out of descriptors anyway, so a flood of connections costs neither
// unbounded memory nor a spinning accept loop.

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "driver/daemon/listening_socket.h"
#include "driver/daemon/peer_access.h"
#include "platform/event.h"

namespace velix::daemon {

using SessionBody = std::function<void(int fd)>;

inline constexpr size_t kMaxConnections = 64;
// How long accepting pauses when a connection could not be taken for want
// of descriptors or memory.
inline constexpr std::chrono::milliseconds kAcceptBackOff{250};

class DaemonServer {
 public:
  explicit DaemonServer(std::string folder);
  ~DaemonServer();
  DaemonServer(const DaemonServer&) = delete;
  DaemonServer& operator=(const DaemonServer&) = delete;

  const std::string& folder() const { return folder_; }
  bool Publish(const std::string& name, SessionBody body, std::string* error,
               PeerAccess access = PeerAccess::kGroup);
  // Takes the name away at once; connections made through it go on.
  void Withdraw(const std::string& name);

  // Accepts until Stop(); call on one thread.
  void Run();
  void Stop();
  // Shuts every connection down and waits for its session to end.
  void EndSessions();
  // The connections being served now, on any name.
  size_t ActiveSessions();

 private:
  struct Listener {
    std::unique_ptr<ListeningSocket> socket;
    SessionBody body;
    PeerAccess access = PeerAccess::kGroup;
  };
  struct Session {
    int fd = -1;
    std::thread thread;
    std::atomic<bool> done{false};
  };

  void Accept(const Listener& listener);
  // Reaps finished sessions; true when another connection may be taken.
  bool ReapFinishedSessions();

  const std::string folder_;
  const size_t max_connections_;
  platform::Event wake_;
  std::atomic<bool> stopping_{false};
  std::chrono::steady_clock::time_point accept_paused_until_{};  // accept loop only
  std::mutex lock_;
  std::vector<std::shared_ptr<Listener>> listeners_;
  // Withdrawn listeners, closed by the accept loop once it no longer polls them.
  std::vector<std::shared_ptr<Listener>> retired_;
  std::list<std::unique_ptr<Session>> sessions_;
};

}  // namespace velix::daemon
