#include "ui/image_file_button.h"

#include <QFontMetrics>
#include <QPainter>

#include "ui/draw_text.h"
#include "ui/picture_resource.h"
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

void CImageFileButton::SetIconFile(const CString& path) {
  if (path == m_strIconFile) return;
  m_strIconFile = path;
  update();
}

namespace {
constexpr int kIconGap = 6;  // between the icon and the caption
}  // namespace

int CImageFileButton::ContentWidth() const {
  const int text = QFontMetrics(SongTiFont(110)).horizontalAdvance(QString::fromStdWString(m_strCaption));
  const QImage icon = m_strIconFile.empty() ? QImage() : LoadPictureFile(m_strIconFile);
  return icon.isNull() ? text : icon.width() + kIconGap + text;
}

void CImageFileButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  m_gdi.DrawImageFile(m_strImageFile, RECT{0, 0, width(), height()}, &painter);
  painter.setFont(SongTiFont(110));
  painter.setPen(ToQColor(m_crText));
  const QString caption = QString::fromStdWString(m_strCaption);
  const QImage icon = m_strIconFile.empty() ? QImage() : LoadPictureFile(m_strIconFile);
  if (icon.isNull()) {
    DrawTextW(painter, caption, rect(), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return;
  }
  const int textWidth = painter.fontMetrics().horizontalAdvance(caption);
  const int left = (width() - icon.width() - kIconGap - textWidth) / 2;
  painter.drawImage(QPoint(left, (height() - icon.height()) / 2), icon);
  QRect textRect(left + icon.width() + kIconGap, 0, textWidth + 1, height());
  DrawTextW(painter, caption, textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}
