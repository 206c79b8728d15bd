#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <functional>
#include <memory>

#include "platform/window_text.h"

TEST(WindowText, RoundTripsOnEveryKindOfControl) {
  QWidget parent;
  auto* editable = new QComboBox(&parent);
  editable->setEditable(true);
  struct Case {
    const char* kind;
    QWidget* widget;
    std::function<QString()> shown;
  };
  auto* label = new QLabel(&parent);
  auto* button = new QPushButton(&parent);
  auto* check = new QCheckBox(&parent);
  auto* line = new QLineEdit(&parent);
  auto* text = new QTextEdit(&parent);
  auto* plain = new QPlainTextEdit(&parent);
  auto* group = new QGroupBox(&parent);
  auto* other = new QWidget(&parent);
  const Case cases[] = {
      {"label", label, [&] { return label->text(); }},
      {"button", button, [&] { return button->text(); }},
      {"check box", check, [&] { return check->text(); }},
      {"line edit", line, [&] { return line->text(); }},
      {"text edit", text, [&] { return text->toPlainText(); }},
      {"plain text edit", plain, [&] { return plain->toPlainText(); }},
      {"group box", group, [&] { return group->title(); }},
      {"editable combo", editable, [&] { return editable->currentText(); }},
      {"plain widget", other, [&] { return other->windowTitle(); }},
  };
  const QString value = QString::fromUtf8("远程日志 1");
  for (const Case& c : cases) {
    EXPECT_TRUE(SetWindowTextW(c.widget, value)) << c.kind;
    EXPECT_EQ(c.shown(), value) << c.kind;
    EXPECT_EQ(GetWindowTextW(c.widget), value) << c.kind;
  }
}

TEST(WindowText, TopLevelWindowFixedListComboAndNull) {
  QLabel window;  // a top-level label is a window: its title is its text
  SetWindowTextW(&window, "Vemo");
  EXPECT_EQ(window.windowTitle(), "Vemo");

  QWidget parent;
  auto* list = new QComboBox(&parent);
  list->addItems({"a", "b"});
  EXPECT_TRUE(SetWindowTextW(list, "b"));
  EXPECT_EQ(GetWindowTextW(list), "b");
  EXPECT_FALSE(SetWindowTextW(list, "c"));
  EXPECT_EQ(GetWindowTextW(list), "b");

  EXPECT_FALSE(SetWindowTextW(nullptr, "x"));
  EXPECT_TRUE(GetWindowTextW(nullptr).isEmpty());
}
