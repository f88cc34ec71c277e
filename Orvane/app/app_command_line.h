#pragma once
// The application's command line, after Qt has taken its own options out:
// a capture file to open (the first argument that is not an option) and
// "--no-title", which skips the title window at start-up (tests, scripted
// screenshots). The environment variable ORVANE_NO_TITLE set to anything
// but "" or "0" does the same. Other options are ignored; after "--" every
// argument is a file name.

#include <optional>
#include <string>
#include <vector>

namespace orvane {

struct AppCommandLine {
  std::optional<std::string> file_to_open;
  bool show_title = true;
};

// `arguments` without the program name; `no_title_variable` is the value of
// ORVANE_NO_TITLE (nullptr when unset).
AppCommandLine ParseAppCommandLine(const std::vector<std::string>& arguments,
                                   const char* no_title_variable);

}  // namespace orvane
