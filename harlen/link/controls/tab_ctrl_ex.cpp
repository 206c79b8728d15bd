#include "harlen/link/controls/tab_ctrl_ex.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

#include "harlen/link/controls/colour.h"
#include "harlen/link/controls/rgb_dialog.h"

namespace {

constexpr int kTextMargin = 5;
constexpr int kMaxTextLength = 199;

}  // namespace

CTabCtrlEx::CTabCtrlEx(QWidget* parent) : QTabBar(parent), m_crBack(kHarlenDialogColour) {
  setExpanding(false);
  setDrawBase(false);
  setUsesScrollButtons(false);
}

void CTabCtrlEx::SetBkColor(COLORREF colour) {
  m_crBack = colour;
  update();
}

RECT CTabCtrlEx::GetItemRect(int index) const {
  RECT rect;
  if (index < 0 || index >= count()) return rect;
  const QRect r = tabRect(index);
  rect.left = r.left();
  rect.top = r.top();
  rect.right = r.right() + 1;
  rect.bottom = r.bottom() + 1;
  return rect;
}

QSize CTabCtrlEx::tabSizeHint(int index) const {
  const QString text = tabText(index).left(kMaxTextLength);
  const QFontMetrics metrics(font());
  return QSize(metrics.horizontalAdvance(text) + 4 * kTextMargin, metrics.height() + 2 * kTextMargin + 2);
}

void CTabCtrlEx::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor back = ToQColor(m_crBack);
  painter.fillRect(rect(), back);
  const QColor frame = back.darker(160);
  const int rowBottom = count() > 0 ? tabRect(0).bottom() : 0;
  for (int i = 0; i < count(); ++i) {
    const QRect item = tabRect(i);
    painter.fillRect(item, back);
    painter.setPen(frame);
    painter.drawLine(item.topLeft(), item.topRight());
    painter.drawLine(item.topLeft(), item.bottomLeft());
    painter.drawLine(item.topRight(), item.bottomRight());
    if (i != currentIndex()) painter.drawLine(item.bottomLeft(), item.bottomRight());
    painter.setPen(palette().color(QPalette::WindowText));
    const QString text = tabText(i).left(kMaxTextLength);
    const QRect textRect = item.adjusted(kTextMargin, kTextMargin, 0, 0);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, text);
  }
  if (count() > 0) {
    // The frame of the page area below the row, open under the selected tab.
    painter.setPen(frame);
    const QRect last = tabRect(count() - 1);
    painter.drawLine(last.right(), rowBottom, width() - 1, rowBottom);
    painter.drawLine(0, rowBottom, 0, height() - 1);
    painter.drawLine(width() - 1, rowBottom, width() - 1, height() - 1);
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
  }
}

void CTabCtrlEx::wheelEvent(QWheelEvent* event) {
  if (count() > 0 && event->position().y() <= tabRect(0).bottom()) {
    QTabBar::wheelEvent(event);
  } else {
    event->ignore();
  }
}

void CTabCtrlEx::keyPressEvent(QKeyEvent* event) {
  if (hasFocus()) {
    QTabBar::keyPressEvent(event);
  } else {
    event->ignore();
  }
}
