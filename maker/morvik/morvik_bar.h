// The player's own bar under the picture: continue, pause, stop, slow, fast,
// normal speed, previous, next, snapshot and the position in the piece. Each
// button hands its command (morvik.h) to the window; slow and fast step the
// factor of the speed the player plays at through 2, 4, 8, 16, 32 on every
// press, so a replay that starts at normal speed starts its steps at 2.
#pragma once

#include <QWidget>
#include <functional>

#include "platform/win_types.h"

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
  // Presses a button as the user would (the same command goes out).
  void Press(LONG command);

 private:
  QToolButton* AddButton(LONG command, const QIcon& icon, const QString& text);
  void Clicked(LONG command);

  std::function<void(LONG, LONG)> onCommand_;
  std::function<LONG()> speed_;
  QSlider* slider_ = nullptr;
};
