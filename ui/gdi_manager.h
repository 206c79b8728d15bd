// CGdiManger: draws picture files (PNG, JPG ...) named by their path, the
// backgrounds of the skinned windows. The file is read and decoded at every
// call, nothing is cached; a missing or unreadable file, or no painter, draws
// nothing, so a skin folder without the picture leaves the window's own
// background.
#pragma once

#include "platform/win_types.h"

class QPainter;

class CGdiManger {
 public:
  CGdiManger();
  virtual ~CGdiManger();

  // `path`: ANSI path in the program's Windows form ("%s\\Images\\Pagebk.jpg").
  // Stretched into `rect`; a rectangle of no width or height draws nothing.
  void DrawImageFile(CString path, RECT rect, QPainter* dc);
  // At `pt` in the picture's own width and height.
  void DrawImageFileAt(CString path, POINT pt, QPainter* dc);

  // A new wide copy of the ANSI text (null for null); the caller frees it with delete[].
  static wchar_t* AnsiToWide(const char* text);

 private:
  int m_nReserved1;  // set to 12 and 0xFAFFFF; the drawing does not read them
  int m_nReserved2;
};
