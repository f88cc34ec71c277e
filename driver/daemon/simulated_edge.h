#pragma once
// The simulated analyzer as the daemon's back end, set up from the command
// line and steered through the control socket.

#include <memory>
#include <string>

#include "driver/daemon/daemon_options.h"
#include "driver/daemon/edge_backend.h"

namespace velix::daemon {

std::unique_ptr<EdgeBackend> CreateSimulatedBackend(const DaemonOptions& options, const std::string& folder,
                                                    std::string* error);

}  // namespace velix::daemon
