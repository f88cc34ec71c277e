#include "Orvane/ui/frame_menu.h"

#include <QApplication>
#include <QMenuBar>
#include <QStyle>
#include <initializer_list>

namespace orvane::ui {
namespace {

enum class Menu { kFile, kEdit, kFunction, kSearch, kInfo };

struct CommandEntry {
  Command id;
  Menu menu;
  const char* text;
  std::initializer_list<const char*> keys;
  bool separator_before = false;
};

// The menus in their order. Shortcuts are the window's accelerators: Close
// is Ctrl+N because Ctrl+C copies, and Search Previous answers both Shift+F3
// (as the menu has always said) and Ctrl+F3 (as the accelerator did).
const CommandEntry kCommands[] = {
    {Command::kFileOpen, Menu::kFile, QT_TRANSLATE_NOOP("Menu", "Open(&O)..."), {"Ctrl+O"}},
    {Command::kFileClose, Menu::kFile, QT_TRANSLATE_NOOP("Menu", "Close(&C)"), {"Ctrl+N"}},
    {Command::kFileSave, Menu::kFile, QT_TRANSLATE_NOOP("Menu", "Save(&S)"), {"Ctrl+S"}},
    {Command::kFileSaveAs, Menu::kFile, QT_TRANSLATE_NOOP("Menu", "Save as(&A)..."), {}},
    {Command::kWriteText, Menu::kFile, QT_TRANSLATE_NOOP("Menu", "Write Transaction Info to Text..."), {}, true},
    {Command::kWriteCsv, Menu::kFile, QT_TRANSLATE_NOOP("Menu", "Write Transaction Info to CSV..."), {}},
    {Command::kExit, Menu::kFile, QT_TRANSLATE_NOOP("Menu", "Exit(&X)"), {}, true},
    {Command::kEditUndo, Menu::kEdit, QT_TRANSLATE_NOOP("Menu", "Undo(&U)"), {"Ctrl+Z", "Alt+Backspace"}},
    {Command::kEditCut, Menu::kEdit, QT_TRANSLATE_NOOP("Menu", "Cut(&T)"), {"Ctrl+X", "Shift+Del"}, true},
    {Command::kEditCopy, Menu::kEdit, QT_TRANSLATE_NOOP("Menu", "Copy(&C)"), {"Ctrl+C", "Ctrl+Ins"}},
    {Command::kEditPaste, Menu::kEdit, QT_TRANSLATE_NOOP("Menu", "Paste(&P)"), {"Ctrl+V", "Shift+Ins"}},
    {Command::kPause, Menu::kFunction, QT_TRANSLATE_NOOP("Menu", "Pause Transaction updating"), {}},
    {Command::kToolBar, Menu::kFunction, QT_TRANSLATE_NOOP("Menu", "Tool bar"), {}, true},
    {Command::kStatusBar, Menu::kFunction, QT_TRANSLATE_NOOP("Menu", "Status bar(&S)"), {}},
    {Command::kI2cSetting, Menu::kFunction, QT_TRANSLATE_NOOP("Menu", "I2C Setting..."), {}, true},
    {Command::kSpiSetting, Menu::kFunction, QT_TRANSLATE_NOOP("Menu", "SPI Setting..."), {}},
    {Command::kTriggerSetting, Menu::kFunction, QT_TRANSLATE_NOOP("Menu", "TRIGGER Setting..."), {}},
    {Command::kFilterSetting, Menu::kFunction, QT_TRANSLATE_NOOP("Menu", "Transaction Filter Setting..."), {}},
    {Command::kForcedDisplay, Menu::kFunction, QT_TRANSLATE_NOOP("Menu", "Forced display mode..."), {}},
    {Command::kOtherSetting, Menu::kFunction, QT_TRANSLATE_NOOP("Menu", "Other Setting...."), {}, true},
    {Command::kCapture, Menu::kFunction, QT_TRANSLATE_NOOP("Menu", "Capture Setting (START Sampling)"), {}, true},
    {Command::kStop, Menu::kFunction, QT_TRANSLATE_NOOP("Menu", "Stop Sampling/Stop Analyze"), {}},
    {Command::kJumpNumber, Menu::kSearch, QT_TRANSLATE_NOOP("Menu", "Jump transaction number..."), {"Ctrl+J"}},
    {Command::kJumpTrigger, Menu::kSearch, QT_TRANSLATE_NOOP("Menu", "Jump Trigger transaction"), {}},
    {Command::kSearchData, Menu::kSearch, QT_TRANSLATE_NOOP("Menu", "Search Data..."), {"Ctrl+F"}, true},
    {Command::kSearchAddress, Menu::kSearch, QT_TRANSLATE_NOOP("Menu", "Search I2C ADRS..."), {}},
    {Command::kSearchSubAddress, Menu::kSearch, QT_TRANSLATE_NOOP("Menu", "Search I2C SubADRS..."), {}},
    {Command::kSearchNack, Menu::kSearch, QT_TRANSLATE_NOOP("Menu", "Search I2C NACK..."), {}},
    {Command::kSearchError, Menu::kSearch, QT_TRANSLATE_NOOP("Menu", "Search Error transaction"), {}},
    {Command::kSearchNext, Menu::kSearch, QT_TRANSLATE_NOOP("Menu", "Search Next"), {"F3"}, true},
    {Command::kSearchPrevious, Menu::kSearch, QT_TRANSLATE_NOOP("Menu", "Search Previous"), {"Shift+F3", "Ctrl+F3"}},
    {Command::kVersionInfo, Menu::kInfo, QT_TRANSLATE_NOOP("Menu", "Version Info..."), {}},
    {Command::kAbout, Menu::kInfo, QT_TRANSLATE_NOOP("Menu", "about Orvane(&A)..."), {}},
};

const char* const kMenuTitles[] = {
    QT_TRANSLATE_NOOP("Menu", "File(&F)"), QT_TRANSLATE_NOOP("Menu", "Edit(&E)"),
    QT_TRANSLATE_NOOP("Menu", "Function(&V)"), QT_TRANSLATE_NOOP("Menu", "Search(&S)"),
    QT_TRANSLATE_NOOP("Menu", "Info(&H)")};

// The tool bar "Standard" in its order; 0 is a separator.
const uint16_t kToolBarOrder[] = {32777, 32941, 0, 32940, 0, 32796, 32778, 32780, 32782, 0,
                                  32775, 0, 32773, 0, 32790, 32789};

QStyle::StandardPixmap IconOf(Command id) {
  switch (id) {
    case Command::kCapture: return QStyle::SP_MediaPlay;
    case Command::kStop: return QStyle::SP_MediaStop;
    case Command::kPause: return QStyle::SP_MediaPause;
    case Command::kI2cSetting: return QStyle::SP_DriveNetIcon;
    case Command::kSpiSetting: return QStyle::SP_DriveHDIcon;
    case Command::kTriggerSetting: return QStyle::SP_MessageBoxWarning;
    case Command::kFilterSetting: return QStyle::SP_FileDialogContentsView;
    case Command::kOtherSetting: return QStyle::SP_FileDialogDetailedView;
    case Command::kVersionInfo: return QStyle::SP_MessageBoxInformation;
    case Command::kSearchPrevious: return QStyle::SP_ArrowUp;
    case Command::kSearchNext: return QStyle::SP_ArrowDown;
    case Command::kFileOpen: return QStyle::SP_DialogOpenButton;
    case Command::kFileSave: return QStyle::SP_DialogSaveButton;
    default: return QStyle::SP_CustomBase;
  }
}

QString MenuText(const char* text) { return QCoreApplication::translate("Menu", text); }

}  // namespace

QString StopCommandText(StopLabel label) {
  switch (label) {
    case StopLabel::kCaptureEnd: return QCoreApplication::translate("Menu", "Capture end.");
    case StopLabel::kAbortAnalysis: return QCoreApplication::translate("Menu", "Abort Data analysis");
    case StopLabel::kMenuText: break;
  }
  return MenuText("Stop Sampling/Stop Analyze");
}

FrameMenus BuildFrameMenus(QMainWindow& window) {
  FrameMenus menus;
  QMenu* menu_of[std::size(kMenuTitles)] = {};
  for (size_t i = 0; i < std::size(kMenuTitles); ++i) {
    menu_of[i] = window.menuBar()->addMenu(MenuText(kMenuTitles[i]));
  }
  for (const CommandEntry& entry : kCommands) {
    QMenu* menu = menu_of[static_cast<size_t>(entry.menu)];
    if (entry.separator_before) menu->addSeparator();
    if (entry.id == Command::kExit) {
      menus.recent_menu = menu->addMenu(MenuText(QT_TRANSLATE_NOOP("Menu", "Recent File")));
      menu->addSeparator();
    }
    auto* action = new QAction(MenuText(entry.text), &window);
    QList<QKeySequence> keys;
    for (const char* key : entry.keys) keys.append(QKeySequence(QString::fromLatin1(key)));
    action->setShortcuts(keys);
    // Screen readers read the text without the mnemonic marks.
    action->setObjectName(QStringLiteral("command%1").arg(static_cast<int>(entry.id)));
    if (const QStyle::StandardPixmap icon = IconOf(entry.id); icon != QStyle::SP_CustomBase) {
      action->setIcon(window.style()->standardIcon(icon));
    }
    if (entry.id == Command::kPause || entry.id == Command::kForcedDisplay || entry.id == Command::kToolBar ||
        entry.id == Command::kStatusBar) {
      action->setCheckable(true);
    }
    menu->addAction(action);
    menus.actions[entry.id] = action;
  }
  menus.tool_bar = window.addToolBar(MenuText(QT_TRANSLATE_NOOP("Menu", "Standard")));
  menus.tool_bar->setObjectName(QStringLiteral("Standard"));
  for (uint16_t id : kToolBarOrder) {
    if (id == 0) {
      menus.tool_bar->addSeparator();
    } else {
      menus.tool_bar->addAction(menus.actions.at(static_cast<Command>(id)));
    }
  }
  return menus;
}

}  // namespace orvane::ui
