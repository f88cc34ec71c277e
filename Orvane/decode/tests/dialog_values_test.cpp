#include "Orvane/decode/dialog_values.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane {
namespace {

struct NumberCase {
  const char* text;
  uint32_t value;
};

class DialogNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(DialogNumbers, CStylePrefixes) {
  EXPECT_EQ(ParseDialogNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Values, DialogNumbers,
    ::testing::Values(NumberCase{"100", 100}, NumberCase{"0x64", 100}, NumberCase{"0X64", 100},
                      NumberCase{"0100", 64}, NumberCase{"0", 0}, NumberCase{" 42 ", 42},
                      NumberCase{"4294967295", 0xFFFFFFFFu}, NumberCase{"4294967296", kUnparsableNumber},
                      NumberCase{"", kUnparsableNumber}, NumberCase{"abc", kUnparsableNumber},
                      NumberCase{"12abc", kUnparsableNumber}, NumberCase{"09", kUnparsableNumber},
                      NumberCase{"0x", kUnparsableNumber}, NumberCase{"-1", kUnparsableNumber},
                      NumberCase{"0x3FF", 1023}));

struct BytesCase {
  const char* text;
  size_t max;
  std::vector<uint8_t> bytes;
};

TEST(HexBytes, TokensAtAnySeparator) {
  for (const BytesCase& c : {BytesCase{"12 34", 4, {0x12, 0x34}},
                             BytesCase{":12-34_56.78,9A;BC:", 8, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}},
                             BytesCase{"  ;;aa::bb  ", 8, {0xAA, 0xBB}},
                             BytesCase{"1 2 3 4 5", 4, {1, 2, 3, 4}},
                             BytesCase{"0x1F ff", 2, {0x1F, 0xFF}},
                             BytesCase{"123", 1, {0x23}},
                             BytesCase{"zz 12", 2, {0x00, 0x12}},
                             BytesCase{"", 4, {}},
                             BytesCase{":-_.,;", 4, {}}}) {
    EXPECT_EQ(ParseHexBytes(c.text, c.max), c.bytes) << c.text;
  }
  const uint8_t pattern[] = {0xAA, 0x0B};
  EXPECT_EQ(FormatHexBytes(pattern, 2, ":"), "AA:0B");
}

FilterDialogFields ValidFilter() {
  FilterDialogFields f;
  f.enabled = true;
  f.range_start = "0";
  f.range_end = "0";
  f.address = "0x50";
  f.address_mask = "0x7F";
  return f;
}

struct FilterCase {
  const char* name;
  void (*edit)(FilterDialogFields&);
  const char* message;  // nullptr = accepted
};

TEST(FilterDialog, ValidationMessagesInOrder) {
  const FilterCase cases[] = {
      {"RangeBackwards", [](FilterDialogFields& f) { f.range_enabled = true; f.range_start = "30"; f.range_end = "20"; },
       "Invalid Transaction number"},
      {"RangeUnparsable", [](FilterDialogFields& f) { f.range_enabled = true; f.range_start = "x"; f.range_end = "20"; },
       "Invalid Transaction number"},
      {"RangeOffIgnoresText", [](FilterDialogFields& f) { f.range_start = "x"; }, nullptr},
      {"TenBitAbove1023", [](FilterDialogFields& f) { f.address_enabled = true; f.ten_bit = true; f.address = "0x400"; },
       "I2C address error"},
      {"SevenBitBigValueAccepted", [](FilterDialogFields& f) { f.address_enabled = true; f.address = "0x400"; }, nullptr},
      {"MaskUnparsable", [](FilterDialogFields& f) { f.address_enabled = true; f.address_mask = "?"; },
       "I2C address Mask error"},
      {"RangeCheckedFirst", [](FilterDialogFields& f) {
         f.range_enabled = true; f.range_start = "2"; f.range_end = "1"; f.address_enabled = true; f.address = "?"; },
       "Invalid Transaction number"},
  };
  for (const FilterCase& c : cases) {
    FilterDialogFields f = ValidFilter();
    c.edit(f);
    SettingsRecord s = DefaultSettingsRecord();
    const auto message = ApplyFilterDialog(f, &s);
    if (c.message) {
      EXPECT_EQ(message.value_or(""), c.message) << c.name;
    } else {
      EXPECT_FALSE(message.has_value()) << c.name;
    }
  }
}

TEST(FilterDialog, StoresSubAddressBytesAndOpensMissingMaskBytes) {
  FilterDialogFields f = ValidFilter();
  f.range_enabled = true;
  f.range_start = "10";
  f.range_end = "0x14";
  f.sub_address_enabled = true;
  f.sub_address_length = 3;
  f.sub_address_data = "12 34";
  f.sub_address_mask = "FF:F0";
  SettingsRecord s = DefaultSettingsRecord();
  ASSERT_FALSE(ApplyFilterDialog(f, &s).has_value());
  EXPECT_EQ(uint32_t{s.FilterRangeEnd}, 20u);
  EXPECT_EQ(s.FilterSubAddressLength, 3);
  EXPECT_EQ(s.FilterSubAddressData[1], 0x34);
  EXPECT_EQ(s.FilterSubAddressData[2], 0x00);
  EXPECT_EQ(s.FilterSubAddressMask[1], 0xF0);
  EXPECT_EQ(s.FilterSubAddressMask[2], 0xFF);
  EXPECT_EQ(uint32_t{s.FilterAddressMask}, 0x7Fu);
}

TEST(FilterDialog, EndZeroShowsLastTransactionAndSubAddressForcesWrite) {
  SettingsRecord s = DefaultSettingsRecord();
  EXPECT_EQ(FilterFieldsFromSettings(s, 57).range_end, "56");
  EXPECT_EQ(FilterFieldsFromSettings(s, 0).range_end, "0");
  FilterDialogFields f = FilterFieldsFromSettings(s, 0);
  f.enabled = true;
  f.write = false;
  f.sub_address_enabled = true;
  const FilterDialogEnables e = FilterControlEnables(&f, true, false);
  EXPECT_TRUE(f.write);
  EXPECT_FALSE(e.read || e.write || e.write_for_read || e.from_write || e.omit_write_for_read);
  EXPECT_TRUE(e.sub_address_fields);
  f.sub_address_enabled = false;
  f.read = false;
  const FilterDialogEnables plain = FilterControlEnables(&f, true, false);
  EXPECT_FALSE(plain.write_for_read);
  EXPECT_TRUE(plain.from_write);
  EXPECT_FALSE(FilterControlEnables(&f, false, false).read);
}

TEST(SearchDialogs, AddressLimits) {
  uint16_t value = 0;
  EXPECT_FALSE(ParseSearchAddress("0x3FF", true, &value).has_value());
  EXPECT_EQ(value, 0x3FF);
  EXPECT_EQ(ParseSearchAddress("0x400", true, &value).value_or(""), "I2C address error");
  EXPECT_EQ(ParseSearchAddress("", false, &value).value_or(""), "I2C address error");
  EXPECT_EQ(FormatSearchAddress(0x50), "0x050");
}

TEST(I2CSettingsDialog, EmptyFieldIsTenAndPresetsFillTheirColumn) {
  EXPECT_EQ(ParseTimingField(""), 10u);
  EXPECT_EQ(ParseTimingField("0x64"), 100u);
  EXPECT_EQ(ParseTimingField("0100"), 64u);
  SettingsRecord s = DefaultSettingsRecord();
  s.m_AnalyzeBusChannel = 1;
  I2CSettingsFields f = I2CFieldsFromSettings(s);
  EXPECT_EQ(f.standard[kRowBuf], "130");
  ApplyPreset(TimingPreset::kStandard, &f);
  ApplyPreset(TimingPreset::kHs400pF, &f);
  EXPECT_EQ(f.standard[kRowSuSta], "470");
  EXPECT_EQ(f.standard[kRowHdDat], "345");
  EXPECT_EQ(f.hs[kRowLow], "32");
  EXPECT_EQ(f.hs[kRowSuDat], "1");
  f.standard[kRowSuDat] = "";
  f.hs_enable = true;
  f.ignore_nack_before_stop = false;
  EXPECT_TRUE(ApplyI2CSettingsDialog(f, true, &s));
  EXPECT_EQ(uint32_t{s.tSU_STA}, 470u);
  EXPECT_EQ(uint32_t{s.tSU_DAT}, 10u);
  EXPECT_EQ(uint32_t{s.tHIGH_HS}, 12u);
  EXPECT_EQ(s.HsEnable, 1);
  EXPECT_EQ(s.IgnoreNackBeforeStop, 0);
  EXPECT_STREQ(PresetQuestion(TimingPreset::kHs100pF), "Do you apply HS MODE(Cb=100pF) settings?");
}

TEST(I2CSettingsDialog, DisabledFieldsKeepLimitsAndSpiNeedsNoRebuild) {
  SettingsRecord s = DefaultSettingsRecord();
  s.m_AnalyzeBusChannel = 0;
  I2CSettingsFields f = I2CFieldsFromSettings(s);
  f.standard[kRowLow] = "999";
  f.hs_enable = true;
  EXPECT_FALSE(ApplyI2CSettingsDialog(f, false, &s));
  EXPECT_EQ(uint32_t{s.tLOW}, 130u);
  EXPECT_EQ(s.HsEnable, 1);
}

TEST(I2CSettingsDialog, LimitsOutsideTheSpinRangeAreRefused) {
  struct Case {
    bool hs;
    TimingRow row;
    const char* text;
    bool enabled;
    const char* message;  // empty: accepted
  };
  const std::vector<Case> cases = {
      {false, kRowLow, "4", true, ""},
      {false, kRowLow, "1000000", true, ""},
      {false, kRowLow, "", true, ""},  // counts as 10
      {false, kRowHdDat, "0x0F4240", true, ""},
      {false, kRowLow, "3", true, "tLOW : Out of range \n range 1000000 >= (tLOW) >= 4"},
      {false, kRowSuDat, "1000001", true,
       "tSU_DAT : Out of range \n range 1000000 >= (tSU_DAT) >= 4"},
      {false, kRowHdSta, "12us", true,
       "tHD_STA : Out of range \n range 1000000 >= (tHD_STA) >= 4"},
      {false, kRowLow, "3", false, ""},  // monitor data: the fields are not read
      {true, kRowSuDat, "1", true, ""},
      {true, kRowSuDat, "0", true,
       "tSU_DAT (HS-MODE) : Out of range \n range 1000000 >= (tSU_DAT) >= 1"},
      {true, kRowHigh, "2", true, "tHIGH (HS-MODE) : Out of range \n range 1000000 >= (tHIGH) >= 4"},
      {true, kRowBuf, "0", true, ""},  // the HS column has no tBUF
  };
  for (const Case& c : cases) {
    I2CSettingsFields f = I2CFieldsFromSettings(DefaultSettingsRecord());
    (c.hs ? f.hs : f.standard)[c.row] = c.text;
    EXPECT_EQ(ValidateI2CSettingsDialog(f, c.enabled).value_or(""), c.message)
        << TimingRowName(c.row) << (c.hs ? " HS " : " ") << c.text;
  }
  // Every preset lies within the ranges.
  for (const TimingPreset preset : {TimingPreset::kFast, TimingPreset::kStandard,
                                    TimingPreset::kHs100pF, TimingPreset::kHs400pF}) {
    I2CSettingsFields f = I2CFieldsFromSettings(DefaultSettingsRecord());
    ApplyPreset(preset, &f);
    EXPECT_FALSE(ValidateI2CSettingsDialog(f, true).has_value());
  }
}

TEST(SpiSettingsDialog, DataLengthRangeAndTimeout) {
  const std::string range_message = "Data Length : Out of range \n range 131072 >= (DataLength) >= 4";
  for (const char* bad : {"3", "131073", "", "x"}) {
    SettingsRecord s = DefaultSettingsRecord();
    SpiSettingsFields f = SpiFieldsFromSettings(s);
    f.data_length = bad;
    EXPECT_EQ(ApplySpiSettingsDialog(f, &s).message.value_or(""), range_message) << bad;
    EXPECT_EQ(uint32_t{s.SpiDataLength}, 1024u);
  }
  SettingsRecord s = DefaultSettingsRecord();
  s.m_AnalyzeBusChannel = 0;
  SpiSettingsFields f = SpiFieldsFromSettings(s);
  f.data_length = "4";
  f.timeout_ms = "nonsense";
  f.ss_active_high = true;
  f.msb_first = false;
  f.rising_edge = false;
  const SpiDialogResult result = ApplySpiSettingsDialog(f, &s);
  EXPECT_FALSE(result.message.has_value());
  EXPECT_TRUE(result.rebuild);
  EXPECT_EQ(uint32_t{s.SpiSclkTimeout}, 0u);
  EXPECT_EQ(uint32_t{s.SpiDataLength}, 4u);
  EXPECT_EQ(s.SpiSsMode, 2);
  EXPECT_EQ(s.SpiSamplingEdge, 2);
  EXPECT_EQ(s.SpiBitFlags, 0);
  f.monitor_ss = false;
  f.timeout_enabled = false;
  f.data_length = "0x20000";
  ApplySpiSettingsDialog(f, &s);
  EXPECT_EQ(s.SpiSsMode, 0);
  EXPECT_EQ(uint32_t{s.SpiDataLength}, 131072u);
}

}  // namespace
}  // namespace orvane
