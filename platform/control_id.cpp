#include "platform/control_id.h"

#include <QVariant>
#include <QWidget>

namespace ctrlid {
namespace {
constexpr const char* kProperty = "ctrlId";
}

void Set(QWidget* control, int id) {
  if (control) control->setProperty(kProperty, id);
}

int Of(const QWidget* control) {
  if (!control) return 0;
  QVariant v = control->property(kProperty);
  return v.isValid() ? v.toInt() : 0;
}

QWidget* Find(const QWidget* parent, int id) {
  if (!parent) return nullptr;
  const auto children = parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  for (QWidget* child : children) {
    QVariant v = child->property(kProperty);
    if (v.isValid() && v.toInt() == id) return child;
  }
  return nullptr;
}

}  // namespace ctrlid
