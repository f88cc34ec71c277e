#include "Orvane/ui/dlg_title.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

#include "velix_version.h"

namespace orvane {
namespace {

constexpr QSize kPictureSize(520, 300);
// Where the version text goes, from the window's top left corner.
constexpr QPoint kVersionPosition(300, 35);

}  // namespace

DlgTitle::DlgTitle(QWidget* parent, TitleTimes times)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), times_(times), close_timer_(this), version_timer_(this) {
  setObjectName(QStringLiteral("title"));
  setAccessibleName(QStringLiteral("Orvane"));
  setFixedSize(kPictureSize);

  version_ = new QLabel(tr("SW Version : ") + QString::fromLatin1(velix::kVelixVersion), this);
  version_->setObjectName(QStringLiteral("version"));
  QFont font = version_->font();
  font.setPointSize(8);
  font.setBold(false);
  version_->setFont(font);
  QPalette palette = version_->palette();
  palette.setColor(QPalette::WindowText, QColor(0xFF, 0xFA, 0xFA));
  version_->setPalette(palette);
  version_->setAutoFillBackground(false);
  version_->adjustSize();
  version_->move(kVersionPosition);
  version_->hide();

  close_timer_.setObjectName(QStringLiteral("closeTimer"));
  version_timer_.setObjectName(QStringLiteral("versionTimer"));
  close_timer_.setSingleShot(true);
  version_timer_.setSingleShot(true);
  connect(&close_timer_, &QTimer::timeout, this, &QDialog::accept);
  connect(&version_timer_, &QTimer::timeout, this, &DlgTitle::ShowVersion);
}

bool DlgTitle::VersionShown() const { return !version_->isHidden(); }

void DlgTitle::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) return;
  started_ = true;
  close_timer_.start(times_.close_after);
  version_timer_.start(times_.version_after);
}

void DlgTitle::keyPressEvent(QKeyEvent* event) {
  // The window has no buttons: Enter stands for OK (Escape is the dialog's
  // own Cancel).
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void DlgTitle::ShowVersion() { version_->show(); }

void DlgTitle::done(int result) {
  close_timer_.stop();
  version_timer_.stop();
  QDialog::done(result);
}

void DlgTitle::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient background(0, 0, 0, height());
  background.setColorAt(0.0, QColor(0x10, 0x20, 0x48));
  background.setColorAt(1.0, QColor(0x20, 0x50, 0x90));
  painter.fillRect(rect(), background);

  painter.setPen(QColor(0xFF, 0xFF, 0xFF));
  QFont name_font = font();
  name_font.setPointSize(36);
  name_font.setBold(true);
  painter.setFont(name_font);
  painter.drawText(QRect(0, 90, width(), 70), Qt::AlignCenter, QStringLiteral("Orvane"));

  QFont line_font = font();
  line_font.setPointSize(12);
  painter.setFont(line_font);
  painter.setPen(QColor(0xC8, 0xD8, 0xF0));
  painter.drawText(QRect(0, 170, width(), 30), Qt::AlignCenter, tr("VELIX SPI/I2C Bus monitor"));
}

}  // namespace orvane
