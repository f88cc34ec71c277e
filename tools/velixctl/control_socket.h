#pragma once
// The daemon's control socket: one command line out, the whole reply back.

#include <string>
#include <string_view>

namespace velix::ctl {

enum class ControlExchange {
  kReplied,     // *reply holds everything (not nothing) the daemon sent before closing
  kNoSocket,    // nothing listens at the path (missing, refused, unusable path)
  kConnectFailed,  // the path exists but cannot be connected to (*reply: the reason)
  kBroken,      // connected, but the exchange failed or timed out (*reply: the reason)
};

// Sends `line` plus "\n" and reads the reply to end of stream (at most a
// few megabytes, each read bounded in time).
ControlExchange ExchangeControlLine(const std::string& socket_path, std::string_view line,
                                    std::string* reply);

// True when the reply's first line is exactly "ok=1".
bool ReplyIsOk(std::string_view reply);

}  // namespace velix::ctl
