#include "driver/daemon/daemon_server.h"

#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "driver/daemon/socket_byte_source.h"
#include "platform/trace.h"

namespace velix::daemon {
namespace {
// Large socket buffers let a 16 MiB read cross in few system calls.
constexpr int kSocketBufferBytes = 4 << 20;
// A connection holds its socket and up to two event descriptors; the device,
// the listeners and a session receiving an event need descriptors of their
// own, so connections never take the last ones.
constexpr rlim_t kDescriptorsPerConnection = 3;
constexpr rlim_t kReservedDescriptors = 32;

size_t ConnectionLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kMaxConnections;
  const rlim_t spare = limit.rlim_cur > kReservedDescriptors ? limit.rlim_cur - kReservedDescriptors : 0;
  return std::clamp<size_t>(spare / kDescriptorsPerConnection, 1, kMaxConnections);
}

}  // namespace

DaemonServer::DaemonServer(std::string folder)
    : folder_(std::move(folder)),
      max_connections_(ConnectionLimit()),
      wake_(platform::Event::Create(platform::ResetMode::kAuto)) {}

DaemonServer::~DaemonServer() {
  Stop();
  EndSessions();
}

bool DaemonServer::Publish(const std::string& name, SessionBody body, std::string* error, PeerAccess access) {
  auto listener = std::make_shared<Listener>();
  listener->socket = ListeningSocket::Publish(folder_, name, SocketMode(access), error);
  if (!listener->socket) return false;
  listener->body = std::move(body);
  listener->access = access;
  {
    std::lock_guard lock(lock_);
    listeners_.push_back(std::move(listener));
  }
  wake_.Set();
  return true;
}

void DaemonServer::Withdraw(const std::string& name) {
  {
    std::lock_guard lock(lock_);
    for (auto it = listeners_.begin(); it != listeners_.end();) {
      if ((*it)->socket->name() == name) {
        (*it)->socket->Withdraw();
        retired_.push_back(*it);
        it = listeners_.erase(it);
      } else {
        ++it;
      }
    }
  }
  wake_.Set();
}

void DaemonServer::Stop() {
  stopping_.store(true);
  wake_.Set();
}

void DaemonServer::Run() {
  bool may_accept = true;
  while (!stopping_.load()) {
    std::vector<std::shared_ptr<Listener>> listeners;
    {
      std::lock_guard lock(lock_);
      listeners = listeners_;
      retired_.clear();
    }
    // The time-out bounds how long finished sessions wait to be reaped and
    // how long a pause in accepting lasts.
    int timeout_ms = 1000;
    const auto now = std::chrono::steady_clock::now();
    if (now < accept_paused_until_) {
      may_accept = false;
      timeout_ms = static_cast<int>(
          std::chrono::ceil<std::chrono::milliseconds>(accept_paused_until_ - now).count());
    }
    std::vector<pollfd> fds{{wake_.Fd(), POLLIN, 0}};
    if (may_accept) {
      for (const auto& listener : listeners) fds.push_back({listener->socket->fd(), POLLIN, 0});
    }
    const int ready = ::poll(fds.data(), fds.size(), timeout_ms);
    if (ready < 0 && errno != EINTR) {
      platform::Trace("velixd: poll failed (%d)\n", errno);
      break;
    }
    if (fds[0].revents & POLLIN) wake_.TryConsume();
    for (size_t i = 1; i < fds.size(); ++i) {
      if (fds[i].revents & POLLIN) Accept(*listeners[i - 1]);
    }
    may_accept = ReapFinishedSessions();
  }
}

void DaemonServer::Accept(const Listener& listener) {
  if (std::chrono::steady_clock::now() < accept_paused_until_) return;
  const int fd = ::accept4(listener.socket->fd(), nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) {
    // The pending connection stays queued and keeps the listener readable:
    // polling it again at once would spin. Serve what we have and retry later.
    if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
      platform::Trace("velixd: cannot accept a connection (%d), pausing\n", errno);
      accept_paused_until_ = std::chrono::steady_clock::now() + kAcceptBackOff;
    }
    return;
  }
  if (!PeerAllowed(fd, listener.access)) {
    platform::Trace("velixd: connection to %s refused to a peer without access\n", listener.socket->name().c_str());
    ::close(fd);
    return;
  }
  LimitPeerStalls(fd);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kSocketBufferBytes, sizeof(kSocketBufferBytes));
  ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &kSocketBufferBytes, sizeof(kSocketBufferBytes));
  auto session = std::make_unique<Session>();
  Session* raw = session.get();
  raw->fd = fd;
  std::lock_guard lock(lock_);
  // A thread cannot always be had (out of memory, descriptors or tasks);
  // the connection is then dropped like one that could not be accepted.
  try {
    raw->thread = std::thread([this, raw, body = listener.body] {
      body(raw->fd);
      // The peer sees the end at once; the descriptor itself is closed when
      // the session is reaped, so it cannot be reused while still in the list.
      ::shutdown(raw->fd, SHUT_RDWR);
      raw->done.store(true);
      wake_.Set();
    });
  } catch (const std::system_error& failure) {
    platform::Trace("velixd: cannot start a session (%d), pausing\n", failure.code().value());
    ::close(fd);
    accept_paused_until_ = std::chrono::steady_clock::now() + kAcceptBackOff;
    return;
  }
  sessions_.push_back(std::move(session));
}

bool DaemonServer::ReapFinishedSessions() {
  std::list<std::unique_ptr<Session>> finished;
  size_t remaining = 0;
  {
    std::lock_guard lock(lock_);
    for (auto it = sessions_.begin(); it != sessions_.end();) {
      if ((*it)->done.load()) {
        finished.push_back(std::move(*it));
        it = sessions_.erase(it);
      } else {
        ++it;
      }
    }
    remaining = sessions_.size();
  }
  for (auto& session : finished) {
    session->thread.join();
    ::close(session->fd);
  }
  return remaining < max_connections_;
}

size_t DaemonServer::ActiveSessions() {
  std::lock_guard lock(lock_);
  return static_cast<size_t>(std::count_if(sessions_.begin(), sessions_.end(),
                                           [](const auto& session) { return !session->done.load(); }));
}

void DaemonServer::EndSessions() {
  std::list<std::unique_ptr<Session>> sessions;
  {
    std::lock_guard lock(lock_);
    sessions.swap(sessions_);
  }
  for (auto& session : sessions) ::shutdown(session->fd, SHUT_RDWR);
  for (auto& session : sessions) {
    session->thread.join();
    ::close(session->fd);
  }
}

}  // namespace velix::daemon
