#include "common/text_fit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <algorithm>

#include "ui/draw_text.h"
#include "ui/image_button.h"
#include "ui/image_file_button.h"
#include "ui/transparent_static.h"

namespace {

constexpr int kImageButtonMargin = 8;  // the rounded edges of a skinned button's picture, both sides
constexpr int kListItemMargin = 16;    // the frame and padding of an item in a combo box's list

void CheckLine(const QWidget* w, const QFont& font, const QString& text, int extra, int width, Misfits& out,
               const QWidget* root) {
  CheckTextLine(w, font, text, extra, width, w->height(), out, root);
}

// A plain push button's frame and padding, both sides, as its style draws them.
int PushButtonMargin(const QWidget* w) {
  const QStyle* style = w->style();
  return 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) +
              style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w));
}

// A combo box's chosen item fits its text field, and every item fits the
// list it opens.
void CheckCombo(const QComboBox* combo, Misfits& out, const QWidget* root) {
  QStyleOptionComboBox option;
  option.initFrom(combo);
  option.editable = combo->isEditable();
  const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
  const QFontMetrics metrics(combo->font());
  const QString chosen = combo->currentText();
  if (const int needed = metrics.horizontalAdvance(chosen) + 4; !chosen.isEmpty() && needed > field.width())
    out.push_back({MisfitWhere(combo, root), chosen, needed, field.width()});
  const int list = std::max(combo->width(), combo->view()->minimumWidth());
  for (int i = 0; i < combo->count(); ++i) {
    const QString text = combo->itemText(i);
    const int needed = metrics.horizontalAdvance(text) + kListItemMargin;
    if (needed > list) out.push_back({MisfitWhere(combo, root), text + " (in its list)", needed, list});
  }
}

// Every shown column title of a list or tree fits its column.
void CheckHeader(const QHeaderView* header, Misfits& out, const QWidget* root) {
  const QAbstractItemModel* model = header->model();
  if (model == nullptr || !header->isVisibleTo(root)) return;
  const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  const QFontMetrics metrics(header->font());
  for (int section = 0; section < header->count(); ++section) {
    if (header->isSectionHidden(section) || header->sectionSize(section) <= 0) continue;
    const QString title = model->headerData(section, header->orientation()).toString();
    const int needed = metrics.horizontalAdvance(title) + margin;
    if (!title.isEmpty() && needed > header->sectionSize(section))
      out.push_back({MisfitWhere(header, root), title, needed, header->sectionSize(section)});
  }
}

// Every cell of a table shows its text whole: its column is as wide as the
// cell's item asks (text, margins, check box and picture) and its grid line.
// A table wider than its window scrolls sideways, so cells out of view count too.
void CheckCells(const QTableView* table, Misfits& out, const QWidget* root) {
  const QAbstractItemModel* model = table->model();
  if (model == nullptr) return;
  QStyleOptionViewItem option;
  option.initFrom(table);
  option.font = table->font();
  const int grid = table->showGrid() ? 1 : 0;
  for (int column = 0; column < model->columnCount(); ++column) {
    if (table->isColumnHidden(column)) continue;
    const int width = table->columnWidth(column);
    for (int row = 0; row < model->rowCount(); ++row) {
      const QModelIndex index = model->index(row, column);
      const QString text = index.data().toString();
      if (text.isEmpty()) continue;
      const int needed = table->itemDelegateForIndex(index)->sizeHint(option, index).width() + grid;
      if (needed > width) out.push_back({MisfitWhere(table, root), text + " (a cell)", needed, width});
    }
  }
}

void CheckWidget(const QWidget* w, const QWidget* root, Misfits& out) {
  if (const auto* button = dynamic_cast<const CImageButton*>(w)) {
    CheckLine(w, w->font(), QString::fromStdWString(button->GetCaptionW()), kImageButtonMargin, w->width(), out, root);
  } else if (const auto* tab = dynamic_cast<const CImageFileButton*>(w)) {
    if (tab->GetCaptionW().empty()) return;
    const int needed = tab->ContentWidth();
    if (needed > w->width())
      out.push_back({MisfitWhere(w, root), QString::fromStdWString(tab->GetCaptionW()), needed, w->width()});
  } else if (const auto* label = dynamic_cast<const CTransparentStatic*>(w)) {
    if (StaticTextFormat(label->GetStyle()) & DT_WORDBREAK) CheckWrappedText(w, w->font(), label->text(), out, root);
    else CheckLine(w, w->font(), label->text(), 0, w->width(), out, root);
  } else if (const auto* push = qobject_cast<const QPushButton*>(w)) {
    CheckLine(w, w->font(), push->text(), PushButtonMargin(w), w->width(), out, root);
  } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
    CheckCombo(combo, out, root);
  } else if (const auto* header = qobject_cast<const QHeaderView*>(w)) {
    if (header->orientation() == Qt::Horizontal) CheckHeader(header, out, root);
  } else if (const auto* table = qobject_cast<const QTableView*>(w)) {
    CheckCells(table, out, root);
  } else {
    CheckPlainControl(w, out, root);
  }
}

}  // namespace

std::vector<TextMisfit> TextsThatDoNotFit(const QWidget* root) {
  return MisfitsBelow(root, [root](const QWidget* w, Misfits& out) { CheckWidget(w, root, out); });
}
