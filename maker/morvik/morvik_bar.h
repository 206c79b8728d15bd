// The player's own bar under the picture: continue, pause, stop, slow, fast,
// normal speed, previous, next, snapshot, the position in the piece and the
// time played of the piece's length. Each button hands its command (morvik.h)
// to the window; slow and fast step the factor of the speed the player plays
// at through 2, 4, 8, 16, 32 on every press, so a replay that starts at normal
// speed starts its steps at 2. The normal-speed button shows the speed that
// plays ("4x", "1/2x"); a stopped player shows no position.
#pragma once

#include <QWidget>
#include <functional>

#include "platform/win_types.h"

class QLabel;
class QSlider;
class QToolButton;

class MorvikBar : public QWidget {
 public:
  static constexpr int kHeight = 24;
  // A command that is not the player's (the snapshot button).
  static constexpr LONG kSnapshot = 1000;

  // speed: the player's speed now (1 normal, N fast by N, -N slowed by N).
  MorvikBar(QWidget* parent, std::function<void(LONG, LONG)> onCommand, std::function<LONG()> speed);

  // The piece's length and the position (seconds); the slider follows unless
  // the user holds it.
  void SetRange(int seconds);
  void SetPosition(int second);
  int Position() const;
  int Range() const;
  // The speed that plays: `factor` 1 to 32, faster or (`slow`) slower.
  void SetSpeed(LONG factor, bool slow);
  // A stopped player: position and length 0, normal speed.
  void Reset();
  QString SpeedText() const;
  QString TimeText() const;  // "00:12 / 10:00"
  // Presses a button as the user would (the same command goes out).
  void Press(LONG command);

 private:
  QToolButton* AddButton(LONG command, const QIcon& icon, const QString& text);
  void Clicked(LONG command);
  void ShowTime();

  std::function<void(LONG, LONG)> onCommand_;
  std::function<LONG()> speed_;
  QSlider* slider_ = nullptr;
  QToolButton* speedButton_ = nullptr;
  QLabel* time_ = nullptr;
};
