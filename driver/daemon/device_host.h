#pragma once
// The PnP side of the daemon: turns the lower edge's arrival and removal
// news into a started device object with its published names, and into
// surprise removal and removal. The news is handled on the host's own
// thread, since removal waits for requests and transfers to finish.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "driver/daemon/daemon_server.h"
#include "driver/device_object.h"

namespace velix::daemon {

class DeviceHost {
 public:
  DeviceHost(driver::UsbLowerEdge& edge, DaemonServer& server);
  ~DeviceHost();
  DeviceHost(const DeviceHost&) = delete;
  DeviceHost& operator=(const DeviceHost&) = delete;

  // Listens to the edge, which tells of a device already on the bus too.
  void Start();
  // Stops listening and removes the device, if one is started.
  void Shutdown();

  // The started device, or null while none is.
  std::shared_ptr<driver::DeviceObject> CurrentDevice();

 private:
  void Run();
  void Arrive();
  void Depart();

  driver::UsbLowerEdge& edge_;
  DaemonServer& server_;
  std::mutex lock_;
  std::condition_variable news_ready_;
  std::deque<bool> news_;
  bool quit_ = false;
  std::shared_ptr<driver::DeviceObject> device_;
  std::string interface_name_;
  std::thread thread_;
};

}  // namespace velix::daemon
