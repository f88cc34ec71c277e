#include "Firmup/user_messages.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace velix::firmup {
namespace {

// The first non-empty of the three variables decides.
Language LanguageFromLocale(const char* lc_all, const char* lc_messages, const char* lang) {
  for (const char* value : {lc_all, lc_messages, lang}) {
    if (value == nullptr || *value == '\0') continue;
    return std::string_view(value).substr(0, 2) == "ja" ? Language::kJapanese : Language::kEnglish;
  }
  return Language::kEnglish;
}

Language ReadLanguageAtLoad() {
  return LanguageFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

// Written once, while the library is loaded, and only read afterwards.
const Language kLibraryLanguage = ReadLanguageAtLoad();

}  // namespace

Language LibraryLanguage() { return kLibraryLanguage; }

std::string_view UpdateModeMessage(Language language) {
  if (language == Language::kJapanese) {
    return "[VELIX] ファームウェア更新モードに切り替えます。\n"
           "USBケーブルを一度抜いて(プラグアウト)、もう一度差し込んで(プラグイン)から、"
           "[OK]ボタンをクリックしてください。";
  }
  return "[VELIX] Change to Firmware Update mode.\n"
         "Please  Disconnect(plug-out) the USB cable, and Insert(plug-in) again, click [OK] button";
}

void ShowMessage(std::string_view caption, std::string_view text) {
  const std::string shown = std::string(caption) + "\n" + std::string(text) + "\n";
  std::fwrite(shown.data(), 1, shown.size(), stderr);
  std::fflush(stderr);
}

}  // namespace velix::firmup
