#include "ui/transparent_static.h"

#include <QPainter>

#include "platform/codepage.h"
#include "ui/draw_text.h"

UINT StaticTextFormat(DWORD style) {
  UINT format = 0;
  if (style & SS_RIGHT) format |= DT_RIGHT;
  if (style & SS_CENTER) format |= DT_CENTER;
  if (style & SS_CENTERIMAGE) format |= DT_VCENTER | DT_SINGLELINE;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & 0xC000) format |= DT_WORD_ELLIPSIS;
  if (style & 0x4000) format |= DT_END_ELLIPSIS;
  if (style & 0x8000) format |= DT_PATH_ELLIPSIS;
  if (!(style & 0xC20C)) format |= DT_WORDBREAK;
  return format;
}

CTransparentStatic::CTransparentStatic(QWidget* parent, DWORD style) : QLabel(parent), m_dwStyle(style) {
  setAutoFillBackground(false);
}

void CTransparentStatic::SetStyle(DWORD style) {
  m_dwStyle = style;
  update();
}

void CTransparentStatic::SetText(const CString& text) { setText(codepage::ToQString(text)); }

void CTransparentStatic::SetTextW(const CStringW& text) { setText(QString::fromStdWString(text)); }

void CTransparentStatic::PaintText() { repaint(); }

void CTransparentStatic::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  DrawTextW(painter, text(), rect(), StaticTextFormat(m_dwStyle));
}
