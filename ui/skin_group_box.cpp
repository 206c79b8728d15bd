#include "ui/skin_group_box.h"

#include <QFontMetrics>
#include <QPainter>

#include "ui/draw_text.h"
#include "ui/sys_colors.h"

namespace {

QString ShownCaption(const QString& title) { return QStringLiteral(" %1 ").arg(title); }

// The four sides of `frame`, the top one cut open between gapLeft and gapRight.
void DrawOpenFrame(QPainter& painter, const QRect& frame, int gapLeft, int gapRight, bool gap) {
  int l = frame.left(), t = frame.top(), r = frame.right(), b = frame.bottom();
  if (gap) {
    if (gapLeft > l) painter.drawLine(l, t, gapLeft - 1, t);
    if (gapRight < r) painter.drawLine(gapRight + 1, t, r, t);
  } else {
    painter.drawLine(l, t, r, t);
  }
  painter.drawLine(l, t, l, b);
  painter.drawLine(l, b, r, b);
  painter.drawLine(r, t, r, b);
}

}  // namespace

CTGroupBox::CTGroupBox(QWidget* parent, DWORD style) : QGroupBox(parent), m_dwStyle(style) {}

void CTGroupBox::SetStyle(DWORD style) {
  m_dwStyle = style;
  update();
}

QRect CTGroupBox::CaptionRect() const {
  if (title().isEmpty()) return QRect();
  QFontMetrics metrics(font());
  int w = metrics.horizontalAdvance(ShownCaption(title()));
  int h = metrics.height();
  int x;
  switch (m_dwStyle & BS_CENTER) {
    case BS_CENTER:
      x = (width() - w) / 2;
      break;
    case BS_RIGHT:
      x = width() - 10 - w;
      break;
    default:
      x = 10;
      break;
  }
  return QRect(x, 0, w, h);
}

void CTGroupBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  QRect caption = CaptionRect();
  int top = QFontMetrics(font()).height() / 2;
  bool gap = !caption.isEmpty();
  QColor shadow = ToQColor(GetSysColor(COLOR_BTNSHADOW));
  if (m_dwStyle & BS_FLAT) {
    painter.setPen(shadow);
    DrawOpenFrame(painter, QRect(0, top, width(), height() - top), caption.left(), caption.right(), gap);
  } else {
    painter.setPen(shadow);
    DrawOpenFrame(painter, QRect(0, top, width() - 1, height() - top - 1), caption.left(), caption.right(), gap);
    painter.setPen(ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
    DrawOpenFrame(painter, QRect(1, top + 1, width() - 1, height() - top - 1), caption.left(), caption.right(), gap);
  }
  if (!gap) return;
  QString text = ShownCaption(title());
  UINT format = DT_LEFT | DT_SINGLELINE | DT_VCENTER;
  if (isEnabled()) {
    painter.setPen(palette().color(QPalette::Active, QPalette::WindowText));
    DrawTextW(painter, text, caption, format);
  } else {
    // The embossed look of disabled text: a highlight copy one pixel down-right.
    painter.setPen(ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
    DrawTextW(painter, text, caption.translated(1, 1), format);
    painter.setPen(ToQColor(GetSysColor(COLOR_GRAYTEXT)));
    DrawTextW(painter, text, caption, format);
  }
}
