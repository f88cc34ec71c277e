#include "driver/daemon/sim_control.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

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

// Files a client names for the daemon to read: only regular files of
// bounded size, without blocking on a FIFO, and an error never quotes them.
TEST(SimControl, SourceFilesAreReadWithCare) {
  std::string folder = (std::filesystem::temp_directory_path() / "sim-control-XXXXXX").string();
  ASSERT_NE(::mkdtemp(folder.data()), nullptr);
  const std::string secret = folder + "/secret";
  std::ofstream(secret) << "root:$6$hidden-hash:19000:0:99999:7:::\n";
  const std::string fifo = folder + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string large = folder + "/large.scn";
  std::ofstream(large) << std::string(kMaxScenarioBytes + 1, '#');

  sim::SimulatedDevice device;
  SimControl control(device, {}, {});
  struct Step {
    std::string command;
    std::string reply_part;
  } steps[] = {
      {"scenario " + secret, "error=not a valid scenario: " + secret + " (line 1)"},
      {"scenario /dev/zero", "error=not a regular file: /dev/zero"},
      {"scenario " + fifo, "error=not a regular file"},
      {"scenario " + folder, "error=not a regular file"},
      {"scenario " + large, "error=scenario too large"},
      {"sic " + fifo, "error=not a regular file"},
      {"sic /dev/zero", "error=not a regular file"},
      {"status", "ok=1"},
  };
  for (const Step& step : steps) {
    const std::string reply = control.Execute(step.command);
    EXPECT_NE(reply.find(step.reply_part), std::string::npos) << step.command << " -> " << reply;
    EXPECT_EQ(reply.find("hidden-hash"), std::string::npos) << reply;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace
}  // namespace velix::daemon
