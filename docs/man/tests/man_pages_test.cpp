// The generated man pages: each renders without a warning, its compressed
// copy holds the same page, and the rendered text names every option the
// program's --help names (for orvane-cli also every command's options and
// usage), so a page that lost a section or an option shows up here.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tools/orvane-cli/tests/run_command.h"

namespace {

using orvane::testing::CommandResult;
using orvane::testing::RunCommand;

struct ManCase {
  const char* program;
  const char* path;
  bool has_commands;  // "PROGRAM COMMAND --help" for each listed command
};

void PrintTo(const ManCase& c, std::ostream* out) { *out << c.program; }

std::string PagePath(const ManCase& c) { return std::string(MAN_DIR) + "/" + c.program + ".1"; }

// Every "-x" or "--name" word of a help text.
std::set<std::string> OptionsIn(const std::string& help) {
  static const std::regex option(R"((?:^|[\s\[|,(])(--?[A-Za-z0-9][A-Za-z0-9-]*))");
  std::set<std::string> found;
  for (auto it = std::sregex_iterator(help.begin(), help.end(), option); it != std::sregex_iterator(); ++it) {
    found.insert((*it)[1]);
  }
  return found;
}

// The commands a top-level help lists: the first word of a line indented by
// two spaces.
std::vector<std::string> CommandsIn(const std::string& help) {
  static const std::regex command(R"((?:^|\n)  ([a-z][a-z0-9-]*)(?= |\n))");
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(help.begin(), help.end(), command); it != std::sregex_iterator(); ++it) {
    found.push_back((*it)[1]);
  }
  return found;
}

bool ContainsWord(const std::string& text, const std::string& word) {
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const size_t end = at + word.size();
    const bool starts = at == 0 || !(std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '-');
    const bool ends = end == text.size() || !(std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '-');
    if (starts && ends) return true;
  }
  return false;
}

// The page as plain text on lines long enough that no word is hyphenated
// or broken.
std::string RenderedText(const std::string& page) {
  return RunCommand({GROFF_PATH, "-man", "-Tascii", "-rLL=400n", "-rHY=0", "-P-cbou", page}).out;
}

class ManPageTest : public ::testing::TestWithParam<ManCase> {};

TEST_P(ManPageTest, RendersWithoutWarnings) {
  const CommandResult r = RunCommand({GROFF_PATH, "-man", "-ww", "-z", PagePath(GetParam())});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
}

TEST_P(ManPageTest, CompressedCopyIsThePage) {
  const CommandResult plain = RunCommand({"/bin/cat", PagePath(GetParam())});
  const CommandResult unpacked = RunCommand({GZIP_PATH, "-dc", PagePath(GetParam()) + ".gz"});
  ASSERT_EQ(unpacked.status, 0) << unpacked.err;
  EXPECT_FALSE(plain.out.empty());
  EXPECT_EQ(unpacked.out, plain.out);
}

TEST_P(ManPageTest, NamesEveryOptionOfTheHelp) {
  const ManCase& c = GetParam();
  const CommandResult help = RunCommand({c.path, "--help"});
  ASSERT_EQ(help.status, 0) << help.err;
  const std::string text = RenderedText(PagePath(c));
  ASSERT_FALSE(text.empty());
  std::set<std::string> options = OptionsIn(help.out);
  EXPECT_FALSE(options.empty());
  EXPECT_TRUE(options.contains("--help"));
  if (c.has_commands) {
    const std::vector<std::string> commands = CommandsIn(help.out);
    EXPECT_FALSE(commands.empty());
    for (const std::string& command : commands) {
      const CommandResult own = RunCommand({c.path, command, "--help"});
      ASSERT_EQ(own.status, 0) << command;
      EXPECT_NE(text.find(std::string(c.program) + " " + command + " "), std::string::npos) << command;
      options.merge(OptionsIn(own.out));
    }
  }
  for (const std::string& option : options) {
    EXPECT_TRUE(ContainsWord(text, option)) << c.program << ": " << option;
  }
}

TEST_P(ManPageTest, HeadsWithTheProgramAndItsVersion) {
  const ManCase& c = GetParam();
  const CommandResult version = RunCommand({c.path, "--version"});
  ASSERT_EQ(version.status, 0);
  const std::string text = RenderedText(PagePath(c));
  EXPECT_TRUE(ContainsWord(text, c.program));
  EXPECT_NE(text.find(version.out.substr(0, version.out.find('\n'))), std::string::npos) << version.out;
  for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "EXIT STATUS", "SEE ALSO"}) {
    EXPECT_NE(text.find(std::string("\n") + section + "\n"), std::string::npos) << section;
  }
}

const ManCase kPrograms[] = {
    {"orvane-cli", ORVANE_CLI_PATH, true},
    {"velixctl", VELIXCTL_PATH, false},
    {"velixd", VELIXD_PATH, false},
#ifdef ORVANE_PATH
    {"Orvane", ORVANE_PATH, false},
#endif
#ifdef VELIXMODECHANGE_PATH
    {"VELIXModeChange", VELIXMODECHANGE_PATH, false},
#endif
};

INSTANTIATE_TEST_SUITE_P(Programs, ManPageTest, ::testing::ValuesIn(kPrograms),
                         [](const ::testing::TestParamInfo<ManCase>& param) {
                           std::string name = param.param.program;
                           std::erase(name, '-');
                           return name;
                         });

}  // namespace
