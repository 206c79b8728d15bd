#include "ui/draw_text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QStringList>

void DrawTextW(QPainter& painter, const QString& text, const QRect& rect, UINT format) {
  int flags = 0;
  if (format & DT_RIGHT) {
    flags |= Qt::AlignRight;
  } else if (format & DT_CENTER) {
    flags |= Qt::AlignHCenter;
  } else {
    flags |= Qt::AlignLeft;
  }
  bool single = (format & DT_SINGLELINE) != 0;
  if (single && (format & DT_VCENTER)) {
    flags |= Qt::AlignVCenter;
  } else if (single && (format & DT_BOTTOM)) {
    flags |= Qt::AlignBottom;
  } else {
    flags |= Qt::AlignTop;
  }
  if (!(format & DT_NOPREFIX)) flags |= Qt::TextShowMnemonic;

  QString shown = text;
  if (single) shown.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
  if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
    Qt::TextElideMode mode = (format & DT_PATH_ELLIPSIS) ? Qt::ElideMiddle : Qt::ElideRight;
    QFontMetrics metrics(painter.font());
    QStringList lines = shown.split(QLatin1Char('\n'));
    for (QString& line : lines) line = metrics.elidedText(line, mode, rect.width());
    shown = lines.join(QLatin1Char('\n'));
  } else if (format & DT_WORDBREAK) {
    flags |= Qt::TextWordWrap;
  }
  painter.drawText(rect, flags, shown);
}

QFont SongTiFont(int pointSizeTenths) {
  QFont font;
  font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
  font.setPointSizeF(pointSizeTenths / 10.0);
  return font;
}

QFont DialogFont() { return SongTiFont(90); }
