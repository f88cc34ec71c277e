// An event crosses a process boundary the way the capture code hands one to
// a helper process: its descriptor travels over a Unix socket.

#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>

#include "platform/event.h"

namespace velix::platform {
namespace {

bool SendDescriptor(int socket, int fd) {
  char byte = 'E';
  iovec payload{&byte, 1};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
  msghdr message{};
  message.msg_iov = &payload;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  cmsghdr* header = CMSG_FIRSTHDR(&message);
  header->cmsg_level = SOL_SOCKET;
  header->cmsg_type = SCM_RIGHTS;
  header->cmsg_len = CMSG_LEN(sizeof(int));
  std::memcpy(CMSG_DATA(header), &fd, sizeof fd);
  return sendmsg(socket, &message, 0) == 1;
}

int ReceiveDescriptor(int socket) {
  char byte = 0;
  iovec payload{&byte, 1};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
  msghdr message{};
  message.msg_iov = &payload;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  if (recvmsg(socket, &message, MSG_CMSG_CLOEXEC) != 1) return -1;
  cmsghdr* header = CMSG_FIRSTHDR(&message);
  if (header == nullptr || header->cmsg_type != SCM_RIGHTS) return -1;
  int fd = -1;
  std::memcpy(&fd, CMSG_DATA(header), sizeof fd);
  return fd;
}

// Child side: drop the inherited copy so only the received descriptor can
// reach the event, adopt it and set it. Exit code 0 = success.
[[noreturn]] void SetReceivedEvent(int socket, int inherited_fd) {
  close(inherited_fd);
  Event received = Event::Adopt(ReceiveDescriptor(socket), ResetMode::kAuto);
  _exit(received.Valid() && received.Set() ? 0 : 1);
}

TEST(EventProcessTest, ChildSetsEventReceivedOverSocket) {
  Event event = Event::Create(ResetMode::kAuto);
  ASSERT_TRUE(event.Valid());
  int sockets[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets), 0);

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) SetReceivedEvent(sockets[1], event.Fd());

  close(sockets[1]);
  EXPECT_TRUE(SendDescriptor(sockets[0], event.Fd()));
  const WaitResult result = event.Wait(5000);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  close(sockets[0]);

  EXPECT_EQ(result.status, WaitStatus::kSignalled);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(event.Wait(0).status, WaitStatus::kTimeout) << "one Set, one release";
}

}  // namespace
}  // namespace velix::platform
