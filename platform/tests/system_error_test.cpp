#include "platform/system_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include "platform/tests/case_name.h"

namespace velix::platform {
namespace {

using testing::PrintTo;

struct ErrorTextCase {
  const char* name;
  uint32_t code;
  std::string expected;
};

class SystemErrorTextTest : public ::testing::TestWithParam<ErrorTextCase> {};

TEST_P(SystemErrorTextTest, GivesWordsOrAnUnknownErrorLine) {
  EXPECT_EQ(SystemErrorText(GetParam().code), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SystemErrorTextTest,
    ::testing::Values(ErrorTextCase{"Missing", ENOENT, "No such file or directory"},
                      ErrorTextCase{"Exists", EEXIST, "File exists"},
                      ErrorTextCase{"Unknown", 99999, "Unknown error 99999"},
                      ErrorTextCase{"BeyondInt", 0xFFFFFFFFu, "Unknown error 4294967295"}),
    testing::CaseName());

TEST(SystemErrorTextThreadTest, ConcurrentCallersGetTheirOwnText) {
  std::string first;
  std::string second;
  std::thread a([&first] {
    for (int i = 0; i < 500; ++i) first = SystemErrorText(ENOMEM);
  });
  std::thread b([&second] {
    for (int i = 0; i < 500; ++i) second = SystemErrorText(12345);
  });
  a.join();
  b.join();
  EXPECT_EQ(first, "Cannot allocate memory");
  EXPECT_EQ(second, "Unknown error 12345");
}

}  // namespace
}  // namespace velix::platform
