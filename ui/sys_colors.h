// The system colours of the program's skin: one calm dark-slate console palette
// that the skinned controls use where a window would take a system colour.
#pragma once

#include <QColor>

#include "platform/win_types.h"

enum SysColorIndex {
  COLOR_WINDOW = 5,
  COLOR_WINDOWTEXT = 8,
  COLOR_BTNFACE = 15,
  COLOR_BTNSHADOW = 16,
  COLOR_GRAYTEXT = 17,
  COLOR_BTNTEXT = 18,
  COLOR_BTNHIGHLIGHT = 20,
};

// The colour of a system colour index; COLOR_WINDOWTEXT for an unknown index.
COLORREF GetSysColor(int index);

// COLORREF (0x00BBGGRR) <-> Qt colour.
QColor ToQColor(COLORREF colour);
COLORREF FromQColor(const QColor& colour);
