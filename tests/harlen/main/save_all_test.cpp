// Save-all against NVRs that do not send their configuration or do not take
// it: a configuration that never arrived is reported and never sent, and OK
// reports "保存成功" only when the NVR took every section, else which sections
// it refused, which could not be saved and which were never read.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QStringList>
#include <cstring>
#include <memory>
#include <string>

#include "common/wait_for.h"
#include "fake_nvr_process.h"
#include "harlen/link/entry/harlen_module.h"
#include "harlen/link/harlen_api.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/link/xml/field_text.h"
#include "link_fixture.h"
#include "records_fixture.h"
#include "support/modal_answerer.h"

namespace {

// The windows' waits for the configuration and the acknowledgements,
// shortened only where the NVR never answers, so that they run out soon.
constexpr int kShortWaitMs = 1500;

const QString kUnread = QStringLiteral("未能从NVR读取配置!");
const QString kNothingSaved = QStringLiteral("未能从NVR读取配置，未保存任何配置!");
const QString kEverySection =
    QStringLiteral("通道配置、网络参数、DDNS、NTP、邮件、管理平台、系统参数、用户信息、常规配置、报警联动");

class SaveAllWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    host.resize(900, 700);
    host.show();
  }
  void TearDown() override {
    HL_Release();
    g_bHarlenInited = false;
    CDlgMain::SetReplyWaits(0, 0);
  }

  bool Show(const FakeNvrProcess& nvr) {
    const std::string address = "127.0.0.1";
    return HL_ShowConfigByVemo(user, const_cast<char*>(address.c_str()), static_cast<unsigned short>(nvr.Port()),
                               &host) == 1;
  }
  // Shown against a working NVR until its configuration is in the records,
  // then hidden, as the host does before it shows another NVR.
  void LoadFromAnotherNvr() {
    FakeNvrProcess other;
    ASSERT_TRUE(other.Ready());
    std::memset(&g_UserCfg, 0, sizeof g_UserCfg);
    ASSERT_TRUE(Show(other));
    ASSERT_TRUE(WaitFor([] { return g_UserCfg.count > 0; }));
    ASSERT_EQ(HL_HideConfigByVemo(), 1);
  }
  void ClickOk() {
    auto* ok = qobject_cast<QAbstractButton*>(g_pDlgMain->GetDlgItem(IDOK));
    ASSERT_NE(ok, nullptr);
    ok->click();
  }
  // Every request the window sent so far has reached the NVR: a status query
  // sent now goes out on the same connection after them.
  void Fence(FakeNvrProcess& nvr) {
    nvr.Command("clear");
    ASSERT_TRUE(WaitFor([&] { return g_pDlgMain->GetLink()->QueryStatus(NVRMC_STATUS_CODERATE) == 0; }));
    ASSERT_EQ(nvr.Take("CTRL 4098"), "CTRL 4098");
  }
  bool MessagesArrived(int count) {
    return WaitFor([&] { return answerer.Messages().size() >= count; });
  }

  char user[6] = "admin";
  QWidget host;
  ModalAnswerer answerer;
};

struct Fault {
  const char* name;
  QStringList mode;
};

void PrintTo(const Fault& fault, std::ostream* os) { *os << fault.name; }

class ConfigNeverRead : public SaveAllWindow, public ::testing::WithParamInterface<Fault> {};

}  // namespace

// The records still hold another NVR's configuration: none of it may reach this one.
TEST_P(ConfigNeverRead, IsReportedAndOkSendsNothing) {
  LoadFromAnotherNvr();
  CDlgMain::SetReplyWaits(kShortWaitMs, 0);
  FakeNvrProcess nvr(0, GetParam().mode);
  ASSERT_TRUE(nvr.Ready());
  ASSERT_TRUE(Show(nvr));
  ASSERT_TRUE(MessagesArrived(1));
  EXPECT_EQ(answerer.Messages(), QStringList{kUnread});

  ClickOk();
  ASSERT_NO_FATAL_FAILURE(Fence(nvr));
  EXPECT_EQ(nvr.Count("SET"), 0);
  EXPECT_EQ(answerer.Messages(), (QStringList{kUnread, kNothingSaved}));
}

INSTANTIATE_TEST_SUITE_P(
    Nvrs, ConfigNeverRead,
    ::testing::Values(Fault{"silent", {"--mode", "silent"}}, Fault{"refusing", {"--mode", "status", "1"}},
                      Fault{"oversize", {"--mode", "oversize"}}, Fault{"no_text_item", {"--mode", "missing", "20"}},
                      Fault{"no_section_item", {"--mode", "missing", "19"}},
                      Fault{"text_past_the_frame", {"--mode", "badlength"}},
                      Fault{"no_section_in_the_text",
                            {"--mode", "without", "channelcfg", "networkparam", "systemparam", "systemmanage",
                             "usercfg", "common", "AlarmLinkage"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveAllWindow, SectionsMissingFromTheConfigurationAreNeitherSentNorReportedSaved) {
  LoadFromAnotherNvr();
  FakeNvrProcess nvr(0, {"--mode", "without", "usercfg", "networkparam"});
  ASSERT_TRUE(nvr.Ready());
  ASSERT_TRUE(Show(nvr));
  ASSERT_TRUE(WaitFor([] { return g_pDlgMain->LoadedSections().Has(6); }));
  nvr.Command("clear");
  ClickOk();
  for (const char* section : {"6", "2", "1", "8"}) {
    const std::string set = nvr.Take("SET ");
    EXPECT_EQ(set.substr(0, set.rfind(' ')), std::string("SET ") + section);
  }
  ASSERT_TRUE(MessagesArrived(1));
  EXPECT_EQ(nvr.Count("SET "), 0);
  EXPECT_EQ(answerer.Messages(),
            QStringList{QStringLiteral("以下配置未能从NVR读取，未保存:\n网络参数、DDNS、NTP、邮件、管理平台、用户信息")});
}

TEST_F(SaveAllWindow, RefusedSectionsAreNamedAndKeepTheEdits) {
  FakeNvrProcess nvr(0, {"--mode", "refuse", "12", "17"});
  ASSERT_TRUE(nvr.Ready());
  ASSERT_TRUE(Show(nvr));
  ASSERT_TRUE(WaitFor([] { return g_pDlgMain->LoadedSections().Has(17); }));
  CopyFieldText(g_UserCfg.users[1].username, "edited");
  CopyFieldText(g_NtpCfg.server, "time.example.org");
  ClickOk();
  ASSERT_TRUE(MessagesArrived(1));
  EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("NVR拒绝了以下配置:\n网络参数、用户信息")});
  EXPECT_EQ(FieldText(g_UserCfg.users[1].username), "edited") << "the edit stays in the window";

  // The NVR takes them now: OK sends the same edits again, and only then says "保存成功".
  nvr.Command("mode normal");
  answerer.Clear();
  ClickOk();
  ASSERT_TRUE(MessagesArrived(1));
  EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("保存成功")});
  Records stored;
  ASSERT_TRUE(LoadWholeConfig(NvrWholeConfig(nvr.Port()), stored.Refs()));
  EXPECT_EQ(FieldText(stored.users->users[1].username), "edited");
  EXPECT_EQ(FieldText(stored.ntp->server), "time.example.org");
}

TEST_F(SaveAllWindow, AcknowledgementsThatNeverComeAreWaitedForABoundedTime) {
  FakeNvrProcess nvr(0, {"--mode", "unanswered", "4382"});
  ASSERT_TRUE(nvr.Ready());
  CDlgMain::SetReplyWaits(0, kShortWaitMs);
  ASSERT_TRUE(Show(nvr));
  ASSERT_TRUE(WaitFor([] { return g_pDlgMain->LoadedSections().Any(); }));
  ClickOk();
  EXPECT_FALSE(g_pDlgMain->GetDlgItem(IDOK)->isEnabled()) << "no second save while the first is awaited";
  ASSERT_TRUE(MessagesArrived(1));
  EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("以下配置未能保存到NVR:\n") + kEverySection});
  EXPECT_TRUE(g_pDlgMain->GetDlgItem(IDOK)->isEnabled());
  EXPECT_TRUE(WaitFor([&] { return nvr.Count("SET ") == 10; })) << "every section was sent";
}
