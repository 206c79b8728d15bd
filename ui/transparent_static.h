// CTransparentStatic: a static text drawn without a background over the
// parent's picture, with the alignment, line and ellipsis rules of its style.
#pragma once

#include <QLabel>

#include "platform/win_types.h"

enum : DWORD {
  SS_LEFT = 0x0,
  SS_CENTER = 0x1,
  SS_RIGHT = 0x2,
  SS_NOPREFIX = 0x80,
  SS_CENTERIMAGE = 0x200,
  SS_ENDELLIPSIS = 0x4000,
  SS_PATHELLIPSIS = 0x8000,
  SS_WORDELLIPSIS = 0xC000,
};

// The DT_* format that a static of this style draws its text with.
UINT StaticTextFormat(DWORD style);

class CTransparentStatic : public QLabel {
 public:
  explicit CTransparentStatic(QWidget* parent = nullptr, DWORD style = SS_LEFT);

  DWORD GetStyle() const { return m_dwStyle; }
  void SetStyle(DWORD style);

  void SetText(const CString& text);     // ANSI text
  void SetTextW(const CStringW& text);
  void PaintText();  // paints at once

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  DWORD m_dwStyle;
};
