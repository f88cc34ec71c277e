#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "platform/tests/case_name.h"
#include "platform/tests/environment_override.h"
#include "platform/tests/scratch_folder.h"

namespace velix::platform {
namespace {

using testing::PrintTo;

using testing::EnvironmentOverride;
using testing::ReadFile;
using testing::ScratchFolder;
using testing::WriteFile;

constexpr uint32_t kDefault = 777;

struct NumberCase {
  const char* name;
  const char* text;
  uint32_t expected;
};

class IniNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(IniNumberTest, ParsesCStyleNumbersOrFallsBackToDefault) {
  ScratchFolder scratch;
  const std::string path = scratch.File("numbers.ini");
  WriteFile(path, std::string("[Setting]\nValue=") + GetParam().text + "\n");
  const IniSettingsStore store(path);
  EXPECT_EQ(store.GetInt("Setting", "Value", kDefault), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IniNumberTest,
    ::testing::Values(NumberCase{"Decimal", "4096", 4096}, NumberCase{"Hexadecimal", "0x1F", 31},
                      NumberCase{"Octal", "017", 15}, NumberCase{"Zero", "0", 0},
                      NumberCase{"Largest", "0xFFFFFFFF", 0xFFFFFFFFu},
                      NumberCase{"TooLarge", "4294967296", kDefault},
                      NumberCase{"Negative", "-1", kDefault},
                      NumberCase{"ExplicitPlus", "+5", kDefault},
                      NumberCase{"TrailingGarbage", "12abc", kDefault},
                      NumberCase{"BadOctal", "09", kDefault}, NumberCase{"Empty", "", kDefault},
                      NumberCase{"Word", "yes", kDefault}),
    testing::CaseName());

TEST(IniSettingsStoreTest, ReadsSectionsTrimsAndIgnoresComments) {
  ScratchFolder scratch;
  const std::string path = scratch.File("app.ini");
  WriteFile(path,
            "; written by hand\r\n"
            "# another comment\n"
            "  [ Setting ]  \n"
            "  Sleep =  5  \r\n"
            "NoWait=1\n"
            "no equals sign here\n"
            "; Priority=9\n"
            "[Other]\n"
            "Sleep=7\n"
            "Name = two words \n");
  const IniSettingsStore store(path);
  EXPECT_EQ(store.GetInt("Setting", "Sleep", kDefault), 5u);
  EXPECT_EQ(store.GetInt("Setting", "NoWait", kDefault), 1u);
  EXPECT_EQ(store.GetInt("Setting", "Priority", kDefault), kDefault);
  EXPECT_EQ(store.GetInt("Other", "Sleep", kDefault), 7u);
  EXPECT_EQ(store.GetString("Other", "Name", ""), "two words");
  EXPECT_EQ(store.GetString("Missing", "Name", "fallback"), "fallback");
}

TEST(IniSettingsStoreTest, MissingFileReadsAsEmpty) {
  const IniSettingsStore store("/nonexistent/velix/settings.ini");
  EXPECT_EQ(store.GetInt("Setting", "Sleep", kDefault), kDefault);
}

TEST(IniSettingsStoreTest, RoundTripCreatesFoldersAndLeavesNoTemporaryFile) {
  ScratchFolder scratch;
  const std::string folder = scratch.File("nested/deeper");
  const std::string path = folder + "/Orvane.ini";
  {
    IniSettingsStore store(path);
    ASSERT_TRUE(store.SetInt("Setting", "LockMemory", 1));
    ASSERT_TRUE(store.SetInt("Setting", "ANALYZER_BULK_Len", 0x10000));
    ASSERT_TRUE(store.SetString("Recent", "File", "/data/capture one.SIC"));
    ASSERT_TRUE(store.SetInt("Setting", "LockMemory", 0));
  }
  const IniSettingsStore reread(path);
  EXPECT_EQ(reread.GetInt("Setting", "LockMemory", kDefault), 0u);
  EXPECT_EQ(reread.GetInt("Setting", "ANALYZER_BULK_Len", kDefault), 0x10000u);
  EXPECT_EQ(reread.GetString("Recent", "File", ""), "/data/capture one.SIC");

  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++entries;
  EXPECT_EQ(entries, 1u);
}

struct BadSetCase {
  const char* name;
  std::string section;
  std::string key;
  std::string value;
};

class IniBadSetTest : public ::testing::TestWithParam<BadSetCase> {};

TEST_P(IniBadSetTest, RefusesWhatWouldNotReadBackAndKeepsTheFile) {
  const BadSetCase& c = GetParam();
  ScratchFolder scratch;
  const std::string path = scratch.File("app.ini");
  IniSettingsStore store(path);
  ASSERT_TRUE(store.SetString("Setting", "Sleep", "5"));
  const std::string before = ReadFile(path);
  EXPECT_FALSE(store.SetString(c.section, c.key, c.value));
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(store.GetString(c.section, c.key, "absent"), "absent");
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, IniBadSetTest,
    ::testing::Values(BadSetCase{"EmptyKey", "Setting", "", "1"},
                      BadSetCase{"KeyWithEquals", "Setting", "a=b", "1"},
                      BadSetCase{"KeyStartingAsComment", "Setting", ";Sleep", "1"},
                      BadSetCase{"KeyWithBlanksAround", "Setting", " Sleep", "1"},
                      BadSetCase{"SectionWithBracket", "Set]ting", "Sleep", "1"},
                      BadSetCase{"ValueWithNewline", "Setting", "Name", "two\nlines"},
                      BadSetCase{"ValueWithTrailingBlank", "Setting", "Name", "x "}),
    testing::CaseName());

TEST(IniSettingsStoreTest, FailedSaveUndoesTheValue) {
  ScratchFolder scratch;
  // A file where the folder should be makes every save fail.
  WriteFile(scratch.File("blocker"), "");
  IniSettingsStore store(scratch.File("blocker/app.ini"));
  EXPECT_FALSE(store.SetInt("Setting", "Sleep", 3));
  EXPECT_EQ(store.GetInt("Setting", "Sleep", kDefault), kDefault);
}

struct PathCase {
  const char* name;
  std::optional<std::string> xdg_config_home;
  std::string expected;
};

class DefaultSettingsPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(DefaultSettingsPathTest, FollowsTheXdgRules) {
  const EnvironmentOverride home("HOME", "/home/engineer");
  const EnvironmentOverride config("XDG_CONFIG_HOME", GetParam().xdg_config_home);
  EXPECT_EQ(DefaultSettingsPath("Orvane"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, DefaultSettingsPathTest,
    ::testing::Values(
        PathCase{"XdgSet", "/cfg", "/cfg/TORVEL Systems/Orvane.ini"},
        PathCase{"XdgUnset", std::nullopt, "/home/engineer/.config/TORVEL Systems/Orvane.ini"},
        PathCase{"XdgEmpty", "", "/home/engineer/.config/TORVEL Systems/Orvane.ini"},
        PathCase{"XdgRelative", "cfg", "/home/engineer/.config/TORVEL Systems/Orvane.ini"}),
    testing::CaseName());

}  // namespace
}  // namespace velix::platform
