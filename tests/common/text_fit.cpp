#include "common/text_fit.h"

#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <sstream>

#include "common/widget_path.h"
#include "ui/draw_text.h"
#include "ui/image_button.h"
#include "ui/image_file_button.h"
#include "ui/transparent_static.h"

namespace {

constexpr int kImageButtonMargin = 8;  // the rounded edges of a skinned button's picture, both sides
constexpr int kGroupTitleMargin = 20;  // the frame's inset and the blanks around a group title
constexpr int kListItemMargin = 16;   // the frame and padding of an item in a combo box's list

// A plain push button's frame and padding, both sides, as its style draws them.
int PushButtonMargin(const QWidget* w) {
  const QStyle* style = w->style();
  return 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) +
              style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w));
}

// A combo box's chosen item fits its text field, and every item fits the
// list it opens.
void CheckCombo(const QComboBox* combo, const QWidget* root, std::vector<TextMisfit>& out) {
  QStyleOptionComboBox option;
  option.initFrom(combo);
  option.editable = combo->isEditable();
  const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
  const QFontMetrics metrics(combo->font());
  const QString chosen = combo->currentText();
  if (const int needed = metrics.horizontalAdvance(chosen) + 4; !chosen.isEmpty() && needed > field.width())
    out.push_back({WidgetPath(combo, root), chosen, needed, field.width()});
  const int list = std::max(combo->width(), combo->view()->minimumWidth());
  for (int i = 0; i < combo->count(); ++i) {
    const QString text = combo->itemText(i);
    const int needed = metrics.horizontalAdvance(text) + kListItemMargin;
    if (needed > list) out.push_back({WidgetPath(combo, root), text + " (in its list)", needed, list});
  }
}

// Every shown column title of a list or tree fits its column.
void CheckHeader(const QHeaderView* header, const QWidget* root, std::vector<TextMisfit>& out) {
  const QAbstractItemModel* model = header->model();
  if (model == nullptr || !header->isVisibleTo(root)) return;
  const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  const QFontMetrics metrics(header->font());
  for (int section = 0; section < header->count(); ++section) {
    if (header->isSectionHidden(section) || header->sectionSize(section) <= 0) continue;
    const QString title = model->headerData(section, header->orientation()).toString();
    const int needed = metrics.horizontalAdvance(title) + margin;
    if (!title.isEmpty() && needed > header->sectionSize(section))
      out.push_back({WidgetPath(header, root), title, needed, header->sectionSize(section)});
  }
}

// One line across: the text's advance against the width, its height against
// the height.
void CheckLine(const QWidget* w, const QFont& font, const QString& text, int extra, int width,
               std::vector<TextMisfit>& out, const QWidget* root) {
  if (text.isEmpty()) return;
  const QFontMetrics metrics(font);
  QString shown = text;
  shown.remove(QLatin1Char('&'));
  const int needed = metrics.horizontalAdvance(shown) + extra;
  if (needed > width) out.push_back({WidgetPath(w, root), text, needed, width});
  else if (metrics.height() > w->height() + 1) out.push_back({WidgetPath(w, root), text, metrics.height(), w->height()});
}

// Text wrapped at word breaks inside the rectangle: every word must fit across
// and the lines must fit down.
void CheckWrapped(const QWidget* w, const QFont& font, const QString& text, std::vector<TextMisfit>& out,
                  const QWidget* root) {
  if (text.isEmpty()) return;
  const QFontMetrics metrics(font);
  const QRect bounds = metrics.boundingRect(QRect(0, 0, w->width(), 100000), Qt::TextWordWrap, text);
  if (bounds.width() > w->width()) out.push_back({WidgetPath(w, root), text, bounds.width(), w->width()});
  else if (bounds.height() > w->height() + 1) out.push_back({WidgetPath(w, root), text, bounds.height(), w->height()});
}

void CheckWidget(const QWidget* w, const QWidget* root, std::vector<TextMisfit>& out) {
  if (const auto* button = dynamic_cast<const CImageButton*>(w)) {
    CheckLine(w, w->font(), QString::fromStdWString(button->GetCaptionW()), kImageButtonMargin, w->width(), out,
              root);
  } else if (const auto* tab = dynamic_cast<const CImageFileButton*>(w)) {
    if (tab->GetCaptionW().empty()) return;
    const int needed = tab->ContentWidth();
    if (needed > w->width()) out.push_back({WidgetPath(w, root), QString::fromStdWString(tab->GetCaptionW()), needed, w->width()});
  } else if (const auto* label = dynamic_cast<const CTransparentStatic*>(w)) {
    if (StaticTextFormat(label->GetStyle()) & DT_WORDBREAK) CheckWrapped(w, w->font(), label->text(), out, root);
    else CheckLine(w, w->font(), label->text(), 0, w->width(), out, root);
  } else if (const auto* plain = qobject_cast<const QLabel*>(w)) {
    if (plain->textFormat() == Qt::RichText || !plain->pixmap().isNull()) return;
    if (plain->wordWrap()) CheckWrapped(w, w->font(), plain->text(), out, root);
    else CheckLine(w, w->font(), plain->text(), 0, w->width(), out, root);
  } else if (qobject_cast<const QCheckBox*>(w) != nullptr || qobject_cast<const QRadioButton*>(w) != nullptr) {
    const auto* box = static_cast<const QAbstractButton*>(w);
    if (box->text().isEmpty()) return;
    const int needed = box->sizeHint().width();
    if (needed > w->width()) out.push_back({WidgetPath(w, root), box->text(), needed, w->width()});
  } else if (const auto* push = qobject_cast<const QPushButton*>(w)) {
    CheckLine(w, w->font(), push->text(), PushButtonMargin(w), w->width(), out, root);
  } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
    CheckLine(w, w->font(), group->title(), kGroupTitleMargin, w->width(), out, root);
  } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
    CheckCombo(combo, root, out);
  } else if (const auto* header = qobject_cast<const QHeaderView*>(w)) {
    if (header->orientation() == Qt::Horizontal) CheckHeader(header, root, out);
  }
}

}  // namespace

std::vector<TextMisfit> TextsThatDoNotFit(const QWidget* root) {
  std::vector<TextMisfit> out;
  std::vector<const QWidget*> widgets = {root};
  for (const QWidget* child : root->findChildren<QWidget*>()) widgets.push_back(child);
  for (const QWidget* w : widgets) {
    if (w->width() <= 0 || w->height() <= 0) continue;
    if (w != root && !w->isVisibleTo(root)) continue;
    if (w->window() != root->window()) continue;  // menus, message boxes, tool tips: windows of their own
    CheckWidget(w, root, out);
  }
  return out;
}

std::string Describe(const std::vector<TextMisfit>& misfits) {
  std::ostringstream os;
  for (const TextMisfit& m : misfits)
    os << m.where << ": \"" << m.text.toStdString() << "\" needs " << m.needed << " px, has " << m.available << "\n";
  return os.str();
}
