// Our VCD export read by an independent decoder: where sigrok-cli is
// installed, its I2C and SPI decoders must find the same addresses,
// directions and bytes in the export as our decoders find in the capture.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/tests/scratch_folder.h"
#include "tools/orvane-cli/tests/run_command.h"

namespace orvane {
namespace {

using velix::platform::testing::ScratchFolder;
using velix::platform::testing::WriteFile;

constexpr char kI2cTraffic[] =
    "bus i2c0\nscl 100k\n"
    "start\naddr 0x50 w\nwrite 00 10 FF\nstop\nidle 20us\n"
    "start\naddr 0x50 w\nwrite 00\nstart\naddr 0x50 r\nread 11 22 33\nstop\nidle 20us\n"
    "start\naddr 0x04 w\nwrite 5A A5\nstop\nidle 10us\n"
    "start\naddr 0x33 w nack\nstop\nidle 10us\n";

constexpr char kSpiTraffic[] =
    "bus spi\nss active-low\nmode 0\nsclk 1m\n"
    "select\nxfer mosi=9F,00,00 miso=FF,EF,40\ndeselect\nidle 5us\n"
    "select\nxfer mosi=A5,0F miso=5A,F0\ndeselect\nidle 5us\n";

std::string FindSigrokCli() {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const std::string candidate = folder + "/sigrok-cli";
    if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The fields of one of our CSV rows, without quotes and outer blanks.
std::vector<std::string> CsvFields(const std::string& row) {
  std::vector<std::string> fields;
  std::stringstream in(row);
  for (std::string field; std::getline(in, field, ',');) {
    const size_t first = field.find_first_not_of(" \"\r");
    const size_t last = field.find_last_not_of(" \"\r");
    fields.push_back(first == std::string::npos ? "" : field.substr(first, last - first + 1));
  }
  return fields;
}

std::string Hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

class SigrokCrossCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sigrok_ = FindSigrokCli();
    if (sigrok_.empty()) GTEST_SKIP() << "sigrok-cli is not installed";
  }
  // Synthesizes a scenario, exports it and returns our CSV rows.
  std::vector<std::string> CaptureAndExport(const char* scenario) {
    WriteFile(files_.File("s.scn"), scenario);
    EXPECT_EQ(Cli({"synth", files_.File("s.scn"), "-o", files_.File("c.SIC")}).status, 0);
    EXPECT_EQ(Cli({"convert", files_.File("c.SIC"), files_.File("c.vcd")}).status, 0);
    const testing::CommandResult decoded = Cli({"decode", files_.File("c.SIC")});
    EXPECT_EQ(decoded.status, 0) << decoded.err;
    return Lines(decoded.out);
  }
  // sigrok-cli's annotations of the export, "i2c-1: " or "spi-1: " dropped.
  std::vector<std::string> Annotations(const std::string& decoder, const std::string& rows) {
    const testing::CommandResult run =
        testing::RunCommand({sigrok_, "-I", "vcd", "-i", files_.File("c.vcd"), "-P", decoder, "-A", rows});
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines;
    for (const std::string& line : Lines(run.out)) {
      const size_t colon = line.find(": ");
      if (colon != std::string::npos) lines.push_back(line.substr(colon + 2));
    }
    return lines;
  }
  testing::CommandResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), ORVANE_CLI_PATH);
    return testing::RunCommand(args);
  }

  std::string sigrok_;
  ScratchFolder files_;
};

TEST_F(SigrokCrossCheckTest, I2cAddressesDirectionsAndBytesAgree) {
  std::vector<std::string> ours;
  for (const std::string& row : CaptureAndExport(kI2cTraffic)) {
    const std::vector<std::string> f = CsvFields(row);
    ASSERT_EQ(f.size(), 10u) << row;
    const unsigned address = static_cast<unsigned>(std::stoul(f[3].substr(0, f[3].size() - 1), nullptr, 16));
    ours.push_back(f[4] + " " + Hex2(address) + ":" + (f[9].empty() ? "" : " " + f[9]));
  }
  std::vector<std::string> theirs;
  for (const std::string& a :
       Annotations("i2c:scl=SCL:sda=SDA", "i2c=address-read:address-write:data-read:data-write")) {
    if (a.rfind("Address ", 0) == 0) {
      theirs.push_back(std::string(a.find("read") != std::string::npos ? "R" : "W") + " " + a.substr(a.size() - 2) +
                       ":");
    } else if (a.rfind("Data ", 0) == 0 && !theirs.empty()) {
      theirs.back() += " " + a.substr(a.size() - 2);
    }
  }
  EXPECT_EQ(ours, (std::vector<std::string>{"W 50: 00 10 FF", "W 50: 00", "R 50: 11 22 33", "W 04: 5A A5", "W 33:"}));
  EXPECT_EQ(theirs, ours);
}

TEST_F(SigrokCrossCheckTest, SpiBytesOnBothLinesAgree) {
  std::vector<std::string> our_mosi;
  std::vector<std::string> our_miso;
  for (const std::string& row : CaptureAndExport(kSpiTraffic)) {
    const std::vector<std::string> f = CsvFields(row);
    ASSERT_EQ(f.size(), 7u) << row;
    our_miso.push_back(f[5]);
    our_mosi.push_back(f[6]);
  }
  const std::string decoder = "spi:clk=SCLK:mosi=MOSI:miso=MISO:cs=CS";
  EXPECT_EQ(our_mosi, (std::vector<std::string>{"9F 00 00", "A5 0F"}));
  EXPECT_EQ(Annotations(decoder, "spi=mosi-transfer"), our_mosi);
  EXPECT_EQ(Annotations(decoder, "spi=miso-transfer"), our_miso);
}

}  // namespace
}  // namespace orvane
