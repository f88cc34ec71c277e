#include "Orvane/decode/monitor_units.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "Orvane/decode/monitor_extract.h"
#include "Orvane/decode/monitor_unit_shapes.h"
#include "Orvane/decode/tests/monitor_test_support.h"

namespace orvane {
namespace {

using namespace orvane::testing;  // NOLINT: the unit builders

struct CodingCase {
  uint16_t word;
  uint8_t count;
  uint8_t codes;
};

const CodingCase kCoding[] = {
    {0x0000, kUnitEmpty, 0x00},
    {Unit1(kStart), 1, 0x01},
    {Unit1(kStop), 1, 0x02},
    {Unit1(kAcked, 0x5A), 1, 0x0C},
    {Unit1(kNacked, 0x5A), 1, 0x04},
    {0xCD50, 2, 0x1C},                       // START, then 0x50 acknowledged
    {Unit2(kStart, kNacked, 0x51), 2, 0x14},
    {Unit2(kStop, kStart), 2, 0x21},
    {Unit2(kStart, kStop), 2, 0x12},
    {Unit2(kAcked, kStop, 0x10), 2, 0xC2},
    {Unit2(kNacked, kStart, 0x10), 2, 0x41},
    {0x1D50, kUnitInvalid, 0},  // X XOR Y = 0xC
    {0x4750, kUnitInvalid, 0},  // X XOR Y = 3
    {0x0050, kUnitInvalid, 0},  // no event at all
    {0x3350, kUnitInvalid, 0},  // d = 3
    {0xB350, kUnitInvalid, 0},  // X XOR Y = 8
};

TEST(MonitorUnitCoding, FollowsTheEventTable) {
  for (const CodingCase& c : kCoding) {
    SCOPED_TRACE(c.word);
    const I2CMonitorUnit unit = DecodeI2CUnit(c.word);
    EXPECT_EQ(unit.count, c.count);
    if (c.count == 1 || c.count == 2) {
      EXPECT_EQ(unit.codes, c.codes);
      EXPECT_EQ(unit.data, c.word & 0xFF);
    }
  }
}

TEST(MonitorUnitCoding, LookUpAgreesWithTheDecodingForEveryWord) {
  for (uint32_t word = 0; word <= 0xFFFF; ++word) {
    const I2CMonitorUnit decoded = DecodeI2CUnit(static_cast<uint16_t>(word));
    const I2CMonitorUnit looked_up = LookUpI2CUnit(static_cast<uint16_t>(word));
    ASSERT_EQ(looked_up.count, decoded.count) << word;
    ASSERT_EQ(looked_up.codes, decoded.codes) << word;
    ASSERT_EQ(looked_up.data, decoded.data) << word;
    ASSERT_EQ(looked_up.nibbles, decoded.nibbles) << word;
  }
}

struct ShapeCase {
  uint16_t word;
  I2CUnitShape shape;
};

const ShapeCase kShapes[] = {
    {Unit1(kAcked, 0x5A), I2CUnitShape::kData},
    {Unit1(kNacked, 0x00), I2CUnitShape::kData},
    {Unit1(kStart), I2CUnitShape::kStart},
    {Unit1(kStop), I2CUnitShape::kStop},
    {0xCD50, I2CUnitShape::kStartData},
    {Unit2(kStart, kNacked, 0x51), I2CUnitShape::kStartData},
    {Unit2(kAcked, kStart, 0x10), I2CUnitShape::kDataStart},
    {Unit2(kNacked, kStart, 0x10), I2CUnitShape::kDataStart},
    {Unit2(kAcked, kStop, 0x10), I2CUnitShape::kDataStop},
    {Unit2(kNacked, kStop, 0x10), I2CUnitShape::kDataStop},
    // The general path: two conditions, a data byte after a STOP, invalid
    // units.
    {Unit2(kStop, kStart), I2CUnitShape::kOther},
    {Unit2(kStart, kStop), I2CUnitShape::kOther},
    {Unit2(kStop, kAcked, 0x77), I2CUnitShape::kOther},
    {0x4750, I2CUnitShape::kOther},
    {0x0050, I2CUnitShape::kOther},
};

TEST(MonitorUnitCoding, ShapesOfTheCommonUnits) {
  for (const ShapeCase& c : kShapes) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(ShapeOfI2CUnit(static_cast<uint8_t>(c.word >> 8)), c.shape);
  }
}

class MonitorUnitRead : public MonitorDecodeTest {};

TEST_F(MonitorUnitRead, SingleReadersAndTheWalkerAgreeAndStopAtTheDataEnd) {
  std::string data = I2CUnits({0xCD50, Unit1(kStop)});
  data.push_back('\x7F');  // half a unit
  ASSERT_TRUE(Open(data));
  EXPECT_EQ(GetMonitorAtomI2C(*sampling_, 0).codes, 0x1C);
  EXPECT_EQ(GetMonitorAtomI2C(*sampling_, 2).codes, 0x02);
  EXPECT_EQ(GetMonitorAtomI2C(*sampling_, 4).count, kUnitMapError);
  MonitorUnitWalker walker(*sampling_, 1);
  EXPECT_EQ(walker.ReadI2C(0).codes, 0x1C);
  EXPECT_EQ(walker.ReadI2C(2).codes, 0x02);
  EXPECT_EQ(walker.ReadI2C(4).count, kUnitMapError);
  EXPECT_FALSE(walker.ReadSpi(2).mapped);
  const SpiMonitorUnit spi = GetMonitorAtomSPI(*sampling_, 0);
  ASSERT_TRUE(spi.mapped);
  EXPECT_EQ(spi.data, 0xCD50);
  EXPECT_EQ(spi.control, Unit1(kStop));
  EXPECT_FALSE(GetMonitorAtomSPI(*sampling_, 2).mapped);
}

TEST_F(MonitorUnitRead, LiveBufferIsReadWithoutTheLock) {
  std::string data = SpiUnits({Data(0xAB, 0xCD)});
  CSamplingObj sampling(app_, sink_);
  sampling.AttachLiveBuffer(reinterpret_cast<uint8_t*>(data.data()), static_cast<uint32_t>(data.size()));
  // Another thread holds the view lock; a live read must not wait for it.
  std::promise<void> locked;
  std::promise<void> done;
  std::thread holder([&] {
    velix::platform::SectionLock lock(sampling.ViewLock());
    locked.set_value();
    done.get_future().wait();
  });
  locked.get_future().wait();
  const SpiMonitorUnit unit = GetMonitorAtomSPI(sampling, 0);
  MonitorUnitWalker walker(sampling);
  const SpiMonitorUnit walked = walker.ReadSpi(0);
  done.set_value();
  holder.join();
  EXPECT_TRUE(unit.mapped);
  EXPECT_EQ(unit.data, 0xABCD);
  EXPECT_EQ(unit.control, 0x01);
  EXPECT_EQ(walked.data, 0xABCD);
  sampling.DetachLiveBuffer();
}

// Extraction masks: the first unit of a record opened by the second event
// of its unit passes only that event's byte; the last unit of a record whose
// closing event shared its unit passes only the first event's byte.
struct MaskCase {
  const char* name;
  uint8_t start_end;
  std::vector<uint8_t> bytes;
  uint8_t acks;
};

const MaskCase kMasks[] = {
    {"OpenedBySecondEvent", 0x08 | 0x02 | 0x10, {0x22, 0x33, 0x44}, 0x80},
    {"OpenedByFirstEvent", 0x04 | 0x01 | 0x10, {0x11, 0x22, 0x33, 0x44}, 0x40},
    {"ClosingEventSharedItsUnit", 0x08 | 0x02 | 0x20 | 0x40, {0x22, 0x33}, 0x80},
};

class MonitorExtractMasks : public MonitorDecodeTest, public ::testing::WithParamInterface<MaskCase> {};

TEST_P(MonitorExtractMasks, CollectTheBytesOfTheRecord) {
  const MaskCase& c = GetParam();
  // data 0x11 + START | 0x22 NACKed | 0x33 | START + data 0x44
  ASSERT_TRUE(Open(I2CUnits({Unit2(kAcked, kStart, 0x11), Unit1(kNacked, 0x22), Unit1(kAcked, 0x33),
                             Unit2(kStart, kAcked, 0x44)})));
  TransactionInfo record{};
  record.bStartEndType = c.start_end;
  record.SamplePos = 0;
  record.SampleLen = 6;
  record.BitCount = 4;
  TransactionDetail detail;
  ExtractMonitorI2CDetail(*sampling_, record, 100, &detail);
  EXPECT_EQ(detail.count, 4u);  // min(wanted, BitCount), zero-filled beyond what was found
  std::vector<uint8_t> expected = c.bytes;
  expected.resize(4, 0);
  EXPECT_EQ(detail.bytes, expected);
  EXPECT_EQ(detail.bytes2, std::vector<uint8_t>{c.acks});
}

INSTANTIATE_TEST_SUITE_P(Masks, MonitorExtractMasks, ::testing::ValuesIn(kMasks),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(MonitorUnitRead, SpiDetailSplitsTheDataWordAndStopsAtAnInvalidControlWord) {
  ASSERT_TRUE(Open(SpiUnits({SsLevel(0), Data(0xA1, 0xB1), kEmpty, Data(0xA2, 0xB2), {0, 0x200}, Data(0xA3, 0xB3)})));
  TransactionInfo record{};
  record.SamplePos = 0;
  record.SampleLen = 20;
  record.BitCount = 3;
  TransactionDetail detail;
  ExtractMonitorSpiDetail(*sampling_, record, 2, &detail);
  EXPECT_EQ(detail.count, 2u);
  EXPECT_EQ(detail.bytes, (std::vector<uint8_t>{0xA1, 0xA2}));
  EXPECT_EQ(detail.bytes2, (std::vector<uint8_t>{0xB1, 0xB2}));
  ExtractMonitorSpiDetail(*sampling_, record, 10, &detail);
  EXPECT_EQ(detail.count, 3u);
  EXPECT_EQ(detail.bytes, (std::vector<uint8_t>{0xA1, 0xA2, 0x00}));
}

TEST_F(MonitorUnitRead, DamagedBitCountCannotGrowTheDetailBeyondItsUnits) {
  ASSERT_TRUE(Open(I2CUnits({Unit1(kStart), Unit1(kAcked, 0xA0)})));
  TransactionInfo record{};
  record.bStartEndType = 0x89;
  record.SampleLen = 2;
  record.BitCount = 0xFFFFFFFFu;
  TransactionDetail detail;
  ExtractMonitorI2CDetail(*sampling_, record, 0xFFFFFFFFu, &detail);
  EXPECT_EQ(detail.count, 2u);
  EXPECT_EQ(detail.bytes[0], 0xA0);
}

}  // namespace
}  // namespace orvane
