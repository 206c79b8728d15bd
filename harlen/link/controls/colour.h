// COLORREF values of the controls to and from Qt colours.
#pragma once

#include <QColor>

#include "platform/win_types.h"

inline QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

inline COLORREF FromQColor(const QColor& c) {
  return RGB(static_cast<BYTE>(c.red()), static_cast<BYTE>(c.green()), static_cast<BYTE>(c.blue()));
}
