#include "tools/velixctl/command_options.h"

#include <gtest/gtest.h>

#include "velix/device_interface.h"

namespace velix::ctl {
namespace {

CommandLine Parsed(const std::vector<std::string>& args) {
  CommandLine line;
  std::string error;
  EXPECT_TRUE(ParseCommandLine(args, VelixctlCommands(), &line, &error)) << error;
  return line;
}

TEST(IoctlArguments, TurnCodeInputAndOutputIntoARequest) {
  IoctlRequest request;
  std::string error;
  ASSERT_TRUE(ParseIoctlArguments(Parsed({"ioctl", "fill_buffer", "--in", "A5", "--out", "0x10"}),
                                  &request, &error));
  EXPECT_EQ(request.code, driver::IOCTL_BULKUSB_FILL_BUFFER);
  EXPECT_EQ(request.input, std::vector<uint8_t>{0xA5});
  EXPECT_EQ(request.output_size, 16u);
  EXPECT_FALSE(request.with_event);

  request = IoctlRequest{};
  ASSERT_TRUE(ParseIoctlArguments(Parsed({"ioctl", "0x220010", "--event", "--out", "4"}), &request, &error));
  EXPECT_EQ(request.code, driver::IOCTL_BULKUSB_BULK_START);
  EXPECT_TRUE(request.with_event);
}

TEST(IoctlArguments, RefuseWhatCannotBeSent) {
  const std::vector<std::vector<std::string>> refused{
      {"ioctl", "NO_SUCH_CODE"},
      {"ioctl", "GET_COUNT", "--in", "abc"},
      {"ioctl", "GET_COUNT", "--out", "-1"},
      {"ioctl", "GET_COUNT", "--out", "67108865"},  // more than velixctl allocates
      // The record holds a buffer address that typed bytes cannot supply.
      {"ioctl", "VENDOR_REQUEST", "--in", "00000000000000000000000000000000"},
      {"ioctl", "0x22000C"},
  };
  for (const std::vector<std::string>& args : refused) {
    SCOPED_TRACE(args[1]);
    IoctlRequest request;
    std::string error;
    EXPECT_FALSE(ParseIoctlArguments(Parsed(args), &request, &error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(ReadAndWriteArguments, CheckCountAndBytes) {
  uint32_t size = 0;
  std::string error;
  EXPECT_TRUE(ParseReadArguments(Parsed({"read", "0x400"}), &size, &error));
  EXPECT_EQ(size, 1024u);
  EXPECT_FALSE(ParseReadArguments(Parsed({"read", "many"}), &size, &error));
  EXPECT_FALSE(ParseReadArguments(Parsed({"read", "4294967296"}), &size, &error));

  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ParseWriteArguments(Parsed({"write", "0A00000000000000000A"}), &bytes, &error));
  EXPECT_EQ(bytes.size(), 10u);
  EXPECT_EQ(bytes.front(), 0x0A);
  EXPECT_FALSE(ParseWriteArguments(Parsed({"write", "0A0"}), &bytes, &error));
}

TEST(StreamArguments, FillDefaultsAndCheckRanges) {
  StreamOptions options;
  std::string error;
  ASSERT_TRUE(ParseStreamArguments(Parsed({"stream", "--bytes", "1000000"}), &options, &error));
  EXPECT_EQ(options.bytes, 1000000u);
  EXPECT_EQ(options.buffer_megabytes, 16);
  EXPECT_EQ(options.transfer_length, 131072u);
  EXPECT_EQ(options.timeout_ms, 10000u);
  EXPECT_TRUE(options.start_packet.empty());
  EXPECT_TRUE(options.stop_packet.empty());

  ASSERT_TRUE(ParseStreamArguments(Parsed({"stream", "--bytes", "5", "--buffer", "1", "--length", "300",
                                           "--start", "0102", "--stop", "03", "--timeout", "0"}),
                                   &options, &error));
  EXPECT_EQ(options.buffer_megabytes, 1);
  EXPECT_EQ(options.transfer_length, 300u);
  EXPECT_EQ(options.start_packet, (std::vector<uint8_t>{1, 2}));
  EXPECT_EQ(options.stop_packet, std::vector<uint8_t>{3});
  EXPECT_EQ(options.timeout_ms, 0u);

  const std::vector<std::vector<std::string>> refused{
      {"stream"},
      {"stream", "--buffer", "1"},
      {"stream", "--bytes", "x"},
      {"stream", "--bytes", "1", "--buffer", "256"},
      {"stream", "--bytes", "1", "--length", "4294967296"},
      {"stream", "--bytes", "1", "--start", "1"},
      {"stream", "--bytes", "1", "--timeout", "soon"},
  };
  for (const std::vector<std::string>& args : refused) {
    StreamOptions ignored;
    EXPECT_FALSE(ParseStreamArguments(Parsed(args), &ignored, &error)) << args.back();
  }
}

}  // namespace
}  // namespace velix::ctl
