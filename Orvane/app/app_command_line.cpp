#include "Orvane/app/app_command_line.h"

#include <cstring>

namespace orvane {

AppCommandLine ParseAppCommandLine(const std::vector<std::string>& arguments,
                                   const char* no_title_variable) {
  AppCommandLine line;
  line.show_title = no_title_variable == nullptr || *no_title_variable == '\0' ||
                    std::strcmp(no_title_variable, "0") == 0;
  bool options_ended = false;
  for (const std::string& argument : arguments) {
    if (argument.empty()) continue;
    const bool option = !options_ended && argument.size() > 1 && argument[0] == '-';
    if (!option) {
      if (!line.file_to_open) line.file_to_open = argument;
    } else if (argument == "--") {
      options_ended = true;
    } else if (argument == "--no-title") {
      line.show_title = false;
    }
  }
  return line;
}

}  // namespace orvane
