#include "ModeChange/mode_texts.h"

#include <cstdio>

// Marks the texts for the translation tools (lupdate reads this marker);
// at compile time it is the plain text.
#define QT_TRANSLATE_NOOP(context, text) text

namespace velix::modechange {

const char* EnglishText(TextId id) {
  switch (id) {
    case TextId::kNone:
      return "";
    case TextId::kSwitchingMode:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "Switching mode...\nDon't disconnect the USB cable.");
    case TextId::kWaitAMinute:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "Wait a minute...");
    case TextId::kDeviceNotFound:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "Device not found.");
    case TextId::kCpldFileNg1:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "CPLD  file NG(1)");
    case TextId::kCpldFileNg2:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "CPLD  file NG(2)");
    case TextId::kCpldFileNg3:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "CPLD  file NG(3)");
    case TextId::kCpldFileNg4:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "CPLD  file NG(4)");
    case TextId::kCpldFileNotFound:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "CPLD file not found!");
    case TextId::kSameOrOlderVersion:
      return QT_TRANSLATE_NOOP("ModeChangeTexts",
                               "Selected CPLD firmware version is the same or old thing.\n"
                               " Are you sure you want to write this CPLD firmware?");
    case TextId::kCpldUpdateFailed:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "CPLD Update Faiedl![%d]");
    case TextId::kConnectDevice:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "Please connect the VELIX.");
    case TextId::kSelectAndUpdate:
      return QT_TRANSLATE_NOOP("ModeChangeTexts",
                               "If you want to switch the mode,\n please select the mode and click [Update] button.");
    case TextId::kAnalyzerMode:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "Analyzer Mode");
    case TextId::kMonitorMode:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "Monitor Mode");
    case TextId::kCanNotObtain:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "Can not obtain");
    case TextId::kReadyToSwitch:
      return QT_TRANSLATE_NOOP("ModeChangeTexts",
                               "Now ready to switch the mode of the VELIX.\n"
                               "Unplug the USB cable, and insert again, please click [OK].");
    case TextId::kFirmwareCorrupted:
      return QT_TRANSLATE_NOOP("ModeChangeTexts",
                               "Firmware may have been corrupted.\n"
                               "Please exit this program, and start the firmware update tool.");
    case TextId::kStartAnalyzerMode:
      return QT_TRANSLATE_NOOP("ModeChangeTexts",
                               "Start the Analyzer Mode operation.\n"
                               "Unplug the USB cable, and insert again, please click [OK].");
    case TextId::kStartMonitorMode:
      return QT_TRANSLATE_NOOP("ModeChangeTexts",
                               "Start the Monitor Mode operation.\n"
                               "Unplug the USB cable, and insert again, please click [OK].");
    case TextId::kSwitchingCompleted:
      return QT_TRANSLATE_NOOP("ModeChangeTexts", "Switching has been completed. Please exit.");
  }
  return "";
}

std::string FillNumber(const std::string& text, int number) {
  std::string filled = text;
  if (const size_t at = filled.find("%d"); at != std::string::npos) {
    filled.replace(at, 2, std::to_string(number));
  }
  return filled;
}

std::string VersionLabel(uint8_t major, uint8_t minor) {
  char label[16];
  std::snprintf(label, sizeof label, "Ver %x.%02x", static_cast<unsigned>(major), static_cast<unsigned>(minor));
  return label;
}

}  // namespace velix::modechange
