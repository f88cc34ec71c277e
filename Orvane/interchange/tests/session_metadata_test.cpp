#include "Orvane/interchange/session_metadata.h"

#include <gtest/gtest.h>

namespace velix::interchange {
namespace {

const std::string kDevice =
    "[device 1]\ncapturefile=logic-1\ntotal probes=8\nsamplerate=24 MHz\nunitsize=1\n";

std::string Channels(const SessionMetadata& metadata) {
  std::string text;
  for (const SessionChannel& channel : metadata.channels) {
    text += channel.name + "@" + std::to_string(channel.bit) + " ";
  }
  return text;
}

struct AcceptedCase {
  std::string name;
  std::string text;
  std::string channels;
  uint32_t unit_size = 1;
};

TEST(SessionMetadata, ReadsTheDeviceWithLogicData) {
  const AcceptedCase cases[] = {
      {"usual", "[global]\nsigrok version=0.5.2\n\n" + kDevice + "probe1=SCL\nprobe2=SDA\n", "SCL@0 SDA@1 "},
      {"probe order, not key order", kDevice + "probe3=C\nprobe1=A\n", "A@0 C@2 "},
      {"unnamed probes are no channel", kDevice + "probe8=last\n", "last@7 "},
      {"spaces, CRLF and comments", "; saved\r\n[device 1]\r\n capturefile = logic-1 \r\n total probes = 8\r\n"
                                    "# rate\r\nsamplerate = 1 MHz\r\nunitsize = 1\r\nprobe1 = clk \r\n", "clk@0 "},
      {"other sections and unknown keys", "[device 2]\ndriver=x\n[extra]\nprobe1=x\n" + kDevice +
                                              "probe1=a\nprobeX=b\nprobe=c\nanalog1=A0\ndriver=demo\n", "a@0 "},
      {"two-byte samples", "[device 1]\ncapturefile=logic-1\ntotal probes=16\nsamplerate=1 MHz\nunitsize=2\n"
                           "probe16=hi\nprobe9=mid\n", "mid@8 hi@15 ", 2},
  };
  for (const AcceptedCase& c : cases) {
    SCOPED_TRACE(c.name);
    SessionMetadata metadata;
    std::string error;
    ASSERT_TRUE(ParseSessionMetadata(c.text, &metadata, &error)) << error;
    EXPECT_EQ(Channels(metadata), c.channels);
    EXPECT_EQ(metadata.capture_file, "logic-1");
    EXPECT_EQ(metadata.unit_size, c.unit_size);
  }
}

struct RefusedCase {
  std::string text;
  std::string message;
};

TEST(SessionMetadata, RefusesWithAMessageNamingTheFault) {
  const std::string no_key = "[device 1]\ncapturefile=logic-1\nprobe1=a\n";
  const RefusedCase cases[] = {
      {"", "no [device N] section names a capturefile"},
      {"[device 1]\ntotal probes=8\n", "no [device N] section names a capturefile"},
      {no_key + "total probes=8\nsamplerate=1 MHz\n", "missing key \"unitsize\" in section \"device 1\""},
      {no_key + "unitsize=1\nsamplerate=1 MHz\n", "missing key \"total probes\" in section \"device 1\""},
      {no_key + "unitsize=1\ntotal probes=8\n", "missing key \"samplerate\" in section \"device 1\""},
      {kDevice + "probe1=a\nunitsize=1\n", "metadata line 7: key \"unitsize\" given twice in section \"device 1\""},
      {kDevice + "probe1=a\n[device 1]\n", "metadata line 7: section \"device 1\" appears twice"},
      {"capturefile=logic-1\n" + kDevice, "metadata line 1: key \"capturefile\" comes before any section"},
      {kDevice + "probe1\n", "metadata line 6: \"probe1\" is neither a section nor a key"},
      {kDevice + "[device 2\n", "metadata line 6: \"[device 2\" is not a section name"},
      {kDevice + "[device 2]\ncapturefile=logic-2\n",
       "sections \"device 1\" and \"device 2\" both hold logic data; only one device can be imported"},
      {kDevice, "no probe is named in section \"device 1\""},
      {kDevice + "probe9=x\n", "key \"probe9\" in section \"device 1\" names a probe beyond the 8 of the device"},
      {kDevice + "probe1=\n", "key \"probe1\" in section \"device 1\" is not a channel name"},
      {kDevice + "probe1=a\x1b[0m\n", "key \"probe1\" in section \"device 1\" is not a channel name"},
      {kDevice + "probe1=a\nprobe2=a\n", "channel name \"a\" in section \"device 1\" is given to two probes"},
      {kDevice + "probe01=a\n", "no probe is named"},
      {"[device 1]\ncapturefile=../logic-1\ntotal probes=8\nsamplerate=1 MHz\nunitsize=1\nprobe1=a\n",
       "capturefile \"../logic-1\" in section \"device 1\" is not a plain entry name"},
      {"[device 1]\ncapturefile=dir/logic-1\ntotal probes=8\nsamplerate=1 MHz\nunitsize=1\nprobe1=a\n",
       "capturefile \"dir/logic-1\" in section \"device 1\" is not a plain entry name"},
      {"[device 1]\ncapturefile=logic-1\ntotal probes=9\nsamplerate=1 MHz\nunitsize=1\nprobe1=a\n",
       "key \"total probes\" in section \"device 1\" is \"9\", not a number from 1 to 8"},
      {"[device 1]\ncapturefile=logic-1\ntotal probes=0\nsamplerate=1 MHz\nunitsize=1\nprobe1=a\n",
       "key \"total probes\" in section \"device 1\" is \"0\", not a number from 1 to 8"},
      {"[device 1]\ncapturefile=logic-1\ntotal probes=8\nsamplerate=1 MHz\nunitsize=9\nprobe1=a\n",
       "key \"unitsize\" in section \"device 1\" is \"9\", not a number from 1 to 8"},
      {"[device 1]\ncapturefile=logic-1\ntotal probes=8\nsamplerate=1 MHz\nunitsize=+1\nprobe1=a\n",
       "key \"unitsize\" in section \"device 1\" is \"+1\", not a number from 1 to 8"},
      {"[device 1]\ncapturefile=logic-1\ntotal probes=8\nsamplerate=0 Hz\nunitsize=1\nprobe1=a\n",
       "sample rate \"0 Hz\" is 0 in section \"device 1\""},
      {std::string(kMaxMetadataBytes + 1, ' '), "metadata larger than 65536 bytes"},
  };
  for (const RefusedCase& c : cases) {
    SCOPED_TRACE(c.message);
    SessionMetadata metadata;
    std::string error;
    EXPECT_FALSE(ParseSessionMetadata(c.text, &metadata, &error));
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
  }
}

}  // namespace
}  // namespace velix::interchange
