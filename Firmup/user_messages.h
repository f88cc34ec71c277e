#pragma once
// The library's language and the one message it shows the user.
//
// The language is chosen once, when the library is loaded, from the locale
// of the messages (LC_ALL, else LC_MESSAGES, else LANG): a locale starting
// with "ja" gives Japanese, anything else English.

#include <string_view>

namespace velix::firmup {

enum class Language { kEnglish, kJapanese };

// The language read when the library was loaded.
Language LibraryLanguage();

inline constexpr std::string_view kMessageCaption = "DLL";
// After the enter-update-mode command went out.
std::string_view UpdateModeMessage(Language language);

// Shows an OK-only message with its caption. A shared library has no window
// of its own: the message goes to standard error, where the terminal tools
// that call this library show everything they say.
void ShowMessage(std::string_view caption, std::string_view text);

}  // namespace velix::firmup
