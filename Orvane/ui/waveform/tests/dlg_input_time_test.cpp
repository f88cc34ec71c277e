// The two time entry dialogs, offscreen.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <string>
#include <vector>

#include "Orvane/ui/waveform/dlg_input_time_sec.h"
#include "Orvane/ui/waveform/dlg_input_time_span.h"
#include "Orvane/ui/waveform/parameter_error_box.h"
#include "Orvane/ui/tests/find_child.h"

namespace {

QString Text(QDialog& dialog, const char* name) { return Find<QLineEdit>(dialog, name)->text(); }

class TimeEntryDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetParameterErrorPresenter([this](const QString& caption, const QString& text) {
      shown_.push_back((caption + QLatin1Char('|') + text).toStdString());
    });
  }
  void TearDown() override { SetParameterErrorPresenter({}); }
  std::vector<std::string> shown_;
};

TEST_F(TimeEntryDialogTest, SpanDialogOpensWithItsTexts) {
  DlgInputTimeSpan own(QString(), QStringLiteral("prompt text"), -40, 5000, -7);
  EXPECT_EQ(own.windowTitle(), QStringLiteral("TIME(μs) input"));
  EXPECT_EQ(Find<QLabel>(own, "prompt")->text(), QStringLiteral("prompt text"));
  EXPECT_EQ(Text(own, "minimum"), QStringLiteral("-0.40"));
  EXPECT_EQ(Text(own, "maximum"), QStringLiteral("50.00"));
  EXPECT_EQ(Text(own, "time"), QStringLiteral("-0.07"));
  EXPECT_TRUE(Find<QLineEdit>(own, "minimum")->isReadOnly());
  EXPECT_FALSE(Find<QLineEdit>(own, "time")->testAttribute(Qt::WA_InputMethodEnabled));
  DlgInputTimeSpan captioned(QStringLiteral("M1 TIME(μs) input"), QString(), 0, 1, 0);
  EXPECT_EQ(captioned.windowTitle(), QStringLiteral("M1 TIME(μs) input"));
}

TEST_F(TimeEntryDialogTest, SpanDialogAcceptsOnlyValuesWithinTheRange) {
  struct Case {
    const char* typed;
    bool accepted;
    int64_t value;
  };
  const std::vector<Case> cases = {
      {"-0.4", true, -40}, {"50", true, 5000},     {"50.01", false, 0}, {"-0.41", false, 0},
      {"", true, 0},       {"12.345", true, 1234}, {"-0.5", false, 0},
  };
  for (const Case& c : cases) {
    shown_.clear();
    DlgInputTimeSpan dialog(QString(), QString(), -40, 5000, 100);
    Find<QLineEdit>(dialog, "time")->setText(QString::fromLatin1(c.typed));
    Find<QPushButton>(dialog, "ok")->click();
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.typed;
    if (c.accepted) {
      EXPECT_EQ(dialog.Value(), c.value) << c.typed;
      EXPECT_TRUE(shown_.empty()) << c.typed;
    } else {
      EXPECT_EQ(dialog.Value(), 100) << c.typed;
      EXPECT_EQ(shown_, std::vector<std::string>{"Parameter error|The specified value is out of range."})
          << c.typed;
    }
  }
}

TEST_F(TimeEntryDialogTest, SecondsDialogSplitsAndReadsThreeFields) {
  DlgInputTimeSec dialog(QString(), QString(), 1999960, 2006000, 100200340);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("TIME (s:ms:μs) input"));
  EXPECT_EQ(Text(dialog, "minimum"), QStringLiteral("0:019:999.60"));
  EXPECT_EQ(Text(dialog, "maximum"), QStringLiteral("0:020:060.00"));
  EXPECT_EQ(Text(dialog, "seconds"), QStringLiteral("1"));
  EXPECT_EQ(Text(dialog, "milliseconds"), QStringLiteral("002"));
  EXPECT_EQ(Text(dialog, "microseconds"), QStringLiteral("003.40"));

  struct Case {
    const char *s, *ms, *us;
    bool accepted;
    uint64_t value;
  };
  const std::vector<Case> cases = {
      {"0", "019", "999.60", true, 1999960},  {"0", "020", "060", true, 2006000},
      {"0", "019", "999.59", false, 0},       {"0", "020", "060.01", false, 0},
      {"0", "20", "", true, 2000000},         {"1", "002", "003.40", false, 0},
  };
  for (const Case& c : cases) {
    shown_.clear();
    DlgInputTimeSec entry(QString(), QString(), 1999960, 2006000, 2000000);
    Find<QLineEdit>(entry, "seconds")->setText(QString::fromLatin1(c.s));
    Find<QLineEdit>(entry, "milliseconds")->setText(QString::fromLatin1(c.ms));
    Find<QLineEdit>(entry, "microseconds")->setText(QString::fromLatin1(c.us));
    Find<QPushButton>(entry, "ok")->click();
    EXPECT_EQ(entry.result() == QDialog::Accepted, c.accepted) << c.s << ':' << c.ms << ':' << c.us;
    EXPECT_EQ(shown_.size(), c.accepted ? 0u : 1u);
    if (c.accepted) {
      EXPECT_EQ(entry.Value(), c.value);
    }
  }
}

}  // namespace
