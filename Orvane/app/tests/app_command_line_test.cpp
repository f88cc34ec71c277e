// The application's own command line.
#include "Orvane/app/app_command_line.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(AppCommandLine, FileAndTitleOption) {
  struct Case {
    std::vector<std::string> arguments;
    const char* variable;
    std::optional<std::string> file;
    bool show_title;
  } cases[] = {
      {{}, nullptr, std::nullopt, true},
      {{"a.SIC"}, nullptr, "a.SIC", true},
      {{"a.SIC", "b.SIC"}, nullptr, "a.SIC", true},
      {{"--no-title", "a.SIC"}, nullptr, "a.SIC", false},
      {{"a.SIC", "--no-title"}, nullptr, "a.SIC", false},
      {{"--unknown", "a.SIC"}, nullptr, "a.SIC", true},
      {{"--", "--no-title"}, nullptr, "--no-title", true},
      {{"-"}, nullptr, "-", true},
      {{"", "a.SIC"}, nullptr, "a.SIC", true},
      {{}, "1", std::nullopt, false},
      {{}, "yes", std::nullopt, false},
      {{}, "0", std::nullopt, true},
      {{}, "", std::nullopt, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments) + " " + (c.variable ? c.variable : "(unset)"));
    const AppCommandLine line = ParseAppCommandLine(c.arguments, c.variable);
    EXPECT_EQ(line.file_to_open, c.file);
    EXPECT_EQ(line.show_title, c.show_title);
  }
}

}  // namespace
}  // namespace orvane
