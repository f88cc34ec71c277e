#include "sim/ground_truth.h"

#include <gtest/gtest.h>

#include <string>

namespace velix::sim {
namespace {

GroundTruth Sample(const std::string& bus, const std::string& mode) {
  GroundTruth truth;
  truth.bus = bus;
  truth.mode = mode;
  truth.rate_code = 5;
  truth.ignore_nack_before_stop = false;
  truth.hs_enable = true;
  TruthTransaction a;
  a.index = 0;
  a.start_end = 0x21;
  a.status = 0x0001;
  a.start_clock = 123456789012ULL;
  a.duration = 4242;
  a.bit_count = 17;
  a.address = 0x2A5;
  a.flags = 0x13;
  a.bytes = {0xF4, 0xA5};
  a.bytes2 = {0, 1};
  TruthTransaction b;
  b.index = 1;
  b.start_end = 0x80;
  b.sample_pos = 40;
  b.sample_len = 12;
  b.exact = false;
  truth.transactions = {a, b};
  return truth;
}

TEST(GroundTruthText, RoundTripsForEveryBusAndMode) {
  for (const char* bus : {"i2c0", "i2c1", "spi"}) {
    for (const char* mode : {"analyzer", "monitor"}) {
      GroundTruth truth = Sample(bus, mode);
      if (std::string(bus) == "spi") {
        truth.transactions[0].address = 0;
        truth.transactions[0].flags = 0;
        truth.transactions[0].bytes2 = {0x11, 0x22};
      }
      GroundTruth parsed;
      std::string error;
      ASSERT_TRUE(ParseGroundTruth(SerializeGroundTruth(truth), &parsed, &error)) << error;
      EXPECT_EQ(parsed, truth) << bus << " " << mode;
      EXPECT_EQ(SerializeGroundTruth(parsed), SerializeGroundTruth(truth));
    }
  }
}

TEST(GroundTruthText, FormatIsStable) {
  const GroundTruth truth = Sample("i2c0", "analyzer");
  EXPECT_EQ(SerializeGroundTruth(truth),
            "truth mode=analyzer bus=i2c0 rate=20 ignore_nack_before_stop=0 hs_enable=1\n"
            "tx index=0 se=0x21 status=0x0001 start=123456789012 dur=4242 bits=17 pos=- len=- addr=0x2A5 "
            "flags=0x13 bytes=F4,A5 acks=01 exact=1\n"
            "tx index=1 se=0x80 status=0x0000 start=0 dur=- bits=0 pos=40 len=12 addr=0x000 flags=0x00 bytes=- "
            "acks=- exact=0\n");
}

struct BadTruth {
  const char* name;
  const char* text;
  const char* message;
};

const BadTruth kBad[] = {
    {"NoHeader", "# nothing\n", "no 'truth' header"},
    {"TxBeforeHeader", "tx index=0\n", "line 1: transaction before the header"},
    {"UnknownLine", "truth mode=analyzer bus=spi rate=50 ignore_nack_before_stop=1 hs_enable=0\nfoo\n", "line 2"},
    {"BadRate", "truth mode=analyzer bus=spi rate=30 ignore_nack_before_stop=1 hs_enable=0\n", "line 1: rate"},
    {"MissingKey",
     "truth mode=analyzer bus=spi rate=50 ignore_nack_before_stop=1 hs_enable=0\n\n"
     "tx index=0 se=0x11 status=0x0000 start=5 dur=3 bits=8 pos=- len=- miso=01 exact=1\n",
     "line 3: missing key 'mosi'"},
    {"UnknownKey",
     "truth mode=analyzer bus=spi rate=50 ignore_nack_before_stop=1 hs_enable=0\n"
     "tx index=0 se=0x11 status=0x0000 start=5 dur=3 bits=8 pos=- len=- miso=01 mosi=02 exact=1 x=1\n",
     "line 2: unknown key 'x'"},
    {"OverflowingNumber",
     "truth mode=analyzer bus=spi rate=50 ignore_nack_before_stop=1 hs_enable=0\n"
     "tx index=0 se=0x111 status=0x0000 start=5 dur=3 bits=8 pos=- len=- miso=01 mosi=02 exact=1\n",
     "line 2: bad number for 'se'"},
    {"BadBytes",
     "truth mode=analyzer bus=i2c0 rate=50 ignore_nack_before_stop=1 hs_enable=0\n"
     "tx index=0 se=0x11 status=0x0000 start=5 dur=3 bits=8 pos=- len=- addr=0x050 flags=0x00 bytes=A0,G1 "
     "acks=0 exact=1\n",
     "line 2: bad byte list"},
};

class GroundTruthErrors : public ::testing::TestWithParam<BadTruth> {};

TEST_P(GroundTruthErrors, NameTheLine) {
  GroundTruth truth;
  std::string error;
  EXPECT_FALSE(ParseGroundTruth(GetParam().text, &truth, &error));
  EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Table, GroundTruthErrors, ::testing::ValuesIn(kBad),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace velix::sim
