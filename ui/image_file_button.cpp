#include "ui/image_file_button.h"

#include <QPainter>

#include "ui/draw_text.h"
#include "ui/sys_colors.h"

CImageFileButton::CImageFileButton(QWidget* parent) : QPushButton(parent) {}

BOOL CImageFileButton::SetImageFile(const CString& path) {
  m_strImageFile = path;
  update();
  return TRUE;
}

void CImageFileButton::SetCaptionW(const CStringW& caption) {
  m_strCaption = caption;
  update();
}

void CImageFileButton::SetTextColor(COLORREF colour) {
  m_crText = colour;
  update();
}

void CImageFileButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  m_gdi.DrawImageFile(m_strImageFile, RECT{0, 0, width(), height()}, &painter);
  painter.setFont(SongTiFont(110));
  painter.setPen(ToQColor(m_crText));
  DrawTextW(painter, QString::fromStdWString(m_strCaption), rect(), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
