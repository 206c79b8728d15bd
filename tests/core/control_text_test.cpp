#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "core/control_text.h"
#include "platform/codepage.h"
#include "platform/control_id.h"
#include "platform/wnd.h"

namespace {
class Panel : public QWidget, public CWnd {
 public:
  Panel() : CWnd(this) {}
};
}  // namespace

TEST(SetControlText, SetsTheConvertedTextOfTheControl) {
  Panel panel;
  auto* label = new QLabel(&panel);
  ctrlid::Set(label, 1284);
  auto* button = new QPushButton(&panel);
  ctrlid::Set(button, 1000);

  EXPECT_TRUE(SetControlText(&panel, 1284, codepage::Utf8ToGbk("设备离线")));
  EXPECT_EQ(label->text(), QString::fromUtf8("设备离线"));
  EXPECT_TRUE(SetControlText(&panel, 1000, "OK"));
  EXPECT_EQ(button->text(), "OK");

  EXPECT_FALSE(SetControlText(&panel, 4242, "x"));
  EXPECT_FALSE(SetControlText(nullptr, 1284, "x"));
  EXPECT_EQ(label->text(), QString::fromUtf8("设备离线"));
}
