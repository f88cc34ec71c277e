#include "Orvane/ui/waveform/arrow_spin.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace {

QToolButton* NewArrow(Qt::ArrowType arrow, const QString& name) {
  auto* button = new QToolButton;
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setFocusPolicy(Qt::StrongFocus);
  button->setObjectName(name);
  button->setAccessibleName(name);
  button->setFixedSize(18, 18);
  return button;
}

}  // namespace

ArrowSpin::ArrowSpin(const QString& name, QWidget* parent)
    : QWidget(parent),
      backward_(NewArrow(Qt::LeftArrow, name + tr(" backward"))),
      forward_(NewArrow(Qt::RightArrow, name + tr(" forward"))) {
  setObjectName(name);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(backward_);
  layout->addWidget(forward_);
  connect(backward_, &QToolButton::clicked, this, [this] { emit stepped(false); });
  connect(forward_, &QToolButton::clicked, this, [this] { emit stepped(true); });
}

void ArrowSpin::SetTips(const QString& tip) {
  setToolTip(tip);
  backward_->setToolTip(tip);
  forward_->setToolTip(tip);
}
