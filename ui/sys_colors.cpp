#include "ui/sys_colors.h"

COLORREF GetSysColor(int index) {
  switch (index) {
    case COLOR_WINDOW:
      return RGB(0xF4, 0xF6, 0xF8);  // light list and edit background
    case COLOR_BTNFACE:
      return RGB(0x2B, 0x38, 0x45);  // dark slate chrome
    case COLOR_BTNSHADOW:
      return RGB(0x17, 0x20, 0x2A);
    case COLOR_GRAYTEXT:
      return RGB(0x7D, 0x8A, 0x97);
    case COLOR_BTNTEXT:
      return RGB(0xE3, 0xE9, 0xEF);
    case COLOR_BTNHIGHLIGHT:
      return RGB(0x5F, 0x73, 0x86);
    case COLOR_WINDOWTEXT:
    default:
      return RGB(0x1C, 0x25, 0x30);
  }
}

QColor ToQColor(COLORREF colour) { return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)); }

COLORREF FromQColor(const QColor& colour) {
  return RGB(static_cast<BYTE>(colour.red()), static_cast<BYTE>(colour.green()), static_cast<BYTE>(colour.blue()));
}
