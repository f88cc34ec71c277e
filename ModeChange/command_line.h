#pragma once
// The tool's command line: the repair option ("-d" or "-D": the character
// after the first "-" of the arguments decides) and the folder of the CPLD
// image files, which "--image-dir DIR" (or "--image-dir=DIR") moves away
// from the executable's folder for tests and packaging. The image folder
// option is taken out before the repair rule looks at the rest.

#include <string>
#include <vector>

namespace velix::modechange {

struct CommandLine {
  bool repair = false;
  std::string image_dir;  // empty: the executable's folder
};

// `arguments` without the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// What the tool answers on standard output instead of opening its window:
// "-h"/"--help" or "--version" anywhere before "--" (not as the folder of
// "--image-dir"), looked for before Qt or the instance lock is touched so
// that it works without a display and beside a running copy.
enum class TerminalRequest { kNone, kHelp, kVersion };
TerminalRequest FindTerminalRequest(const std::vector<std::string>& arguments);

extern const char kModeChangeUsage[];

}  // namespace velix::modechange
