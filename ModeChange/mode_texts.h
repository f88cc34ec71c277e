#pragma once
// The texts the tool shows in its status line, mode label and message
// boxes, by their resource numbers. The logic hands out numbers; the window
// turns them into words in the user's language (the English originals
// below are also the keys of the translations).

#include <cstdint>
#include <string>

namespace velix::modechange {

enum class TextId : uint16_t {
  kNone = 0,
  kSwitchingMode = 131,
  kWaitAMinute = 132,
  kDeviceNotFound = 135,
  kCpldFileNg1 = 163,
  kCpldFileNg2 = 164,
  kCpldFileNg3 = 165,
  kCpldFileNg4 = 166,
  kCpldFileNotFound = 167,
  kSameOrOlderVersion = 168,
  kCpldUpdateFailed = 169,
  kConnectDevice = 201,
  kSelectAndUpdate = 202,
  kAnalyzerMode = 203,
  kMonitorMode = 204,
  kCanNotObtain = 205,
  kReadyToSwitch = 206,
  kFirmwareCorrupted = 208,
  kStartAnalyzerMode = 209,
  kStartMonitorMode = 210,
  kSwitchingCompleted = 211,
};

// The translation context of these texts.
inline constexpr const char* kTextsContext = "ModeChangeTexts";

// The English text; "" for kNone. Text 169 holds a "%d" for the status byte.
const char* EnglishText(TextId id);

// Puts `number` in place of the first "%d" of `text`.
std::string FillNumber(const std::string& text, int number);

// A version label: "Ver %x.%02x".
std::string VersionLabel(uint8_t major, uint8_t minor);

}  // namespace velix::modechange
