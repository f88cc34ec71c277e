// The I2C packet line, what a search result selects in it, and the
// double-click rule of the packet tab.
#include "Orvane/ui/tabs/packet_text.h"

#include <gtest/gtest.h>

#include "Orvane/capture/transaction_info.h"

namespace orvane::ui {
namespace {

TransactionDetail Detail(std::vector<uint8_t> bytes, std::vector<uint8_t> acks) {
  TransactionDetail detail;
  detail.index = 0;
  detail.count = static_cast<uint32_t>(bytes.size());
  detail.bytes = std::move(bytes);
  detail.bytes2 = std::move(acks);
  return detail;
}

TEST(PacketText, Line) {
  const struct {
    const char* name;
    uint8_t type;
    TransactionDetail detail;
    const char* line;
  } cases[] = {
      {"START, the last of three NACKed, STOP", kBeganStart | kEndedStop, Detail({0xA0, 0x10, 0x5C}, {0x20}),
       "[S] A0. 10. 5C? [P]"},
      {"repeated START, ended by another", kBeganRepeatedStart | kEndedRepeatedStart, Detail({0xA1, 0xFF}, {0x00}),
       "[R] A1. FF. "},
      {"START wins over repeated START", kBeganStart | kBeganRepeatedStart, Detail({0x01}, {0x80}), "[S] 01? "},
      {"no bytes: only the marks", kBeganStart | kEndedStop, Detail({}, {}), "[S] [P]"},
      {"no condition at all", 0, Detail({0x42}, {0x00}), "42. "},
      {"ACK bits across two bytes", kBeganStart,
       Detail({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0x01, 0x40}), "[S] 00. 01. 02. 03. 04. 05. 06. 07? 08. 09? "},
      {"missing ACK bits read as ACK", kBeganStart, Detail({0x11, 0x22}, {}), "[S] 11. 22. "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PacketLine(c.type, c.detail), c.line);
  }
}

TEST(PacketText, CountBeyondTheArraysStopsAtTheBytes) {
  TransactionDetail detail = Detail({0x12}, {0x00});
  detail.count = 1000;
  EXPECT_EQ(PacketLine(kBeganStart, detail), "[S] 12. ");
}

TEST(PacketText, SearchSelection) {
  const uint8_t start = kBeganStart | kEndedStop;
  const struct {
    const char* name;
    HighlightKind search;
    uint32_t offset;
    uint32_t length;
    uint8_t type;
    uint32_t count;
    std::optional<CharSpan> span;
  } cases[] = {
      {"data: one byte and its mark", HighlightKind::kI2cData, 0, 1, start, 3, CharSpan{4, 7}},
      {"data: two bytes from the second", HighlightKind::kI2cData, 1, 2, start, 3, CharSpan{8, 15}},
      {"data running past the end stops at the last byte", HighlightKind::kI2cData, 2, 5, start, 3,
       CharSpan{12, 15}},
      {"NACK: the mark alone", HighlightKind::kNack, 2, 1, start, 3, CharSpan{14, 15}},
      {"without a START mark the same bytes", HighlightKind::kNack, 2, 1, 0, 3, CharSpan{10, 11}},
      {"MISO searches leave the packet alone", HighlightKind::kMiso, 0, 1, start, 3, std::nullopt},
      {"MOSI searches too", HighlightKind::kMosi, 0, 1, start, 3, std::nullopt},
      {"an offset beyond the bytes", HighlightKind::kI2cData, 3, 1, start, 3, std::nullopt},
      {"no length", HighlightKind::kI2cData, 0, 0, start, 3, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PacketSelection(c.search, c.offset, c.length, c.type, c.count), c.span);
  }
}

TEST(PacketText, SelectionCoversTheFoundTextOfTheLine) {
  const TransactionDetail detail = Detail({0xA0, 0x10, 0x5C}, {0x20});
  const std::string line = PacketLine(kBeganStart | kEndedStop, detail);
  const auto text = [&](const std::optional<CharSpan>& span) {
    return span ? line.substr(span->first, span->end - span->first) : std::string("none");
  };
  EXPECT_EQ(text(PacketSelection(HighlightKind::kI2cData, 1, 2, kBeganStart | kEndedStop, 3)), "10. 5C?");
  EXPECT_EQ(text(PacketSelection(HighlightKind::kNack, 2, 1, kBeganStart | kEndedStop, 3)), "?");
}

TEST(PacketText, BrokenIntoLinesBetweenBytes) {
  const TransactionDetail detail = Detail({0, 1, 2, 3, 4}, {0x08});
  const std::string line = PacketLine(kBeganStart | kEndedStop, detail);
  EXPECT_EQ(WrapPacketLine(line, 4, 2), "[S] 00. 01. \n02. 03. \n04? [P]");
  // A full last line leaves the STOP mark to the next one, as wrapping would.
  EXPECT_EQ(WrapPacketLine(line, 4, 5), "[S] 00. 01. 02. 03. 04? \n[P]");
  EXPECT_EQ(WrapPacketLine(line, 4, 6), "[S] 00. 01. 02. 03. 04? [P]");
  EXPECT_EQ(WrapPacketLine(line, 4, 0), "[S] 00. \n01. \n02. \n03. \n04? \n[P]");
  EXPECT_EQ(WrapPacketLine("10. 11. ", 0, 1), "10. \n11. ");
}

TEST(PacketText, SelectionsLandOnTheSameTextOnceBroken) {
  const TransactionDetail detail = Detail({0, 1, 2, 3, 4}, {0x08});
  const uint8_t type = kBeganStart | kEndedStop;
  const std::string line = PacketLine(type, detail);
  const struct {
    HighlightKind search;
    uint32_t offset;
    uint32_t length;
    uint32_t bytes_per_line;
    const char* text;
  } cases[] = {
      {HighlightKind::kI2cData, 0, 1, 2, "00."},
      {HighlightKind::kI2cData, 1, 1, 2, "01."},
      {HighlightKind::kI2cData, 2, 1, 2, "02."},
      {HighlightKind::kI2cData, 1, 2, 2, "01. \n02."},
      {HighlightKind::kI2cData, 0, 5, 2, "00. 01. \n02. 03. \n04?"},
      {HighlightKind::kNack, 4, 1, 2, "?"},
      {HighlightKind::kNack, 4, 1, 1, "?"},
      {HighlightKind::kI2cData, 3, 2, 3, "03. 04?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.offset << "+" << c.length << " in lines of " << c.bytes_per_line);
    const std::string wrapped = WrapPacketLine(line, 4, c.bytes_per_line);
    const std::optional<CharSpan> span = PacketSelection(c.search, c.offset, c.length, type, 5);
    ASSERT_TRUE(span);
    const uint32_t first = WrappedPosition(span->first, 4, c.bytes_per_line, false);
    const uint32_t end = WrappedPosition(span->end, 4, c.bytes_per_line, true);
    EXPECT_EQ(wrapped.substr(first, end - first), c.text);
  }
  // Without a condition mark the breaks count from the first byte.
  const std::string bare = WrapPacketLine("10. 11. 12? ", 0, 1);
  const std::optional<CharSpan> nack = PacketSelection(HighlightKind::kNack, 2, 1, 0, 3);
  ASSERT_TRUE(nack);
  EXPECT_EQ(bare.substr(WrappedPosition(nack->first, 0, 1, false), 1), "?");
}

TEST(PacketText, DoubleClicksShowAgainFromTheThird) {
  DoubleClickCounter counter;
  EXPECT_FALSE(counter.LeftDoubleClick());
  EXPECT_FALSE(counter.LeftDoubleClick());
  EXPECT_TRUE(counter.LeftDoubleClick());
  EXPECT_TRUE(counter.LeftDoubleClick());
  counter.Reset();
  EXPECT_FALSE(counter.LeftDoubleClick());
  EXPECT_FALSE(counter.LeftDoubleClick());
  EXPECT_TRUE(counter.LeftDoubleClick());
}

}  // namespace
}  // namespace orvane::ui
