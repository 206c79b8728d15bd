#include "tests/shell/text_fit.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <cstdlib>
#include <cxxabi.h>
#include <sstream>
#include <typeinfo>

#include "platform/control_id.h"
#include "ui/draw_text.h"
#include "ui/image_button.h"
#include "ui/image_file_button.h"
#include "ui/transparent_static.h"

namespace {

constexpr int kPushButtonMargin = 6;  // the frame and padding of a plain push button
constexpr int kGroupTitleMargin = 20;  // the frame's inset and the blanks around a group title

std::string ClassName(const QWidget* w) {
  int status = 0;
  char* name = abi::__cxa_demangle(typeid(*w).name(), nullptr, nullptr, &status);
  std::string result = status == 0 && name != nullptr ? name : typeid(*w).name();
  std::free(name);
  return result;
}

// "CPTZDlg > CTransparentStatic#1046": the chain from the root down.
std::string Where(const QWidget* widget, const QWidget* root) {
  std::string where;
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    std::string part = ClassName(w);
    if (const int id = ctrlid::Of(w); id != 0) part += "#" + std::to_string(id);
    where = where.empty() ? part : part + " > " + where;
    if (w == root) break;
  }
  return where;
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
  if (needed > width) out.push_back({Where(w, root), text, needed, width});
  else if (metrics.height() > w->height() + 1) out.push_back({Where(w, root), text, metrics.height(), w->height()});
}

// Text wrapped at word breaks inside the rectangle: every word must fit across
// and the lines must fit down.
void CheckWrapped(const QWidget* w, const QFont& font, const QString& text, std::vector<TextMisfit>& out,
                  const QWidget* root) {
  if (text.isEmpty()) return;
  const QFontMetrics metrics(font);
  const QRect bounds = metrics.boundingRect(QRect(0, 0, w->width(), 100000), Qt::TextWordWrap, text);
  if (bounds.width() > w->width()) out.push_back({Where(w, root), text, bounds.width(), w->width()});
  else if (bounds.height() > w->height() + 1) out.push_back({Where(w, root), text, bounds.height(), w->height()});
}

void CheckWidget(const QWidget* w, const QWidget* root, std::vector<TextMisfit>& out) {
  if (const auto* button = dynamic_cast<const CImageButton*>(w)) {
    CheckLine(w, w->font(), QString::fromStdWString(button->GetCaptionW()), 0, w->width(), out, root);
  } else if (const auto* tab = dynamic_cast<const CImageFileButton*>(w)) {
    if (tab->GetCaptionW().empty()) return;
    const int needed = tab->ContentWidth();
    if (needed > w->width()) out.push_back({Where(w, root), QString::fromStdWString(tab->GetCaptionW()), needed, w->width()});
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
    if (needed > w->width()) out.push_back({Where(w, root), box->text(), needed, w->width()});
  } else if (const auto* push = qobject_cast<const QPushButton*>(w)) {
    CheckLine(w, w->font(), push->text(), kPushButtonMargin, w->width(), out, root);
  } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
    CheckLine(w, w->font(), group->title(), kGroupTitleMargin, w->width(), out, root);
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
