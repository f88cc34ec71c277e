// The exports' own formatting against plain printf-built texts: the fast
// path must write every byte the straightforward one does.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Orvane/decode/cell_texts.h"
#include "Orvane/decode/export_csv.h"
#include "Orvane/decode/export_csv_row.h"
#include "Orvane/decode/hex_dump.h"
#include "Orvane/decode/text_append.h"

namespace orvane {
namespace {

template <typename... Args>
std::string Printf(const char* format, Args... args) {
  char text[128];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

TEST(TextAppend, MatchesPrintf) {
  struct Case {
    uint64_t value;
    int width;
    char pad;  // '0' or ' ' for the hexadecimal form
  };
  const std::vector<Case> cases = {
      {0, 2, '0'},          {7, 3, ' '},           {12345, 3, '0'},         {0x2A5, 3, '0'},
      {0xFFFF, 3, ' '},     {0xFFFFFF, 6, '0'},    {0x1000000, 6, '0'},     {0xFFFFFFFF, 2, ' '},
      {1000000000, 9, '0'}, {4294967295u, 10, '0'}, {18446744073709551615u, 1, '0'},
  };
  for (const Case& c : cases) {
    std::string text = "x";
    AppendDecimal(c.value, &text);
    EXPECT_EQ(text, "x" + Printf("%llu", static_cast<unsigned long long>(c.value)));
    if (c.value > 0xFFFFFFFFu) continue;
    const auto value = static_cast<uint32_t>(c.value);
    text.clear();
    AppendZeroPadded(value, c.width, &text);
    EXPECT_EQ(text, Printf("%0*u", c.width, value)) << c.value;
    text.clear();
    AppendHexPadded(value, c.width, c.pad, &text);
    EXPECT_EQ(text, Printf(c.pad == '0' ? "%0*X" : "%*X", c.width, value)) << c.value;
    text.clear();
    AppendHexByte(static_cast<uint8_t>(value), &text);
    EXPECT_EQ(text, Printf("%02X", value & 0xFF));
  }
}

// The digit and byte tables behind the cells, for every value they take.
TEST(TextAppend, TablesMatchPrintfForEveryValue) {
  std::vector<uint8_t> bytes(256);
  std::string hex_reference;
  std::string spaced_reference;
  for (uint32_t v = 0; v < 1000; ++v) {
    char text[4] = {};
    EXPECT_EQ(std::string(text, PutThreeDigits(v, text)), Printf("%03u", v));
    if (v < 100) {
      EXPECT_EQ(std::string(text, PutTwoDigits(v, text)), Printf("%02u", v));
    }
    if (v > 255) continue;
    const auto byte = static_cast<uint8_t>(v);
    EXPECT_EQ(std::string(text, PutHexByte(byte, text)), Printf("%02X", v));
    bytes[v] = byte;
    hex_reference += Printf("%02X", v);
    spaced_reference += Printf(" %02X", v);
  }
  std::string hex = "x";
  AppendHexBytes(bytes.data(), bytes.size(), &hex);
  EXPECT_EQ(hex, "x" + hex_reference);
  EXPECT_EQ(SpacedHexText(bytes.data(), 256), spaced_reference);
  // The in-place form writes one spare character, which the caller's room
  // holds, and ends after the last byte's pair.
  std::vector<char> spaced(3 * 256 + 1, '#');
  char* end = PutSpacedHex(bytes.data(), bytes.size(), spaced.data());
  EXPECT_EQ(std::string(spaced.data(), end), spaced_reference);
}

TEST(TextAppend, TimesMatchPrintfOnRandomClocks) {
  std::mt19937_64 random(17);
  std::vector<uint64_t> clocks = {0, 1, 99, 100, 99999999, 100000000, 429496729600000000ull,
                                  ~uint64_t{0}};
  for (int i = 0; i < 2000; ++i) clocks.push_back(random() >> (random() % 64));
  for (uint64_t c : clocks) {
    for (uint8_t code : {uint8_t{1}, uint8_t{2}, uint8_t{5}, uint8_t{255}}) {
      const uint64_t t = c * code;
      EXPECT_EQ(FormatStartTime(c, code),
                Printf("%u:%03u:%03u.%02u", static_cast<unsigned>(t / 100000000),
                       static_cast<unsigned>(t % 100000000 / 100000),
                       static_cast<unsigned>(t % 100000 / 100), static_cast<unsigned>(t % 100)))
          << c;
      EXPECT_EQ(FormatTimeSpan(c, code),
                Printf("%llu.%02u", static_cast<unsigned long long>(t / 100), static_cast<unsigned>(t % 100)))
          << c;
    }
  }
}

// The line as it was first written: every cell from the list's texts.
std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string ReferenceArray(const std::vector<uint8_t>& bytes, uint32_t first, uint32_t wanted) {
  if (first >= bytes.size()) return Quoted("");
  const uint32_t count = std::min<uint32_t>(wanted, static_cast<uint32_t>(bytes.size() - first));
  std::string text;
  for (uint32_t i = 0; i < count; ++i) text += Printf(" %02X", bytes[first + i]);
  return Quoted(text);
}

std::string ReferenceCsvLine(const TransactionInfo& r, const TransactionDetail& detail,
                             const RecordTextMode& mode) {
  std::string line = Quoted(std::to_string(r.Index));
  line += ", " + Quoted(CellText(r, CellColumn::kTime, mode));
  line += ", " + CellText(r, CellColumn::kSpan, mode);
  if (mode.i2c) {
    for (CellColumn column : {CellColumn::kAdrs, CellColumn::kRw, CellColumn::kSrp, CellColumn::kNack}) {
      line += ", " + Quoted(CellText(r, column, mode));
    }
  }
  line += ", " + Quoted(CellText(r, CellColumn::kErrorInfo, mode));
  line += ", " + CellText(r, CellColumn::kDataLen, mode);
  const uint32_t count = DetailCount(detail);
  if (mode.i2c) {
    const uint32_t address_bytes = I2CAddressBytes(r);
    line += ", " + ReferenceArray(detail.bytes, address_bytes, count > address_bytes ? count - address_bytes : 0);
  } else {
    const uint32_t length = std::min(DataLength(r, mode), count);
    line += ", " + ReferenceArray(detail.bytes, 0, length);
    line += ", " + ReferenceArray(detail.bytes2, 0, length);
  }
  return line + "\n";
}

TransactionInfo RandomRecord(std::mt19937& random) {
  TransactionInfo r{};
  r.Index = static_cast<uint32_t>(random() >> (random() % 32));
  r.RecordFlags = static_cast<uint8_t>(random());
  r.bStartEndType = static_cast<uint8_t>(random());
  // Most records carry no remark; the rest any mix of them.
  r.Status = random() % 3 == 0 ? static_cast<uint16_t>(random()) : 0;
  r.BitCount = static_cast<uint32_t>(random() % 200);
  r.StartClock = (uint64_t{random()} << 32 | random()) >> (random() % 64);
  r.Duration = static_cast<uint32_t>(random() >> (random() % 32));
  r.PreviewLen = static_cast<uint8_t>(random() % 12);
  for (uint8_t& b : r.Preview) b = static_cast<uint8_t>(random());
  r.i2c.I2CAddress = static_cast<uint16_t>(random() % 3 == 0 ? random() : random() % 0x400);
  r.i2c.I2CFlags = static_cast<uint16_t>(random());
  return r;
}

TransactionDetail RandomDetail(std::mt19937& random) {
  TransactionDetail detail;
  detail.bytes.resize(random() % 40);
  detail.bytes2.resize(random() % 40);
  for (uint8_t& b : detail.bytes) b = static_cast<uint8_t>(random());
  for (uint8_t& b : detail.bytes2) b = static_cast<uint8_t>(random());
  // Sometimes more bytes are claimed than the arrays hold.
  detail.count = static_cast<uint32_t>(detail.bytes.size() + (random() % 4 == 0 ? random() % 8 : 0));
  return detail;
}

TEST(CsvLineFormat, MatchesTheListCellsOnRandomRecords) {
  struct Mode {
    const char* name;
    RecordTextMode mode;
  };
  const std::vector<Mode> modes = {
      {"i2c analyzer", {.i2c = true, .period_code = 2}},
      {"i2c monitor", {.i2c = true, .monitor = true, .period_code = 1}},
      {"spi analyzer", {.spi = true, .period_code = 5}},
      {"spi monitor", {.spi = true, .monitor = true}},
      {"forced display", {.period_code = 255}},
  };
  std::mt19937 random(2048);
  for (const Mode& m : modes) {
    for (int i = 0; i < 1500; ++i) {
      const TransactionInfo r = RandomRecord(random);
      const TransactionDetail detail = RandomDetail(random);
      std::string line = "kept";
      AppendCsvLine(r, detail, m.mode, &line);
      ASSERT_EQ(line, "kept" + ReferenceCsvLine(r, detail, m.mode)) << m.name << " record " << i;
    }
  }
}

// One writer for a whole export: it keeps the last record's remarks, so
// records in runs of the same status, trigger and HS marks, and records
// where only one of them changes, must each still get their own text.
TEST(CsvLineFormat, OneWriterKeepsEveryRowsOwnRemarks) {
  struct Case {
    const char* name;
    RecordTextMode mode;
    const char* line_end;
  };
  const Case cases[] = {
      {"i2c analyzer, CR LF", {.i2c = true, .period_code = 2}, "\r\n"},
      {"i2c monitor", {.i2c = true, .monitor = true, .period_code = 1}, "\n"},
      {"spi analyzer, CR LF", {.spi = true, .period_code = 10}, "\r\n"},
      {"forced display", {.period_code = 5}, "\n"},
  };
  const uint16_t statuses[] = {0, kStatusLow | kStatusHigh, kStatusNoChange, kStatusBitCount, 0xFFFF};
  std::mt19937 random(77);
  for (const Case& c : cases) {
    CsvRowWriter row(c.mode, c.line_end);
    TransactionInfo r = RandomRecord(random);
    for (int i = 0; i < 3000; ++i) {
      // Runs of equal marks, broken now and then by one changed mark.
      switch (random() % 8) {
        case 0: r.Status = statuses[random() % std::size(statuses)]; break;
        case 1: r.RecordFlags ^= kRecordTrigger; break;
        case 2: r.i2c.I2CFlags ^= kI2CHsTransfer; break;
        case 3: r = RandomRecord(random); break;
        default: break;
      }
      ++r.Index;
      const TransactionDetail detail = RandomDetail(random);
      std::vector<char> text(row.MaxLength(detail));
      char* end = row.Put(r, detail, text.data());
      std::string expected = ReferenceCsvLine(r, detail, c.mode);
      expected.replace(expected.size() - 1, 1, c.line_end);
      ASSERT_EQ(std::string(text.data(), end), expected) << c.name << " record " << i;
    }
  }
}

// The room a writer asks for holds the longest line a record can make:
// every remark, the widest numbers, times and address, and all bytes on
// both SPI lines. The buffer is exactly that long, so the sanitizer sees
// any character written beyond.
TEST(CsvLineFormat, TheLongestLineFitsItsRoom) {
  TransactionInfo r{};
  r.Index = 0xFFFFFFFFu;
  r.RecordFlags = 0xFF;
  r.bStartEndType = 0xFF;
  r.Status = 0xFFFF;
  r.BitCount = 0xFFFFFFFFu;
  r.StartClock = ~uint64_t{0};
  r.Duration = 0xFFFFFFFFu;
  r.i2c.I2CAddress = 0xFFFF;
  r.i2c.I2CFlags = 0xFFFF;
  for (uint32_t bytes : {0u, 1u, 40u}) {
    TransactionDetail detail;
    detail.bytes.assign(bytes, 0xFF);
    detail.bytes2.assign(bytes, 0xFF);
    detail.count = bytes;
    for (const RecordTextMode& mode : {RecordTextMode{.i2c = true, .period_code = 255},
                                       RecordTextMode{.spi = true, .period_code = 255},
                                       RecordTextMode{.spi = true, .monitor = true}}) {
      CsvRowWriter row(mode, "\r\n");
      std::vector<char> text(row.MaxLength(detail));
      char* end = row.Put(r, detail, text.data());
      std::string expected = ReferenceCsvLine(r, detail, mode);
      expected.replace(expected.size() - 1, 1, "\r\n");
      EXPECT_EQ(std::string(text.data(), end), expected) << bytes;
    }
  }
}

std::string ReferenceDumpLine(const uint8_t* bytes, uint32_t count, uint32_t offset) {
  std::string line = Printf("%06X : ", offset);
  for (uint32_t i = 0; i < kDumpBytesPerLine; ++i) {
    if (i > 0) line += i == 8 ? '-' : ' ';
    line += i < count ? Printf("%02X", bytes[i]) : "  ";
  }
  line += "  :: ";
  for (uint32_t i = 0; i < kDumpBytesPerLine; ++i) {
    line += i >= count ? ' ' : (bytes[i] >= 0x20 && bytes[i] <= 0x7E) ? static_cast<char>(bytes[i]) : '.';
  }
  return line + "\n";
}

TEST(HexDumpLine, MatchesPrintfForEveryLength) {
  std::mt19937 random(16);
  const uint32_t offsets[] = {0, 0x10, 0xFFFFF0, 0x1000000, 0xFFFFFFF0};
  for (uint32_t offset : offsets) {
    for (uint32_t count = 0; count <= kDumpBytesPerLine; ++count) {
      uint8_t bytes[kDumpBytesPerLine];
      for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
      std::string line;
      AppendDumpLine(bytes, count, offset, &line);
      EXPECT_EQ(line, ReferenceDumpLine(bytes, count, offset)) << offset << "/" << count;
    }
  }
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Pieces of every size, newlines at their edges and across block
// boundaries, arrive with each "\n" as CR LF and nothing else changed.
TEST(ExportWriterBlocks, ConvertsNewlinesAcrossBlocks) {
  char name[] = "/tmp/export_writer_XXXXXX";
  const int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  std::mt19937 random(3);
  std::string expected;
  {
    ExportWriter writer(fd);
    uint64_t total = 0;
    while (total < 3 * kExportBlockBytes) {
      std::string piece(random() % 3 == 0 ? random() % 300000 : random() % 40, 'a');
      for (char& c : piece) c = random() % 7 == 0 ? '\n' : static_cast<char>('a' + random() % 26);
      ASSERT_TRUE(writer.Write(piece));
      for (char c : piece) {
        if (c == '\n') expected += '\r';
        expected += c;
      }
      total += piece.size();
    }
    ASSERT_TRUE(writer.Flush());
    ASSERT_TRUE(writer.Write("tail\n"));
  }
  expected += "tail\r\n";
  close(fd);
  EXPECT_EQ(FileText(name), expected);
  std::remove(name);
}

// Lines formatted in place between converted writes, in both line-end
// modes: small ones, ones across block boundaries and ones longer than a
// block, which make the block grow, all arrive in order and unchanged.
TEST(ExportWriterBlocks, InPlaceLinesKeepTheirOrderBetweenWrites) {
  for (const LineEnds ends : {LineEnds::kCrLf, LineEnds::kAsWritten}) {
    char name[] = "/tmp/export_writer_XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    std::mt19937 random(ends == LineEnds::kCrLf ? 5 : 6);
    std::string expected;
    {
      ExportWriter writer(fd, ends);
      EXPECT_EQ(writer.LineEnd(), ends == LineEnds::kCrLf ? "\r\n" : "\n");
      while (expected.size() < 4 * kExportBlockBytes) {
        const size_t size = random() % 10 == 0 ? random() % (2 * kExportBlockBytes) : random() % 200;
        std::string piece(size, 'a');
        for (char& c : piece) c = random() % 9 == 0 ? '\n' : static_cast<char>('a' + random() % 26);
        if (random() % 2 == 0) {
          // Asks for more room than it uses, as a row writer does.
          char* at = writer.Room(size + random() % 300);
          ASSERT_NE(at, nullptr);
          ASSERT_TRUE(writer.Commit(std::copy(piece.begin(), piece.end(), at)));
          expected += piece;
          continue;
        }
        ASSERT_TRUE(writer.Write(piece));
        for (char c : piece) {
          if (c == '\n' && ends == LineEnds::kCrLf) expected += '\r';
          expected += c;
        }
      }
    }
    close(fd);
    EXPECT_EQ(FileText(name), expected);
    std::remove(name);
  }
}

TEST(ExportWriterBlocks, AFailedBlockStopsEveryLaterWrite) {
  const int fd = open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ExportWriter writer(fd);
  // Held in the block until a flush or a full block.
  EXPECT_TRUE(writer.Write("row\n"));
  EXPECT_FALSE(writer.Failed());
  EXPECT_FALSE(writer.Flush());
  EXPECT_EQ(writer.ErrorCode(), static_cast<uint32_t>(ENOSPC));
  EXPECT_FALSE(writer.Write("more\n"));
  EXPECT_FALSE(writer.Write(std::string(kExportBlockBytes, 'x')));
  EXPECT_EQ(writer.Room(10), nullptr);
  EXPECT_EQ(writer.ErrorCode(), static_cast<uint32_t>(ENOSPC));
  close(fd);
}

}  // namespace
}  // namespace orvane
