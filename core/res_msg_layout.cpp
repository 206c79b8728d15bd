#include "core/res_msg_layout.h"

#include <QFontMetrics>
#include <QStringList>
#include <algorithm>

#include "platform/codepage.h"

SIZE MeasureMessageText(const QString& text, const QFontMetrics& metrics, bool ansiCounts) {
  if (!text.contains(QLatin1Char('\n'))) {
    return SIZE{metrics.horizontalAdvance(text), metrics.height()};
  }
  QStringList lines = text.split(QLatin1Char('\n'));
  if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
  SIZE size;
  for (const QString& line : lines) {
    int count = ansiCounts ? static_cast<int>(codepage::FromQString(line).size()) : static_cast<int>(line.size());
    int width = std::max(count * metrics.averageCharWidth(), metrics.horizontalAdvance(line));
    size.cx = std::max<LONG>(size.cx, width);
    size.cy += metrics.height();
  }
  return size;
}

bool IsConfirmType(int type) { return type >= 5 && type <= 9; }

ResMsgLayout LayoutResMsg(SIZE textSize, int type) {
  ResMsgLayout layout;
  LONG w = textSize.cx + 70;
  layout.window = SIZE{w, textSize.cy + 96};
  layout.text = RECT{10, 10, 10 + textSize.cx + 50, 10 + textSize.cy + 10};
  LONG y = textSize.cy + 25;
  if (IsConfirmType(type)) {
    layout.showCancel = true;
    layout.ok = RECT{w / 2 - 55, y, w / 2 - 55 + 50, y + 23};
    layout.cancel = RECT{w / 2 + 5, y, w / 2 + 5 + 50, y + 23};
  } else {
    layout.ok = RECT{w / 2 - 30, y, w / 2 - 30 + 60, y + 23};
  }
  return layout;
}
