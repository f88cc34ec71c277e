// Message boxes for the core's messages.
#include "Orvane/ui/qt_interaction_sink.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

namespace orvane {
namespace {

using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::Icon;

TEST(QtInteractionSink, IconsButtonsAndAnswersMapOntoQMessageBox) {
  EXPECT_EQ(ToQtIcon(Icon::kStop), QMessageBox::Critical);
  EXPECT_EQ(ToQtIcon(Icon::kExclamation), QMessageBox::Warning);
  EXPECT_EQ(ToQtIcon(Icon::kQuestion), QMessageBox::Question);
  EXPECT_EQ(ToQtIcon(Icon::kInformation), QMessageBox::Information);
  EXPECT_EQ(ToQtIcon(Icon::kNone), QMessageBox::NoIcon);

  struct Case {
    Buttons buttons;
    QMessageBox::StandardButtons qt;
    int pressed;
    Answer default_answer;
    Answer expected;
  } cases[] = {
      {Buttons::kOk, QMessageBox::Ok, QMessageBox::Ok, Answer::kOk, Answer::kOk},
      {Buttons::kOkCancel, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, Answer::kOk, Answer::kCancel},
      {Buttons::kYesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, Answer::kNo, Answer::kYes},
      {Buttons::kYesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, Answer::kYes, Answer::kNo},
      {Buttons::kYesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel,
       Answer::kYes, Answer::kCancel},
      {Buttons::kRetryCancel, QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry, Answer::kCancel,
       Answer::kRetry},
      // Not a button of the box (a closed window): the preselected answer.
      {Buttons::kYesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Ok, Answer::kNo, Answer::kNo},
      {Buttons::kRetryCancel, QMessageBox::Retry | QMessageBox::Cancel, -1, Answer::kCancel, Answer::kCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pressed);
    EXPECT_EQ(ToQtButtons(c.buttons), c.qt);
    EXPECT_EQ(FromQtButton(c.pressed, c.buttons, c.default_answer), c.expected);
  }
}

TEST(QtInteractionSink, EnterTakesThePreselectedAnswer) {
  QtInteractionSink sink;
  QString shown_text;
  QMessageBox::Icon shown_icon = QMessageBox::NoIcon;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown_text = box->text();
    shown_icon = box->icon();
    QTest::keyClick(box, Qt::Key_Return);
  });
  EXPECT_EQ(sink.MessageBox("Are you sure?", Icon::kExclamation, Buttons::kYesNo, Answer::kNo), Answer::kNo);
  EXPECT_EQ(shown_text, QStringLiteral("Are you sure?"));
  EXPECT_EQ(shown_icon, QMessageBox::Warning);
}

TEST(QtInteractionSink, BoxesCarryTheTitleSetLastElseTheApplicationName) {
  const QString application = QCoreApplication::applicationName();
  const struct {
    QString set;
    QString shown;
  } cases[] = {
      {QString(), application},
      {QStringLiteral("ErrorInfomation"), QStringLiteral("ErrorInfomation")},
      {QString(), application},
  };
  QtInteractionSink sink;
  for (const auto& c : cases) {
    sink.SetBoxTitle(c.set);
    QString shown_title;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      shown_title = box->windowTitle();
      QTest::keyClick(box, Qt::Key_Return);
    });
    sink.Show("No space left on device", Icon::kStop);
    EXPECT_EQ(shown_title, c.shown);
  }
}

TEST(QtInteractionSink, APresenterAnswersInPlaceOfTheBox) {
  QtInteractionSink sink;
  QString presented;
  sink.SetPresenter([&](const QString& text, Icon icon, Buttons, Answer) {
    presented = text;
    EXPECT_EQ(icon, Icon::kStop);
    return Answer::kRetry;
  });
  EXPECT_EQ(sink.MessageBox("VELIX not found. (not connect)", Icon::kStop, Buttons::kRetryCancel, Answer::kCancel),
            Answer::kRetry);
  EXPECT_EQ(presented, QStringLiteral("VELIX not found. (not connect)"));
}

}  // namespace
}  // namespace orvane
