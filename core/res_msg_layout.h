// Geometry of the program's message box: the size of its text and where the
// window, the text and the buttons go for a text of that size.
#pragma once

#include <QString>

#include "platform/win_types.h"

class QFontMetrics;

// The text's size in the font. Every line counts, the last one too: the width
// is the widest line, the height one font height per line (a final line feed
// adds no empty line). A line is as wide as the font draws it, and never less
// than its character count times the font's average character width (for ANSI
// text `ansiCounts` counts GBK bytes, as the 8-bit text calls do). A text of
// one line is exactly as wide as the font draws it.
SIZE MeasureMessageText(const QString& text, const QFontMetrics& metrics, bool ansiCounts = false);

struct ResMsgLayout {
  SIZE window;     // the whole window, frame included
  RECT text;       // the text control, in client coordinates
  RECT ok;         // the OK button
  RECT cancel;     // the Cancel button; empty when hidden
  bool showCancel = false;
};

// Types 5 to 9 confirm (OK and Cancel); any other type has OK alone.
bool IsConfirmType(int type);

ResMsgLayout LayoutResMsg(SIZE textSize, int type);
