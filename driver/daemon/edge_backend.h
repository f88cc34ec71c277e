#pragma once
// What the daemon drives the driver over: a USB lower edge plus the answer
// to the control socket's commands.

#include "driver/usb_lower_edge.h"

namespace velix::daemon {

class EdgeBackend {
 public:
  virtual ~EdgeBackend() = default;
  virtual driver::UsbLowerEdge& Edge() = 0;
  // Whether the device is on the bus already when the host starts listening.
  virtual bool Present() = 0;
  // Called once the host listens: a simulated device is plugged in now.
  virtual void PowerOn() = 0;
  // Called when the daemon stops, before its client sessions end: the device
  // is let go, so that no request still waits on it.
  virtual void PowerOff() = 0;
  // One control-socket connection.
  virtual void ServeControl(int fd) = 0;
};

}  // namespace velix::daemon
