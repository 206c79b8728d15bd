// Text drawn into a rectangle with the DT_* format flags of the skinned
// controls, and the fonts they name.
#pragma once

#include <QFont>
#include <QString>

#include "platform/win_types.h"

class QPainter;
class QRect;

enum : UINT {
  DT_TOP = 0x0,
  DT_LEFT = 0x0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_VCENTER = 0x4,
  DT_BOTTOM = 0x8,
  DT_WORDBREAK = 0x10,
  DT_SINGLELINE = 0x20,
  DT_NOPREFIX = 0x800,
  DT_PATH_ELLIPSIS = 0x4000,
  DT_END_ELLIPSIS = 0x8000,
  DT_WORD_ELLIPSIS = 0x40000,
};

// Draws `text` in the painter's font, pen and background mode. DT_VCENTER and
// DT_BOTTOM act on single-line text only; without DT_NOPREFIX an '&' underlines
// the next character and "&&" draws one '&'; the ellipsis flags shorten a line
// that does not fit.
void DrawTextW(QPainter& painter, const QString& text, const QRect& rect, UINT format);

// The "宋体" font at a point size given in tenths of a point (110 = 11 pt), with
// CJK fallbacks so Chinese text is readable wherever that font is missing.
QFont SongTiFont(int pointSizeTenths);

// The font of the program's windows, whose controls are laid out for it:
// 9-point "宋体" (with the same fallbacks).
QFont DialogFont();
