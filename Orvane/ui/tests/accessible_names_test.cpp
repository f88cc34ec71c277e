// What a screen reader hears: every control a user can reach with the
// keyboard in the main window (list, every data tab of an I2C and an SPI
// capture) and in each dialog the menu opens must have a name through the
// accessibility layer, not only a look.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <initializer_list>
#include <string>
#include <vector>

#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/tests/frame_fixture.h"

namespace orvane::ui::testing {
namespace {

constexpr char kI2cScenario[] =
    "bus i2c0\nrate 50\nscl 400k\n"
    "start\naddr 0x50 w\nwrite 00 01 02\nstop\nidle 20us\n"
    "start\naddr 0x50 r\nread 11 22 33\nstop\nidle 30us\n";
constexpr char kSpiScenario[] =
    "bus spi\nrate 50\nss active-low\nmode 0\nsclk 2m\n"
    "select\nxfer mosi=9F,00,00,00 miso=FF,EF,40,18\ndeselect\nidle 10us\n";

// Focusable, shown controls whose accessible name is empty, as
// "class objectName" for the failure message.
std::vector<std::string> Unnamed(QWidget& top) {
  std::vector<std::string> unnamed;
  const QList<QWidget*> widgets = top.findChildren<QWidget*>();
  for (QWidget* widget : widgets) {
    if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(&top) || !widget->isEnabled()) continue;
    // The viewport and the inner editor of compound widgets are reached
    // through the widget that owns them.
    if (widget->focusProxy() != nullptr) continue;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    if (accessible != nullptr && !accessible->text(QAccessible::Name).trimmed().isEmpty()) continue;
    unnamed.push_back(std::string(widget->metaObject()->className()) + " " + widget->objectName().toStdString());
  }
  return unnamed;
}

class AccessibleNamesTest : public FrameTest {
 protected:
  void Open(const char* name, const char* scenario) {
    ASSERT_TRUE(frame_->OpenFile(QString::fromStdString(Synthesize(name, scenario))));
    ASSERT_TRUE(WaitForRunEnd(false));
    QTest::qWait(150);
    ASSERT_TRUE(frame_->ListView().SelectRowAndShow(0));
  }
  // Every tab in turn, then the window as a whole.
  void ExpectEveryTabNamed() {
    frame_->show();
    QTabWidget* pane = frame_->TabPane();
    ASSERT_NE(pane, nullptr);
    for (int i = 0; i < pane->count(); ++i) {
      pane->setCurrentIndex(i);
      SCOPED_TRACE(pane->tabText(i).toStdString());
      EXPECT_EQ(Unnamed(*frame_), std::vector<std::string>{});
    }
  }
};

TEST_F(AccessibleNamesTest, EveryControlOfTheWindowAndItsI2cTabsHasAName) {
  Open("i2c.SIC", kI2cScenario);
  ExpectEveryTabNamed();
}

TEST_F(AccessibleNamesTest, EveryControlOfTheSpiTabsHasAName) {
  Open("spi.SIC", kSpiScenario);
  ExpectEveryTabNamed();
}

// Opens each command's dialog on the loaded capture, checks it while it is
// open, then cancels it.
void ExpectDialogsNamed(CMainFrame& frame, std::initializer_list<Command> commands) {
  for (const Command command : commands) {
    QAction* action = frame.Action(command);
    SCOPED_TRACE(action->text().toStdString());
    ASSERT_TRUE(action->isEnabled());
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      seen = true;
      EXPECT_EQ(Unnamed(*dialog), std::vector<std::string>{});
      dialog->reject();
    });
    action->trigger();
    EXPECT_TRUE(seen);
  }
}

TEST_F(AccessibleNamesTest, EveryControlOfTheMenuDialogsHasAName) {
  Open("i2c.SIC", kI2cScenario);
  frame_->show();
  ExpectDialogsNamed(*frame_, {Command::kI2cSetting, Command::kOtherSetting, Command::kTriggerSetting,
                               Command::kFilterSetting, Command::kSearchData, Command::kJumpNumber,
                               Command::kSearchAddress, Command::kSearchSubAddress, Command::kForcedDisplay,
                               Command::kWriteText});
  Open("spi.SIC", kSpiScenario);
  ExpectDialogsNamed(*frame_, {Command::kSpiSetting});
}

}  // namespace
}  // namespace orvane::ui::testing
