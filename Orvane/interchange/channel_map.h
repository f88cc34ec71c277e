#pragma once
// Which channel of a foreign capture feeds which probe line. The user names
// pairs as LINE=NAME (--map SCL=clk); a line left out takes the channel of
// its own name when there is one (so our own exports need no map), and a
// line no channel feeds stays high, the idle level of every line.

#include <array>
#include <string>
#include <vector>

#include "Orvane/interchange/bus_lines.h"

namespace velix::interchange {

inline constexpr int kNoChannel = -1;

// The source channel of each probe line S0..S3, or kNoChannel.
using LineSources = std::array<int, kProbeLines>;

// Resolves the LINE=NAME pairs against the source's channel names; false
// with a message on an unknown line or channel (the message lists the
// choices), a line mapped twice, or a required line without a channel.
bool ResolveChannelMap(uint8_t bus_channel, const std::vector<std::string>& pairs,
                       const std::vector<std::string>& channels, LineSources* sources, std::string* error);

}  // namespace velix::interchange
