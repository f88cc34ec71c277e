#pragma once
// The daemon's socket side: the published names, one accept loop over all
// of them, and one thread per connection. A name is served by the session
// body it was published with; the server owns each connection's descriptor
// and closes it once the body has returned.

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "driver/daemon/listening_socket.h"
#include "platform/event.h"

namespace velix::daemon {

using SessionBody = std::function<void(int fd)>;

class DaemonServer {
 public:
  explicit DaemonServer(std::string folder);
  ~DaemonServer();
  DaemonServer(const DaemonServer&) = delete;
  DaemonServer& operator=(const DaemonServer&) = delete;

  const std::string& folder() const { return folder_; }
  bool Publish(const std::string& name, SessionBody body, std::string* error);
  // Takes the name away at once; connections made through it go on.
  void Withdraw(const std::string& name);

  // Accepts until Stop(); call on one thread.
  void Run();
  void Stop();
  // Shuts every connection down and waits for its session to end.
  void EndSessions();

 private:
  struct Listener {
    std::unique_ptr<ListeningSocket> socket;
    SessionBody body;
  };
  struct Session {
    int fd = -1;
    std::thread thread;
    std::atomic<bool> done{false};
  };

  void Accept(const Listener& listener);
  void ReapFinishedSessions();

  const std::string folder_;
  platform::Event wake_;
  std::atomic<bool> stopping_{false};
  std::mutex lock_;
  std::vector<std::shared_ptr<Listener>> listeners_;
  // Withdrawn listeners, closed by the accept loop once it no longer polls them.
  std::vector<std::shared_ptr<Listener>> retired_;
  std::list<std::unique_ptr<Session>> sessions_;
};

}  // namespace velix::daemon
