#include "common/label_contrast.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <cmath>
#include <map>
#include <sstream>

#include "common/text_fit_measure.h"
#include "ui/image_button.h"
#include "ui/image_file_button.h"
#include "ui/skin_static.h"
#include "ui/sys_colors.h"

namespace {

double Channel(int value) {
  const double c = value / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c) {
  return 0.2126 * Channel(c.red()) + 0.7152 * Channel(c.green()) + 0.0722 * Channel(c.blue());
}

// What a text widget shows: its text, the colour it draws it in and the
// rectangle (in the widget) it draws it in; no text when it is none of the kinds.
struct ShownText {
  QString text;
  QColor colour;
  QRect rect;
};

ShownText TextOf(const QWidget* w) {
  const QColor windowText = w->palette().color(QPalette::Active, QPalette::WindowText);
  if (const auto* button = dynamic_cast<const CImageButton*>(w))
    return {QString::fromStdWString(button->GetCaptionW()), ToQColor(button->GetTextColor()), w->rect()};
  if (const auto* tab = dynamic_cast<const CImageFileButton*>(w))
    return {QString::fromStdWString(tab->GetCaptionW()), ToQColor(tab->GetTextColor()), w->rect()};
  if (dynamic_cast<const CSkinStatic*>(w) != nullptr)
    return {static_cast<const QLabel*>(w)->text(), ToQColor(GetSysColor(COLOR_WINDOWTEXT)), w->rect()};
  if (const auto* label = qobject_cast<const QLabel*>(w)) {
    if (!label->pixmap().isNull()) return {};
    return {label->text(), w->palette().color(QPalette::Active, w->foregroundRole()), w->rect()};
  }
  if (qobject_cast<const QCheckBox*>(w) != nullptr || qobject_cast<const QRadioButton*>(w) != nullptr) {
    const auto* box = static_cast<const QAbstractButton*>(w);
    QStyleOptionButton option;
    option.initFrom(w);
    option.text = box->text();
    const bool check = qobject_cast<const QCheckBox*>(w) != nullptr;
    const QRect contents =
        w->style()->subElementRect(check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &option, w);
    return {box->text(), windowText, contents.isValid() ? contents : w->rect()};
  }
  if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
    const QFontMetrics metrics(w->font());
    const int width = metrics.horizontalAdvance(group->title()) + 8;
    return {group->title(), windowText, QRect(0, 0, std::min(w->width(), width + 16), metrics.height() + 2)};
  }
  return {};
}

// The most common colour inside `rect` of `shot`, leaving out the pixels close
// to the text's colour: colours are counted in buckets of 16 levels a channel
// and the fullest bucket's mean is taken.
QColor BackgroundIn(const QImage& shot, const QRect& rect, const QColor& text) {
  struct Bucket {
    long count = 0;
    long r = 0, g = 0, b = 0;
  };
  std::map<int, Bucket> buckets;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) {
      const QColor c = shot.pixelColor(x, y);
      if (std::abs(c.red() - text.red()) + std::abs(c.green() - text.green()) + std::abs(c.blue() - text.blue()) < 48)
        continue;
      Bucket& bucket = buckets[(c.red() / 16) << 8 | (c.green() / 16) << 4 | (c.blue() / 16)];
      ++bucket.count;
      bucket.r += c.red();
      bucket.g += c.green();
      bucket.b += c.blue();
    }
  }
  const Bucket* fullest = nullptr;
  for (const auto& [key, bucket] : buckets)
    if (fullest == nullptr || bucket.count > fullest->count) fullest = &bucket;
  if (fullest == nullptr) return text;  // nothing but the text's own colour
  return QColor(static_cast<int>(fullest->r / fullest->count), static_cast<int>(fullest->g / fullest->count),
                static_cast<int>(fullest->b / fullest->count));
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::vector<LowContrast> LabelsHardToRead(const QWidget* root, double minimum) {
  std::vector<LowContrast> out;
  const QWidget* window = root->window();
  const QImage shot = const_cast<QWidget*>(window)->grab().toImage();
  std::vector<const QWidget*> widgets = {root};
  for (const QWidget* child : root->findChildren<QWidget*>()) widgets.push_back(child);
  for (const QWidget* w : widgets) {
    if (w->width() <= 0 || w->height() <= 0 || !w->isEnabled()) continue;
    if (w != root && !w->isVisibleTo(root)) continue;
    if (w->window() != window) continue;  // menus, message boxes, tool tips: windows of their own
    const ShownText shown = TextOf(w);
    if (shown.text.trimmed().isEmpty()) continue;
    const QRect inWindow = QRect(w->mapTo(window, shown.rect.topLeft()), shown.rect.size()).intersected(shot.rect());
    if (inWindow.isEmpty()) continue;
    const QColor background = BackgroundIn(shot, inWindow, shown.colour);
    const double ratio = ContrastRatio(shown.colour, background);
    if (ratio < minimum) out.push_back({MisfitWhere(w, root), shown.text, shown.colour, background, ratio});
  }
  return out;
}

std::string Describe(const std::vector<LowContrast>& labels) {
  std::ostringstream os;
  for (const LowContrast& l : labels) {
    os << l.where << ": \"" << l.text.toStdString() << "\" " << l.foreground.name().toStdString() << " on "
       << l.background.name().toStdString() << ", contrast " << l.ratio << "\n";
  }
  return os.str();
}
