#pragma once
// The analyzer on the USB bus as the daemon's back end.

#include <memory>
#include <string>

#include "driver/daemon/edge_backend.h"

namespace velix::daemon {

std::unique_ptr<EdgeBackend> CreateHardwareBackend(std::string* error);

}  // namespace velix::daemon
