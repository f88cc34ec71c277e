#include "platform/trace.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/tests/case_name.h"
#include "platform/tests/scratch_folder.h"

namespace velix::platform {
namespace {

using testing::PrintTo;

using testing::ReadFile;
using testing::ScratchFolder;
using testing::WriteFile;

// Points the trace at a file of its own and switches it off again after.
class TraceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = scratch_.File("trace.log");
    setenv("VELIX_TRACE", path_.c_str(), 1);
    ReloadTraceTarget();
  }
  void TearDown() override {
    unsetenv("VELIX_TRACE");
    ReloadTraceTarget();
    SetDebugMessages(false);
  }
  std::string Written() const { return ReadFile(path_); }

  ScratchFolder scratch_;
  std::string path_;
};

TEST_F(TraceTest, FormatsAndAppends) {
  WriteFile(path_, "earlier run\n");
  ReloadTraceTarget();
  ASSERT_TRUE(TraceEnabled());
  Trace(" Temp Folder : %s\n", "/tmp/");
  Trace("count=%u hex=0x%X\n", 12u, 0xABu);
  EXPECT_EQ(Written(), "earlier run\n Temp Folder : /tmp/\ncount=12 hex=0xAB\n");
}

struct LengthCase {
  const char* name;
  size_t length;
  size_t written;
};

class TraceLengthTest : public TraceTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(TraceLengthTest, CutsLinesAt512Characters) {
  const std::string line(GetParam().length, 'x');
  Trace("%s", line.c_str());
  EXPECT_EQ(Written(), std::string(GetParam().written, 'x'));
}

INSTANTIATE_TEST_SUITE_P(Lengths, TraceLengthTest,
                         ::testing::Values(LengthCase{"Short", 10, 10},
                                           LengthCase{"JustFits", 512, 512},
                                           LengthCase{"OneOver", 513, 512},
                                           LengthCase{"FarOver", 2000, 512}),
                         testing::CaseName());

TEST_F(TraceTest, DebugLinesNeedTheSwitch) {
  TraceDebug("hidden\n");
  SetDebugMessages(true);
  EXPECT_TRUE(DebugMessages());
  TraceDebug("shown %d\n", 1);
  SetDebugMessages(false);
  TraceDebug("hidden again\n");
  Trace("always\n");
  EXPECT_EQ(Written(), "shown 1\nalways\n");
}

TEST_F(TraceTest, UnsetVariableSwitchesTheTraceOff) {
  unsetenv("VELIX_TRACE");
  ReloadTraceTarget();
  EXPECT_FALSE(TraceEnabled());
  Trace("nowhere\n");
  EXPECT_EQ(Written(), "");
}

TEST_F(TraceTest, UnwritablePathSwitchesTheTraceOff) {
  setenv("VELIX_TRACE", "/nonexistent/velix/trace.log", 1);
  ReloadTraceTarget();
  EXPECT_FALSE(TraceEnabled());
  Trace("nowhere\n");  // must not crash
}

// A path someone else prepared: the trace is off and nothing is written
// through it, without blocking on a FIFO that nobody reads.
TEST_F(TraceTest, PathsThatAreNotRegularFilesSwitchTheTraceOff) {
  const std::string target = scratch_.File("victim");
  WriteFile(target, "keep\n");
  struct Case {
    const char* what;
    std::string path;
  } cases[] = {
      {"link to a file", scratch_.File("link")},
      {"dangling link", scratch_.File("dangling")},
      {"fifo", scratch_.File("fifo")},
      {"folder", scratch_.Path()},
  };
  ASSERT_EQ(symlink(target.c_str(), cases[0].path.c_str()), 0);
  ASSERT_EQ(symlink(scratch_.File("nowhere").c_str(), cases[1].path.c_str()), 0);
  ASSERT_EQ(mkfifo(cases[2].path.c_str(), 0600), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    setenv("VELIX_TRACE", c.path.c_str(), 1);
    ReloadTraceTarget();
    EXPECT_FALSE(TraceEnabled());
    Trace("planted\n");
  }
  EXPECT_EQ(ReadFile(target), "keep\n");
  EXPECT_FALSE(std::filesystem::exists(scratch_.File("nowhere")));
}

TEST_F(TraceTest, LinesFromManyThreadsStayWhole) {
  constexpr int kThreads = 4;
  constexpr int kLines = 200;
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([t] {
      for (int i = 0; i < kLines; ++i) Trace("thread %d line %03d ..........\n", t, i);
    });
  }
  for (std::thread& writer : writers) writer.join();

  std::istringstream lines(Written());
  std::string line;
  int count = 0;
  std::vector<int> next(kThreads, 0);
  while (std::getline(lines, line)) {
    int thread = -1;
    int number = -1;
    ASSERT_EQ(std::sscanf(line.c_str(), "thread %d line %d ..........", &thread, &number), 2)
        << line;
    ASSERT_EQ(line.size(), 28u) << line;
    ASSERT_GE(thread, 0);
    ASSERT_LT(thread, kThreads);
    EXPECT_EQ(number, next[thread]++) << "lines of one thread keep their order";
    ++count;
  }
  EXPECT_EQ(count, kThreads * kLines);
}

}  // namespace
}  // namespace velix::platform
