// The main window's UDP login at the account's login server: what follows a
// session's end, and the device notices the server pushes.
#include <gtest/gtest.h>

#include <QLabel>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/wait_for.h"
#include "core/client_log.h"
#include "core/fixed_text.h"
#include "core/login_logic.h"
#include "core/res_msg_dlg.h"
#include "platform/string_table.h"
#include "relay/udp/udp_login_testing.h"
#include "tests/relay/udp/udp_login_server_process.h"
#include "tests/shell/main_window_fixture.h"

namespace {

class UdpLoginWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    g_nLoginType = 1;  // logged in through the cloud account: timer 1004 starts the UDP login
    CopyFixedText(g_szCurUser, "alice");
    CopyFixedText(g_szCurPassword, "E10ADC3949BA59ABBE56E057F20F883E");
    CopyFixedText(g_szLoginSvrIp, "127.0.0.1");
    paths::SetDriveRoot(folder_.Path() + "drives");
    std::filesystem::create_directories(folder_.File("drives/D/Vemo-Log"));
    ASSERT_EQ(OpenLogFile("D:\\Vemo-Log\\clientlog.txt"), 0);
  }
  void TearDown() override {
    CloseLogFile();
    SetUdpLoginPortForTesting(0);
    CopyFixedText(g_szLoginSvrIp, "");
    MainWindowTest::TearDown();
  }
  std::string Log() {
    CloseLogFile();
    std::ifstream in(folder_.File("drives/D/Vemo-Log/clientlog.txt"), std::ios::binary);
    std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    OpenLogFile("D:\\Vemo-Log\\clientlog.txt");
    return log;
  }
  static size_t UdpLoginTimers() {
    const std::vector<UINT_PTR> fired = maintimers::FiredTimers();
    return static_cast<size_t>(std::count(fired.begin(), fired.end(), CVistarelDlg::TIMER_UDP_LOGIN));
  }
};

TEST_F(UdpLoginWindowTest, RefusedLoginShowsTheMessageAndIsNotTriedAgain) {
  UdpLoginServerProcess server("refuse");
  ASSERT_GT(server.Port(), 0);
  SetUdpLoginPortForTesting(server.Port());
  ASSERT_TRUE(UseEnglishTexts());
  CVistarelDlg& dlg = Open();
  ASSERT_TRUE(WaitFor([&] { return dlg.m_pResMsgDlg->isVisible(); }));
  EXPECT_EQ(static_cast<QLabel*>(dlg.m_pResMsgDlg->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))->text(),
            "Alarm server failed to connect");
  ASSERT_EQ(server.WaitReceived(1).size(), 1u);
  EXPECT_EQ(server.Received()[0].mid(16, 5), "alice");
  WaitFor([] { return false; }, 500);  // waits of 1 s and more would have passed 20 times over
  EXPECT_EQ(server.Received().size(), 1u) << "a refused login is not tried again";
}

// An unreachable server never gets a login storm: each failure waits twice as
// long as the one before before the next login.
TEST_F(UdpLoginWindowTest, FailuresStartTheLoginAgainAfterAGrowingWait) {
  CopyFixedText(g_szLoginSvrIp, "");  // resolves to nothing: every session ends with status 2
  maintimers::StartRecording();
  Open();
  ASSERT_TRUE(WaitFor([&] { return UdpLoginTimers() >= 5; }));
  const std::string log = Log();
  size_t at = 0;
  for (const char* delay : {"in 1000 ms", "in 2000 ms", "in 4000 ms", "in 8000 ms"}) {
    at = log.find(std::string("OnUdpLoginStatus(): status=2, the UDP login starts again ") + delay, at);
    ASSERT_NE(at, std::string::npos) << delay;
  }
}

}  // namespace
