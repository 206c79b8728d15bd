#include "platform/dialog_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QAbstractSpinBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTreeWidget>
#include <functional>
#include <map>
#include <string>

#include "platform/control_id.h"
#include "platform/window_text.h"

namespace {

using Maker = std::function<QWidget*(QWidget*)>;

const std::map<std::string, Maker>& Makers() {
  static const std::map<std::string, Maker> makers = {
      {"Button", [](QWidget* p) -> QWidget* { return new QPushButton(p); }},
      {"CheckBox", [](QWidget* p) -> QWidget* { return new QCheckBox(p); }},
      {"Radio", [](QWidget* p) -> QWidget* { return new QRadioButton(p); }},
      {"Static", [](QWidget* p) -> QWidget* { return new QLabel(p); }},
      {"Picture", [](QWidget* p) -> QWidget* { return new QLabel(p); }},
      {"Edit", [](QWidget* p) -> QWidget* { return new QLineEdit(p); }},
      {"Password",
       [](QWidget* p) -> QWidget* {
         auto* edit = new QLineEdit(p);
         edit->setEchoMode(QLineEdit::Password);
         return edit;
       }},
      {"MultiEdit", [](QWidget* p) -> QWidget* { return new QPlainTextEdit(p); }},
      {"ComboBox", [](QWidget* p) -> QWidget* { return new QComboBox(p); }},
      {"ListBox", [](QWidget* p) -> QWidget* { return new QListWidget(p); }},
      {"List",
       [](QWidget* p) -> QWidget* {
         auto* list = new QTreeWidget(p);
         list->setRootIsDecorated(false);
         return list;
       }},
      {"Tree", [](QWidget* p) -> QWidget* { return new QTreeWidget(p); }},
      {"Tab", [](QWidget* p) -> QWidget* { return new QTabBar(p); }},
      {"Slider", [](QWidget* p) -> QWidget* { return new QSlider(Qt::Horizontal, p); }},
      {"Progress", [](QWidget* p) -> QWidget* { return new QProgressBar(p); }},
      {"GroupBox", [](QWidget* p) -> QWidget* { return new QGroupBox(p); }},
      {"DateTime", [](QWidget* p) -> QWidget* { return new QDateTimeEdit(p); }},
  };
  return makers;
}

}  // namespace

QWidget* CreateTemplateControl(const ControlTemplate& control, QWidget* parent) {
  auto it = Makers().find(control.className);
  QWidget* widget = it != Makers().end() ? it->second(parent) : new QWidget(parent);
  ctrlid::Set(widget, control.id);
  widget->setGeometry(control.x, control.y, control.width, control.height);
  if (!control.text.empty()) SetWindowTextW(widget, QString::fromStdString(control.text));
  widget->setEnabled(!control.disabled);
  widget->setVisible(!control.hidden);
  return widget;
}

bool IsTextBox(const QWidget* widget) {
  if (widget == nullptr) return false;
  if (qobject_cast<const QLineEdit*>(widget) != nullptr || qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
      qobject_cast<const QTextEdit*>(widget) != nullptr || qobject_cast<const QAbstractSpinBox*>(widget) != nullptr)
    return true;
  const auto* combo = qobject_cast<const QComboBox*>(widget);
  return combo != nullptr && combo->isEditable();
}
