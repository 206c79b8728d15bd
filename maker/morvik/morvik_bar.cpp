#include "morvik/morvik_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

#include "morvik/morvik.h"

namespace {

LONG NextFactor(LONG factor) { return factor >= 32 || factor < 2 ? 2 : factor * 2; }

// "mm:ss", or "h:mm:ss" from an hour on.
QString Clock(int seconds) {
  seconds = std::max(0, seconds);
  if (seconds >= 3600)
    return QString::asprintf("%d:%02d:%02d", seconds / 3600, seconds % 3600 / 60, seconds % 60);
  return QString::asprintf("%02d:%02d", seconds / 60, seconds % 60);
}

}  // namespace

MorvikBar::MorvikBar(QWidget* parent, std::function<void(LONG, LONG)> onCommand, std::function<LONG()> speed)
    : QWidget(parent), onCommand_(std::move(onCommand)), speed_(std::move(speed)) {
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(214, 218, 222));
  pal.setColor(QPalette::ButtonText, Qt::black);
  pal.setColor(QPalette::WindowText, Qt::black);  // the time, on the light bar
  setPalette(pal);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 1, 2, 1);
  layout->setSpacing(1);
  QStyle* s = style();
  AddButton(kMorvikCmdContinue, s->standardIcon(QStyle::SP_MediaPlay), QString());
  AddButton(kMorvikCmdPause, s->standardIcon(QStyle::SP_MediaPause), QString());
  AddButton(kMorvikCmdStop, s->standardIcon(QStyle::SP_MediaStop), QString());
  AddButton(kMorvikCmdSlow, s->standardIcon(QStyle::SP_MediaSeekBackward), QString());
  speedButton_ = AddButton(kMorvikCmdNormal, QIcon(), QStringLiteral("1x"));
  // Wide enough for the slowest speed's text.
  speedButton_->setFixedWidth(
      std::max(kHeight - 2, speedButton_->fontMetrics().horizontalAdvance(QStringLiteral("1/32x")) + 8));
  AddButton(kMorvikCmdFast, s->standardIcon(QStyle::SP_MediaSeekForward), QString());
  AddButton(kMorvikCmdPrev, s->standardIcon(QStyle::SP_MediaSkipBackward), QString());
  AddButton(kMorvikCmdNext, s->standardIcon(QStyle::SP_MediaSkipForward), QString());
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setRange(0, 0);
  slider_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(slider_, 1);
  time_ = new QLabel(this);
  time_->setMinimumWidth(time_->fontMetrics().horizontalAdvance(QStringLiteral("0:00:00 / 0:00:00")) + 6);
  time_->setAlignment(Qt::AlignCenter);
  layout->addWidget(time_);
  ShowTime();
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
  ShowTime();
}

void MorvikBar::SetPosition(int second) {
  if (!slider_->isSliderDown()) slider_->setValue(second);
  ShowTime();
}

void MorvikBar::SetSpeed(LONG factor, bool slow) {
  if (factor <= 1) {
    speedButton_->setText(QStringLiteral("1x"));
  } else {
    speedButton_->setText(slow ? QStringLiteral("1/%1x").arg(factor) : QStringLiteral("%1x").arg(factor));
  }
}

void MorvikBar::Reset() {
  SetSpeed(1, false);
  slider_->setRange(0, 0);
  slider_->setValue(0);
  ShowTime();
}

QString MorvikBar::SpeedText() const { return speedButton_->text(); }

QString MorvikBar::TimeText() const { return time_->text(); }

void MorvikBar::ShowTime() {
  time_->setText(Clock(slider_->value()) + QStringLiteral(" / ") + Clock(slider_->maximum()));
}

int MorvikBar::Position() const { return slider_->value(); }

int MorvikBar::Range() const { return slider_->maximum(); }
