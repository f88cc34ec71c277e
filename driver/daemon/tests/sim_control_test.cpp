#include "driver/daemon/sim_control.h"

#include <gtest/gtest.h>

namespace velix::daemon {
namespace {

TEST(SimControl, CommandsSteerTheDeviceAndBadOnesSayWhy) {
  sim::SimulatedDevice device;
  SimControl control(device, {}, {});
  struct Step {
    const char* command;
    const char* reply_part;
  } steps[] = {
      {"plug update", "ok=1"},
      {"status", "personality=update"},
      {"speed full", "ok=1"},
      {"status", "speed=full"},
      {"image monitor", "ok=1"},
      {"status", "image=monitor"},
      {"rate 5000", "ok=1"},
      {"status", "rate=5000"},
      {"unplug", "ok=1"},
      {"status", "plugged=0"},
      {"plug", "ok=1"},
      {"status", "plugged=1"},
      {"fault overrun 10", "ok=1"},
      {"sent", "bytes=0"},
      {"received", "ok=1"},
      {"checksum 0 1", "error=range outside the stream source"},
      {"checksum 0", "error=checksum needs OFFSET LENGTH"},
      {"", "error=empty command"},
      {"plug other", "error=unknown personality other"},
      {"fault melt", "error=unknown fault melt"},
      {"fault stall x", "error=bad byte position x"},
      {"chunk 99999999999", "error=bad value"},
      {"speed warp", "error=speed is high or full"},
      {"scenario /nonexistent/file.scn", "error=cannot read scenario"},
      {"sic /nonexistent/file.SIC", "ok=0"},
      {"explode", "error=unknown command explode"},
  };
  for (const Step& step : steps) {
    const std::string reply = control.Execute(step.command);
    EXPECT_NE(reply.find(step.reply_part), std::string::npos) << step.command << " -> " << reply;
  }
}

}  // namespace
}  // namespace velix::daemon
