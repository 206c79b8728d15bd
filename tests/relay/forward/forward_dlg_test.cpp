// The forwarding server's settings page on a live relay server: started,
// stopped and given new limits from its buttons, restored from its file after
// start-up, and screenshots of it in the system settings window.
#include "relay/forward/forward_dlg.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstring>
#include <filesystem>

#include "common/temp_folder.h"
#include "common/wait_for.h"
#include "core/res_msg_dlg.h"
#include "core/client_log.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "pelk/pelk.h"
#include "pelk/pelk_testing.h"
#include "platform/dialog_template.h"
#include "platform/file_api.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "platform/wnd.h"
#include "relay/serving/relay_user_check.h"
#include "settings/local/sys_setting_dlg.h"


namespace {

constexpr char kDigest[] = "E10ADC3949BA59ABBE56E057F20F883E";  // the relay peer's default password

// The relay library's message window of this client: it answers the user
// checks of the peers that log in to the forwarding server.
class RelayWindow : public QWidget, public CWnd {
 public:
  RelayWindow() : CWnd(this) {}
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_RELAY_CHECK_USER)
      return CheckRelayUser(reinterpret_cast<const char*>(wParam),
                            reinterpret_cast<const PelkPasswordVerifier*>(lParam));
    if (msg == WM_RELAY_GET_DEVICE_LIST) Pelk_RspDeviceList(0, static_cast<DWORD>(lParam), nullptr, 0);
    return 0;
  }
};

// A relay peer (tests/peers/pelk_peer.py) that logs in and stays.
class Peer {
 public:
  explicit Peer(int port) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start("/usr/bin/python3", {VEMO_TEST_PEERS_DIR "/pelk_peer.py", QString::number(port), "login"});
    process_.waitForStarted(10000);
  }
  ~Peer() {
    process_.kill();
    process_.waitForFinished(5000);
  }
  // The login's status line ("STATUS 0" accepted), running the event loop
  // meanwhile (it answers the user check); "" when none came.
  std::string Status() {
    std::string status;
    WaitFor([&] {
      while (process_.canReadLine()) {
        const std::string line = process_.readLine().trimmed().toStdString();
        if (line.rfind("STATUS", 0) == 0) status = line;
      }
      return !status.empty();
    });
    return status;
  }

 private:
  QProcess process_;
};

int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

bool Listens(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

class ForwardDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    programFolder_ = paths::ProgramFolder();
    templates_ = dlgtemplate::Folder();
    strings_ = stringtable::Folder();
    std::filesystem::create_directories(folder_.File("Config"));
    paths::SetProgramFolder(folder_.Path());
    dlgtemplate::SetFolder(templates_);
    stringtable::SetFolder(strings_);
    ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
    std::snprintf(g_szCurUser, sizeof g_szCurUser, "admin");
    std::snprintf(g_szCurPassword, sizeof g_szCurPassword, "%s", kDigest);
    g_nLoginType = 0;
    Pelk_SetMsgWnd(window_.GetSafeHwnd());
    PelkTestReset();
  }
  void TearDown() override {
    Pelk_StopTS();
    Pelk_SetMsgWnd(nullptr);
    page_.reset();
    FreeLanguageLibrary();
    paths::SetProgramFolder("");
    dlgtemplate::SetFolder("");
    stringtable::SetFolder("");
  }

  CForwardDlg& Open() {
    page_ = std::make_unique<CForwardDlg>();
    EXPECT_TRUE(page_->Create(CForwardDlg::IDD));
    page_->KillTimer(CForwardDlg::TIMER_RESTORE);  // the tests run the restore themselves
    page_->show();
    return *page_;
  }
  template <class T>
  T* Item(int id) {
    return qobject_cast<T*>(page_->GetDlgItem(id));
  }
  void Type(int id, const QString& text) {
    QLineEdit* edit = Item<QLineEdit>(id);
    edit->clear();
    QTest::keyClicks(edit, text);
  }
  std::string Message() {
    CResMsgDlg* box = page_->MessageBox();
    if (box == nullptr || !box->isVisible()) return "";
    const std::string text = GetWindowTextW(box->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT)).toStdString();
    box->hide();
    return text;
  }
  std::string File() {
    std::string text;
    fileapi::ReadWhole(folder_.File("Config/ForwardInfo.xml"), text);
    return text;
  }
  void WriteFile(const std::string& text) {
    fileapi::WriteWhole(folder_.File("Config/ForwardInfo.xml"), text.data(), text.size());
  }

  TempFolder folder_;
  std::string programFolder_, templates_, strings_;
  RelayWindow window_;
  std::unique_ptr<CForwardDlg> page_;
};

}  // namespace

TEST_F(ForwardDlgTest, TheFieldsStartAtTheirDefaultsAndTakeNoMoreThanTheirLength) {
  CForwardDlg& page = Open();
  EXPECT_EQ(Item<QLineEdit>(CForwardDlg::IDC_PORT)->text(), "8899");
  EXPECT_EQ(Item<QLineEdit>(CForwardDlg::IDC_USER_COUNT)->text(), "10");
  EXPECT_EQ(Item<QLineEdit>(CForwardDlg::IDC_CHANNEL_COUNT)->text(), "100");
  EXPECT_FALSE(Item<QCheckBox>(CForwardDlg::IDC_ENABLE)->isChecked());
  ASSERT_GT(Item<QComboBox>(CForwardDlg::IDC_IP)->count(), 0);
  EXPECT_EQ(Item<QComboBox>(CForwardDlg::IDC_IP)->currentIndex(), 0);
  EXPECT_EQ(page.Server().Values().m_strIPAddr, Item<QComboBox>(CForwardDlg::IDC_IP)->itemText(0).toStdString());
  EXPECT_EQ(GetWindowTextW(page.GetDlgItem(CForwardDlg::IDC_SWITCH_LABEL)), "Run The Video Switch Server");
  EXPECT_EQ(GetWindowTextW(page.GetDlgItem(CForwardDlg::IDC_MODIFY)), "Modify");
  // Six digits cannot be typed into the port, four not into the counts.
  Type(CForwardDlg::IDC_PORT, "123456");
  EXPECT_EQ(Item<QLineEdit>(CForwardDlg::IDC_PORT)->text(), "12345");
  QWidget* modify = page.GetDlgItem(CForwardDlg::IDC_MODIFY);
  EXPECT_FALSE(modify->isEnabled());
  // The same number in other digits does not enable "Modify"; another number does.
  Item<QLineEdit>(CForwardDlg::IDC_USER_COUNT)->setText("010");
  EXPECT_FALSE(modify->isEnabled());
  Item<QLineEdit>(CForwardDlg::IDC_CHANNEL_COUNT)->setText("100");
  EXPECT_FALSE(modify->isEnabled());
  Item<QLineEdit>(CForwardDlg::IDC_USER_COUNT)->setText("7");
  EXPECT_TRUE(modify->isEnabled());
  EXPECT_EQ(page.Server().Values().m_strUserCount, "7");
  // Enter and Escape leave the page as it is.
  QTest::keyClick(&page, Qt::Key_Return);
  QTest::keyClick(&page, Qt::Key_Escape);
  EXPECT_TRUE(page.isVisible());
  EXPECT_EQ(PelkTestCounts().startTS, 0);
}

TEST_F(ForwardDlgTest, TheSwitchStartsAndStopsALiveServerAndModifyChangesItsLimits) {
  WriteFile(kForwardInfoEmpty);
  CForwardDlg& page = Open();
  const int port = FreePort();
  Item<QComboBox>(CForwardDlg::IDC_IP)->setCurrentText("127.0.0.1");
  Type(CForwardDlg::IDC_PORT, QString::number(port));
  Type(CForwardDlg::IDC_USER_COUNT, "4");
  Type(CForwardDlg::IDC_CHANNEL_COUNT, "16");
  QPushButton* ok = Item<QPushButton>(CForwardDlg::IDC_OK);
  QPushButton* modify = Item<QPushButton>(CForwardDlg::IDC_MODIFY);
  ok->click();  // the switch is off: nothing runs
  EXPECT_FALSE(Listens(port));
  EXPECT_EQ(Message(), "");
  Item<QCheckBox>(CForwardDlg::IDC_ENABLE)->setChecked(true);
  ok->click();
  EXPECT_EQ(page.Server().Values().m_bRunning, 1);
  EXPECT_EQ(Message(), "Forward Service Runed");
  EXPECT_TRUE(Listens(port));
  EXPECT_NE(File().find("Running=\"1\""), std::string::npos);
  EXPECT_NE(File().find("Port=\"" + std::to_string(port) + "\""), std::string::npos);
  EXPECT_NE(File().find("UserCount=\"4\""), std::string::npos);
  ok->click();  // running already: nothing changes
  EXPECT_EQ(PelkTestCounts().startTS, 1);
  EXPECT_EQ(Message(), "");

  // One user only from now on: a second peer is turned away.
  Type(CForwardDlg::IDC_USER_COUNT, "1");
  ASSERT_TRUE(modify->isEnabled());
  modify->click();
  EXPECT_EQ(Message(), "Modify Successfull");
  EXPECT_FALSE(modify->isEnabled());
  EXPECT_NE(File().find("UserCount=\"1\""), std::string::npos);
  Peer first(port);
  EXPECT_EQ(first.Status(), "STATUS 0");
  Peer second(port);
  EXPECT_EQ(second.Status(), "STATUS 2");

  Item<QCheckBox>(CForwardDlg::IDC_ENABLE)->setChecked(false);
  ok->click();
  EXPECT_EQ(Message(), "Forward Service Stoped");
  EXPECT_EQ(page.Server().Values().m_bRunning, 0);
  EXPECT_FALSE(Listens(port));
  EXPECT_NE(File().find("Running=\"0\""), std::string::npos);
  // A stopped server takes no limits.
  Type(CForwardDlg::IDC_USER_COUNT, "3");
  modify->click();
  EXPECT_EQ(Message(), "Modify Failed");
}

TEST_F(ForwardDlgTest, ARefusedStartClearsTheSwitchWithoutAMessage) {
  WriteFile(kForwardInfoEmpty);
  const int fd = socket(AF_INET, SOCK_STREAM, 0);  // the port is taken
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(fd, 1), 0);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  Open();
  Item<QComboBox>(CForwardDlg::IDC_IP)->setCurrentText("127.0.0.1");
  Type(CForwardDlg::IDC_PORT, QString::number(ntohs(address.sin_port)));
  Item<QCheckBox>(CForwardDlg::IDC_ENABLE)->setChecked(true);
  Item<QPushButton>(CForwardDlg::IDC_OK)->click();
  ::close(fd);
  EXPECT_FALSE(Item<QCheckBox>(CForwardDlg::IDC_ENABLE)->isChecked());
  EXPECT_EQ(page_->Server().Values().m_bRunning, 0);
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(File(), kForwardInfoEmpty);  // nothing saved
}

TEST_F(ForwardDlgTest, TheSavedServerRunsAgainAfterStartUpOnlyOnAnAddressOfThisMachine) {
  const int port = FreePort();
  auto saved = [&](const char* ip, int running) {
    return std::string("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<Forwarded>\n<Forward IPAddr=\"") + ip +
           "\" Port=\"" + std::to_string(port) + "\" ChannelCount=\"8\" UserCount=\"3\" Running=\"" +
           std::to_string(running) + "\" />\n</Forwarded>";
  };
  WriteFile(saved("192.0.2.99", 1));  // no address of this machine
  CForwardDlg& page = Open();
  page.OnTimer(CForwardDlg::TIMER_RESTORE);
  EXPECT_EQ(page.Server().Values().m_bRunning, 0);
  EXPECT_FALSE(Listens(port));
  EXPECT_EQ(Item<QLineEdit>(CForwardDlg::IDC_PORT)->text(), "8899");  // not shown

  WriteFile(saved("127.0", 0));  // found by its beginning; it did not run
  Open().OnTimer(CForwardDlg::TIMER_RESTORE);
  EXPECT_EQ(Item<QComboBox>(CForwardDlg::IDC_IP)->currentText(), "127.0.0.1");
  EXPECT_EQ(Item<QLineEdit>(CForwardDlg::IDC_PORT)->text(), QString::number(port));
  EXPECT_EQ(Item<QLineEdit>(CForwardDlg::IDC_CHANNEL_COUNT)->text(), "8");
  EXPECT_FALSE(Listens(port));

  WriteFile(saved("127.0.0.1", 1));
  Open().OnTimer(CForwardDlg::TIMER_RESTORE);
  EXPECT_EQ(page_->Server().Values().m_bRunning, 1);
  EXPECT_TRUE(Item<QCheckBox>(CForwardDlg::IDC_ENABLE)->isChecked());
  EXPECT_TRUE(Listens(port));
  EXPECT_FALSE(Item<QPushButton>(CForwardDlg::IDC_MODIFY)->isEnabled());

  std::filesystem::remove(folder_.File("Config/ForwardInfo.xml"));  // a missing file is made empty
  Open().OnTimer(CForwardDlg::TIMER_RESTORE);
  EXPECT_EQ(File().size(), kForwardInfoBlockSize);
}

// The page as its tab of the system settings window, in Chinese and English,
// saved under the build folder's "screenshots" for a person to look at.
TEST_F(ForwardDlgTest, Screenshots) {
  const QString folder = QString::fromStdString(programFolder_) + "screenshots/";
  QDir().mkpath(folder);
  for (const char* language : {"LangSC.dll", "LangEn.dll"}) {
    ASSERT_TRUE(LoadLanguageLibrary(language));
    CSysSettingDlg settings([] { return nullptr; });
    ASSERT_TRUE(settings.Create(CSysSettingDlg::IDD));
    CForwardDlg* page = settings.ForwardPage();
    ASSERT_NE(page, nullptr);
    page->KillTimer(CForwardDlg::TIMER_RESTORE);
    auto* tabs = settings.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    const int index = tabs->indexOf(page);
    ASSERT_GE(index, 0) << "the forwarding tab follows a local login";
    tabs->setCurrentIndex(index);
    qobject_cast<QCheckBox*>(page->GetDlgItem(CForwardDlg::IDC_ENABLE))->setChecked(true);
    settings.show();
    QCoreApplication::processEvents();
    const QString name = std::strcmp(language, "LangSC.dll") == 0 ? "forward_page_sc.png" : "forward_page_en.png";
    ASSERT_TRUE(settings.grab().save(folder + name));
  }
}
