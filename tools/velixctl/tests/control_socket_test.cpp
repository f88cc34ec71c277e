#include "tools/velixctl/control_socket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace velix::ctl {
namespace {

// A one-shot daemon stand-in: accepts one connection, reads the command to
// end of stream, answers and closes.
class OneShotServer {
 public:
  OneShotServer(const std::string& path, std::string reply) : path_(path), reply_(std::move(reply)) {
    listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(listen(listener_, 1), 0);
    thread_ = std::thread([this] { Serve(); });
  }
  ~OneShotServer() {
    thread_.join();
    close(listener_);
    unlink(path_.c_str());
  }
  const std::string& Received() {
    thread_.join();
    thread_ = std::thread([] {});
    return received_;
  }

 private:
  void Serve() {
    const int fd = accept(listener_, nullptr, nullptr);
    if (fd < 0) return;
    char chunk[256];
    ssize_t got = 0;
    while ((got = read(fd, chunk, sizeof chunk)) > 0) received_.append(chunk, static_cast<size_t>(got));
    EXPECT_EQ(write(fd, reply_.data(), reply_.size()), static_cast<ssize_t>(reply_.size()));
    close(fd);
  }
  std::string path_;
  std::string reply_;
  int listener_ = -1;
  std::string received_;
  std::thread thread_;
};

class ControlSocketTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velixctl_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { rmdir(folder_.c_str()); }
  std::string folder_;
};

TEST_F(ControlSocketTest, SendsOneLineAndReturnsTheWholeReply) {
  const std::string path = folder_ + "/velixd.control";
  const std::string reply = "ok=1\nbytes=1048576\nchecksum=0x0123456789abcdef\n";
  OneShotServer server(path, reply);
  std::string received;
  ASSERT_EQ(ExchangeControlLine(path, "fault overrun 4096", &received), ControlExchange::kReplied);
  EXPECT_EQ(received, reply);
  EXPECT_EQ(server.Received(), "fault overrun 4096\n");
}

TEST_F(ControlSocketTest, ADaemonThatClosesWithoutAnswerIsBroken) {
  const std::string path = folder_ + "/velixd.control";
  OneShotServer server(path, "");
  std::string reply;
  EXPECT_EQ(ExchangeControlLine(path, "status", &reply), ControlExchange::kBroken);
  EXPECT_EQ(reply, "no reply from the daemon");
}

TEST_F(ControlSocketTest, MissingOrDeadSocketIsNoSocket) {
  std::string reply;
  EXPECT_EQ(ExchangeControlLine(folder_ + "/velixd.control", "status", &reply), ControlExchange::kNoSocket);
  EXPECT_EQ(ExchangeControlLine(folder_ + "/file/velixd.control", "status", &reply),
            ControlExchange::kNoSocket);
  EXPECT_EQ(ExchangeControlLine("/" + std::string(200, 'x'), "status", &reply), ControlExchange::kNoSocket);

  // A socket file left behind by a daemon that is gone refuses connections.
  const std::string stale = folder_ + "/stale";
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, stale.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);
  EXPECT_EQ(ExchangeControlLine(stale, "status", &reply), ControlExchange::kNoSocket);
  unlink(stale.c_str());
}

TEST(ReplyIsOk, LooksOnlyAtAnExactFirstLine) {
  struct Case {
    std::string reply;
    bool ok;
  };
  const std::vector<Case> cases{
      {"ok=1\n", true},
      {"ok=1", true},
      {"ok=1\nerror=none\n", true},
      {"ok=0\nerror=unknown command\n", false},
      {"ok=10\n", false},
      {"ok=1 \n", false},
      {" ok=1\n", false},
      {"error=x\nok=1\n", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplyIsOk(c.reply), c.ok) << c.reply;
}

}  // namespace
}  // namespace velix::ctl
