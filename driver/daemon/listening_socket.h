#pragma once
// A Unix stream socket published under a name in the runtime folder. The
// socket is bound under a temporary name and renamed into place once it
// listens, so a client that sees the name can connect at once; it has its
// mode and the daemon's group from the start.

#include <memory>
#include <string>

namespace velix::daemon {

class ListeningSocket {
 public:
  static std::unique_ptr<ListeningSocket> Publish(const std::string& folder, const std::string& name,
                                                  unsigned mode, std::string* error);
  ~ListeningSocket();
  ListeningSocket(const ListeningSocket&) = delete;
  ListeningSocket& operator=(const ListeningSocket&) = delete;

  int fd() const { return fd_; }
  const std::string& name() const { return name_; }
  // Removes the name so that no new client finds it; the socket itself
  // stays open until destruction.
  void Withdraw();

 private:
  ListeningSocket(int fd, std::string name, std::string path) : fd_(fd), name_(std::move(name)), path_(std::move(path)) {}
  const int fd_;
  const std::string name_;
  std::string path_;  // empty once withdrawn
};

// True when a daemon already answers on `path`.
bool SocketAnswers(const std::string& path);

}  // namespace velix::daemon
