#pragma once
// What each velixctl command accepts, and its arguments turned into the
// values the requests need.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/velixctl/arguments.h"
#include "tools/velixctl/request_commands.h"
#include "tools/velixctl/stream_session.h"

namespace velix::ctl {

std::span<const CommandSpec> VelixctlCommands();

// Each returns false with a message in *error for a value it cannot use.
bool ParseIoctlArguments(const CommandLine& line, IoctlRequest* request, std::string* error);
bool ParseReadArguments(const CommandLine& line, uint32_t* size, std::string* error);
bool ParseWriteArguments(const CommandLine& line, std::vector<uint8_t>* bytes, std::string* error);
bool ParseStreamArguments(const CommandLine& line, StreamOptions* options, std::string* error);

}  // namespace velix::ctl
