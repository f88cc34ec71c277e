// The "Timing" tab offscreen over a real document: the texts after a
// selection, the row labels per capture kind, time entry by double-click
// and by keyboard, and the canvas's own scrolling and zoom.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <memory>
#include <string>

#include "Orvane/decode/detail_loader.h"
#include "Orvane/ui/tests/frame_fixture.h"
#include "Orvane/ui/waveform/logic_form.h"
#include "Orvane/ui/waveform/logic_form_factory.h"
#include "Orvane/ui/waveform/marker_slider.h"
#include "Orvane/ui/waveform/parameter_error_box.h"
#include "Orvane/ui/waveform/scroll_canvas.h"
#include "Orvane/ui/waveform/time_texts.h"

namespace orvane::ui::testing {
namespace {

constexpr char kI2cScenario[] =
    "bus i2c0\nrate 50\nscl 400k\n"
    "start\naddr 0x50 w\nwrite 00 10\nstop\nidle 20us\n"
    "start\naddr 0x50 r\nread 11 22\nstop\nidle 30us\n";
constexpr char kSpiScenario[] =
    "bus spi\nss active-low\nmode 0\nsclk 1m\n"
    "select\nxfer mosi=01,02 miso=a1,a2\ndeselect\nidle 5us\n"
    "select\nxfer mosi=03 miso=a3\ndeselect\nidle 5us\n";

// What a time entry dialog showed, and what the test typed into it.
struct SeenDialog {
  QString title, prompt, minimum, maximum;
};

class LogicFormTest : public FrameTest {
 protected:
  void TearDown() override {
    form_.reset();
    FrameTest::TearDown();
  }

  // Opens a capture of `scenario`, makes the tab and selects `row`.
  void Open(const char* scenario) {
    const std::string file = Synthesize("capture.SIC", scenario);
    ASSERT_TRUE(frame_->OpenFile(QString::fromStdString(file)));
    ASSERT_TRUE(WaitForRunEnd(false));
    form_.reset(static_cast<LogicForm*>(MakeLogicForm(frame_->Doc(), app_, nullptr)));
    form_->resize(960, 720);
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  }
  TransactionInfo Select(uint32_t row) {
    CSamplingObj& sampling = *frame_->Doc().Sampling();
    TransactionInfo record{};
    EXPECT_TRUE(sampling.Records().GetRow(row, &record));
    LoadTransactionDetail(sampling, app_.settings, record);
    form_->ShowTransaction(record, row);
    return record;
  }
  template <typename Widget>
  Widget* Find(const char* name) {
    auto* widget = form_->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QString Text(const char* name) {
    if (auto* label = form_->findChild<QLabel*>(QString::fromLatin1(name))) return label->text();
    return Find<QLineEdit>(name)->text();
  }
  // Answers the next time entry with `typed` in the microsecond field, or
  // cancels when `typed` is null.
  void AnswerSpan(const char* typed) {
    form_->SetDialogRunner([this, typed](QDialog& dialog) {
      seen_ = {dialog.windowTitle(), dialog.findChild<QLabel*>(QStringLiteral("prompt"))->text(),
               dialog.findChild<QLineEdit*>(QStringLiteral("minimum"))->text(),
               dialog.findChild<QLineEdit*>(QStringLiteral("maximum"))->text()};
      if (typed == nullptr) return static_cast<int>(QDialog::Rejected);
      dialog.findChild<QLineEdit*>(QStringLiteral("time"))->setText(QString::fromLatin1(typed));
      dialog.accept();
      return dialog.result();
    });
  }
  ScrollCanvas* Canvas() { return Find<ScrollCanvas>("canvas"); }

  std::unique_ptr<LogicForm> form_;
  SeenDialog seen_;
};

TEST_F(LogicFormTest, ShowsTheSelectedI2cTransaction) {
  Open(kI2cScenario);
  EXPECT_EQ(Text("transactionNumber"), QString());
  const TransactionInfo record = Select(1);
  const LogicFormModel& model = form_->Model();
  EXPECT_EQ(Text("transactionNumber"), QString::number(record.Index));
  EXPECT_EQ(model.RangeStart(), -int32_t{record.old_SignalClock});
  EXPECT_EQ(model.RangeEnd(), static_cast<int32_t>(record.Duration));
  EXPECT_EQ(Text("leftTime"), QStringLiteral("0.00 usec"));
  EXPECT_TRUE(Text("startTime").endsWith(QStringLiteral(" ~ ")));
  EXPECT_TRUE(Text("startTime").startsWith(record.old_SignalClock ? QStringLiteral("-") : QStringLiteral("0")));
  EXPECT_TRUE(Text("endTime").endsWith(QStringLiteral(" (us)")));
  EXPECT_EQ(Text("scaleText"), QStringLiteral(" Scale : 1/1.0 "));
  for (const char* name : {"markerTime0", "markerTime1", "markerTime2", "difference0", "difference1", "difference2"}) {
    EXPECT_EQ(Text(name), QStringLiteral("0.00")) << name;
  }
  // The canvas reported its width and the marker sliders follow it.
  EXPECT_EQ(model.Width(), Canvas()->ClientSize().width());
  EXPECT_EQ(model.SliderPixelWidth(), Canvas()->ClientSize().width());
  auto* error_timing = Find<QCheckBox>("showErrorTiming");
  EXPECT_TRUE(error_timing->isVisibleTo(form_.get()));
  EXPECT_TRUE(error_timing->isEnabled());
  error_timing->setChecked(true);
  Select(0);
  EXPECT_FALSE(error_timing->isChecked());
}

// The texts of the visible labels of the form.
QStringList VisibleLabels(QWidget& form) {
  QStringList shown;
  for (QLabel* label : form.findChildren<QLabel*>()) {
    if (label->isVisibleTo(&form)) shown << label->text();
  }
  return shown;
}

TEST_F(LogicFormTest, RowLabelsOfAnSpiCapture) {
  Open(kSpiScenario);
  Select(0);
  const QStringList shown = VisibleLabels(*form_);
  for (const char* row : {"SS", "SCLK", "[MOSI]", "[MISO]"}) {
    EXPECT_TRUE(shown.contains(QString::fromLatin1(row))) << row;
  }
  EXPECT_FALSE(shown.contains(QStringLiteral("SCL")));
  EXPECT_FALSE(Find<QCheckBox>("showErrorTiming")->isVisibleTo(form_.get()));
  EXPECT_TRUE(Find<QCheckBox>("extendTime")->isVisibleTo(form_.get()));
}

TEST_F(LogicFormTest, RowLabelsOfAnI2cCapture) {
  Open(kI2cScenario);
  Select(0);
  const QStringList shown = VisibleLabels(*form_);
  EXPECT_TRUE(shown.contains(QStringLiteral("SCL")));
  EXPECT_TRUE(shown.contains(QStringLiteral("SDA")));
  for (const char* row : {"SS", "SCLK", "[MOSI]", "[MISO]"}) {
    EXPECT_FALSE(shown.contains(QString::fromLatin1(row))) << row;
  }
  EXPECT_TRUE(Find<QCheckBox>("showErrorTiming")->isVisibleTo(form_.get()));
}

TEST_F(LogicFormTest, MonitorModeIgnoresTheSelection) {
  Open(kI2cScenario);
  app_.settings.MonitorMode = 1;
  TransactionInfo record{};
  ASSERT_TRUE(frame_->Doc().Sampling()->Records().GetRow(0, &record));
  form_->ShowTransaction(record, 0);
  EXPECT_EQ(Text("transactionNumber"), QString());
  EXPECT_FALSE(form_->Model().HasTransaction());
  app_.settings.MonitorMode = 0;
}

TEST_F(LogicFormTest, DoubleClicksOpenTheTimeEntryWithItsRange) {
  Open(kI2cScenario);
  const TransactionInfo record = Select(1);
  const LogicFormModel& model = form_->Model();
  const int64_t period = app_.settings.SamplePeriodCode;
  const auto span = [](int64_t time) { return QString::fromStdString(SpanText(time)); };

  AnswerSpan("1");
  QTest::mouseDClick(Find<QLabel>("leftTime"), Qt::LeftButton);
  EXPECT_EQ(seen_.title, QStringLiteral("Start waveform display  TIME(μs) input"));
  EXPECT_EQ(seen_.prompt, QStringLiteral("Please specify a starting position for waveform of this transaction "
                                         "within the following range. "));
  EXPECT_EQ(seen_.minimum, span(model.RangeStart() * period));
  EXPECT_EQ(seen_.maximum, span((int64_t{model.RangeEnd()} - model.Width()) * period));
  EXPECT_EQ(model.Left(), 100 / period);

  AnswerSpan("2");
  QTest::mouseDClick(Find<QLineEdit>("markerTime1"), Qt::LeftButton);
  EXPECT_EQ(seen_.title, QStringLiteral("M1 TIME(μs) input"));
  EXPECT_EQ(seen_.prompt, QStringLiteral("Please specify a Marker-M1 position for waveform of this transaction "
                                         "within the following range. "));
  EXPECT_EQ(seen_.maximum, span(int64_t{record.Duration} * period));
  EXPECT_EQ(model.Marker(1), 200 / period);
  EXPECT_EQ(Text("markerTime1"), QStringLiteral("2.00"));
  EXPECT_EQ(Text("difference0"), QStringLiteral("2.00"));

  AnswerSpan(nullptr);
  QTest::mouseDClick(Find<QLabel>("rightTime"), Qt::LeftButton);
  EXPECT_EQ(seen_.title, QStringLiteral("End waveform display TIME(μs) input"));
  EXPECT_EQ(model.Left(), 100 / period);

  // The start and end texts jump without a dialog.
  QTest::mouseDClick(Find<QLabel>("startTime"), Qt::LeftButton);
  EXPECT_EQ(model.Left(), model.RangeStart());
}

TEST_F(LogicFormTest, OutOfRangeEntriesAreRefusedInTheDialog) {
  Open(kI2cScenario);
  Select(1);
  std::vector<QString> boxes;
  SetParameterErrorPresenter([&boxes](const QString&, const QString& text) { boxes.push_back(text); });
  int attempts = 0;
  form_->SetDialogRunner([&attempts](QDialog& dialog) {
    auto* time = dialog.findChild<QLineEdit*>(QStringLiteral("time"));
    time->setText(QStringLiteral("999999"));
    dialog.accept();
    ++attempts;
    if (dialog.result() == QDialog::Accepted) return dialog.result();
    time->setText(QStringLiteral("0.5"));
    dialog.accept();
    return dialog.result();
  });
  QTest::mouseDClick(Find<QLineEdit>("markerTime0"), Qt::LeftButton);
  SetParameterErrorPresenter({});
  EXPECT_EQ(attempts, 1);
  EXPECT_EQ(boxes, std::vector<QString>{QStringLiteral("The specified value is out of range.")});
  EXPECT_EQ(form_->Model().Marker(0), 50 / int32_t{app_.settings.SamplePeriodCode});
}

TEST_F(LogicFormTest, KeyboardWheelAndDragMoveTheCanvas) {
  Open(kI2cScenario);
  Select(1);
  const LogicFormModel& model = form_->Model();
  ScrollCanvas* canvas = Canvas();
  canvas->setFocus();
  struct Step {
    const char* name;
    std::function<void()> act;
    std::function<int32_t()> left;
  };
  const int32_t width = model.Width();
  const std::vector<Step> steps = {
      {"Right", [canvas] { QTest::keyClick(canvas, Qt::Key_Right); }, [] { return 4; }},
      {"Left", [canvas] { QTest::keyClick(canvas, Qt::Key_Left); }, [] { return 0; }},
      {"PageDown", [canvas] { QTest::keyClick(canvas, Qt::Key_PageDown); }, [width] { return width / 2; }},
      {"End", [canvas] { QTest::keyClick(canvas, Qt::Key_End); },
       [&model] { return model.RangeEnd() - model.Width(); }},
      {"wheel notch", [canvas] {
         QWheelEvent wheel(QPointF(50, 50), canvas->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                           Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
         QApplication::sendEvent(canvas, &wheel);
       },
       [&model] { return model.RangeEnd() - model.Width() - 120; }},
      {"drag right by 30 pixels", [canvas] {
         QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
         QMouseEvent move(QEvent::MouseMove, QPointF(130, 50), canvas->mapToGlobal(QPointF(130, 50)),
                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(canvas, &move);
         QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(130, 50));
       },
       [&model] { return model.RangeEnd() - model.Width() - 150; }},
      {"Home", [canvas] { QTest::keyClick(canvas, Qt::Key_Home); }, [&model] { return model.RangeStart(); }},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(model.Left(), step.left()) << step.name;
    EXPECT_EQ(canvas->ScrollBar()->value(), model.Left()) << step.name;
    EXPECT_EQ(Text("leftTime"),
              QString::fromStdString(SpanText(int64_t{model.Left()} * app_.settings.SamplePeriodCode)) +
                  QStringLiteral(" usec"))
        << step.name;
  }
  // A wheel over the rest of the form leaves the canvas where it is.
  QTest::keyClick(canvas, Qt::Key_PageDown);
  const int32_t before = model.Left();
  QLabel* elsewhere = Find<QLabel>("leftTime");
  QWheelEvent outside(QPointF(5, 5), elsewhere->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(elsewhere, &outside);
  EXPECT_EQ(model.Left(), before);
  QTest::keyClick(canvas, Qt::Key_PageDown);
  QTest::keyClick(canvas, Qt::Key_Minus);
  EXPECT_EQ(model.Scale(), 12u);
  EXPECT_EQ(Text("scaleText"), QStringLiteral(" Scale : 1/1.2 "));
  QTest::keyClick(canvas, Qt::Key_Plus);
  EXPECT_EQ(model.Scale(), 10u);
  QWheelEvent zoom(QPointF(40, 50), canvas->mapToGlobal(QPointF(40, 50)), QPoint(), QPoint(0, -120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
  const int32_t under = model.Left() + 40;
  QApplication::sendEvent(canvas, &zoom);
  EXPECT_EQ(model.Scale(), 12u);
  EXPECT_EQ(model.Left() + 40 * 12 / 10, under);
}

TEST_F(LogicFormTest, EnterOnAFocusedTimeOpensItsEntry) {
  Open(kI2cScenario);
  Select(1);
  AnswerSpan(nullptr);
  QLabel* right = Find<QLabel>("rightTime");
  right->setFocus();
  QTest::keyClick(right, Qt::Key_Return);
  EXPECT_EQ(seen_.title, QStringLiteral("End waveform display TIME(μs) input"));
  QToolButton* forward = Find<QToolButton>("M0 Jump ByteData forward");
  forward->click();
  EXPECT_EQ(form_->Model().Marker(0), static_cast<int32_t>(frame_->Doc().Sampling()->Detail().offsets.front()));
}

TEST_F(LogicFormTest, MarkerSlidersStandOverTheCanvasColumns) {
  Open(kI2cScenario);
  Select(1);
  const LogicFormModel& model = form_->Model();
  ScrollCanvas* canvas = Canvas();
  for (int m = 0; m < 3; ++m) {
    auto* slider = Find<MarkerSlider>(qPrintable(QStringLiteral("markerSlider%1").arg(m)));
    // Dragging to the column of offset 100 + 10 m puts the marker there.
    const int32_t target = 100 + 10 * m;
    const int column = static_cast<int>(PixelOf(model.Window(), target, canvas->ClientSize().width()));
    const QPoint at = slider->mapFromGlobal(canvas->mapToGlobal(QPoint(column, 0)));
    EXPECT_EQ(slider->XOf(target), at.x()) << m;
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, QPoint(at.x(), MarkerSlider::kHeight / 2));
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(at.x(), MarkerSlider::kHeight / 2));
    EXPECT_EQ(model.Marker(m), target) << m;
  }
  EXPECT_EQ(Text("difference2"),
            QString::fromStdString(SpanText(int64_t{20} * app_.settings.SamplePeriodCode)));
}

TEST_F(LogicFormTest, SignalJumpArrowsWalkTheCapture) {
  Open(kI2cScenario);
  Select(1);
  const LogicFormModel& model = form_->Model();
  Find<QToolButton>("M2 Jump change signal forward")->click();
  const int32_t first_change = model.Marker(2);
  EXPECT_GT(first_change, 0);
  EXPECT_EQ(Text("markerTime2"),
            QString::fromStdString(SpanText(int64_t{first_change} * app_.settings.SamplePeriodCode)));
  Find<QToolButton>("M2 Jump change signal forward")->click();
  EXPECT_GT(model.Marker(2), first_change);
  Find<QToolButton>("M2 Jump change signal backward")->click();
  EXPECT_EQ(model.Marker(2), first_change);
  Find<QToolButton>("M2 Jump change signal backward")->click();
  EXPECT_EQ(model.Marker(2), 0);
}

}  // namespace
}  // namespace orvane::ui::testing
