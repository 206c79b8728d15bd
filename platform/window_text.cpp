#include "platform/window_text.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

BOOL SetWindowTextW(QWidget* widget, const QString& text) {
  if (!widget) return FALSE;
  if (widget->isWindow()) {
    widget->setWindowTitle(text);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(text);
  } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    line->setText(text);
  } else if (auto* edit = qobject_cast<QTextEdit*>(widget)) {
    edit->setPlainText(text);
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
    plain->setPlainText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(text);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    if (combo->isEditable()) {
      combo->setEditText(text);
    } else {
      int index = combo->findText(text);
      if (index < 0) return FALSE;
      combo->setCurrentIndex(index);
    }
  } else {
    widget->setWindowTitle(text);
  }
  return TRUE;
}

QString GetWindowTextW(const QWidget* widget) {
  if (!widget) return QString();
  if (widget->isWindow()) return widget->windowTitle();
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (auto* line = qobject_cast<const QLineEdit*>(widget)) return line->text();
  if (auto* edit = qobject_cast<const QTextEdit*>(widget)) return edit->toPlainText();
  if (auto* plain = qobject_cast<const QPlainTextEdit*>(widget)) return plain->toPlainText();
  if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
  if (auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText();
  return widget->windowTitle();
}
