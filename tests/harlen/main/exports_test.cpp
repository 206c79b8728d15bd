// The library's entry points: what they accept and refuse, the singletons,
// the English library, and the firmware upgrade that the host carries out.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QTreeWidget>
#include <string>
#include <thread>

#include "common/wait_for.h"
#include "fake_nvr_process.h"
#include "harlen/link/controls/tab_ctrl_ex.h"
#include "harlen/link/entry/harlen_module.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/harlen_api.h"
#include "harlen/link/main/upgrade_session.h"
#include "harlen/link/xml/field_text.h"
#include "support/modal_answerer.h"

namespace {

std::string Text(size_t length) { return std::string(length, 'h'); }

class Exports : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bHarlenInited = false;
    host.resize(900, 700);
  }
  void TearDown() override {
    HL_Release();
    g_bHarlenInited = false;
    TheUpgradeSession().SetCallback(nullptr, nullptr);
    harlenres::FreeLanguageLibrary();
  }
  int Init(std::string user, std::string address, int port, UpgradeCallback callback = nullptr,
           void* data = nullptr) {
    return HL_Init(user.data(), address.data(), static_cast<unsigned short>(port), reinterpret_cast<void*>(callback),
                   data);
  }
  int Show(std::string user, std::string address, int port, QWidget* parent) {
    return HL_ShowConfigByVemo(user.data(), address.data(), static_cast<unsigned short>(port), parent);
  }

  QWidget host;
  ModalAnswerer answerer;
};

}  // namespace

TEST_F(Exports, BeforeInitOnlyHideAndReleaseAnswer) {
  EXPECT_EQ(HL_Harlen(), 0);
  EXPECT_EQ(HL_IpChannelConfig(), 0);
  EXPECT_EQ(HL_ManualRecConfig(), 0);
  EXPECT_EQ(HL_OnUpgradeEvent(14, 0, nullptr, nullptr), 0);
  EXPECT_EQ(HL_HideConfigByVemo(), 1);
  EXPECT_EQ(HL_Release(), 1);
  EXPECT_EQ(g_pDlgMain, nullptr);
}

TEST_F(Exports, TextsMustFitTheirFields) {
  struct Case {
    size_t user, host;
    int result;
  } cases[] = {
      {5, 259, 1},
      {5, 260, 0},
      {259, 9, 1},
      {260, 9, 0},  // a user name that would not fit is refused, not cut
      {0, 9, 1},
  };
  for (const Case& c : cases) {
    std::strcpy(g_szNvrHost, "kept");
    g_bHarlenInited = false;
    EXPECT_EQ(Init(Text(c.user), Text(c.host), 40001), c.result) << c.user << " " << c.host;
    if (c.result == 1) {
      EXPECT_EQ(FieldText(g_szNvrHost), Text(c.host));
      EXPECT_EQ(FieldText(g_szLoginUser), Text(c.user));
      EXPECT_TRUE(g_bHarlenInited);
    } else {
      EXPECT_EQ(FieldText(g_szNvrHost), "kept") << "nothing stored";
      EXPECT_FALSE(g_bHarlenInited);
    }
  }
  EXPECT_EQ(HL_Init(nullptr, Text(5).data(), 1, nullptr, nullptr), 0);
  EXPECT_EQ(HL_Init(Text(5).data(), nullptr, 1, nullptr, nullptr), 0);
  // The embedded show checks the same, and needs a parent.
  EXPECT_EQ(Show(Text(260), "127.0.0.1", 1, &host), 0);
  EXPECT_EQ(Show("admin", Text(260), 1, &host), 0);
  EXPECT_EQ(Show("admin", "127.0.0.1", 1, nullptr), 0);
  EXPECT_EQ(HL_ShowConfigByVemo(nullptr, Text(9).data(), 1, &host), 0);
  EXPECT_EQ(g_pDlgMain, nullptr);
}

TEST_F(Exports, WindowsAreMadeOnceAndReusedInTheirFirstForm) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  ASSERT_EQ(Show("admin", "127.0.0.1", nvr.Port(), &host), 1);
  CDlgMain* first = g_pDlgMain;
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->IsEmbedded());
  EXPECT_EQ(HL_Harlen(), 1) << "after the embedded show, Harlen is initialised";
  EXPECT_EQ(g_pDlgMain, first) << "the same window, still embedded";
  EXPECT_FALSE(first->isWindow());
  EXPECT_EQ(nvr.Take("GET"), "GET 0");
  EXPECT_EQ(nvr.Take("GET"), "GET 0") << "each show asks for the whole configuration again";

  EXPECT_EQ(HL_IpChannelConfig(), 1);
  EXPECT_EQ(HL_ManualRecConfig(), 1);
  CDlgIpChannelConfig* ip = g_pDlgIpChannel;
  EXPECT_EQ(HL_IpChannelConfig(), 1);
  EXPECT_EQ(g_pDlgIpChannel, ip);
  EXPECT_TRUE(ip->isWindow());
  EXPECT_EQ(ip->windowTitle(), QStringLiteral("IP通道配置"));
  EXPECT_EQ(g_pDlgManualRecord->windowTitle(), QStringLiteral("手动录像"));

  EXPECT_EQ(HL_Release(), 1);
  EXPECT_EQ(g_pDlgMain, nullptr);
  EXPECT_EQ(g_pDlgIpChannel, nullptr);
  EXPECT_EQ(g_pDlgManualRecord, nullptr);
  EXPECT_TRUE(host.findChildren<CDlgMain*>().isEmpty()) << "the host's widget keeps nothing of Harlen";
}

TEST_F(Exports, AFailedConnectionIsReportedByTheWindow) {
  FakeNvrProcess nvr;
  const int port = nvr.Port();
  nvr.Stop();  // nobody listens there now
  EXPECT_EQ(Show("admin", "127.0.0.1", port, &host), 1) << "the result does not report it";
  EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("连接NVR失败")});
  EXPECT_EQ(HL_HideConfigByVemo(), 1);
  EXPECT_EQ(HL_OnUpgradeEvent(14, 0, nullptr, nullptr), 1) << "no main window any more";
}

TEST_F(Exports, EnglishIsLoadedOnceAndNamesTheTabs) {
  EXPECT_EQ(HL_LoadLanguage(static_cast<Language_Code>(0)), 0);
  EXPECT_EQ(HL_LoadLanguage(static_cast<Language_Code>(2)), 0);
  ASSERT_EQ(HL_LoadLanguage(HL_LANGUAGE_ENGLISH), 1);
  EXPECT_EQ(HL_LoadLanguage(HL_LANGUAGE_ENGLISH), 0) << "once per process";
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  ASSERT_EQ(Show("admin", "127.0.0.1", nvr.Port(), &host), 1);
  EXPECT_EQ(g_pDlgMain->GetTab()->tabText(0), QStringLiteral("Device"));
  EXPECT_EQ(g_pDlgMain->GetTab()->tabText(9), QStringLiteral("Holidays"));
  EXPECT_EQ(g_pDlgMain->SysPage().GetRateList()->headerItem()->text(1), QStringLiteral("Main Stream"));
  EXPECT_EQ(qobject_cast<QAbstractButton*>(g_pDlgMain->GetDlgItem(IDOK))->text(), QStringLiteral("OK"));
  EXPECT_EQ(qobject_cast<QAbstractButton*>(g_pDlgMain->SysPage().GetDlgItem(1083))->text(), QStringLiteral("Import"));
}

namespace {

struct UploadLog {
  std::vector<std::pair<std::string, int>> calls;
  static int Callback(const char* path, int op, void* user) {
    static_cast<UploadLog*>(user)->calls.push_back({path, op});
    return 0;
  }
};

}  // namespace

TEST_F(Exports, TheHostsUploadShowsItsProgressOnTheSystemPage) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  UploadLog upload;
  ASSERT_EQ(Init("admin", "127.0.0.1", nvr.Port(), &UploadLog::Callback, &upload), 1);
  ASSERT_EQ(HL_Harlen(), 1);
  CDlgSysManageConfig& page = g_pDlgMain->SysPage();
  QProgressBar* bar = page.GetProgress();
  EXPECT_EQ(HL_OnUpgradeEvent(54, 0, "<upgrade start=\"50\" filesize=\"200\" />", nullptr), 0) << "no upload yet";

  page.OnBnClickedUpgrade();
  EXPECT_TRUE(upload.calls.empty()) << "no firmware file chosen";
  page.GetFirmwareEdit()->setText(QStringLiteral("/tmp/固件.bin"));
  page.OnBnClickedUpgrade();
  ASSERT_EQ(upload.calls.size(), 1u);
  EXPECT_EQ(upload.calls[0], std::make_pair(std::string("/tmp/固件.bin"), 1));

  EXPECT_EQ(HL_OnUpgradeEvent(54, 0, "<upgrade start=\"50\" filesize=\"200\" />", nullptr), 1);
  EXPECT_TRUE(WaitFor([&] { return bar->value() == 25; }));
  int result = 0;
  std::thread host([&] {  // the host's upload thread, a file of 30 MB
    result = HL_OnUpgradeEvent(54, 0, "<upgrade start=\"27000000\" filesize=\"30000000\" />", nullptr);
  });
  host.join();
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(WaitFor([&] { return bar->value() == 90; })) << "no 32-bit overflow";
  EXPECT_EQ(HL_OnUpgradeEvent(14, 0, nullptr, nullptr), 1);
  EXPECT_TRUE(WaitFor([&] { return bar->value() == 100; }));
  EXPECT_EQ(HL_OnUpgradeEvent(14, 0, nullptr, nullptr), 0) << "finished twice";
  EXPECT_EQ(HL_OnUpgradeEvent(54, 0, "<upgrade start=\"10\" filesize=\"200\" />", nullptr), 0);
  QTest::qWait(50);
  EXPECT_EQ(bar->value(), 100) << "progress without an upload leaves the bar";

  page.OnBnClickedUpgrade();
  page.OnBnClickedUpgradeCancel();
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(upload.calls.back(), std::make_pair(std::string("/tmp/固件.bin"), -101));
  page.OnBnClickedUpgradeCancel();
  EXPECT_EQ(upload.calls.size(), 3u) << "nothing to cancel";

  page.OnBnClickedUpgrade();
  EXPECT_EQ(HL_OnUpgradeEvent(15, 0, nullptr, nullptr), 1);
  EXPECT_TRUE(WaitFor([&] { return answerer.Messages().size() == 1; }));
  EXPECT_EQ(answerer.Messages().front(), QStringLiteral("上传失败!"));
  EXPECT_EQ(HL_OnUpgradeEvent(77, 0, nullptr, nullptr), 1) << "other events";
}

TEST_F(Exports, WithoutAHostCallbackTheUpgradeButtonsDoNothing) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  ASSERT_EQ(Show("admin", "127.0.0.1", nvr.Port(), &host), 1);
  CDlgSysManageConfig& page = g_pDlgMain->SysPage();
  page.GetFirmwareEdit()->setText(QStringLiteral("/tmp/fw.bin"));
  page.OnBnClickedUpgrade();
  EXPECT_FALSE(TheUpgradeSession().Uploading());
  EXPECT_EQ(HL_OnUpgradeEvent(54, 0, "<upgrade start=\"50\" filesize=\"200\" />", nullptr), 0);
}
