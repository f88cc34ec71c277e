#pragma once
// One client connection: one handle on the device object. The first request
// creates the handle; the session carries read, write and device-control
// requests to it until the client closes it or goes away, which closes the
// handle (and so ends any streaming, as closing a handle does).

#include <functional>
#include <memory>

#include "driver/device_object.h"

namespace velix::daemon {

using DeviceLookup = std::function<std::shared_ptr<driver::DeviceObject>()>;

void RunClientSession(int fd, const DeviceLookup& lookup);

}  // namespace velix::daemon
