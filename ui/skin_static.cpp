#include "ui/skin_static.h"

#include <QPainter>

#include "ui/draw_text.h"
#include "ui/sys_colors.h"

CSkinStatic::CSkinStatic(QWidget* parent) : QLabel(parent) {}

void CSkinStatic::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(kFillColor));
  painter.setFont(font());
  painter.setPen(ToQColor(GetSysColor(COLOR_WINDOWTEXT)));
  DrawTextW(painter, text(), rect(), DT_LEFT | DT_WORDBREAK);
}
