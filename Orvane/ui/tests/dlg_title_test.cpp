// The title window and the about box offscreen.
#include "Orvane/ui/dlg_title.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "Orvane/ui/about_box.h"
#include "velix_version.h"

namespace orvane {
namespace {

QTimer* Timer(const DlgTitle& title, const char* name) {
  auto* timer = title.findChild<QTimer*>(QString::fromLatin1(name));
  EXPECT_NE(timer, nullptr) << name;
  return timer;
}

TEST(DlgTitle, StartsBothTimersWhenShown) {
  DlgTitle title;
  EXPECT_TRUE(title.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_FALSE(Timer(title, "closeTimer")->isActive());
  title.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&title));
  EXPECT_TRUE(Timer(title, "closeTimer")->isActive());
  EXPECT_EQ(Timer(title, "closeTimer")->interval(), 2531);
  EXPECT_EQ(Timer(title, "versionTimer")->interval(), 1265);
  EXPECT_FALSE(title.VersionShown());
  auto* version = title.findChild<QLabel*>(QStringLiteral("version"));
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->text(), QStringLiteral("SW Version : ") + QString::fromLatin1(velix::kVelixVersion));
  EXPECT_EQ(version->pos(), QPoint(300, 35));
  EXPECT_EQ(version->font().pointSize(), 8);
  EXPECT_EQ(version->palette().color(QPalette::WindowText), QColor(0xFF, 0xFA, 0xFA));
}

TEST(DlgTitle, ShowsTheVersionThenClosesByItself) {
  DlgTitle title(nullptr, TitleTimes{.close_after = 200, .version_after = 20});
  bool version_before_close = false;
  QObject::connect(&title, &QDialog::finished, [&] { version_before_close = title.VersionShown(); });
  EXPECT_EQ(title.exec(), QDialog::Accepted);
  EXPECT_TRUE(version_before_close);
}

TEST(DlgTitle, EscapeClosesAtOnceAndStopsBothTimers) {
  DlgTitle title;
  title.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&title));
  QTest::keyClick(&title, Qt::Key_Escape);
  EXPECT_FALSE(title.isVisible());
  EXPECT_FALSE(Timer(title, "closeTimer")->isActive());
  EXPECT_FALSE(Timer(title, "versionTimer")->isActive());

  DlgTitle second;
  second.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
  QTest::keyClick(&second, Qt::Key_Return);
  EXPECT_FALSE(second.isVisible());
  EXPECT_EQ(second.result(), QDialog::Accepted);
}

TEST(AboutBox, ShowsProductNameAndVersion) {
  AboutBox about;
  EXPECT_EQ(about.windowTitle(), QStringLiteral("About Orvane"));
  EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("productName"))->text(), QStringLiteral("Orvane"));
  EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("productVersion"))->text(),
            QStringLiteral("Version ") + QString::fromLatin1(velix::kVelixVersion));
}

TEST(AboutBox, TheTitleWindowComesFirst) {
  QStringList shown;
  // Each modal window, as it comes up, is noted and closed with Escape.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || (!shown.isEmpty() && shown.back() == modal->metaObject()->className())) return;
    shown << QString::fromLatin1(modal->metaObject()->className());
    QTest::keyClick(modal, Qt::Key_Escape);
  });
  closer.start(10);
  ShowAboutBox(nullptr);
  EXPECT_EQ(shown, (QStringList{QStringLiteral("orvane::DlgTitle"), QStringLiteral("orvane::AboutBox")}));
}

}  // namespace
}  // namespace orvane
