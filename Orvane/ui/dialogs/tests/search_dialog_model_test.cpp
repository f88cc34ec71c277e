#include "Orvane/ui/dialogs/search_dialog_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane {
namespace {

TEST(SearchDialogModel, PatternsShowTheRememberedBytesAndStoreThoseTyped) {
  struct Case {
    uint8_t length;
    const char* typed;
    std::vector<uint8_t> stored;  // the pattern kept, up to eight bytes
    const char* shown_again;
  };
  const std::vector<Case> cases = {
      {2, "AA BB", {0xAA, 0xBB}, "AA:BB"},
      {2, "aa:bb:cc", {0xAA, 0xBB}, "AA:BB"},             // beyond the length: dropped
      {3, "-12", {0x12, 0x00, 0x00}, "12:00:00"},         // not typed: 0x00
      {8, "1,2;3.4_5 6-7:8", {1, 2, 3, 4, 5, 6, 7, 8}, "01:02:03:04:05:06:07:08"},
      {0, "FF", {0xFF}, "FF"},                            // a length below 1 is 1
      {9, "", {0, 0, 0, 0, 0, 0, 0, 0}, "00:00:00:00:00:00:00:00"},
  };
  for (const Case& c : cases) {
    SearchMemory memory;
    memory.data_pattern.fill(0x77);
    StoreDataSearchFields({c.length, c.typed}, &memory);
    ASSERT_EQ(memory.data_length, c.stored.size()) << c.typed;
    std::array<uint8_t, 8> expected{};
    std::copy(c.stored.begin(), c.stored.end(), expected.begin());
    EXPECT_EQ(memory.data_pattern, expected) << c.typed;
    const DataSearchFields again = DataSearchFieldsFromMemory(memory);
    EXPECT_EQ(again.length, c.stored.size());
    EXPECT_EQ(again.pattern, c.shown_again) << c.typed;
  }
}

TEST(SearchDialogModel, SubAddressKeepsAtMostFourBytes) {
  struct Case {
    uint8_t length;
    const char* typed;
    uint8_t stored_length;
    std::array<uint8_t, 4> stored;
    const char* shown_again;
  };
  const std::vector<Case> cases = {
      {1, "12 34", 1, {0x12, 0, 0, 0}, "12"},
      {2, "0x12:0x34", 2, {0x12, 0x34, 0, 0}, "12:34"},
      {4, "1 2 3 4 5", 4, {1, 2, 3, 4}, "01:02:03:04"},
      {7, "AB", 4, {0xAB, 0, 0, 0}, "AB:00:00:00"},
  };
  for (const Case& c : cases) {
    SearchMemory memory;
    memory.sub_data.fill(0x55);
    StoreSubAddressSearchFields({c.length, c.typed}, &memory);
    EXPECT_EQ(memory.sub_length, c.stored_length) << c.typed;
    EXPECT_EQ(memory.sub_data, c.stored) << c.typed;
    EXPECT_EQ(SubAddressSearchFieldsFromMemory(memory).data, c.shown_again) << c.typed;
  }
}

TEST(SearchDialogModel, AddressIsCheckedBeforeAnythingIsStored) {
  struct Case {
    const char* typed;
    bool ten_bit;
    bool accepted;
    uint16_t address;
  };
  const std::vector<Case> cases = {
      {"0x50", false, true, 0x50},
      {"80", false, true, 80},
      {"0120", false, true, 0120},
      {"0x3FF", true, true, 0x3FF},
      {"0x400", true, false, 0},
      {"0x400", false, true, 0x400},
      {"fifty", false, false, 0},
      {"", false, false, 0},
  };
  for (const Case& c : cases) {
    SearchMemory memory;
    memory.address = 7;
    const auto message = StoreAddressSearchFields({c.typed, c.ten_bit, false, true}, &memory);
    EXPECT_EQ(!message, c.accepted) << c.typed;
    if (message) {
      EXPECT_EQ(*message, "I2C address error");
      EXPECT_EQ(memory.address, 7);
      EXPECT_TRUE(memory.address_read);
      continue;
    }
    EXPECT_EQ(memory.address, c.address) << c.typed;
    EXPECT_EQ(memory.address_10bit, c.ten_bit);
    EXPECT_FALSE(memory.address_read);
    EXPECT_TRUE(memory.address_write);
  }
  SearchMemory memory;
  memory.address = 0x1A;
  memory.address_10bit = true;
  const AddressSearchFields shown = AddressSearchFieldsFromMemory(memory);
  EXPECT_EQ(shown.address, "0x01A");
  EXPECT_TRUE(shown.ten_bit);
}

TEST(SearchDialogModel, JumpOffersTheListedRangeAndStartsAtZero) {
  const JumpFields fields = JumpFieldsFromRange(12, 4000000000u);
  EXPECT_EQ(fields.first, "12");
  EXPECT_EQ(fields.last, "4000000000");
  EXPECT_EQ(fields.target, "0");
}

}  // namespace
}  // namespace orvane
