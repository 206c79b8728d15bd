#include "tests/common/text_fit_measure.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <cstdlib>
#include <cxxabi.h>
#include <sstream>
#include <typeinfo>

#include "platform/control_id.h"

namespace {

constexpr int kPushButtonMargin = 6;   // the frame and padding of a plain push button
constexpr int kGroupTitleMargin = 20;  // the frame's inset and the blanks around a group title

std::string ClassName(const QWidget* w) {
  int status = 0;
  char* name = abi::__cxa_demangle(typeid(*w).name(), nullptr, nullptr, &status);
  std::string result = status == 0 && name != nullptr ? name : typeid(*w).name();
  std::free(name);
  return result;
}

}  // namespace

std::string MisfitWhere(const QWidget* widget, const QWidget* root) {
  std::string where;
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    std::string part = ClassName(w);
    if (const int id = ctrlid::Of(w); id != 0) part += "#" + std::to_string(id);
    where = where.empty() ? part : part + " > " + where;
    if (w == root) break;
  }
  return where;
}

void CheckTextLine(const QWidget* w, const QFont& font, const QString& text, int extra, int width, int height,
                   Misfits& out, const QWidget* root) {
  if (text.isEmpty()) return;
  const QFontMetrics metrics(font);
  QString shown = text;
  shown.remove(QLatin1Char('&'));
  const int needed = metrics.horizontalAdvance(shown) + extra;
  if (needed > width) out.push_back({MisfitWhere(w, root), text, needed, width});
  else if (height > 0 && metrics.height() > height + 1) out.push_back({MisfitWhere(w, root), text, metrics.height(), height});
}

void CheckWrappedText(const QWidget* w, const QFont& font, const QString& text, Misfits& out, const QWidget* root) {
  if (text.isEmpty()) return;
  const QFontMetrics metrics(font);
  const QRect bounds = metrics.boundingRect(QRect(0, 0, w->width(), 100000), Qt::TextWordWrap, text);
  if (bounds.width() > w->width()) out.push_back({MisfitWhere(w, root), text, bounds.width(), w->width()});
  else if (bounds.height() > w->height() + 1) out.push_back({MisfitWhere(w, root), text, bounds.height(), w->height()});
}

bool CheckPlainControl(const QWidget* w, Misfits& out, const QWidget* root) {
  if (const auto* label = qobject_cast<const QLabel*>(w)) {
    if (label->textFormat() == Qt::RichText || !label->pixmap().isNull()) return true;
    if (label->wordWrap()) CheckWrappedText(w, w->font(), label->text(), out, root);
    else CheckTextLine(w, w->font(), label->text(), 0, w->width(), w->height(), out, root);
  } else if (qobject_cast<const QCheckBox*>(w) != nullptr || qobject_cast<const QRadioButton*>(w) != nullptr) {
    const auto* box = static_cast<const QAbstractButton*>(w);
    if (box->text().isEmpty()) return true;
    const int needed = box->sizeHint().width();
    if (needed > w->width()) out.push_back({MisfitWhere(w, root), box->text(), needed, w->width()});
  } else if (const auto* push = qobject_cast<const QPushButton*>(w)) {
    CheckTextLine(w, w->font(), push->text(), kPushButtonMargin, w->width(), w->height(), out, root);
  } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
    CheckTextLine(w, w->font(), group->title(), kGroupTitleMargin, w->width(), w->height(), out, root);
  } else {
    return false;
  }
  return true;
}

Misfits MisfitsBelow(const QWidget* root, const std::function<void(const QWidget*, Misfits&)>& check) {
  Misfits out;
  std::vector<const QWidget*> widgets = {root};
  for (const QWidget* child : root->findChildren<QWidget*>()) widgets.push_back(child);
  for (const QWidget* w : widgets) {
    if (w->width() <= 0 || w->height() <= 0) continue;
    if (w != root && !w->isVisibleTo(root)) continue;
    if (w->window() != root->window()) continue;
    check(w, out);
  }
  return out;
}

std::string Describe(const Misfits& misfits) {
  std::ostringstream os;
  for (const TextMisfit& m : misfits)
    os << m.where << ": \"" << m.text.toStdString() << "\" needs " << m.needed << " px, has " << m.available << "\n";
  return os.str();
}
