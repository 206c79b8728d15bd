#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>
#include <cstring>

#include "core/dev_info.h"
#include "live/live_messages.h"
#include "platform/post_message.h"
#include "records/search/search_rec_dlg.h"

namespace {
int g_released = 0;
void CountRelease(LPARAM p) {
  ++g_released;
  delete[] reinterpret_cast<char*>(p);
}
}  // namespace

TEST(SearchRecDlg, IsAHiddenChildOfTheMainWindow) {
  QWidget main;
  CSearchRecDlg dlg(&main);
  ASSERT_TRUE(dlg.Create(CSearchRecDlg::IDD, &main));
  EXPECT_EQ(dlg.parentWidget(), &main);
  EXPECT_FALSE(dlg.isWindow());
  EXPECT_FALSE(dlg.isVisible());
}

TEST(SearchRecDlg, FreesTheTextOfEachDeviceMessage) {
  CSearchRecDlg dlg;
  g_released = 0;
  const UINT messages[] = {WM_REMOTE_RECFILE_RESPONSE, WM_NVR_RECDAY_RESPONSE, WM_FILE_TRANSFER_EVENT};
  for (UINT msg : messages) {
    ASSERT_TRUE(PostMessage(dlg.GetSafeHwnd(), msg, 1, reinterpret_cast<LPARAM>(new char[8]{}), CountRelease));
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(g_released, 3);
}

TEST(SearchRecDlg, WindowCountKeepsOnlyOneTwoOrFour) {
  CSearchRecDlg dlg;
  const struct {
    int set, expected;
  } cases[] = {{1, 1}, {3, 1}, {2, 2}, {0, 2}, {4, 4}, {5, 4}};
  for (const auto& c : cases) {
    dlg.SetWindowCount(c.set);
    EXPECT_EQ(dlg.GetWindowCount(), c.expected) << c.set;
    EXPECT_LT(dlg.GetCurWnd(), dlg.GetWindowCount());
  }
}

TEST(SearchRecDlg, RefusesNoDevice) {
  CSearchRecDlg dlg;
  DevInfo dev;
  std::strcpy(dev.DevName, "cam");
  EXPECT_FALSE(dlg.SetSearchDevInfo(nullptr));
  EXPECT_TRUE(dlg.SetSearchDevInfo(&dev));
  EXPECT_STREQ(dlg.GetSearchDevInfo().DevName, "cam");  // the page keeps its own copy
}
