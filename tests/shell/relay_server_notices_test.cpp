// What the main window tells the user about relay servers' device lists: a
// first list is confirmed on the device page only, not at every start.
#include <gtest/gtest.h>

#include <QLabel>
#include <cstdio>

#include "common/wait_for.h"
#include "core/res_msg_dlg.h"
#include "main_window_fixture.h"
#include "pelk/pelk_engine.h"
#include "platform/post_message.h"
#include "relay/login/vss_info.h"
#include "relay/relay_messages.h"
#include "settings/devices/setting_dev_info_dlg.h"
#include "shell/cfg_manager_dlg.h"

namespace {

class RelayServerNoticesTest : public MainWindowTest {
 protected:
  void TearDown() override {
    dlg_.reset();
    g_lstVssInfo.clear();
    MainWindowTest::TearDown();
  }
  static void AddServer(LONG login) {
    Vemo2Node& server = g_lstVssInfo.emplace_back();
    server.nLoginHandle = login;
    std::snprintf(server.DevName, sizeof server.DevName, "Vemo %ld", static_cast<long>(login));
  }
  // The server's first device list, as the library posts it.
  void PostFirstList(LONG login) {
    pelk::RecordStore& records = pelk::Engine::Default().Records();
    auto* list = records.NewRecord<RelayDeviceListRecord>();
    list->pList = records.NewArray<RelayDeviceEntry>(1);
    list->pList[0].nType = 1;
    list->pList[0].nState = 1;
    std::snprintf(list->pList[0].IPAddr, sizeof list->pList[0].IPAddr, "10.0.0.%ld", static_cast<long>(login));
    std::snprintf(list->pList[0].MACAddr, sizeof list->pList[0].MACAddr, "02-00-00-00-00-0B");
    std::snprintf(list->pList[0].DevName, sizeof list->pList[0].DevName, "Cam");
    list->dwCount = 1;
    PostMessage(dlg_->GetSafeHwnd(), WM_RELAY_DEVICE_LIST, reinterpret_cast<WPARAM>(list), login);
  }
  static bool HasList(LONG login) {
    for (const Vemo2Node& server : g_lstVssInfo)
      if (server.nLoginHandle == login) return server.bHasDeviceList;
    return false;
  }
};

}  // namespace

TEST_F(RelayServerNoticesTest, AFirstListIsConfirmedOnlyWhileTheDevicePageIsShown) {
  ASSERT_TRUE(UseEnglishTexts());
  AddServer(71);
  AddServer(72);
  CVistarelDlg& dlg = Open();
  // At start the live view is shown; the device page exists but is not on the screen.
  ASSERT_NE(dlg.m_pCfgManagerDlg->GetDevInfoDlg(), nullptr);
  ASSERT_FALSE(dlg.m_pCfgManagerDlg->GetDevInfoDlg()->isVisible());
  PostFirstList(71);
  ASSERT_TRUE(WaitFor([] { return HasList(71); }));
  QCoreApplication::processEvents();
  EXPECT_FALSE(dlg.m_pResMsgDlg->isVisible());

  dlg.ShowCfgPage(0);
  QCoreApplication::processEvents();
  ASSERT_TRUE(dlg.m_pCfgManagerDlg->GetDevInfoDlg()->isVisible());
  PostFirstList(72);
  ASSERT_TRUE(WaitFor([] { return HasList(72); }));
  ASSERT_TRUE(WaitFor([&] { return dlg.m_pResMsgDlg->isVisible(); }));
  EXPECT_EQ(static_cast<QLabel*>(dlg.m_pResMsgDlg->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))->text(),
            "The list of devices to add success");
}
