// The software trigger dialog's rules: fields from the record, which
// controls may be used, the position check, and what OK stores.
#include "Orvane/ui/dialogs/trigger_setting_model.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace orvane {
namespace {

constexpr TriggerContext kUnknownBus{true, false, kBusSpi};
constexpr TriggerContext kSpi{true, true, kBusSpi};
constexpr TriggerContext kI2C0{true, true, 1};

TEST(TriggerSettingModel, ValuesTheListsCannotShowOpenAsTheirFirstEntry) {
  SettingsRecord s = DefaultSettingsRecord();
  s.DataOp = 1;
  s.AddressOp = 7;
  s.NackOp = 2;
  s.AddressCondition = 1;
  s.SubAddressCondition = 9;
  s.DataLength = 9;
  s.SubAddressLength = 0;
  s.TriggerPosition = 250;
  s.AddressValue = 0x2A5;
  const TriggerFields f = TriggerFieldsFromSettings(s);
  EXPECT_EQ(f.data_op, 1);
  EXPECT_EQ(f.address_op, 0);
  EXPECT_EQ(f.nack_op, 0);
  EXPECT_EQ(f.address_condition, 1);
  EXPECT_EQ(f.sub_address_condition, 0);
  EXPECT_EQ(f.data_length, 4);
  EXPECT_EQ(f.sub_address_length, 2);
  EXPECT_EQ(f.position, 100);
  EXPECT_EQ(f.address, "0x2A5");
}

TEST(TriggerSettingModel, EnablingFollowsTheChecksAndTheBus) {
  struct Case {
    const char* name;
    TriggerContext context;
    std::function<void(TriggerFields&)> set;
    std::function<void(const TriggerEnables&)> check;
  };
  const std::vector<Case> cases = {
      {"TriggerOffDisablesAll", kI2C0,
       [](TriggerFields& f) {
         f.data_enabled = f.address_enabled = f.sub_address_enabled = f.nack = true;
       },
       [](const TriggerEnables& e) {
         EXPECT_FALSE(e.position || e.data_check || e.data_fields || e.i2c_part || e.address_fields ||
                      e.sub_address_fields || e.nack_op || e.data_op || e.address_op || e.nack_caption);
       }},
      {"OnWithNothingChecked", kI2C0, [](TriggerFields& f) { f.enabled = true; },
       [](const TriggerEnables& e) {
         EXPECT_TRUE(e.position && e.data_check && e.i2c_part);
         EXPECT_FALSE(e.data_fields || e.address_fields || e.sub_address_fields);
         EXPECT_FALSE(e.nack_op || e.data_op || e.address_op);
       }},
      {"SpiKeepsTheI2CPartOffAndTheDataPatternOn", kSpi,
       [](TriggerFields& f) {
         f.enabled = f.data_enabled = f.address_enabled = f.sub_address_enabled = f.nack = true;
       },
       [](const TriggerEnables& e) {
         EXPECT_TRUE(e.data_check && e.data_fields && e.position);
         EXPECT_FALSE(e.i2c_part || e.address_fields || e.sub_address_fields);
         EXPECT_FALSE(e.nack_op || e.data_op || e.address_op || e.nack_caption || e.data_caption);
       }},
      {"UnknownBusOffersTheI2CPart", kUnknownBus,
       [](TriggerFields& f) { f.enabled = f.address_enabled = true; },
       [](const TriggerEnables& e) { EXPECT_TRUE(e.i2c_part && e.address_fields && e.address_caption); }},
      {"DataAndSubAddress", kI2C0,
       [](TriggerFields& f) { f.enabled = f.data_enabled = f.sub_address_enabled = true; },
       [](const TriggerEnables& e) {
         EXPECT_TRUE(e.data_op);
         EXPECT_FALSE(e.address_op || e.nack_op || e.address_caption || e.nack_caption);
         EXPECT_TRUE(e.data_caption && e.sub_address_caption);
       }},
      {"AddressAndSubAddress", kI2C0,
       [](TriggerFields& f) { f.enabled = f.address_enabled = f.sub_address_enabled = true; },
       [](const TriggerEnables& e) { EXPECT_TRUE(e.address_op && !e.data_op && !e.nack_op); }},
      {"NackAlone", kI2C0, [](TriggerFields& f) { f.enabled = f.nack = true; },
       [](const TriggerEnables& e) { EXPECT_TRUE(e.nack_caption && !e.nack_op); }},
      {"NackAndData", kI2C0, [](TriggerFields& f) { f.enabled = f.nack = f.data_enabled = true; },
       [](const TriggerEnables& e) { EXPECT_TRUE(e.nack_op && !e.data_op && !e.address_op); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TriggerFields f = TriggerFieldsFromSettings(DefaultSettingsRecord());
    c.set(f);
    c.check(TriggerControlEnables(f, c.context));
  }
}

TEST(TriggerSettingModel, PositionAcceptsZeroToHundred) {
  struct Case {
    const char* text;
    int value;  // -1: refused
    const char* message;
  };
  const std::vector<Case> cases = {
      {"100", 100, ""},
      {"0", 0, ""},
      {"0x32", 50, ""},
      {"010", 8, ""},
      {"150", -1, "Setting error.\nThe setting value is beyond the range\n : 150"},
      {"101", -1, "Setting error.\nThe setting value is beyond the range\n : 101"},
      {"abc", -1, "Setting error.\nThe setting value is beyond the range\n : 4294967295"},
      {"", -1, "Setting error.\nThe setting value is beyond the range\n : 4294967295"},
  };
  for (const Case& c : cases) {
    const SizeEntry entry = CheckTriggerPosition(c.text);
    EXPECT_EQ(entry.value.has_value(), c.value >= 0) << c.text;
    EXPECT_EQ(entry.value.value_or(~0u), c.value >= 0 ? static_cast<uint32_t>(c.value) : ~0u) << c.text;
    EXPECT_EQ(entry.message, c.message) << c.text;
  }
}

TEST(TriggerSettingModel, OkChecksTheAddressOnlyWhileItsFieldsAreEnabled) {
  struct Case {
    const char* name;
    TriggerContext context;
    bool address_enabled, ten_bit;
    const char* address;
    const char* mask;
    const char* message;  // nullptr: stored
    uint16_t stored_address, stored_mask;
  };
  const std::vector<Case> cases = {
      {"TenBitTooLarge", kI2C0, true, true, "0x400", "0x3FF", "I2C address error", 0x123, 0x3FF},
      {"TenBitLargest", kI2C0, true, true, "0x3FF", "0x3FF", nullptr, 0x3FF, 0x3FF},
      {"SevenBitUnchecked", kI2C0, true, false, "0x400", "0xFFFF", nullptr, 0x400, 0xFFFF},
      {"SixteenBitsKept", kI2C0, true, false, "0x12345", "0x3FF", nullptr, 0x2345, 0x3FF},
      {"Unreadable", kI2C0, true, false, "zz", "0x3FF", "I2C address error", 0x123, 0x3FF},
      {"MaskTooLarge", kI2C0, true, true, "0x50", "2048", "I2C address Mask error", 0x123, 0x3FF},
      {"MaskUnreadable", kI2C0, true, false, "0x50", "", "I2C address Mask error", 0x123, 0x3FF},
      {"AddressOff", kI2C0, false, true, "0x400", "zz", nullptr, 0x400, 0x3FF},
      {"SpiBusSkipsTheCheck", kSpi, true, true, "zz", "0x7F", nullptr, 0x123, 0x7F},
  };
  for (const Case& c : cases) {
    SettingsRecord s = DefaultSettingsRecord();
    s.AddressValue = 0x123;
    TriggerFields f = TriggerFieldsFromSettings(s);
    f.enabled = true;
    f.address_enabled = c.address_enabled;
    f.ten_bit = c.ten_bit;
    f.address = c.address;
    f.address_mask = c.mask;
    f.nack = true;
    const auto message = ApplyTriggerDialog(f, c.context, &s);
    EXPECT_EQ(message.value_or("stored"), c.message ? c.message : "stored") << c.name;
    EXPECT_EQ(uint16_t{s.AddressValue}, c.stored_address) << c.name;
    EXPECT_EQ(uint16_t{s.AddressMask}, c.stored_mask) << c.name;
    // A refusal stores nothing at all.
    EXPECT_EQ(s.TriggerEnable, c.message ? 0 : 1) << c.name;
  }
}

TEST(TriggerSettingModel, OkStoresEveryFieldAndDisabledOperatorsAsOr) {
  struct Case {
    const char* name;
    bool data, address, sub_address, nack;
    uint8_t data_op, address_op, nack_op;  // stored
  };
  const std::vector<Case> cases = {
      {"DataAndSubAddress", true, false, true, false, 1, 0, 0},
      {"All", true, true, true, true, 1, 1, 1},
      {"NackAndAddress", false, true, false, true, 0, 0, 1},
      {"NoneButData", true, false, false, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SettingsRecord s = DefaultSettingsRecord();
    TriggerFields f = TriggerFieldsFromSettings(s);
    f.enabled = true;
    f.position = 100;
    f.data_enabled = c.data;
    f.address_enabled = c.address;
    f.sub_address_enabled = c.sub_address;
    f.nack = c.nack;
    f.data_op = f.address_op = f.nack_op = 1;
    f.data_length = 2;
    f.data = {0xAA, 0xBB, 0, 0, 0, 0, 0, 7};
    f.sub_address_length = 3;
    f.sub_address_mask = {0xF0, 0xFF, 0x0F, 0xFF};
    f.address_condition = 1;
    ASSERT_FALSE(ApplyTriggerDialog(f, kI2C0, &s)) << c.name;
    EXPECT_EQ(s.DataOp, c.data_op) << c.name;
    EXPECT_EQ(s.AddressOp, c.address_op) << c.name;
    EXPECT_EQ(s.NackOp, c.nack_op) << c.name;
    EXPECT_EQ(s.TriggerEnable, 1);
    EXPECT_EQ(uint16_t{s.TriggerPosition}, 100);
    EXPECT_EQ(s.DataPatternEnable, c.data ? 1 : 0);
    EXPECT_EQ(s.DataLength, 2);
    EXPECT_EQ(s.DataPattern[1], 0xBB);
    EXPECT_EQ(s.DataPattern[7], 7);  // bytes beyond the length are kept
    EXPECT_EQ(s.SubAddressLength, 3);
    EXPECT_EQ(s.SubAddressMask[2], 0x0F);
    EXPECT_EQ(s.AddressCondition, 1);
    EXPECT_EQ(s.NackDetect, c.nack ? 1 : 0);
  }
}

}  // namespace
}  // namespace orvane
