#include "Orvane/decode/cell_texts.h"

#include <gtest/gtest.h>

#include <cstring>

#include "Orvane/decode/tests/views_test_support.h"

namespace orvane {
namespace {

RecordTextMode I2CMode() { return TextModeOf(views_test::I2CSettings()); }
RecordTextMode SpiMode() { return TextModeOf(views_test::SpiSettings()); }
RecordTextMode ForcedMode() {
  SettingsRecord s = views_test::I2CSettings();
  s.ForcedDisplay = 1;
  return TextModeOf(s);
}

TransactionInfo I2CRecord(uint32_t index, uint16_t status, uint16_t flags, uint8_t record_flags = 0) {
  TransactionInfo r{};
  r.Index = index;
  r.Status = status;
  r.i2c.I2CFlags = flags;
  r.RecordFlags = static_cast<uint8_t>(kRecordI2C | kRecordAnalyzer | kRecordComplete | record_flags);
  r.BitCount = 18;
  return r;
}

struct RemarkCase {
  const char* name;
  uint16_t status;
  uint16_t i2c_flags;
  uint8_t record_flags;
  bool forced;
  const char* number;
  const char* error_info;
};

class RemarkTexts : public ::testing::TestWithParam<RemarkCase> {};

TEST_P(RemarkTexts, NumberPrefixAndErrorInfo) {
  const RemarkCase& c = GetParam();
  const TransactionInfo r = I2CRecord(5, c.status, c.i2c_flags, c.record_flags);
  const RecordTextMode mode = c.forced ? ForcedMode() : I2CMode();
  EXPECT_EQ(CellText(r, CellColumn::kNumber, mode), c.number);
  EXPECT_EQ(CellText(r, CellColumn::kErrorInfo, mode), c.error_info);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, RemarkTexts,
    ::testing::Values(
        RemarkCase{"NoRemark", 0, 0, 0, false, "5", "-"},
        RemarkCase{"BadDataAndBitCount", 0x0081, 0, 0, false, "* 5",
                   "** BAD SAMPING DATA!! ***; DATA BIT count NG"},
        RemarkCase{"ErrorFreeHsTransfer", 0, kI2CHsTransfer, 0, false, "5", "-"},
        RemarkCase{"HsTransferWithTiming", kStatusLow, kI2CHsTransfer, 0, false, "* H 5",
                   "<HS XFER>; [tLOW] NG"},
        RemarkCase{"TriggerAlone", 0, 0, kRecordTrigger, false, "->5", "TRIGGER!-"},
        RemarkCase{"TriggerWithError", kStatusNotEnd, 0, kRecordTrigger, false, "->* 5",
                   "TRIGGER!; Transaction not end"},
        RemarkCase{"AllTimingInOrder", 0xFF00, 0, 0, false, "* 5",
                   "[tBUF] NG; [tHD_STA] NG; [tSU_STO] NG; [tSU_STA] NG; [tLOW] NG; [tHIGH] NG; "
                   "[tSU_DAT] NG; [tHD_DAT] NG"},
        RemarkCase{"NoChangeInForcedDisplay", kStatusNoChange, 0, 0, true, "_5", " (No change signal.)"},
        RemarkCase{"TimingHiddenInForcedDisplay", 0x0101, 0, 0, true, "* 5", "DATA BIT count NG"}),
    [](const auto& test) { return std::string(test.param.name); });

struct AddressCase {
  uint16_t address;
  uint16_t flags;
  const char* adrs;
  const char* rw;
};

TEST(CellTexts, AddressWidthFollowsTenBitFlag) {
  for (const AddressCase& c : {AddressCase{0x0A5, kI2C10Bit, "0A5H", "W"},
                               AddressCase{0x50, 0, " 50H", "W"},
                               AddressCase{0x3FF, kI2C10Bit | kI2CRead, "3FFH", "R"},
                               AddressCase{0x7F, kI2CRead, " 7FH", "R"}}) {
    TransactionInfo r = I2CRecord(0, 0, c.flags);
    r.i2c.I2CAddress = c.address;
    EXPECT_EQ(CellText(r, CellColumn::kAdrs, I2CMode()), c.adrs);
    EXPECT_EQ(CellText(r, CellColumn::kRw, I2CMode()), c.rw);
  }
}

TEST(CellTexts, StartEndAndNack) {
  const std::pair<uint8_t, const char*> cases[] = {
      {0x11, "S:P"}, {0x21, "S:"}, {0x22, "R:"}, {0x12, "R:P"}, {0x80, ""}, {0x10, "P"}};
  for (const auto& [type, text] : cases) {
    TransactionInfo r = I2CRecord(0, 0, 0);
    r.bStartEndType = type;
    EXPECT_EQ(CellText(r, CellColumn::kSrp, I2CMode()), text) << int{type};
  }
  EXPECT_EQ(CellText(I2CRecord(0, 0, kI2CNack), CellColumn::kNack, I2CMode()), "Detected");
  EXPECT_EQ(CellText(I2CRecord(0, 0, 0), CellColumn::kNack, I2CMode()), "-");
}

TEST(CellTexts, TimesFromClocksAndPeriodCode) {
  TransactionInfo r = I2CRecord(0, 0, 0);
  r.StartClock = 123456789;  // × 2 = 246,913,578 × 10 ns
  r.Duration = 12345;
  EXPECT_EQ(CellText(r, CellColumn::kTime, I2CMode()), "2:469:135.78");
  EXPECT_EQ(CellText(r, CellColumn::kSpan, I2CMode()), "246.90");
  EXPECT_EQ(FormatTimeSpan(12345, 5), "617.25");
  EXPECT_EQ(FormatStartTime(0, 10), "0:000:000.00");
  EXPECT_EQ(FormatTimeSpan(0xFFFFFFFFu, 10), "429496729.50");
  RecordTextMode monitor = I2CMode();
  monitor.monitor = true;
  EXPECT_EQ(CellText(r, CellColumn::kTime, monitor), " - ");
  EXPECT_EQ(CellText(r, CellColumn::kSpan, monitor), " - ");
}

TEST(CellTexts, TenOfTwelveBytesWithNinthMarkAndMore) {
  TransactionInfo r = I2CRecord(0, 0, 0);
  r.BitCount = 13 * 9;  // address + twelve data bytes
  r.PreviewLen = 10;
  for (uint8_t i = 0; i < 10; ++i) r.Preview[i] = static_cast<uint8_t>(i + 1);
  EXPECT_EQ(CellText(r, CellColumn::kData, I2CMode()), " 01 02 03 04 05 06 07 08-09 0A....");
  EXPECT_EQ(CellText(r, CellColumn::kDataLen, I2CMode()), "12");
  r.BitCount = 11 * 9;  // exactly ten data bytes: nothing more to hint at
  EXPECT_EQ(CellText(r, CellColumn::kData, I2CMode()), " 01 02 03 04 05 06 07 08-09 0A");
}

TEST(CellTexts, SpiLinesAndBitCounts) {
  TransactionInfo r{};
  r.RecordFlags = kRecordAnalyzer | kRecordComplete;
  r.BitCount = 12;
  r.PreviewLen = 2;
  r.Preview[0] = 0xAB;
  r.Preview[1] = 0x0C;
  r.Preview2[0] = 0x01;
  r.Preview2[1] = 0x02;
  r.Status = 0x0101;  // the timing bit means nothing on SPI
  EXPECT_EQ(CellText(r, CellColumn::kDataLen, SpiMode()), "2");
  EXPECT_EQ(CellText(r, CellColumn::kMiso, SpiMode()), " AB 0C");
  EXPECT_EQ(CellText(r, CellColumn::kMosi, SpiMode()), " 01 02");
  EXPECT_EQ(CellText(r, CellColumn::kErrorInfo, SpiMode()), "DATA BIT count NG");
  r.BitCount = 24;
  EXPECT_EQ(CellText(r, CellColumn::kMiso, SpiMode()), " AB 0C....");
}

struct LengthCase {
  uint32_t bit_count;
  uint16_t flags;
  bool monitor;
  uint32_t data_bytes;
  uint32_t data_length;
  uint8_t preview_len;
};

TEST(DerivedQuantities, I2CByteCounts) {
  for (const LengthCase& c : {LengthCase{45, kI2C10Bit, false, 5, 3, 3},
                              LengthCase{45, kI2C10Bit | kI2CRead, false, 5, 4, 4},
                              LengthCase{10, kI2C10Bit, false, 2, 0, 0},
                              LengthCase{9, kI2C10Bit, false, 1, 0, 0},
                              LengthCase{0, 0, false, 0, 0, 0},
                              LengthCase{19, 0, false, 3, 2, 2},
                              LengthCase{4, 0, true, 4, 3, 3},
                              LengthCase{200, 0, true, 200, 199, 10}}) {
    TransactionInfo r = I2CRecord(0, 0, c.flags);
    r.BitCount = c.bit_count;
    RecordTextMode mode = I2CMode();
    mode.monitor = c.monitor;
    EXPECT_EQ(I2CDataBytes(r, c.monitor), c.data_bytes) << c.bit_count;
    EXPECT_EQ(DataLength(r, mode), c.data_length) << c.bit_count;
    EXPECT_EQ(I2CPreviewLen(c.data_bytes, I2CAddressBytes(r)), c.preview_len) << c.bit_count;
  }
}

TEST(DerivedQuantities, SpiPreviewLength) {
  EXPECT_EQ(SpiPreviewLen(CeilDiv(73, 8)), 10);
  EXPECT_EQ(SpiPreviewLen(CeilDiv(72, 8)), 9);
  EXPECT_EQ(SpiPreviewLen(CeilDiv(0, 8)), 0);
  EXPECT_EQ(CeilDiv(0xFFFFFFFFu, 8), 0x20000000u);
}

TEST(ListColumns, SetPerCaptureKind) {
  SettingsRecord s = views_test::I2CSettings();
  auto columns = ListColumns(s);
  ASSERT_EQ(columns.size(), 10u);
  EXPECT_STREQ(columns[1].header, "Time(s:ms:\xCE\xBCs)");
  EXPECT_STREQ(columns[9].header, "Data  (Hex)");
  EXPECT_EQ(columns[4].align, CellAlign::kCenter);
  s.m_AnalyzeBusChannel = 0;
  columns = ListColumns(s);
  ASSERT_EQ(columns.size(), 7u);
  EXPECT_STREQ(columns[1].header, "Time(s:ms:us)");
  EXPECT_STREQ(columns[5].header, "MISO Data  (Hex)");
  EXPECT_STREQ(columns[6].header, "MOSI Data  (Hex)");
  s.ForcedDisplay = 1;
  columns = ListColumns(s);
  ASSERT_EQ(columns.size(), 4u);
  EXPECT_STREQ(columns[3].header, "Error, Info");
}

}  // namespace
}  // namespace orvane
