// The exports read each record's bytes with the lighter extraction; the
// bytes must be those the detail loader shows. Synthesized captures at all
// three rates are decoded, then records are read as decoded and with their
// positions, lengths and bit counts damaged, from clean and corrupted atoms,
// under each line rule the extractions follow, in records longer than a
// batch of the atom walker.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/tests/sic_test_files.h"
#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/decode_context.h"
#include "Orvane/decode/i2c_extract.h"
#include "Orvane/decode/run_decoder.h"
#include "Orvane/decode/spi_extract.h"
#include "platform/interaction.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

using testing::ScratchFolder;
using testing::SicBytes;
using testing::WriteFile;

constexpr char kI2cScenario[] = R"(
bus i2c0
scl 400k
set HsEnable 1
start
addr 0x50 w
write 00 10
start
addr 0x50 r
read 11 22 33
stop
idle 10us
start
addr10 0x2A5 w
write AA 55
stop
idle 10us
start
addr 0x33 w nack
stop
idle 10us
hs-scl 3.4m
start
hs-code 1
start
addr 0x50 w
write 01 02 03
stop
idle 20us
start
addr 0x51 w
write 7E 7F
)";

constexpr char kSpiScenario[] = R"(
bus spi
ss active-low
mode 0
sclk 2m
select
xfer mosi=9F,00,01,02 miso=FF,EF,40,18 gap=300ns
deselect
idle 2us
select
xfer mosi=A5,5A miso=3C,C3
)";

// Records longer than one batch of the walker, so the walks cross batches.
std::string LongScenario(bool spi) {
  std::string bytes;
  for (int i = 0; i < 700; ++i) bytes += (i == 0 ? "" : spi ? "," : " ") + std::to_string(10 + i % 90);
  if (spi) return "bus spi\nss active-low\nmode 0\nsclk 2m\nselect\nxfer mosi=" + bytes + " miso=" + bytes + "\n";
  return "bus i2c0\nscl 400k\nstart\naddr 0x50 w\nwrite " + bytes + "\nstop\n";
}

const std::string kLongI2cScenario = LongScenario(false);
const std::string kLongSpiScenario = LongScenario(true);

// Settings the records are read with, after the decode: the extractions
// follow them (the other I2C bus's lines, each SPI edge and bit order rule).
// -1 keeps the decoded value.
struct ReadSettings {
  int bus_channel = -1;
  int spi_sampling_edge = -1;
  int spi_bit_flags = -1;  // bit 0 MSB first, bit 7 ignore the first edge
  int spi_ss_mode = -1;
};

void Override(uint8_t* field, int value) {
  if (value >= 0) *field = static_cast<uint8_t>(value);
}

struct BytesCase {
  const char* name;
  const char* scenario;
  uint8_t rate_code;
  uint32_t corrupt_bytes;  // atom bytes overwritten at random before decoding
  uint32_t seed;
  ReadSettings read{};
};

const BytesCase kBytesCases[] = {
    {"I2c50MHz", kI2cScenario, 2, 0, 1},
    {"I2c20MHz", kI2cScenario, 5, 0, 2},
    {"I2c10MHz", kI2cScenario, 10, 0, 3},
    {"I2cCorruptAtoms", kI2cScenario, 2, 40, 4},
    {"I2cCorruptAtomsSlow", kI2cScenario, 10, 40, 5},
    {"Spi50MHz", kSpiScenario, 2, 0, 6},
    {"Spi10MHz", kSpiScenario, 10, 0, 7},
    {"SpiCorruptAtoms", kSpiScenario, 5, 40, 8},
    {"I2cOtherBusLines", kI2cScenario, 2, 0, 9, {2}},
    {"I2cLongRecord", kLongI2cScenario.c_str(), 2, 0, 10},
    {"I2cLongRecordCorrupt", kLongI2cScenario.c_str(), 2, 60, 11},
    {"SpiLongRecord", kLongSpiScenario.c_str(), 2, 0, 12},
    {"SpiFallingEdgeLsbFirst", kSpiScenario, 2, 0, 13, {-1, 2, 0x00}},
    {"SpiIgnoreFirstEdge", kSpiScenario, 5, 0, 14, {-1, 1, 0x81}},
    {"SpiSsActiveHigh", kSpiScenario, 2, 0, 15, {-1, 1, 0x01, 2}},
    {"SpiSsNotMonitored", kSpiScenario, 10, 20, 16, {-1, 2, 0x80, 0}},
    {"SpiUnknownEdge", kSpiScenario, 2, 0, 17, {-1, 3, 0x01}},
};

class ExportBytes : public ::testing::TestWithParam<BytesCase> {
 protected:
  // Synthesizes and decodes the capture; false when either fails.
  bool Decode(const BytesCase& c) {
    velix::sim::SynthOptions options;
    options.rate_code = c.rate_code;
    velix::sim::SynthResult synth;
    std::string error;
    if (!velix::sim::SynthesizeToMemory(c.scenario, options, 1u << 22, &synth, &error)) {
      ADD_FAILURE() << error;
      return false;
    }
    std::mt19937 random(c.seed);
    // In the second half only, so that the decode makes records before the
    // damage ends it; the damaged records below walk into it.
    const size_t half = synth.data.size() / 2;
    for (uint32_t i = 0; i < c.corrupt_bytes && half != 0; ++i) {
      synth.data[half + random() % half] = static_cast<uint8_t>(random());
    }
    settings_ = synth.settings;
    const std::string path = folder_.File("c.SIC");
    WriteFile(path, SicBytes(settings_, std::string(synth.data.begin(), synth.data.end())));
    if (sampling_.OpenCreateFileMapView(path) != 0) return false;
    RunEventQueue events;
    DecodeContext ctx{sampling_, settings_, events};
    RunDecoder(ctx, ChooseWorker(settings_));
    Override(&settings_.m_AnalyzeBusChannel, c.read.bus_channel);
    Override(&settings_.SpiSamplingEdge, c.read.spi_sampling_edge);
    Override(&settings_.SpiBitFlags, c.read.spi_bit_flags);
    Override(&settings_.SpiSsMode, c.read.spi_ss_mode);
    return true;
  }

  void ExpectSameBytes(const TransactionInfo& record) {
    TransactionDetail full;
    TransactionDetail& light = reused_;
    if (settings_.m_AnalyzeBusChannel == 0) {
      ExtractSpiAnalyzerDetail(sampling_, settings_, record, 0xFFFFFFFFu, &full);
      ExtractSpiAnalyzerBytes(sampling_, settings_, record, &light);
      EXPECT_EQ(light.bytes2, full.bytes2);
    } else {
      ExtractI2CAnalyzerDetail(sampling_, settings_.m_AnalyzeBusChannel, record, 0xFFFFFFFFu, &full);
      ExtractI2CAnalyzerBytes(sampling_, settings_.m_AnalyzeBusChannel, record, &light);
    }
    EXPECT_EQ(light.count, full.count);
    EXPECT_EQ(light.bytes, full.bytes);
  }

  ScratchFolder folder_;
  AppState app_;
  velix::platform::NullSink sink_;
  CSamplingObj sampling_{app_, sink_};
  SettingsRecord settings_{};
  TransactionDetail reused_;  // one detail for every row, as the export does
};

TEST_P(ExportBytes, MatchTheDetailLoader) {
  const BytesCase& c = GetParam();
  ASSERT_TRUE(Decode(c));
  const TransactionStore& store = sampling_.Records();
  ASSERT_GE(store.RecordCount(), 1u);
  std::mt19937 random(c.seed);
  const uint32_t data_end = sampling_.m_lenSamplingDataInBuffer;
  for (uint32_t ref = 0; ref < store.RecordCount(); ++ref) {
    SCOPED_TRACE(ref);
    const TransactionInfo decoded = store.At(ref);
    ExpectSameBytes(decoded);
    // Damaged records: shifted starts (odd ones hit mid-atom), spans past
    // the data end, bit counts beyond the record, other line states.
    for (int k = 0; k < 4; ++k) {
      TransactionInfo damaged = decoded;
      damaged.SamplePos = static_cast<uint32_t>(random() % (data_end + 8));
      damaged.SampleLen = static_cast<uint32_t>(random() % 4096);
      damaged.BitCount = static_cast<uint32_t>(random() % 400);
      damaged.old_Signal = static_cast<uint8_t>(random());
      ExpectSameBytes(damaged);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Captures, ExportBytes, ::testing::ValuesIn(kBytesCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace orvane
