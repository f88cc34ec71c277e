#pragma once
// Text taken from a foreign file, made safe to show in a message: quoted,
// cut to a readable length, with control and non-ASCII bytes shown as '?',
// so a hostile file cannot write escape sequences to the user's terminal.

#include <string>
#include <string_view>

namespace velix::interchange {

std::string QuotedText(std::string_view text);

}  // namespace velix::interchange
