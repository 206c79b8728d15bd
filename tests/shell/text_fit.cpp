#include "tests/shell/text_fit.h"

#include "ui/draw_text.h"
#include "ui/image_button.h"
#include "ui/image_file_button.h"
#include "ui/transparent_static.h"

namespace {

void CheckLine(const QWidget* w, const QFont& font, const QString& text, int extra, int width,
               std::vector<TextMisfit>& out, const QWidget* root) {
  CheckTextLine(w, font, text, extra, width, w->height(), out, root);
}

void CheckWidget(const QWidget* w, const QWidget* root, std::vector<TextMisfit>& out) {
  if (const auto* button = dynamic_cast<const CImageButton*>(w)) {
    CheckLine(w, w->font(), QString::fromStdWString(button->GetCaptionW()), 0, w->width(), out, root);
  } else if (const auto* tab = dynamic_cast<const CImageFileButton*>(w)) {
    if (tab->GetCaptionW().empty()) return;
    const int needed = tab->ContentWidth();
    if (needed > w->width()) out.push_back({MisfitWhere(w, root), QString::fromStdWString(tab->GetCaptionW()), needed, w->width()});
  } else if (const auto* label = dynamic_cast<const CTransparentStatic*>(w)) {
    if (StaticTextFormat(label->GetStyle()) & DT_WORDBREAK) CheckWrappedText(w, w->font(), label->text(), out, root);
    else CheckLine(w, w->font(), label->text(), 0, w->width(), out, root);
  } else {
    CheckPlainControl(w, out, root);
  }
}

}  // namespace

std::vector<TextMisfit> TextsThatDoNotFit(const QWidget* root) {
  return MisfitsBelow(root, [root](const QWidget* w, Misfits& out) { CheckWidget(w, root, out); });
}
