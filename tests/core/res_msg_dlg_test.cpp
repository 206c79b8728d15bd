// The program's message box: sizing to its text (every line measured), its
// button layouts by type, and the main window's actions behind OK.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "core/user_settings.h"
#include "core/res_msg_dlg.h"
#include "core/res_msg_layout.h"

namespace {

class ResMsgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CResMsgDlg::SetExitProgramAction([this] { ++exits; });
    CResMsgDlg::SetStopAllVideoAction([this] { ++stops; });
    box.Create(CResMsgDlg::IDD, nullptr);
  }
  void TearDown() override {
    CResMsgDlg::SetExitProgramAction(nullptr);
    CResMsgDlg::SetStopAllVideoAction(nullptr);
  }
  QWidget* Item(int id) { return box.GetDlgItem(id); }
  void Press(int id) { static_cast<QPushButton*>(Item(id))->click(); }

  int exits = 0;
  int stops = 0;
  CResMsgDlg box;
};

}  // namespace

TEST(ResMsgLayout, MeasuresEveryLineIncludingTheLast) {
  QFont font;
  QFontMetrics metrics(font);
  SIZE one = MeasureMessageText("Device offline", metrics);
  EXPECT_EQ(one.cx, metrics.horizontalAdvance("Device offline"));
  EXPECT_EQ(one.cy, metrics.height());

  // The longest line is the last one: it must still fit.
  QString text = "Save path:\nD:\\Vemo\\Video\\Camera 01\\2024-03-05";
  SIZE two = MeasureMessageText(text, metrics);
  EXPECT_GE(two.cx, metrics.horizontalAdvance("D:\\Vemo\\Video\\Camera 01\\2024-03-05"));
  EXPECT_EQ(two.cy, 2 * metrics.height());
  SIZE trailing = MeasureMessageText("First line\n", metrics);  // a final line feed adds no line
  EXPECT_EQ(trailing.cy, metrics.height());
  // Wide characters are never cut to the average character width.
  SIZE cjk = MeasureMessageText("a\n请确认设备已停止对讲", metrics);
  EXPECT_GE(cjk.cx, metrics.horizontalAdvance("请确认设备已停止对讲"));
}

TEST(ResMsgLayout, ButtonsByType) {
  ResMsgLayout single = LayoutResMsg(SIZE{200, 16}, 2);
  EXPECT_EQ(single.window.cx, 270);
  EXPECT_EQ(single.window.cy, 112);
  EXPECT_EQ(single.text, (RECT{10, 10, 260, 36}));
  EXPECT_FALSE(single.showCancel);
  EXPECT_EQ(single.ok, (RECT{105, 41, 165, 64}));  // 60 wide, centred
  for (int type = 5; type <= 9; ++type) {
    ResMsgLayout confirm = LayoutResMsg(SIZE{200, 16}, type);
    EXPECT_TRUE(confirm.showCancel);
    EXPECT_EQ(confirm.ok, (RECT{80, 41, 130, 64}));
    EXPECT_EQ(confirm.cancel, (RECT{140, 41, 190, 64}));
  }
  EXPECT_FALSE(LayoutResMsg(SIZE{10, 10}, 4).showCancel);
  EXPECT_FALSE(LayoutResMsg(SIZE{10, 10}, 10).showCancel);
}

TEST_F(ResMsgTest, OneLineMessageSizesTheWindowAndReturnsAtOnce) {
  ASSERT_TRUE(box.HasTemplate());
  box.ShowMsg(L"Capture failure!", 2);
  EXPECT_TRUE(box.isVisible());  // shown, no answer awaited
  QFontMetrics metrics(box.font());
  int w = metrics.horizontalAdvance("Capture failure!"), h = metrics.height();
  EXPECT_EQ(box.frameGeometry().width(), w + 70);
  EXPECT_EQ(box.frameGeometry().height(), h + 96);
  EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(static_cast<QLabel*>(Item(CResMsgDlg::IDC_MSG_TEXT))->text(), "Capture failure!");
  EXPECT_EQ(Item(CResMsgDlg::IDC_MSG_TEXT)->geometry(), QRect(10, 10, w + 50, h + 10));
  EXPECT_TRUE(Item(CResMsgDlg::IDC_MSG_CANCEL)->isHidden());
  EXPECT_EQ(Item(CResMsgDlg::IDC_MSG_OK)->geometry(), QRect((w + 70) / 2 - 30, h + 25, 60, 23));
  Press(CResMsgDlg::IDC_MSG_OK);
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(exits + stops, 0);
}

TEST_F(ResMsgTest, TypeEightExitsOnOkOnlyAndCancelKeepsTheProgramRunning) {
  box.ShowMsg(L"Exit the program?", 8);
  EXPECT_EQ(box.GetTypeFlag(8), 1);
  EXPECT_FALSE(Item(CResMsgDlg::IDC_MSG_CANCEL)->isHidden());
  EXPECT_EQ(Item(CResMsgDlg::IDC_MSG_OK)->width(), 50);
  EXPECT_EQ(Item(CResMsgDlg::IDC_MSG_CANCEL)->width(), 50);
  Press(CResMsgDlg::IDC_MSG_CANCEL);
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(exits, 0);

  box.ShowMsg(L"Exit the program?", 8);
  Press(CResMsgDlg::IDC_MSG_OK);
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(stops, 0);
}

TEST_F(ResMsgTest, TypeNineStopsVideoAndANewMessageClearsTheFlags) {
  box.ShowMsg(L"Stop all video?", 9);
  box.ShowMsg(L"Saved.", 2);  // replaces the shown message and its flags
  EXPECT_EQ(box.GetTypeFlag(9), 0);
  Press(CResMsgDlg::IDC_MSG_OK);
  EXPECT_EQ(stops, 0);

  box.ShowMsgA("Stop all video?", 9);
  Press(CResMsgDlg::IDC_MSG_OK);
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(exits, 0);

  // Without a main window (no action installed) OK only hides.
  CResMsgDlg::SetStopAllVideoAction(nullptr);
  box.ShowMsg(L"Stop all video?", 9);
  Press(CResMsgDlg::IDC_MSG_OK);
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(stops, 1);

  box.ShowMsg(L"Exit?", 8);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&box, &escape);
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(exits, 0);
}

TEST_F(ResMsgTest, MultiLineMessageFitsItsLastLineAndTakesTheTitle) {
  const CString savedTitle = g_strTitle;
  g_strTitle = "Vemo Console";
  CResMsgDlg titled;
  titled.ShowMsg(L"Save path:\nD:\\Vemo\\Video\\Camera 01\\2024-03-05", 2);
  QFontMetrics metrics(titled.font());
  QLabel* label = static_cast<QLabel*>(titled.GetDlgItem(CResMsgDlg::IDC_MSG_TEXT));
  EXPECT_GE(label->width(), metrics.horizontalAdvance("D:\\Vemo\\Video\\Camera 01\\2024-03-05"));
  EXPECT_GE(label->height(), 2 * metrics.height());
  EXPECT_EQ(titled.windowTitle(), "Vemo Console");
  g_strTitle = savedTitle;
  titled.hide();
}
