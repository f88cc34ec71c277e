#include "Orvane/capture/settings_record.h"

#include <gtest/gtest.h>

#include <cstring>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/settings_fields.h"
#include "platform/settings_store.h"
#include "platform/tests/scratch_folder.h"

namespace orvane {
namespace {

const uint8_t* RawBytes(const SettingsRecord& r) { return reinterpret_cast<const uint8_t*>(&r); }
uint8_t* RawBytesMut(SettingsRecord& r) { return reinterpret_cast<uint8_t*>(&r); }

struct DefaultCase {
  const char* field;
  uint32_t value;
};

class DefaultsTest : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultsTest, NewRecordHoldsTheDefault) {
  const SettingsRecord r = DefaultSettingsRecord();
  const SettingsField* field = FindSettingsField(GetParam().field);
  ASSERT_NE(field, nullptr) << GetParam().field;
  EXPECT_EQ(GetSettingsNumber(r, *field), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DefaultsTest,
    ::testing::Values(DefaultCase{"m_AnalyzeBusChannel", 0}, DefaultCase{"SamplePeriodCode", 2},
                      DefaultCase{"SpiSamplingEdge", 1}, DefaultCase{"SpiSsMode", 1},
                      DefaultCase{"SpiBitFlags", 1}, DefaultCase{"SpiSclkTimeout", 1000},
                      DefaultCase{"SpiDataLength", 1024}, DefaultCase{"tHD_STA", 60},
                      DefaultCase{"tSU_STA", 60}, DefaultCase{"tSU_STO", 60},
                      DefaultCase{"tBUF", 130}, DefaultCase{"tLOW", 130},
                      DefaultCase{"tHIGH", 60}, DefaultCase{"tHD_DAT", 90},
                      DefaultCase{"tSU_DAT", 10}, DefaultCase{"IgnoreNackBeforeStop", 1},
                      DefaultCase{"TriggerPosition", 1}, DefaultCase{"DataLength", 4},
                      DefaultCase{"AddressMask", 1023}, DefaultCase{"SubAddressLength", 2},
                      DefaultCase{"TrgOutSubAddressLength", 2},
                      DefaultCase{"ForcedDisplayWindow", 200},
                      DefaultCase{"FilterSubAddressLength", 1},
                      DefaultCase{"FilterAddressMask", 1023}, DefaultCase{"FilterRead", 1},
                      DefaultCase{"FilterWrite", 1}, DefaultCase{"FilterFromSubAddress", 1},
                      DefaultCase{"FilterFromWrite", 1}, DefaultCase{"FilterWriteForRead", 1},
                      DefaultCase{"FilterOmitWriteForRead", 0}, DefaultCase{"HsMarker", 'H'},
                      DefaultCase{"HsEnable", 0}, DefaultCase{"tHD_STA_HS", 16},
                      DefaultCase{"tSU_STA_HS", 16}, DefaultCase{"tSU_STO_HS", 16},
                      DefaultCase{"tLOW_HS", 16}, DefaultCase{"tHIGH_HS", 6},
                      DefaultCase{"tHD_DAT_HS", 7}, DefaultCase{"tSU_DAT_HS", 1}));

TEST(SettingsRecordTest, DefaultMasksAreAllOnesAndReservedBytesZero) {
  const SettingsRecord r = DefaultSettingsRecord();
  for (uint8_t b : r.DataMask) EXPECT_EQ(b, 0xFF);
  for (uint8_t b : r.SubAddressMask) EXPECT_EQ(b, 0xFF);
  for (uint8_t b : r.FilterSubAddressMask) EXPECT_EQ(b, 0xFF);
  for (size_t offset : {60u, 63u, 64u, 83u, 86u, 94u, 99u, 111u, 116u, 118u, 119u, 170u, 173u,
                        188u, 191u, 208u, 465u}) {
    EXPECT_EQ(RawBytes(r)[offset], 0) << offset;
  }
}

TEST(SettingsRecordTest, MultiByteFieldsAreLittleEndianInPlace) {
  SettingsRecord r = DefaultSettingsRecord();
  r.SpiSclkTimeout = 0x11223344;
  r.TriggerPosition = 0xA1B2;
  EXPECT_EQ(RawBytes(r)[15], 0x44);
  EXPECT_EQ(RawBytes(r)[18], 0x11);
  EXPECT_EQ(RawBytes(r)[61], 0xB2);
  EXPECT_EQ(RawBytes(r)[62], 0xA1);
}

struct RepairCase {
  const char* name;
  void (*damage)(SettingsRecord&);
  void (*check)(const SettingsRecord&);
};

class RepairTest : public ::testing::TestWithParam<RepairCase> {};

TEST_P(RepairTest, LoadedRecordIsRepaired) {
  SettingsRecord r = DefaultSettingsRecord();
  GetParam().damage(r);
  RepairLoadedSettings(r);
  GetParam().check(r);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RepairTest,
    ::testing::Values(
        RepairCase{"ZeroSubAddressMaskBytes",
                   [](SettingsRecord& r) {
                     r.FilterSubAddressMask[0] = 0;
                     r.FilterSubAddressMask[2] = 0;
                     r.FilterSubAddressMask[3] = 0x0F;
                   },
                   [](const SettingsRecord& r) {
                     EXPECT_EQ(r.FilterSubAddressMask[0], 0xFF);
                     EXPECT_EQ(r.FilterSubAddressMask[2], 0xFF);
                     EXPECT_EQ(r.FilterSubAddressMask[3], 0x0F);
                   }},
        RepairCase{"ZeroAddressMask", [](SettingsRecord& r) { r.FilterAddressMask = 0; },
                   [](const SettingsRecord& r) { EXPECT_EQ(r.FilterAddressMask, 1023); }},
        RepairCase{"SubAddressLengthZero", [](SettingsRecord& r) { r.FilterSubAddressLength = 0; },
                   [](const SettingsRecord& r) { EXPECT_EQ(r.FilterSubAddressLength, 1); }},
        RepairCase{"SubAddressLengthFive", [](SettingsRecord& r) { r.FilterSubAddressLength = 5; },
                   [](const SettingsRecord& r) { EXPECT_EQ(r.FilterSubAddressLength, 1); }},
        RepairCase{"SubAddressLengthFourKept",
                   [](SettingsRecord& r) { r.FilterSubAddressLength = 4; },
                   [](const SettingsRecord& r) { EXPECT_EQ(r.FilterSubAddressLength, 4); }},
        RepairCase{"OldRecordWithoutHsMarker",
                   [](SettingsRecord& r) {
                     std::memset(RawBytesMut(r) + 174, 0, 34);
                     r.HsEnable = 1;
                   },
                   [](const SettingsRecord& r) {
                     EXPECT_EQ(r.HsMarker, 'H');
                     EXPECT_EQ(r.HsEnable, 0);
                     EXPECT_EQ(r.tHD_STA_HS, 16u);
                     EXPECT_EQ(r.tHIGH_HS, 6u);
                     EXPECT_EQ(r.tHD_DAT_HS, 7u);
                     EXPECT_EQ(r.tSU_DAT_HS, 1u);
                   }},
        RepairCase{"HsValuesKeptWithMarker",
                   [](SettingsRecord& r) {
                     r.HsEnable = 1;
                     r.tHIGH_HS = 99;
                   },
                   [](const SettingsRecord& r) {
                     EXPECT_EQ(r.HsEnable, 1);
                     EXPECT_EQ(r.tHIGH_HS, 99u);
                   }}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

TEST(AppSettingsTest, SettingSectionValuesWithTheirDefaults) {
  velix::platform::testing::ScratchFolder folder;
  velix::platform::IniSettingsStore store(folder.File("Orvane.ini"));
  AppState app;
  LoadAppSettings(store, app);
  EXPECT_EQ(app.analyzer_bulk_len, 131072u);
  EXPECT_EQ(app.monitor_i2c_bulk_len, 4096u);
  EXPECT_EQ(app.monitor_spi_bulk_len, 8192u);
  EXPECT_EQ(app.lock_memory, 1u);
  EXPECT_EQ(app.no_wait, 0u);

  ASSERT_TRUE(store.SetInt("Setting", "NoWait", 1));
  ASSERT_TRUE(store.SetInt("Setting", "ANALYZER_BULK_Len", 65536));
  ASSERT_TRUE(store.SetInt("Setting", "Priority", 2));
  LoadAppSettings(store, app);
  EXPECT_EQ(app.no_wait, 1u);
  EXPECT_EQ(app.analyzer_bulk_len, 65536u);
  EXPECT_EQ(app.priority, 2);
}

}  // namespace
}  // namespace orvane
