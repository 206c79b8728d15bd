#include "app/message_placement.h"

#include <algorithm>

namespace {

int Clamp(int value, int low, int high) { return high < low ? low : std::clamp(value, low, high); }

}  // namespace

QPoint PlaceBesideWindow(const QSize& box, const QRect& window, const QRect& screen, int gap) {
  const QPoint middle(window.left() + window.width() / 2, window.top() + window.height() / 2);
  const QPoint screenMiddle(screen.left() + screen.width() / 2, screen.top() + screen.height() / 2);
  const int centredX = Clamp(middle.x() - box.width() / 2, screen.left(), screen.right() + 1 - box.width());
  const int centredY = Clamp(middle.y() - box.height() / 2, screen.top(), screen.bottom() + 1 - box.height());
  const bool fitsAcross = box.width() <= screen.width();
  const bool fitsDown = box.height() <= screen.height();
  const int below = window.bottom() + 1 + gap;
  if (fitsAcross && below + box.height() <= screen.bottom() + 1) return {centredX, below};
  const int above = window.top() - gap - box.height();
  if (fitsAcross && above >= screen.top()) return {centredX, above};
  const int right = window.right() + 1 + gap;
  if (fitsDown && right + box.width() <= screen.right() + 1) return {right, centredY};
  const int left = window.left() - gap - box.width();
  if (fitsDown && left >= screen.left()) return {left, centredY};
  // No side has room: the corner that leaves most of the window in view.
  const bool toRight = middle.x() < screenMiddle.x();
  const bool toBottom = middle.y() < screenMiddle.y();
  const int x = toRight ? screen.right() + 1 - box.width() : screen.left();
  const int y = toBottom ? screen.bottom() + 1 - box.height() : screen.top();
  return {std::max(x, screen.left()), std::max(y, screen.top())};
}
