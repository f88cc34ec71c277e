#include "driver/daemon/daemon_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/trace.h"

namespace velix::daemon {
namespace {
// Large socket buffers let a 16 MiB read cross in few system calls.
constexpr int kSocketBufferBytes = 4 << 20;
}  // namespace

DaemonServer::DaemonServer(std::string folder)
    : folder_(std::move(folder)), wake_(platform::Event::Create(platform::ResetMode::kAuto)) {}

DaemonServer::~DaemonServer() {
  Stop();
  EndSessions();
}

bool DaemonServer::Publish(const std::string& name, SessionBody body, std::string* error) {
  auto listener = std::make_shared<Listener>();
  listener->socket = ListeningSocket::Publish(folder_, name, error);
  if (!listener->socket) return false;
  listener->body = std::move(body);
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
  while (!stopping_.load()) {
    std::vector<std::shared_ptr<Listener>> listeners;
    {
      std::lock_guard lock(lock_);
      listeners = listeners_;
      retired_.clear();
    }
    std::vector<pollfd> fds{{wake_.Fd(), POLLIN, 0}};
    for (const auto& listener : listeners) fds.push_back({listener->socket->fd(), POLLIN, 0});
    // The time-out bounds how long finished sessions wait to be reaped.
    const int ready = ::poll(fds.data(), fds.size(), 1000);
    if (ready < 0 && errno != EINTR) {
      platform::Trace("velixd: poll failed (%d)\n", errno);
      break;
    }
    if (fds[0].revents & POLLIN) wake_.TryConsume();
    for (size_t i = 1; i < fds.size(); ++i) {
      if (fds[i].revents & POLLIN) Accept(*listeners[i - 1]);
    }
    ReapFinishedSessions();
  }
}

void DaemonServer::Accept(const Listener& listener) {
  const int fd = ::accept4(listener.socket->fd(), nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return;
  ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kSocketBufferBytes, sizeof(kSocketBufferBytes));
  ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &kSocketBufferBytes, sizeof(kSocketBufferBytes));
  auto session = std::make_unique<Session>();
  Session* raw = session.get();
  raw->fd = fd;
  std::lock_guard lock(lock_);
  raw->thread = std::thread([raw, body = listener.body] {
    body(raw->fd);
    // The peer sees the end at once; the descriptor itself is closed when
    // the session is reaped, so it cannot be reused while still in the list.
    ::shutdown(raw->fd, SHUT_RDWR);
    raw->done.store(true);
  });
  sessions_.push_back(std::move(session));
}

void DaemonServer::ReapFinishedSessions() {
  std::list<std::unique_ptr<Session>> finished;
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
  }
  for (auto& session : finished) {
    session->thread.join();
    ::close(session->fd);
  }
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
