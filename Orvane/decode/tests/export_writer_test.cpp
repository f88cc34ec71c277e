// The export writer's blocks reach the file whole and in order however the
// rows arrive: written with line-end conversion or formatted in place,
// across many blocks, with lines longer than the block's spare room, and
// after a flush in between.

#include "Orvane/decode/export_writer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>

#include "Orvane/capture/tests/sic_test_files.h"

namespace orvane {
namespace {

using testing::ReadFile;
using testing::ScratchFolder;

struct WriterCase {
  const char* name;
  LineEnds line_ends;
  size_t total;           // bytes of rows, before line-end conversion
  size_t longest;         // the longest row
  size_t flush_after;     // a Flush() once this many bytes went in, 0 for none
};

std::string Row(std::mt19937& random, size_t longest) {
  std::string row(1 + random() % longest, 'x');
  for (char& c : row) c = static_cast<char>('a' + random() % 26);
  row.back() = '\n';
  return row;
}

std::string Converted(const std::string& text, LineEnds line_ends) {
  if (line_ends == LineEnds::kAsWritten) return text;
  std::string out;
  for (const char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

class ExportWriterTest : public ::testing::TestWithParam<WriterCase> {};

TEST_P(ExportWriterTest, FileHoldsEveryRowInOrder) {
  const WriterCase& c = GetParam();
  ScratchFolder scratch;
  const std::string path = scratch.File("rows.txt");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  std::mt19937 random(7);
  std::string expected;
  {
    ExportWriter writer(fd, c.line_ends);
    size_t given = 0;
    bool flushed = false;
    for (bool in_place = false; given < c.total; in_place = !in_place) {
      const std::string row = Row(random, c.longest);
      given += row.size();
      if (in_place) {
        // Formatted in place, the text is the file's own: its line end is
        // the writer's.
        const std::string text = row.substr(0, row.size() - 1) + std::string(writer.LineEnd());
        char* at = writer.Room(text.size() + 5);
        ASSERT_NE(at, nullptr);
        std::memcpy(at, text.data(), text.size());
        ASSERT_TRUE(writer.Commit(at + text.size()));
        expected += text;
      } else {
        ASSERT_TRUE(writer.Write(row));
        expected += Converted(row, c.line_ends);
      }
      if (c.flush_after != 0 && !flushed && given >= c.flush_after) {
        ASSERT_TRUE(writer.Flush());
        flushed = true;
      }
    }
    EXPECT_FALSE(writer.Failed());
  }
  ::close(fd);
  EXPECT_TRUE(ReadFile(path) == expected) << "the file differs from the rows given";
}

constexpr size_t kMiB = size_t{1} << 20;

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportWriterTest,
    ::testing::Values(WriterCase{"ShortReportCrLf", LineEnds::kCrLf, 5000, 80, 0},
                      WriterCase{"ManyBlocksCrLf", LineEnds::kCrLf, 3 * kMiB + 333, 200, 0},
                      WriterCase{"ManyBlocksAsWritten", LineEnds::kAsWritten, 3 * kMiB + 1, 300, 0},
                      WriterCase{"RowsLongerThanTheSpareRoom", LineEnds::kAsWritten, 4 * kMiB, kMiB, 0},
                      WriterCase{"FlushInTheMiddle", LineEnds::kCrLf, 2 * kMiB + 77, 150, kMiB + 3},
                      WriterCase{"FlushBeforeTheFirstBlock", LineEnds::kAsWritten, 2 * kMiB, 4000, 4097}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace orvane
