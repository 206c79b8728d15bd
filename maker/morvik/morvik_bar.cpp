#include "morvik/morvik_bar.h"

#include <QHBoxLayout>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

#include "morvik/morvik.h"

namespace {

LONG NextFactor(LONG factor) { return factor >= 32 || factor < 2 ? 2 : factor * 2; }

}  // namespace

MorvikBar::MorvikBar(QWidget* parent, std::function<void(LONG, LONG)> onCommand, std::function<LONG()> speed)
    : QWidget(parent), onCommand_(std::move(onCommand)), speed_(std::move(speed)) {
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(214, 218, 222));
  pal.setColor(QPalette::ButtonText, Qt::black);
  setPalette(pal);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 1, 2, 1);
  layout->setSpacing(1);
  QStyle* s = style();
  AddButton(kMorvikCmdContinue, s->standardIcon(QStyle::SP_MediaPlay), QString());
  AddButton(kMorvikCmdPause, s->standardIcon(QStyle::SP_MediaPause), QString());
  AddButton(kMorvikCmdStop, s->standardIcon(QStyle::SP_MediaStop), QString());
  AddButton(kMorvikCmdSlow, s->standardIcon(QStyle::SP_MediaSeekBackward), QString());
  AddButton(kMorvikCmdNormal, QIcon(), QStringLiteral("1x"));
  AddButton(kMorvikCmdFast, s->standardIcon(QStyle::SP_MediaSeekForward), QString());
  AddButton(kMorvikCmdPrev, s->standardIcon(QStyle::SP_MediaSkipBackward), QString());
  AddButton(kMorvikCmdNext, s->standardIcon(QStyle::SP_MediaSkipForward), QString());
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setRange(0, 0);
  slider_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(slider_, 1);
  AddButton(kSnapshot, s->standardIcon(QStyle::SP_DialogSaveButton), QString());
  QObject::connect(slider_, &QSlider::sliderReleased, this,
                   [this] { onCommand_(kMorvikCmdSeek, slider_->value()); });
}

QToolButton* MorvikBar::AddButton(LONG command, const QIcon& icon, const QString& text) {
  auto* button = new QToolButton(this);
  button->setObjectName(QStringLiteral("morvik%1").arg(command));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setFixedSize(kHeight - 2, kHeight - 2);
  if (icon.isNull()) {
    button->setText(text);
  } else {
    button->setIcon(icon);
  }
  static_cast<QHBoxLayout*>(layout())->addWidget(button);
  QObject::connect(button, &QToolButton::clicked, this, [this, command] { Clicked(command); });
  return button;
}

void MorvikBar::Clicked(LONG command) {
  // The steps go on from the speed the player plays at now: a player that was
  // stopped, or opened a new replay, is back at normal speed.
  const LONG speed = speed_ ? speed_() : 1;
  LONG value = 0;
  if (command == kMorvikCmdSlow) {
    value = NextFactor(speed < -1 ? -speed : 1);
  } else if (command == kMorvikCmdFast) {
    value = NextFactor(speed > 1 ? speed : 1);
  }
  onCommand_(command, value);
}

void MorvikBar::Press(LONG command) { Clicked(command); }

void MorvikBar::SetRange(int seconds) {
  if (slider_->maximum() != seconds) slider_->setRange(0, seconds > 0 ? seconds : 0);
}

void MorvikBar::SetPosition(int second) {
  if (!slider_->isSliderDown()) slider_->setValue(second);
}

int MorvikBar::Position() const { return slider_->value(); }

int MorvikBar::Range() const { return slider_->maximum(); }
