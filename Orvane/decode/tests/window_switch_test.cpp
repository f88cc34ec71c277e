#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/spi_analyzer.h"
#include "Orvane/decode/tests/analyzer_test_support.h"

namespace orvane {
namespace {

using analyzer_test::AtomStream;
using analyzer_test::Harness;
using analyzer_test::I2CWave;
using analyzer_test::Outcome;

constexpr uint32_t kWindowBytes = 16u << 20;
constexpr uint32_t kHeaderBytes = 1024;

// Long atoms holding `state` that end a little before the first window
// boundary, so that the traffic placed after them crosses it.
struct IdlePrefix {
  std::vector<uint8_t> bytes;
  uint64_t clocks = 0;
};

IdlePrefix PrefixEndingBeforeBoundary(uint8_t state, uint32_t margin) {
  IdlePrefix prefix;
  const uint32_t atoms = (kWindowBytes - kHeaderBytes - margin) / 2;
  const uint16_t word = EncodeLongAtom(state, kLongAtomMaxCount);
  prefix.bytes.resize(size_t{atoms} * 2);
  for (uint32_t i = 0; i < atoms; ++i) {
    prefix.bytes[2 * i] = static_cast<uint8_t>(word);
    prefix.bytes[2 * i + 1] = static_cast<uint8_t>(word >> 8);
  }
  prefix.clocks = uint64_t{atoms} * kLongAtomMaxCount;
  return prefix;
}

// The atoms of `data` from `position` for `bytes` bytes, read one by one
// through the sampling object's own reader: the sum of their counts.
uint64_t ReferenceClocks(CSamplingObj& sampling, uint32_t position, uint32_t bytes) {
  uint64_t clocks = 0;
  for (const uint32_t end = position + bytes; position < end;) {
    const SampleAtom atom = sampling.GetSamplingAtom(position);
    EXPECT_TRUE(atom.size == 1 || atom.size == 2);
    if (atom.size != 1 && atom.size != 2) break;
    clocks += atom.count;
    position += atom.size;
  }
  return clocks;
}

// The records decoded behind the prefix equal those of the traffic alone,
// moved by the prefix; and each one's clocks agree with a plain atom walk.
void ExpectShiftedRecords(Harness& big, const Outcome& shifted, const Outcome& alone, const IdlePrefix& prefix,
                          uint32_t traffic_bytes) {
  ASSERT_EQ(shifted.records.size(), alone.records.size());
  ASSERT_GT(alone.records.size(), 10u);
  const uint32_t shift = static_cast<uint32_t>(prefix.bytes.size());
  bool straddles = false;
  for (size_t i = 0; i < alone.records.size(); ++i) {
    SCOPED_TRACE(i);
    const TransactionInfo& a = shifted.records[i];
    const TransactionInfo& b = alone.records[i];
    EXPECT_EQ(a.SamplePos, b.SamplePos + shift);
    EXPECT_EQ(a.StartClock, b.StartClock + prefix.clocks);
    EXPECT_EQ(a.bStartEndType, b.bStartEndType);
    EXPECT_EQ(a.Status, b.Status);
    EXPECT_EQ(a.SampleLen, b.SampleLen);
    EXPECT_EQ(a.BitCount, b.BitCount);
    EXPECT_EQ(a.Duration, b.Duration);
    EXPECT_EQ(a.old_Signal, b.old_Signal);
    EXPECT_EQ(a.old_SignalClock, b.old_SignalClock);
    EXPECT_EQ(a.PreviewLen, b.PreviewLen);
    EXPECT_EQ(0, std::memcmp(a.Preview, b.Preview, sizeof a.Preview));
    EXPECT_EQ(0, std::memcmp(a.Preview2, b.Preview2, sizeof a.Preview2));
    EXPECT_EQ(0, std::memcmp(&shifted.timings[i], &alone.timings[i], sizeof(TimingInfo)));
    const uint32_t boundary = kWindowBytes - kHeaderBytes;
    straddles = straddles || (a.SamplePos < boundary && a.SamplePos + a.SampleLen > boundary);
    // The opening atom carries the lead-in; the record's bytes follow it.
    const SampleAtom opening = big.Sampling().GetSamplingAtom(a.SamplePos);
    const uint32_t after = a.SamplePos + opening.size;
    if (after + a.SampleLen <= shift + traffic_bytes) {
      EXPECT_EQ(ReferenceClocks(big.Sampling(), after, a.SampleLen), a.Duration);
    }
    EXPECT_EQ(a.StartClock, prefix.clocks + ReferenceClocks(big.Sampling(), shift, after - shift));
  }
  EXPECT_TRUE(straddles);
}

Outcome Decode(Harness& h, uint32_t (*decoder)(DecodeContext&), const std::vector<uint8_t>& data,
               const SettingsRecord& settings) {
  EXPECT_TRUE(h.OpenFile(data));
  return h.Run(decoder, settings);
}

TEST(WindowSwitch, I2CRecordsCrossingAWindowBoundaryDecodeAsInOneWindow) {
  I2CWave wave;
  for (int i = 0; i < 40; ++i) {
    wave.Start();
    wave.Byte(static_cast<uint8_t>(0xA0 + 2 * (i % 4)));
    wave.Byte(static_cast<uint8_t>(i * 7));
    wave.Byte(static_cast<uint8_t>(0x5A ^ i), i % 5 == 0);
    if (i % 3 == 0) {
      wave.RepeatedStart();
      wave.Byte(0xA1);
      wave.Byte(0x42, true);
    }
    wave.Stop();
  }
  const std::vector<uint8_t> traffic = wave.Finish();
  const IdlePrefix prefix = PrefixEndingBeforeBoundary(0x0F, static_cast<uint32_t>(traffic.size() / 2) & ~1u);
  std::vector<uint8_t> data = prefix.bytes;
  data.insert(data.end(), traffic.begin(), traffic.end());
  ASSERT_GT(data.size(), kWindowBytes);

  SettingsRecord settings = analyzer_test::RelaxedI2CSettings();
  settings.tLOW = 60;  // some timing bits, measured across the boundary too
  Harness alone_harness;
  Harness big;
  const Outcome alone = Decode(alone_harness, RunI2CAnalyzerDecode, traffic, settings);
  const Outcome shifted = Decode(big, RunI2CAnalyzerDecode, data, settings);
  EXPECT_EQ(shifted.result, alone.result);
  ExpectShiftedRecords(big, shifted, alone, prefix, static_cast<uint32_t>(traffic.size()));
}

TEST(WindowSwitch, SpiRecordsCrossingAWindowBoundaryDecodeAsInOneWindow) {
  AtomStream s(0x1);
  for (int t = 0; t < 60; ++t) {
    s.Change(40, 0x0);
    for (int bit = 0; bit < 24 + t % 5; ++bit) {
      const uint8_t data = static_cast<uint8_t>(((t * 3 + bit) % 3) ? 0xC : 0x4);
      s.Change(2 + bit % 3, data);
      s.Change(3, data | 0x2);
      s.Change(2, data);
    }
    s.Change(10, 0x1);
  }
  s.Hold(100);
  const std::vector<uint8_t>& traffic = s.Bytes();
  const IdlePrefix prefix = PrefixEndingBeforeBoundary(0x01, (static_cast<uint32_t>(traffic.size() / 2) + 30) & ~1u);
  std::vector<uint8_t> data = prefix.bytes;
  data.insert(data.end(), traffic.begin(), traffic.end());

  SettingsRecord settings = DefaultSettingsRecord();
  settings.m_AnalyzeBusChannel = 0;
  settings.SpiSsMode = 1;
  settings.SpiSamplingEdge = 1;
  settings.SpiBitFlags = 1;
  settings.SpiDataLength = 4;
  Harness alone_harness;
  Harness big;
  const Outcome alone = Decode(alone_harness, RunSpiAnalyzerDecode, traffic, settings);
  const Outcome shifted = Decode(big, RunSpiAnalyzerDecode, data, settings);
  EXPECT_EQ(shifted.result, alone.result);
  ExpectShiftedRecords(big, shifted, alone, prefix, static_cast<uint32_t>(traffic.size()));
}

}  // namespace
}  // namespace orvane
