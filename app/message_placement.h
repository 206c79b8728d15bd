// Where a window's message box goes so that it covers none of the window: next
// to the window's frame, on the screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// The top-left corner for a box of `box` size beside `window`, inside `screen`:
// below the window, else above, else right of it, else left of it, each
// `gap` pixels away and centred on the window's middle as far as the screen
// allows. When no side has room, the box goes to the screen's corner farthest
// from the window's middle, clamped to the screen.
QPoint PlaceBesideWindow(const QSize& box, const QRect& window, const QRect& screen, int gap = 8);
