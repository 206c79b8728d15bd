#include "common/widget_path.h"

#include <QWidget>
#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

#include "platform/control_id.h"

namespace {

std::string ClassName(const QWidget* w) {
  int status = 0;
  char* name = abi::__cxa_demangle(typeid(*w).name(), nullptr, nullptr, &status);
  std::string result = status == 0 && name != nullptr ? name : typeid(*w).name();
  std::free(name);
  return result;
}

}  // namespace

std::string WidgetPath(const QWidget* widget, const QWidget* root) {
  std::string where;
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    std::string part = ClassName(w);
    if (const int id = ctrlid::Of(w); id != 0) part += "#" + std::to_string(id);
    where = where.empty() ? part : part + " > " + where;
    if (w == root) break;
  }
  return where;
}
