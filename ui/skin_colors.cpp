#include "ui/skin_colors.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QPalette>
#include <QWidget>

#include "ui/sys_colors.h"

namespace skin {

void UseLabelsOnDark(QWidget* page) {
  if (page == nullptr) return;
  QPalette colours = page->palette();
  const QColor light = ToQColor(kLabelOnDark);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) colours.setColor(group, QPalette::WindowText, light);
  colours.setColor(QPalette::Disabled, QPalette::WindowText, light.darker(160));
  page->setPalette(colours);
  const QPalette toolkit = QApplication::palette();
  for (QAbstractSpinBox* box : page->findChildren<QAbstractSpinBox*>()) {
    QPalette own = box->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
      own.setColor(group, QPalette::WindowText, toolkit.color(group, QPalette::WindowText));
    box->setPalette(own);
  }
}

}  // namespace skin
