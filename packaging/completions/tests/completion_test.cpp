// The bash completions, run in a plain bash without the bash-completion
// package: each script is sourced, the function it registered with
// `complete` is called on a command line, and COMPREPLY is compared. The
// programs are the built ones, since commands and options come from their
// help.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/tests/scratch_folder.h"
#include "tools/orvane-cli/tests/run_command.h"

namespace {

using orvane::testing::CommandResult;
using orvane::testing::RunCommand;
using velix::platform::testing::ScratchFolder;
using Words = std::set<std::string>;

const char kRunner[] =
    "source \"$1/$2\" || exit 2\n"
    "function=$(complete -p \"$2\" | sed -nE 's/.* -F ([^ ]+) .*/\\1/p')\n"
    "[ -n \"$function\" ] || exit 3\n"
    "cd \"$3\" || exit 4\n"
    "shift 3\n"
    "COMP_WORDS=(\"$@\")\n"
    "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
    "\"$function\"\n"
    "for word in \"${COMPREPLY[@]}\"; do printf '%s\\n' \"$word\"; done\n";

const char* ProgramPath(const std::string& program) {
  if (program == "orvane-cli") return ORVANE_CLI_PATH;
  if (program == "velixctl") return VELIXCTL_PATH;
  return VELIXD_PATH;
}

// Every "-x" or "--name" word of a help text.
Words OptionsIn(const std::string& help) {
  static const std::regex option(R"((?:^|[\s\[|,(])(--?[A-Za-z0-9][A-Za-z0-9-]*))");
  Words found;
  for (auto it = std::sregex_iterator(help.begin(), help.end(), option); it != std::sregex_iterator(); ++it) {
    found.insert((*it)[1]);
  }
  return found;
}

// The first words of the lines indented by two spaces under "Commands:".
Words CommandsIn(const std::string& help) {
  Words found;
  std::istringstream lines(help);
  std::string line;
  while (std::getline(lines, line) && line != "Commands:") {
  }
  while (std::getline(lines, line) && line.starts_with(" ")) {
    static const std::regex command(R"(^  ([a-z][a-z0-9-]*)(?: |$))");
    std::smatch match;
    if (std::regex_search(line, match, command)) found.insert(match[1]);
  }
  return found;
}

class CompletionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.SIC", "b.sic", "c.scn", "d.csv", "e.txt", "f.json", "g.jsonl", "h.vcd", "i.sr",
                             "j.bin", "k.SCN"}) {
      velix::platform::testing::WriteFile(files_.File(name), "");
    }
    std::filesystem::create_directory(files_.File("sub"));
  }

  // The completion of the last word of `line` (split at blanks; a line
  // ending in a blank completes an empty word).
  Words Complete(const std::string& program, const std::string& line) {
    std::vector<std::string> argv = {BASH_PATH, "--norc", "--noprofile", "-c", kRunner, "bash",
                                     COMPLETIONS_DIR, program, files_.Path(), ProgramPath(program)};
    std::istringstream words(line);
    for (std::string word; words >> word;) argv.push_back(word);
    if (line.empty() || line.back() == ' ') argv.emplace_back();
    const CommandResult r = RunCommand(argv);
    EXPECT_EQ(r.status, 0) << program << " " << line << ": " << r.err;
    EXPECT_EQ(r.err, "") << program << " " << line;
    Words offered;
    std::istringstream out(r.out);
    for (std::string word; std::getline(out, word);) offered.insert(word);
    return offered;
  }

  ScratchFolder files_;
};

struct CompletionCase {
  const char* program;
  const char* line;
  Words expected;
};

void PrintTo(const CompletionCase& c, std::ostream* out) { *out << c.program << " '" << c.line << "'"; }

class CompletionCases : public CompletionTest, public ::testing::WithParamInterface<CompletionCase> {};

TEST_P(CompletionCases, OffersExactlyTheseWords) {
  EXPECT_EQ(Complete(GetParam().program, GetParam().line), GetParam().expected)
      << GetParam().program << " " << GetParam().line;
}

const Words kCaptures = {"a.SIC", "b.sic", "sub"};
const Words kScenarios = {"c.scn", "k.SCN", "sub"};
const Words kAllFiles = {"a.SIC", "b.sic", "c.scn", "d.csv", "e.txt", "f.json", "g.jsonl",
                         "h.vcd", "i.sr",  "j.bin", "k.SCN", "sub"};

INSTANTIATE_TEST_SUITE_P(
    Lines, CompletionCases,
    ::testing::Values(
        CompletionCase{"orvane-cli", "d", {"decode"}},
        CompletionCase{"orvane-cli", "--v", {"--version"}},
        CompletionCase{"orvane-cli", "decode --bus ", {"spi", "i2c0", "i2c1"}},
        CompletionCase{"orvane-cli", "search x.SIC --rate ", {"50", "20", "10"}},
        CompletionCase{"orvane-cli", "synth c.scn --mode m", {"monitor"}},
        CompletionCase{"orvane-cli", "info ", kCaptures},
        CompletionCase{"orvane-cli", "decode ", kCaptures},
        CompletionCase{"orvane-cli", "decode --bus spi ", kCaptures},
        CompletionCase{"orvane-cli", "decode a.SIC ", {}},
        CompletionCase{"orvane-cli", "synth ", kScenarios},
        CompletionCase{"orvane-cli", "synth c.scn -o ", kCaptures},
        CompletionCase{"orvane-cli", "capture -o ", kCaptures},
        CompletionCase{"orvane-cli", "capture ", {}},
        CompletionCase{"orvane-cli", "decode a.SIC --csv ", {"d.csv", "sub"}},
        CompletionCase{"orvane-cli", "decode a.SIC --text ", {"e.txt", "sub"}},
        CompletionCase{"orvane-cli", "synth c.scn --truth ", kAllFiles},
        CompletionCase{"orvane-cli", "search a.SIC ",
                       {"jump", "address", "subaddress", "data", "nack", "error", "trigger"}},
        CompletionCase{"orvane-cli", "search a.SIC --from 3 n", {"nack"}},
        CompletionCase{"orvane-cli", "search a.SIC --backward n", {"nack"}},
        CompletionCase{"orvane-cli", "atoms a.SIC --s", {"--start"}},
        CompletionCase{"orvane-cli", "atoms a.SIC --start ", {}},
        CompletionCase{"orvane-cli", "capture --size ", {}},
        CompletionCase{"orvane-cli", "nosuchcommand ", {}},
        CompletionCase{"velixctl", "", {"list", "ioctl", "read", "write", "stream", "sim"}},
        CompletionCase{"velixctl", "-", {"--device", "--help", "--version"}},
        CompletionCase{"velixctl", "--device x s", {"stream", "sim"}},
        CompletionCase{"velixctl", "--device ", {}},
        CompletionCase{"velixctl", "ioctl GET_C", {"GET_CONFIG_DESCRIPTOR", "GET_COUNT"}},
        CompletionCase{"velixctl", "ioctl GET_COUNT --", {"--in", "--out", "--event", "--device", "--help"}},
        CompletionCase{"velixctl", "ioctl GET_COUNT --out ", {}},
        CompletionCase{"velixctl", "stream --s", {"--save", "--start", "--stop"}},
        CompletionCase{"velixctl", "stream --save ", kAllFiles},
        CompletionCase{"velixctl", "sim re", {"reply-delay", "received"}},
        CompletionCase{"velixctl", "sim plug ", {"operation", "update", "fx2", "loader"}},
        CompletionCase{"velixctl", "sim fault ", {"overrun", "stall", "xact-error", "unplug"}},
        CompletionCase{"velixctl", "sim speed ", {"high", "full"}},
        CompletionCase{"velixctl", "sim image ", {"analyzer", "monitor"}},
        CompletionCase{"velixctl", "sim scenario ", kScenarios},
        CompletionCase{"velixctl", "sim sic ", kCaptures},
        CompletionCase{"velixctl", "sim status ", {}},
        CompletionCase{"velixd", "--sim", {"--simulate"}},
        CompletionCase{"velixd", "--simulate ", {"a.SIC", "b.sic", "c.scn", "k.SCN", "sub"}},
        CompletionCase{"velixd", "--simulate c.scn --personality ", {"operation", "update", "fx2", "loader"}},
        CompletionCase{"velixd", "--simulate c.scn --image ", {"analyzer", "monitor"}},
        CompletionCase{"velixd", "--simulate c.scn --speed f", {"full"}},
        CompletionCase{"velixd", "--simulate c.scn --fault ", {"overrun", "stall", "xact-error", "unplug"}},
        CompletionCase{"velixd", "--runtime-dir ", {"sub"}},
        CompletionCase{"velixd", "--state ", kAllFiles},
        CompletionCase{"velixd", "--simulate c.scn --rate ", {}}));

// A command line is text: no word of it, complete or being completed, is
// run or read as a pattern.
TEST_F(CompletionTest, TypedWordsAreNeverRun) {
  const struct {
    const char* program;
    const char* line;
  } lines[] = {
      {"orvane-cli", "decode --a/touch${IFS}pwned/e;# "},
      {"orvane-cli", "decode --a/touch${IFS}pwned/e;# x"},
      {"orvane-cli", "decode $(touch${IFS}pwned)"},
      {"orvane-cli", "$(touch${IFS}pwned) "},
      {"orvane-cli", "decode `touch${IFS}pwned` --"},
      {"velixctl", "sim plug $(touch${IFS}pwned)"},
      {"velixctl", "ioctl `touch${IFS}pwned`"},
      {"velixd", "--simulate $(touch${IFS}pwned)"},
      {"velixd", "--fault $(touch${IFS}pwned)"},
  };
  for (const auto& line : lines) {
    Complete(line.program, line.line);
    for (const auto& entry : std::filesystem::directory_iterator(files_.Path())) {
      EXPECT_EQ(entry.path().filename().string().find("pwned"), std::string::npos)
          << line.program << " " << line.line;
    }
  }
}

// What the programs' help lists is offered: a command or option added to a
// program without its completion learning it shows up here.
TEST_F(CompletionTest, OrvaneCliOffersEveryCommandAndOptionOfItsHelp) {
  const CommandResult help = RunCommand({ORVANE_CLI_PATH, "--help"});
  const Words commands = CommandsIn(help.out);
  ASSERT_GE(commands.size(), 6u) << help.out;
  const Words offered = Complete("orvane-cli", "");
  for (const std::string& command : commands) {
    EXPECT_TRUE(offered.contains(command)) << command;
    const Words options = Complete("orvane-cli", command + " -");
    for (const std::string& option : OptionsIn(RunCommand({ORVANE_CLI_PATH, command, "--help"}).out)) {
      EXPECT_TRUE(options.contains(option)) << command << " " << option;
    }
  }
}

TEST_F(CompletionTest, VelixctlOffersEveryCommandOptionAndControlCodeOfItsHelp) {
  const std::string help = RunCommand({VELIXCTL_PATH, "--help"}).out;
  EXPECT_EQ(Complete("velixctl", ""), CommandsIn(help));
  Words options = Complete("velixctl", "-");
  options.merge(Complete("velixctl", "ioctl X -"));
  options.merge(Complete("velixctl", "stream -"));
  options.insert("-h");  // the short form is not offered beside --help
  EXPECT_EQ(options, OptionsIn(help));
  const std::string names = help.substr(help.find("Control code names"));
  const Words codes = Complete("velixctl", "ioctl ");
  EXPECT_EQ(codes.size(), 18u);
  for (const std::string& code : codes) EXPECT_NE(names.find(" " + code), std::string::npos) << code;
}

TEST_F(CompletionTest, VelixdOffersEveryOptionOfItsHelp) {
  const Words offered = Complete("velixd", "-");
  const Words options = OptionsIn(RunCommand({VELIXD_PATH, "--help"}).out);
  ASSERT_TRUE(options.contains("--end-of-data"));
  EXPECT_EQ(offered, options);
}

}  // namespace
