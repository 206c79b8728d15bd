#include "ui/control_fit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>

namespace {
constexpr int kListItemMargin = 20;  // an item's frame, padding and the list's scroll bar room
}  // namespace

int ComboWidthForItems(const QComboBox* combo) {
  QStyleOptionComboBox option;
  option.initFrom(combo);
  option.editable = combo->isEditable();
  const QRect field =
      combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
  const int chrome = combo->width() - field.width();
  const QFontMetrics metrics(combo->font());
  int widest = 0;
  for (int i = 0; i < combo->count(); ++i) widest = std::max(widest, metrics.horizontalAdvance(combo->itemText(i)));
  return widest + 4 + chrome;  // the text's own air inside the field
}

void ShowItemsWhole(QComboBox* combo) {
  const QFontMetrics metrics(combo->font());
  int widest = 0;
  for (int i = 0; i < combo->count(); ++i) widest = std::max(widest, metrics.horizontalAdvance(combo->itemText(i)));
  combo->view()->setMinimumWidth(widest + kListItemMargin);
}
