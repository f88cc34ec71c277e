// The exports read each record's bytes with the lighter extraction; the
// bytes must be those the detail loader shows. Synthesized captures at all
// three rates are decoded, then records are read as decoded and with their
// positions, lengths and bit counts damaged, from clean and corrupted atoms,
// under each line rule the extractions follow, in records longer than a
// batch of the atom walker, at fast clocks, in every SPI mode and bit order,
// with odd bit counts and in captures cut mid-transaction; then records
// placed at random in random atom streams.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/sample_atom.h"
#include "Orvane/capture/tests/sic_test_files.h"
#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/atom_span_loop.h"
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

// Fast clocks put several edges into each run of eight short atoms; odd bit
// counts leave the last byte of a record unfinished.
constexpr char kFastI2cScenario[] = R"(
bus i2c0
scl 3.4m
start
addr 0x50 w
write 00 FF 81 7E
bits 1011 0
start
addr 0x50 r
read 5A A5 C3
stop
idle 1us
start
addr 0x22 w
bits 10110
)";

// An SPI transfer in `mode`, bit order `order`, `bits` bits per transfer.
std::string SpiModeScenario(int mode, const char* order, int bits, const char* sclk) {
  return std::string("bus spi\nss active-low\n") + order + "\nmode " + std::to_string(mode) + "\nsclk " + sclk +
         "\nselect\nxfer mosi=9F,00,81,7E,C3 miso=FF,EF,40,18,5A bits=" + std::to_string(bits) +
         " gap=100ns\ndeselect\nidle 1us\nselect\nxfer mosi=A5,5A,01 miso=3C,C3,80 bits=" +
         std::to_string(bits > 24 ? 24 : bits) + "\ndeselect\nidle 300ns\n";
}

const std::string kSpiMode1 = SpiModeScenario(1, "msb-first", 40, "25m");
const std::string kSpiMode2Lsb = SpiModeScenario(2, "lsb-first", 37, "12m");
const std::string kSpiMode3Lsb = SpiModeScenario(3, "lsb-first", 13, "25m");
const std::string kSpiMode0Odd = SpiModeScenario(0, "msb-first", 21, "7m");

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
  uint32_t keep_per_mille = 1000;  // the capture cut to this share of its atoms
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
    {"I2cFastClock", kFastI2cScenario, 2, 0, 18},
    {"I2cFastClockCorrupt", kFastI2cScenario, 2, 30, 19},
    {"I2cFastClockOtherBus", kFastI2cScenario, 2, 0, 20, {2}},
    {"I2cCutMidTransaction", kI2cScenario, 2, 0, 21, {}, 617},
    {"I2cFastCutMidTransaction", kFastI2cScenario, 5, 0, 22, {}, 431},
    {"SpiMode1Fast", kSpiMode1.c_str(), 2, 0, 23},
    {"SpiMode2LsbFirst", kSpiMode2Lsb.c_str(), 2, 0, 24},
    {"SpiMode3LsbFirstOddBits", kSpiMode3Lsb.c_str(), 2, 0, 25},
    {"SpiMode0OddBits", kSpiMode0Odd.c_str(), 5, 0, 26},
    {"SpiFastIgnoreFirstEdge", kSpiMode1.c_str(), 2, 0, 27, {-1, 2, 0x80}},
    {"SpiFastCorrupt", kSpiMode3Lsb.c_str(), 2, 50, 28},
    {"SpiCutMidTransaction", kSpiMode1.c_str(), 2, 0, 29, {}, 523},
    {"SpiLongRecordCut", kLongSpiScenario.c_str(), 2, 0, 30, {}, 700},
    {"I2cLongRecordCut", kLongI2cScenario.c_str(), 2, 0, 31, {}, 650},
};

// One capture read both ways.
class BytesFixture : public ::testing::Test {
 protected:
  // Opens `data` as a capture taken with `settings`; false when it fails.
  bool Open(const SettingsRecord& settings, const std::vector<uint8_t>& data) {
    settings_ = settings;
    const std::string path = folder_.File("c.SIC");
    WriteFile(path, SicBytes(settings_, std::string(data.begin(), data.end())));
    return sampling_.OpenCreateFileMapView(path) == 0;
  }

  void ApplyReadSettings(const ReadSettings& read) {
    Override(&settings_.m_AnalyzeBusChannel, read.bus_channel);
    Override(&settings_.SpiSamplingEdge, read.spi_sampling_edge);
    Override(&settings_.SpiBitFlags, read.spi_bit_flags);
    Override(&settings_.SpiSsMode, read.spi_ss_mode);
  }

  // The light extraction with a walker of its own and with the one walker
  // kept for every record, as the export does, against the full one.
  void ExpectSameBytes(const TransactionInfo& record) {
    TransactionDetail full;
    TransactionDetail& light = reused_;
    TransactionDetail walked;
    if (settings_.m_AnalyzeBusChannel == 0) {
      ExtractSpiAnalyzerDetail(sampling_, settings_, record, 0xFFFFFFFFu, &full);
      ExtractSpiAnalyzerBytes(sampling_, settings_, record, &light);
      ExtractSpiAnalyzerBytes(walker_, sampling_, settings_, record, &walked);
      EXPECT_EQ(light.bytes2, full.bytes2);
      EXPECT_EQ(walked.bytes2, full.bytes2);
    } else {
      ExtractI2CAnalyzerDetail(sampling_, settings_.m_AnalyzeBusChannel, record, 0xFFFFFFFFu, &full);
      ExtractI2CAnalyzerBytes(sampling_, settings_.m_AnalyzeBusChannel, record, &light);
      ExtractI2CAnalyzerBytes(walker_, sampling_, settings_.m_AnalyzeBusChannel, record, &walked);
    }
    EXPECT_EQ(light.count, full.count);
    EXPECT_EQ(light.bytes, full.bytes);
    EXPECT_EQ(walked.count, full.count);
    EXPECT_EQ(walked.bytes, full.bytes);
  }

  ScratchFolder folder_;
  AppState app_;
  velix::platform::NullSink sink_;
  CSamplingObj sampling_{app_, sink_};
  SettingsRecord settings_{};
  TransactionDetail reused_;  // one detail for every row, as the export does
  AtomWalker walker_{sampling_, kExtractBatch};  // one walker for every row likewise
};

class ExportBytes : public BytesFixture, public ::testing::WithParamInterface<BytesCase> {
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
    synth.data.resize(synth.data.size() * c.keep_per_mille / 1000);
    std::mt19937 random(c.seed);
    // In the second half only, so that the decode makes records before the
    // damage ends it; the damaged records below walk into it.
    const size_t half = synth.data.size() / 2;
    for (uint32_t i = 0; i < c.corrupt_bytes && half != 0; ++i) {
      synth.data[half + random() % half] = static_cast<uint8_t>(random());
    }
    if (!Open(synth.settings, synth.data)) return false;
    RunEventQueue events;
    DecodeContext ctx{sampling_, settings_, events};
    RunDecoder(ctx, ChooseWorker(settings_));
    ApplyReadSettings(c.read);
    return true;
  }
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

// Random atom streams: every pattern of edges, STOPs and misplaced atoms
// within a run of eight atoms, which regular traffic never shows, under
// records placed at random.
struct RandomAtomsCase {
  const char* name;
  ReadSettings read;
  uint32_t flip_percent;     // chance of each line changing at an atom
  uint32_t long_percent;     // chance of a long atom at an even position
  uint32_t corrupt_per_mille;  // chance of a misplaced long-atom byte
  uint32_t seed;
  // One long atom in this many only replaces the state (zero count); 0: none.
  uint32_t zero_count_one_in = 3;
};

const RandomAtomsCase kRandomAtomsCases[] = {
    {"I2cBus0Busy", {1}, 30, 0, 0, 41},
    {"I2cBus0Quiet", {1}, 4, 2, 0, 42},
    {"I2cBus1Mixed", {2}, 15, 10, 3, 43},
    {"I2cBus0Damaged", {1}, 10, 5, 20, 44},
    {"SpiRisingMsbFirst", {0, 1, 0x01, 1}, 35, 0, 0, 45},
    {"SpiFallingLsbFirst", {0, 2, 0x00, 1}, 20, 3, 0, 46},
    {"SpiIgnoreFirstEdge", {0, 1, 0x81, 2}, 25, 2, 2, 47},
    {"SpiUnknownEdge", {0, 3, 0x01, 0}, 25, 0, 0, 48},
    {"SpiQuietDamaged", {0, 2, 0x80, 1}, 5, 5, 15, 49},
    // Runs of eight and more long atoms, as slow clocks at fast sampling
    // give them, on both buses: STOPs and record ends inside the runs.
    {"I2cBus0LongRuns", {1}, 30, 97, 0, 50, 0},
    {"I2cBus1LongRuns", {2}, 20, 97, 0, 51, 0},
    {"I2cBus0LongRunsQuiet", {1}, 6, 95, 0, 52, 0},
    {"I2cBus1LongRunsSomeZero", {2}, 25, 95, 0, 53, 25},
    {"I2cBus0LongRunsDamaged", {1}, 25, 95, 4, 54, 50},
    {"I2cBus1Busy", {2}, 30, 0, 0, 55},
};

class RandomAtoms : public BytesFixture, public ::testing::WithParamInterface<RandomAtomsCase> {};

std::vector<uint8_t> RandomAtomStream(const RandomAtomsCase& c, std::mt19937& random, size_t size) {
  std::vector<uint8_t> data;
  uint8_t state = 0x0F;
  while (data.size() < size) {
    for (uint32_t line = 1; line < 0x10; line <<= 1) {
      if (random() % 100 < c.flip_percent) state = static_cast<uint8_t>(state ^ line);
    }
    if (random() % 1000 < c.corrupt_per_mille) {
      data.push_back(static_cast<uint8_t>(random() & 0xEF));
    } else if (data.size() % 2 == 0 && random() % 100 < c.long_percent) {
      // Zero counts too: those only replace the state.
      const bool zero = c.zero_count_one_in != 0 && random() % c.zero_count_one_in == 0;
      const uint16_t atom = EncodeLongAtom(state, static_cast<uint16_t>(zero ? 0 : random() % 2048));
      data.push_back(static_cast<uint8_t>(atom));
      data.push_back(static_cast<uint8_t>(atom >> 8));
    } else {
      data.push_back(EncodeShortAtom(state, static_cast<uint16_t>(random() % 8)));
    }
  }
  return data;
}

TEST_P(RandomAtoms, MatchTheDetailLoader) {
  const RandomAtomsCase& c = GetParam();
  velix::sim::SynthResult synth;
  std::string error;
  const char* scenario = c.read.bus_channel == 0 ? kSpiScenario : kI2cScenario;
  ASSERT_TRUE(velix::sim::SynthesizeToMemory(scenario, {}, 1u << 22, &synth, &error)) << error;
  std::mt19937 random(c.seed);
  ASSERT_TRUE(Open(synth.settings, RandomAtomStream(c, random, 1u << 16)));
  ApplyReadSettings(c.read);
  const uint32_t data_end = sampling_.m_lenSamplingDataInBuffer;
  for (int k = 0; k < 3000; ++k) {
    TransactionInfo record{};
    record.SamplePos = static_cast<uint32_t>(random() % (data_end + 8));
    record.SampleLen = static_cast<uint32_t>(random() % 4096);
    record.BitCount = static_cast<uint32_t>(random() % 600);
    record.old_Signal = static_cast<uint8_t>(random());
    SCOPED_TRACE(::testing::Message() << "record at " << record.SamplePos << ", " << record.SampleLen << " bytes, "
                                    << record.BitCount << " bits");
    ExpectSameBytes(record);
  }
}

INSTANTIATE_TEST_SUITE_P(Streams, RandomAtoms, ::testing::ValuesIn(kRandomAtomsCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace orvane
