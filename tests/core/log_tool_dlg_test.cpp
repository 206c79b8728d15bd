#include <gtest/gtest.h>

#include <QPushButton>

#include "core/log_tool_dlg.h"

TEST(CLogToolDlg, IsAChildPanelWithItsThreeButtons) {
  QWidget mainWindow;
  CLogToolDlg dlg;
  ASSERT_TRUE(dlg.Create(CLogToolDlg::IDD, &mainWindow));
  EXPECT_EQ(dlg.parentWidget(), &mainWindow);
  EXPECT_FALSE(dlg.isWindow());
  EXPECT_FALSE(dlg.isVisibleTo(&mainWindow));  // the main window shows it when needed

  const struct {
    int id;
    const char* caption;
  } buttons[] = {{1071, "调试日志"}, {1072, "操作日志"}, {1073, "远程日志"}};
  for (const auto& b : buttons) {
    auto* button = qobject_cast<QPushButton*>(dlg.GetDlgItem(b.id));
    ASSERT_NE(button, nullptr) << b.id;
    EXPECT_EQ(button->text(), QString::fromUtf8(b.caption)) << b.id;
    button->click();  // no action: the panel stays as it is
    EXPECT_EQ(dlg.parentWidget(), &mainWindow);
  }
}
