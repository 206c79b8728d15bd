// The main configuration window against the fake NVR: what it reads, what
// save-all sends, the system page's import, export, restore and upgrade, and
// closing while the NVR is still answering.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "common/temp_folder.h"
#include "common/wait_for.h"
#include "fake_nvr_process.h"
#include "harlen/link/controls/tab_ctrl_ex.h"
#include "harlen/link/entry/harlen_module.h"
#include "harlen/link/harlen_api.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/link/xml/field_text.h"
#include "link_fixture.h"
#include "records_fixture.h"
#include "support/modal_answerer.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <class Record>
bool Same(const Record& a, const Record& b) {
  return std::memcmp(&a, &b, sizeof(Record)) == 0;
}

// The records of the whole configuration equal the module's records.
bool GlobalsHold(const Records& r) {
  return Same(*r.channel, g_ChannelCfg) && Same(*r.network, g_NetworkCfg) && Same(*r.ddns, g_DdnsCfg) &&
         Same(*r.ntp, g_NtpCfg) && Same(*r.email, g_EmailCfg) && Same(*r.hosts, g_ManageHostsCfg) &&
         Same(*r.system, g_SystemParam) && Same(*r.manage, g_SystemManage) && Same(*r.users, g_UserCfg) &&
         Same(*r.common, g_CommonCfg) && Same(*r.alarm, g_AlarmLinkage);
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(nvr->Ready());
    host.resize(900, 700);
    host.show();
    std::memset(&g_UserCfg, 0, sizeof g_UserCfg);
  }
  void TearDown() override {
    HL_Release();
    g_bHarlenInited = false;
  }

  bool ShowEmbedded(int port) {
    const std::string text = "127.0.0.1";
    return HL_ShowConfigByVemo(user, const_cast<char*>(text.c_str()), static_cast<unsigned short>(port), &host) ==
           1;
  }
  // Shown as the host shows it, and the configuration and stream rates shown.
  void ShowLoaded() {
    ASSERT_TRUE(ShowEmbedded(nvr->Port()));
    ASSERT_TRUE(WaitFor([&] { return Sys().GetRateList()->topLevelItemCount() == 16 && g_UserCfg.count > 0; }));
  }
  CDlgSysManageConfig& Sys() { return g_pDlgMain->SysPage(); }
  void Click(int id) {
    auto* button = qobject_cast<QAbstractButton*>(Sys().GetDlgItem(id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
  }
  void ClickMain(int id) {
    auto* button = qobject_cast<QAbstractButton*>(g_pDlgMain->GetDlgItem(id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
  }
  // Stops the NVR and waits until the window's link has lost it.
  bool Disconnect() {
    port = nvr->Port();
    nvr->Stop();
    return WaitFor([&] { return !g_pDlgMain->GetLink()->IsConnected(); });
  }
  // The NVR back on its port; the link finds it by itself.
  bool Reconnect() {
    for (int attempt = 0; attempt < 3; ++attempt) {  // the port may be taken for a moment
      nvr = std::make_unique<FakeNvrProcess>(port);
      if (nvr->Ready()) break;
    }
    // Both ends: the link connected, and the NVR serving it (a frame pushed before then reaches nobody).
    return nvr->Ready() && WaitFor([&] { return g_pDlgMain->GetLink()->IsConnected(); }) &&
           WaitFor([&] { return nvr->Command("connections") == "OK 1"; });
  }

  char user[6] = "admin";
  std::unique_ptr<FakeNvrProcess> nvr = std::make_unique<FakeNvrProcess>();
  int port = 0;
  QWidget host;
  ModalAnswerer answerer;
  TempFolder folder;
};

}  // namespace

TEST_F(MainWindow, EmbeddedWindowReadsTheWholeConfigurationAndTheStatuses) {
  ShowLoaded();
  CDlgMain* dlg = g_pDlgMain;
  EXPECT_EQ(dlg->parentWidget(), &host);
  EXPECT_FALSE(dlg->isWindow()) << "a borderless child of the host's widget";
  EXPECT_EQ(dlg->pos(), QPoint(-2, -2));
  EXPECT_EQ(dlg->size(), QSize(820 + 4, 600 + 4));
  EXPECT_TRUE(dlg->GetDlgItem(IDCANCEL)->isHidden()) << "no cancel button when embedded";
  EXPECT_EQ(nvr->Take("GET"), "GET 0");
  EXPECT_EQ(nvr->Take("CTRL"), "CTRL 4097");
  EXPECT_EQ(nvr->Take("CTRL"), "CTRL 4099");
  EXPECT_EQ(nvr->Take("CTRL"), "CTRL 4098");
  EXPECT_EQ(nvr->Take("CTRL"), "CTRL 4100");

  Records expected;
  ASSERT_TRUE(LoadWholeConfig(NvrWholeConfig(nvr->Port()), expected.Refs()));
  EXPECT_TRUE(GlobalsHold(expected)) << "every record holds what the NVR sent";
  EXPECT_EQ(g_SystemManage.mode, 2u);
  EXPECT_EQ(Sys().GetMaintainCombo()->currentIndex(), 2) << "the weekly maintenance mode is selected";
  QTreeWidgetItem* row = Sys().GetRateList()->topLevelItem(15);
  EXPECT_EQ(row->text(0), QStringLiteral("16"));
  EXPECT_EQ(row->text(1), QStringLiteral("2063(kb/s)"));
  EXPECT_EQ(row->text(2), QStringLiteral("527(kb/s)"));
  EXPECT_EQ(row->text(3), QStringLiteral("915(MB/H)"));
  EXPECT_EQ(row->text(4), QStringLiteral("240(MB/H)"));
  EXPECT_TRUE(WaitFor([&] { return g_DiskStatus.count == 2; }));
}

TEST_F(MainWindow, TabsShowOnePageEachBelowTheRowOfTabs) {
  ShowLoaded();
  CTabCtrlEx* tab = g_pDlgMain->GetTab();
  ASSERT_EQ(tab->count(), 10);
  const char* labels[] = {"设备参数", "通道配置", "网络参数", "参数设置", "系统配置",
                          "硬盘管理", "报警异常", "用户信息", "录像参数", "假日配置"};
  const int templates[] = {112, 102, 103, 106, 113, 114, 115, 116, 122, 125};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(tab->tabText(i), QString::fromUtf8(labels[i]));
    EXPECT_EQ(g_pDlgMain->GetPage(i)->GetTemplateId(), static_cast<UINT>(templates[i]));
    EXPECT_EQ(g_pDlgMain->GetPage(i)->parentWidget(), tab);
  }
  for (int shown : {4, 9, 0}) {
    tab->setCurrentIndex(shown);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(g_pDlgMain->GetPage(i)->isVisible(), i == shown) << shown << " " << i;
  }
  const RECT item = tab->GetItemRect(0);
  const QRect page = g_pDlgMain->GetPage(0)->geometry();
  EXPECT_EQ(page.left(), 1);
  EXPECT_EQ(page.top(), 3 + (item.bottom - item.top));
  EXPECT_LE(page.bottom(), tab->height() - 3);
}

TEST_F(MainWindow, SaveAllSendsEverySectionInOrderAndSaysSo) {
  ShowLoaded();
  nvr->Command("clear");
  ClickMain(IDOK);
  for (const char* section : {"6", "12", "13", "14", "15", "16", "2", "17", "1", "8"}) {
    const std::string set = nvr->Take("SET ");
    EXPECT_EQ(set.substr(0, set.rfind(' ')), std::string("SET ") + section);
  }
  EXPECT_EQ(nvr->Count("SET "), 0) << "systemmanage never goes out";
  ASSERT_TRUE(WaitFor([&] { return !answerer.Messages().isEmpty(); })) << "said once every section was taken";
  EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("保存成功")});
  EXPECT_NE(g_pDlgMain->GetLink(), nullptr) << "embedded, the link stays";
  EXPECT_TRUE(g_pDlgMain->isVisible());
}

TEST_F(MainWindow, SaveAllWithoutAConnectionSaysItFailed) {
  ShowLoaded();
  ASSERT_TRUE(Disconnect());
  ClickMain(IDOK);
  EXPECT_EQ(answerer.Messages(),
            QStringList{QStringLiteral("以下配置未能保存到NVR:\n通道配置、网络参数、DDNS、NTP、邮件、管理平台、"
                                       "系统参数、用户信息、常规配置、报警联动")});
}

TEST_F(MainWindow, PopupSavesAndClosesOrStaysOpenWhenNothingWasSent) {
  const std::string address = "127.0.0.1";
  ASSERT_EQ(HL_Init(user, const_cast<char*>(address.c_str()), static_cast<unsigned short>(nvr->Port()), nullptr,
                    nullptr),
            1);
  ASSERT_EQ(HL_Harlen(), 1);
  ASSERT_TRUE(g_pDlgMain->isWindow());
  EXPECT_FALSE(g_pDlgMain->GetDlgItem(IDCANCEL)->isHidden());
  ASSERT_TRUE(WaitFor([&] { return g_UserCfg.count > 0; }));

  ASSERT_TRUE(Disconnect());
  ClickMain(IDOK);
  EXPECT_EQ(answerer.Messages().size(), 1);
  EXPECT_TRUE(g_pDlgMain->isVisible()) << "nothing was sent: the edits stay on screen";

  ASSERT_TRUE(Reconnect());
  ClickMain(IDOK);
  ASSERT_TRUE(WaitFor([&] { return !g_pDlgMain->isVisible(); })) << "closed once the NVR took everything";
  EXPECT_EQ(g_pDlgMain->GetLink(), nullptr) << "a popup drops its link after saving";
  EXPECT_EQ(answerer.Messages().size(), 1) << "no message on success";

  ASSERT_EQ(HL_Harlen(), 1) << "shown again: a new link";
  EXPECT_NE(g_pDlgMain->GetLink(), nullptr);
  EXPECT_TRUE(g_pDlgMain->isVisible());
}

TEST_F(MainWindow, ExportAndImportRoundTripTheWholeConfigurationByteForByte) {
  ShowLoaded();
  const std::string original = NvrWholeConfig(nvr->Port());
  const std::string first = folder.File("nvr");  // the name the user typed
  answerer.AnswerFile(QString::fromStdString(first));
  Click(CDlgSysManageConfig::IDC_BTN_EXPORT);
  ASSERT_TRUE(WaitFor([&] { return !g_pDlgMain->IsExportPending(); }));
  EXPECT_EQ(ReadAll(first + ".xml"), original);

  // An edit saved to the NVR, then the exported file imported again.
  CopyFieldText(g_UserCfg.users[0].username, "renamed");
  ClickMain(IDOK);
  ASSERT_TRUE(WaitFor([&] { return NvrWholeConfig(nvr->Port()) != original; }));
  nvr->Command("clear");
  answerer.AnswerFile(QString::fromStdString(first + ".xml"));
  Click(CDlgSysManageConfig::IDC_BTN_IMPORT);
  EXPECT_TRUE(nvr->Take("SET 0").rfind("SET 0 ", 0) == 0);
  ASSERT_TRUE(WaitFor([&] { return NvrWholeConfig(nvr->Port()) == original; }));

  const std::string second = folder.File("again.xml");
  answerer.AnswerFile(QString::fromStdString(second));
  Click(CDlgSysManageConfig::IDC_BTN_EXPORT);
  ASSERT_TRUE(WaitFor([&] { return !g_pDlgMain->IsExportPending(); }));
  EXPECT_EQ(ReadAll(second), original) << "no second .xml, and the same bytes";
  EXPECT_EQ(answerer.Messages().size(), 1) << "only the save's message";
}

TEST_F(MainWindow, AnExportWritesTheFileInsteadOfRefillingThePages) {
  ShowLoaded();
  CopyFieldText(g_UserCfg.users[0].username, "sentinel");
  answerer.AnswerFile(QString::fromStdString(folder.File("out.xml")));
  Click(CDlgSysManageConfig::IDC_BTN_EXPORT);
  ASSERT_TRUE(WaitFor([&] { return !g_pDlgMain->IsExportPending(); }));
  QTest::qWait(100);
  EXPECT_EQ(FieldText(g_UserCfg.users[0].username), "sentinel");
  EXPECT_FALSE(ReadAll(folder.File("out.xml")).empty());
  nvr->Command("push config");  // the next whole configuration refills them
  EXPECT_TRUE(WaitFor([&] { return FieldText(g_UserCfg.users[0].username) != "sentinel"; }));
}

TEST_F(MainWindow, AnExportThatCouldNotBeAskedForLeavesNothingPending) {
  ShowLoaded();
  ASSERT_TRUE(Disconnect());
  answerer.AnswerFile(QString::fromStdString(folder.File("never.xml")));
  Click(CDlgSysManageConfig::IDC_BTN_EXPORT);
  EXPECT_FALSE(g_pDlgMain->IsExportPending());
  EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("导出配置失败!")});

  // Connected again, the next whole configuration goes to the pages, not to the file.
  ASSERT_TRUE(Reconnect());
  CopyFieldText(g_UserCfg.users[0].username, "sentinel");
  nvr->Command("push config");
  EXPECT_TRUE(WaitFor([&] { return FieldText(g_UserCfg.users[0].username) != "sentinel"; }));
  EXPECT_FALSE(std::filesystem::exists(folder.File("never.xml")));
}

TEST_F(MainWindow, AnExportTheNvrRefusesSaysSoAndLeavesNothingPending) {
  ShowLoaded();
  nvr->Command("mode status 1");
  answerer.AnswerFile(QString::fromStdString(folder.File("refused.xml")));
  Click(CDlgSysManageConfig::IDC_BTN_EXPORT);
  ASSERT_TRUE(WaitFor([&] { return !g_pDlgMain->IsExportPending(); }));
  EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("导出配置失败!")});
  EXPECT_FALSE(std::filesystem::exists(folder.File("refused.xml")));
}

TEST_F(MainWindow, ImportRefusesFilesThatAreNoConfigurationOrTooLarge) {
  ShowLoaded();
  std::ofstream(folder.File("other.xml")) << "<config />";
  std::ofstream(folder.File("big.xml")) << "<nvr><common name=\"" << std::string(1100000, 'x') << "\" /></nvr>";
  nvr->Command("clear");
  answerer.AnswerFile(QString::fromStdString(folder.File("other.xml")));
  Click(CDlgSysManageConfig::IDC_BTN_IMPORT);
  answerer.AnswerFile(QString::fromStdString(folder.File("big.xml")));
  Click(CDlgSysManageConfig::IDC_BTN_IMPORT);
  answerer.AnswerFile(QString());  // cancelled
  Click(CDlgSysManageConfig::IDC_BTN_IMPORT);
  EXPECT_EQ(answerer.Messages(),
            (QStringList{QStringLiteral("加载配置文件失败!"), QStringLiteral("配置文件过大，无法导入!")}));
  QTest::qWait(200);
  EXPECT_EQ(nvr->Count("SET"), 0);
  EXPECT_EQ(nvr->Count("MALFORMED"), 0);
}

TEST_F(MainWindow, RestoreDefaultsOnlyAfterYes) {
  ShowLoaded();
  answerer.AnswerMessage(QMessageBox::No);
  Click(CDlgSysManageConfig::IDC_BTN_RESTORE);
  answerer.AnswerMessage(QMessageBox::Yes);
  Click(CDlgSysManageConfig::IDC_BTN_RESTORE);
  EXPECT_EQ(answerer.Messages(),
            (QStringList{QStringLiteral("确认要恢复到默认配置?"), QStringLiteral("确认要恢复到默认配置?")}));
  EXPECT_EQ(nvr->Take("RESTORE"), "RESTORE");
  QTest::qWait(200);
  EXPECT_EQ(nvr->Count("RESTORE"), 0) << "No sent nothing";
}

TEST_F(MainWindow, RefreshAsksForTheStreamRatesAgain) {
  ShowLoaded();
  nvr->Command("clear");
  Sys().GetRateList()->clear();
  Click(CDlgSysManageConfig::IDC_BTN_REFRESH_RATE);
  EXPECT_EQ(nvr->Take("CTRL"), "CTRL 4098");
  EXPECT_TRUE(WaitFor([&] { return Sys().GetRateList()->topLevelItemCount() == 16; }));
}

TEST_F(MainWindow, RepliesLeftInTheQueueAtACloseAreNotHandled) {
  // Shown, then the replies arrive while the window's thread is busy elsewhere.
  ASSERT_TRUE(ShowEmbedded(nvr->Port()));
  ASSERT_EQ(nvr->Take("CTRL 4100"), "CTRL 4100");
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // the replies are posted, not yet handled
  CopyFieldText(g_UserCfg.users[0].username, "sentinel");
  g_pDlgMain->OnClose();
  QTest::qWait(200);
  EXPECT_EQ(FieldText(g_UserCfg.users[0].username), "sentinel");
  EXPECT_EQ(Sys().GetRateList()->topLevelItemCount(), 0);
  EXPECT_EQ(g_pDlgMain->GetLink(), nullptr);

  // Shown again and left open: the replies of its new link are handled.
  ASSERT_TRUE(ShowEmbedded(nvr->Port()));
  EXPECT_TRUE(WaitFor([] { return FieldText(g_UserCfg.users[0].username) != "sentinel"; }));
}

TEST_F(MainWindow, ClosingWhileTheNvrIsAnsweringNeverHangsOrCrashes) {
  nvr->Command("mode split 97 2");  // every reply dribbles in over many reads
  for (int round = 0; round < 25; ++round) {
    ASSERT_TRUE(ShowEmbedded(nvr->Port()));
    QTest::qWait(round % 5);
    if (round % 3 == 0) {
      g_pDlgMain->OnClose();
      ASSERT_TRUE(ShowEmbedded(nvr->Port()));
    }
    ASSERT_EQ(HL_HideConfigByVemo(), 1);
    EXPECT_EQ(g_pDlgMain, nullptr);
  }
  nvr->Command("mode normal");
  ASSERT_TRUE(ShowEmbedded(nvr->Port()));
  EXPECT_TRUE(WaitFor([&] { return Sys().GetRateList()->topLevelItemCount() == 16; }));
}

TEST_F(MainWindow, EveryShowTakesTheAddressGivenThen) {
  FakeNvrProcess other;
  ASSERT_TRUE(other.Ready());
  ShowLoaded();
  ASSERT_TRUE(ShowEmbedded(other.Port()));
  EXPECT_EQ(other.Take("GET"), "GET 0") << "the second NVR is asked";
  EXPECT_EQ(g_pDlgMain->GetLink()->Port(), other.Port());
  EXPECT_EQ(g_pDlgMain->GetPort(), other.Port());
  EXPECT_EQ(g_nNvrPort, other.Port());
}

TEST_F(MainWindow, AHostThatDestroysItsWidgetFirstLeavesNothingBehind) {
  auto* parent = new QWidget(&host);
  const std::string address = "127.0.0.1";
  ASSERT_EQ(HL_ShowConfigByVemo(user, const_cast<char*>(address.c_str()), static_cast<unsigned short>(nvr->Port()),
                                parent),
            1);
  delete parent;  // with Harlen's window in it
  EXPECT_EQ(g_pDlgMain, nullptr);
  EXPECT_EQ(HL_HideConfigByVemo(), 1);
  EXPECT_EQ(HL_Release(), 1);
}
