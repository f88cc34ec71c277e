// The language is read from the locale when the library is loaded. Each case
// loads a private copy of the library under its own environment (a copy,
// because loading the same file again would only hand back the library this
// test is already linked with).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "Firmup/tests/firmup_daemon.h"
#include "platform/tests/environment_override.h"
#include "platform/tests/scratch_folder.h"

namespace velix::firmup::testing {
namespace {

namespace fs = std::filesystem;
using platform::testing::EnvironmentOverride;
using platform::testing::ScratchFolder;

const std::string kEnglish =
    "DLL\n[VELIX] Change to Firmware Update mode.\n"
    "Please  Disconnect(plug-out) the USB cable, and Insert(plug-in) again, click [OK] button\n";
const std::string kJapanese =
    "DLL\n[VELIX] ファームウェア更新モードに切り替えます。\n"
    "USBケーブルを一度抜いて(プラグアウト)、もう一度差し込んで(プラグイン)から、"
    "[OK]ボタンをクリックしてください。\n";

class LanguageTest : public FirmupDaemonTest {
 protected:

  // Loads a fresh copy of the library under the locale given, calls its
  // USBI2CComChange and returns what it showed.
  std::string ShownByFreshCopy(const std::optional<std::string>& lc_all, const std::optional<std::string>& lc_messages,
                               const std::optional<std::string>& lang) {
    const std::string copy = scratch_.File("libVELIXFw-" + std::to_string(++copies_) + ".so");
    fs::copy_file(VELIXFW_LIBRARY_PATH, copy);
    void* library = nullptr;
    {
      const EnvironmentOverride all("LC_ALL", lc_all);
      const EnvironmentOverride messages("LC_MESSAGES", lc_messages);
      const EnvironmentOverride language("LANG", lang);
      library = ::dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (library == nullptr) return std::string("dlopen failed: ") + ::dlerror();
    const auto change = reinterpret_cast<int (*)()>(::dlsym(library, "USBI2CComChange"));
    std::string shown = "no export";
    if (change != nullptr) {
      ::testing::internal::CaptureStderr();
      const int result = change();
      shown = ::testing::internal::GetCapturedStderr();
      if (result != 1) shown = "failed: " + shown;
    }
    ::dlclose(library);
    return shown;
  }

  ScratchFolder scratch_;
  int copies_ = 0;
};

TEST_F(LanguageTest, LocaleOfMessagesChoosesTheText) {
  const struct {
    std::optional<std::string> lc_all, lc_messages, lang;
    const std::string* shown;
  } cases[] = {
      {std::nullopt, std::nullopt, std::nullopt, &kEnglish},
      {std::nullopt, std::nullopt, "ja_JP.UTF-8", &kJapanese},
      {std::nullopt, std::nullopt, "en_US.UTF-8", &kEnglish},
      {"ja_JP.UTF-8", std::nullopt, "en_US.UTF-8", &kJapanese},
      {std::nullopt, "C", "ja_JP.UTF-8", &kEnglish},  // LC_MESSAGES before LANG
      {"", "ja", "en_US.UTF-8", &kJapanese},          // an empty variable does not count
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lang.value_or("(no LANG)"));
    EXPECT_EQ(ShownByFreshCopy(c.lc_all, c.lc_messages, c.lang), *c.shown);
  }
}

}  // namespace
}  // namespace velix::firmup::testing
