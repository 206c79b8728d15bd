#include "tools/harlen_host/harlen_text_fit.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTreeWidget>

namespace {

constexpr int kTabTextMargin = 5;      // the tab control writes its text 5 pixels in

// Every item of a drop list shows in its closed box once chosen.
void CheckDropList(const QComboBox* box, Misfits& out, const QWidget* root) {
  QStyleOptionComboBox option;
  option.initFrom(box);
  option.editable = box->isEditable();
  const QFontMetrics metrics(box->font());
  for (int i = 0; i < box->count(); ++i) {
    const QString text = box->itemText(i);
    if (text.isEmpty()) continue;
    const QSize content(metrics.horizontalAdvance(text), metrics.height());
    const int needed = box->style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, box).width();
    if (needed > box->width()) out.push_back({MisfitWhere(box, root), text, needed, box->width()});
  }
}

// The column titles of a list against their columns.
void CheckColumnTitles(const QTreeWidget* list, Misfits& out, const QWidget* root) {
  const QHeaderView* header = list->header();
  if (header->isHidden()) return;
  const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  for (int column = 0; column < list->columnCount(); ++column) {
    if (header->isSectionHidden(column)) continue;
    CheckTextLine(header, header->font(), list->headerItem()->text(column), margin, header->sectionSize(column), 0,
                  out, root);
  }
}

// Each tab's text in its tab, and every tab inside the row.
void CheckTabs(const QTabBar* tabs, Misfits& out, const QWidget* root) {
  for (int i = 0; i < tabs->count(); ++i) {
    const QRect item = tabs->tabRect(i);
    CheckTextLine(tabs, tabs->font(), tabs->tabText(i), kTabTextMargin, item.width(), 0, out, root);
    if (item.right() >= tabs->width()) {
      out.push_back({MisfitWhere(tabs, root), tabs->tabText(i), item.right() + 1, tabs->width()});
    }
  }
}

void CheckControl(const QWidget* w, Misfits& out, const QWidget* root) {
  if (CheckPlainControl(w, out, root)) return;
  if (const auto* box = qobject_cast<const QComboBox*>(w)) {
    CheckDropList(box, out, root);
  } else if (const auto* list = qobject_cast<const QTreeWidget*>(w)) {
    CheckColumnTitles(list, out, root);
  } else if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
    CheckTabs(tabs, out, root);
  }
}

}  // namespace

Misfits HarlenTextsThatDoNotFit(const QWidget* root) {
  return MisfitsBelow(root, [root](const QWidget* w, Misfits& out) { CheckControl(w, out, root); });
}
