// The network page and its windows against the fake NVR, and the value rules
// they apply as the user types.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <cstring>
#include <string>
#include <vector>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/ex_list_ctrl.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/text_codec.h"
#include "harlen/pages/network/dlg_contact.h"
#include "harlen/pages/network/dlg_manage_plt_set.h"
#include "harlen/pages/network/dlg_net_advanced.h"
#include "harlen/pages/network/dlg_net_config.h"
#include "harlen/pages/network/net_fields.h"
#include "pages/page_fixture.h"
#include "support/modal_driver.h"

namespace {

constexpr int kNetworkTab = 2;
using Net = CDlgNetConfig;
using NetworkPage = NvrPagesTest;

void Choose(CWnd* wnd, int id, int item) {
  auto* list = DlgItem<QComboBox>(wnd, id);
  ASSERT_NE(list, nullptr) << id;
  list->setCurrentIndex(item);
  emit list->activated(item);  // as a pick with the mouse
}

QString Text(CWnd* wnd, int id) { return DlgItem<QLineEdit>(wnd, id)->text(); }

// The edit's text deleted as with the Backspace key.
void Erase(CWnd* wnd, int id) {
  auto* edit = DlgItem<QLineEdit>(wnd, id);
  ASSERT_NE(edit, nullptr) << id;
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
}

}  // namespace

TEST(NetFields, HardwareAddressIsTakenPairByPairAsTyped) {
  struct Case {
    const char* text;
    int set;
    uint8_t mac[6];
  };
  const Case cases[] = {
      {"00-1A-2B-3C-4D-5E", 6, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
      {"00-1A-2B", 2, {0x00, 0x1A, 0xFF, 0xFF, 0xFF, 0xFF}},        // "2B" may still grow
      {"00-1A-2B-3C-4D-5", 5, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0xFF}},  // the last pair is not complete
      {"001A2B3C4D5E", 0, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},      // no dashes: nothing
      {"00-1A-2B-3C-4D-5E-6F", 0, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},  // 20 characters: too long
      {"-1A-2B", 1, {0x1A, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},  // a leading dash is part of the first token
  };
  for (const Case& c : cases) {
    uint8_t mac[6];
    std::memset(mac, 0xFF, sizeof mac);
    EXPECT_EQ(ApplyMacText(c.text, mac), c.set) << c.text;
    EXPECT_EQ(std::memcmp(mac, c.mac, sizeof mac), 0) << c.text;
  }
  const uint8_t shown[6] = {0x00, 0x12, 0x34, 0x56, 0x78, 0x9A};
  EXPECT_EQ(MacText(shown), QStringLiteral("00-12-34-56-78-9A"));
}

TEST(NetFields, TextsAreStoredOnlyWhenTheyFitAndListItemsMapToRecordValues) {
  char field[16];
  CopyFieldText(field, "old");
  EXPECT_FALSE(StoreTextIfFits(field, QString(16, QLatin1Char('x'))));
  EXPECT_EQ(FieldText(field), "old") << "a text without room for its zero keeps the old one";
  EXPECT_FALSE(StoreTextIfFits(field, QString(8, QChar(0x4E2D)))) << "eight Chinese characters are 16 GBK bytes";
  EXPECT_TRUE(StoreTextIfFits(field, QString(15, QLatin1Char('y'))));
  EXPECT_EQ(FieldText(field), std::string(15, 'y'));

  const std::pair<int, int> cards[] = {{0, -1}, {1, 0}, {6, 5}, {7, -1}};  // cardtype, item
  for (auto [value, item] : cards) {
    EXPECT_EQ(CardTypeItem(value), item) << value;
    if (item >= 0) {
      EXPECT_EQ(CardTypeValue(item), value) << value;
    }
  }
  EXPECT_EQ(DdnsTypeItem(1), 0);
  EXPECT_EQ(DdnsTypeItem(0), -1) << "an unknown provider shows no item";
}

TEST_F(NetworkPage, ShowsEditsAndSavesNetworkDdnsNtpAndEmail) {
  auto* page = PageOf<CDlgNetConfig>(kNetworkTab);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Text(page, Net::IDC_EDIT_IP), QStringLiteral("192.168.1.100"));
  EXPECT_EQ(Text(page, Net::IDC_EDIT_PORT), QStringLiteral("40001"));
  EXPECT_EQ(Text(page, Net::IDC_EDIT_MAC), QStringLiteral("00-12-34-56-78-9A"));
  EXPECT_EQ(Text(page, Net::IDC_EDIT_MULTICAST), QStringLiteral("239.255.42.42"));
  EXPECT_EQ(GetCurSel(page, Net::IDC_COMBO_CARD), 0) << "card type 1 is the first item";
  EXPECT_EQ(GetCurSel(page, Net::IDC_COMBO_DDNS_TYPE), 0) << "the cloud provider";
  EXPECT_TRUE(IsDlgButtonChecked(page, Net::IDC_CHECK_DDNS));
  EXPECT_TRUE(page->GetDlgItem(Net::IDC_EDIT_DDNS_DOMAIN)->isEnabled());
  EXPECT_EQ(Text(page, Net::IDC_EDIT_DDNS_PASSWORD), QStringLiteral("dd%s&pw"));
  EXPECT_TRUE(Text(page, Net::IDC_EDIT_DDNS_CONFIRM).isEmpty());
  EXPECT_EQ(Text(page, Net::IDC_EDIT_NTP_SERVER), QStringLiteral("pool.ntp.org"));
  EXPECT_TRUE(page->GetDlgItem(Net::IDC_EDIT_NTP_PORT)->isEnabled());
  EXPECT_EQ(GetCurSel(page, Net::IDC_COMBO_NTP_ZONE), 20) << "zone 8, UTC+8";
  EXPECT_EQ(Text(page, Net::IDC_EDIT_MAIL_SERVER), QStringLiteral("smtp.example.com"));
  EXPECT_EQ(Text(page, Net::IDC_EDIT_MAIL_CONFIRM), QStringLiteral("mail$pw"));
  EXPECT_TRUE(IsDlgButtonChecked(page, Net::IDC_CHECK_ATTACH));
  EXPECT_FALSE(IsDlgButtonChecked(page, Net::IDC_CHECK_SSL));
  EXPECT_FALSE(page->GetDlgItem(Net::IDC_BTN_ADVANCED)->isVisible());

  Choose(page, Net::IDC_COMBO_CARD, 4);
  Type(page, Net::IDC_EDIT_IP, QStringLiteral("10.1.2.3"));
  Type(page, Net::IDC_EDIT_GATEWAY, QStringLiteral("10.1.2.254"));
  Type(page, Net::IDC_EDIT_MAC, QStringLiteral("0A-0B-0C"));
  Type(page, Net::IDC_EDIT_HTTP, QStringLiteral("8080"));
  Type(page, Net::IDC_EDIT_DDNS_USER, QStringLiteral("ddns2"));
  Type(page, Net::IDC_EDIT_DDNS_PASSWORD, QStringLiteral("newpw"));
  Type(page, Net::IDC_EDIT_DDNS_CONFIRM, QStringLiteral("other"));
  EXPECT_EQ(FieldText(g_DdnsCfg.password), "dd%s&pw") << "the two passwords differ: nothing stored";
  Type(page, Net::IDC_EDIT_DDNS_CONFIRM, QStringLiteral("newpw"));
  Choose(page, Net::IDC_COMBO_NTP_ZONE, 5);  // UTC-7
  Click(page, Net::IDC_CHECK_NTP);
  for (int id : {1023, 1021, 1022, 1020, 1025, 1026}) EXPECT_FALSE(page->GetDlgItem(id)->isEnabled()) << id;
  Type(page, Net::IDC_EDIT_MAIL_PASSWORD, QStringLiteral("sixteen-chars-pw"));
  Type(page, Net::IDC_EDIT_MAIL_CONFIRM, QStringLiteral("sixteen-chars-pw"));
  EXPECT_EQ(FieldText(g_EmailCfg.password), "mail$pw") << "sixteen characters do not fit";
  Type(page, Net::IDC_EDIT_MAIL_PASSWORD, QStringLiteral("short"));
  Type(page, Net::IDC_EDIT_MAIL_CONFIRM, QStringLiteral("short"));
  Type(page, Net::IDC_EDIT_MAIL_PORT, QStringLiteral("465"));
  Click(page, Net::IDC_CHECK_SSL);

  OnNextModal<CDlgContact>([](CDlgContact* dlg) {
    CExListCtrl* list = dlg->List();
    EXPECT_EQ(list->GetItemText(0, 1), QStringLiteral("值班室"));
    list->SetItemText(1, 2, QStringLiteral("guard2@example.com"));
    Click(dlg, IDOK);
  });
  Click(page, Net::IDC_BTN_CONTACTS);
  ASSERT_TRUE(WaitFor([] { return FieldText(g_EmailCfg.recipients[1].email) == "guard2@example.com"; }));

  OnNextModal<CDlgManagePltSet>([](CDlgManagePltSet* dlg) {
    EXPECT_FALSE(dlg->GetDlgItem(CDlgManagePltSet::IDC_EDIT_VEMO_IP)->isEnabled()) << "vemo is not enabled";
    EXPECT_TRUE(dlg->GetDlgItem(CDlgManagePltSet::IDC_EDIT_IPVS_PORT)->isEnabled());
    Click(dlg, CDlgManagePltSet::IDC_CHECK_VEMO);
    EXPECT_TRUE(dlg->GetDlgItem(CDlgManagePltSet::IDC_EDIT_VEMO_IP)->isEnabled());
    Type(dlg, CDlgManagePltSet::IDC_EDIT_VEMO_IP, QStringLiteral("10.0.0.60"));
    Type(dlg, CDlgManagePltSet::IDC_EDIT_VEMO_PORT, QStringLiteral("6061"));
    Click(dlg, IDOK);
  });
  Click(page, Net::IDC_BTN_PLATFORM);
  ASSERT_TRUE(WaitFor([] { return g_ManageHostsCfg.vemo.port == 6061; }));

  // The DNS addresses are stored by OK only.
  OnNextModal<CDlgNetAdvanced>([](CDlgNetAdvanced* dlg) {
    EXPECT_EQ(Text(dlg, CDlgNetAdvanced::IDC_EDIT_DNS1), QStringLiteral("202.96.134.133"));
    Type(dlg, CDlgNetAdvanced::IDC_EDIT_DNS1, QStringLiteral("1.1.1.1"));
    Click(dlg, IDCANCEL);
  });
  CDlgNetAdvanced cancelled(page);
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(g_NetworkCfg.DNS1, StringToIp("202.96.134.133"));
  OnNextModal<CDlgNetAdvanced>([](CDlgNetAdvanced* dlg) {
    Type(dlg, CDlgNetAdvanced::IDC_EDIT_DNS2, QStringLiteral("9.9.9.9"));
    Click(dlg, IDOK);
  });
  CDlgNetAdvanced advanced(page);
  EXPECT_EQ(advanced.DoModal(), IDOK);

  Records stored;
  SaveAndReadBack(stored);
  EXPECT_EQ(stored.network->cardtype, 5);
  EXPECT_EQ(IpToString(stored.network->IP), "10.1.2.3");
  EXPECT_EQ(IpToString(stored.network->GW), "10.1.2.254");
  EXPECT_EQ(IpToString(stored.network->DNS2), "9.9.9.9");
  EXPECT_EQ(stored.network->httpport, 8080);
  const uint8_t mac[6] = {0x0A, 0x0B, 0x34, 0x56, 0x78, 0x9A};
  EXPECT_EQ(std::memcmp(stored.network->MAC, mac, sizeof mac), 0) << "only the complete pairs were taken";
  EXPECT_EQ(stored.ddns->type, 1);
  EXPECT_EQ(FieldText(stored.ddns->user), "ddns2");
  EXPECT_EQ(FieldText(stored.ddns->password), "newpw");
  EXPECT_EQ(stored.ntp->enable, 0);
  EXPECT_EQ(stored.ntp->timezone, -7);
  EXPECT_EQ(FieldText(stored.email->password), "short");
  EXPECT_EQ(stored.email->port, 465);
  EXPECT_EQ(stored.email->ssl, 1);
  EXPECT_EQ(stored.email->attach, 1);
  ASSERT_EQ(stored.email->count, 3);
  EXPECT_EQ(FieldText(stored.email->recipients[1].email), "guard2@example.com");
  EXPECT_EQ(stored.hosts->vemo.enable, 1);
  EXPECT_EQ(IpToString(stored.hosts->vemo.address), "10.0.0.60");
  EXPECT_EQ(stored.hosts->ipvs.port, 5060);
}

// A text that is no address is never stored: the page says so and shows the
// stored address again, and the network section the NVR gets still reads.
TEST_F(NetworkPage, AnAddressThatIsNoneIsRefusedAndTheSectionStillReadsBack) {
  auto* page = PageOf<CDlgNetConfig>(kNetworkTab);
  ASSERT_NE(page, nullptr);
  const struct {
    int id;
    const char* typed;
    const char* kept;
  } cases[] = {
      {Net::IDC_EDIT_IP, "192.168.1.300", "192.168.1.100"},
      {Net::IDC_EDIT_MASK, "255.255.255.", "255.255.255.0"},
      {Net::IDC_EDIT_GATEWAY, "gateway", "192.168.1.1"},
      {Net::IDC_EDIT_MULTICAST, "255.255.255.255", "239.255.42.42"},
  };
  for (const auto& c : cases) {
    answerer.Clear();
    answerer.AnswerMessage(QMessageBox::Ok);
    Type(page, c.id, QString::fromUtf8(c.typed));
    emit DlgItem<QLineEdit>(page, c.id)->editingFinished();  // as when the focus leaves
    EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("IP地址无效，请重新输入!")}) << c.typed;
    EXPECT_EQ(Text(page, c.id), QString::fromUtf8(c.kept)) << c.typed;
  }
  // An address typed on the way to a bad one is kept; a good one raises nothing.
  answerer.Clear();
  Type(page, Net::IDC_EDIT_GATEWAY, QStringLiteral("192.168.1.254"));
  emit DlgItem<QLineEdit>(page, Net::IDC_EDIT_GATEWAY)->editingFinished();
  EXPECT_TRUE(answerer.Messages().isEmpty());

  // The windows that store addresses on OK refuse them there and stay open.
  OnNextModal<CDlgNetAdvanced>([this](CDlgNetAdvanced* dlg) {
    Type(dlg, CDlgNetAdvanced::IDC_EDIT_DNS1, QStringLiteral("dns.example.com"));
    Type(dlg, CDlgNetAdvanced::IDC_EDIT_DNS2, QStringLiteral("9.9.9.9"));
    answerer.AnswerMessage(QMessageBox::Ok);
    Click(dlg, IDOK);
    EXPECT_TRUE(dlg->isVisible()) << "still open";
    Click(dlg, IDCANCEL);
  });
  CDlgNetAdvanced advanced(page);
  EXPECT_EQ(advanced.DoModal(), IDCANCEL);
  OnNextModal<CDlgManagePltSet>([this](CDlgManagePltSet* dlg) {
    Type(dlg, CDlgManagePltSet::IDC_EDIT_IPVS_IP, QStringLiteral("10.0.0.999"));
    answerer.AnswerMessage(QMessageBox::Ok);
    Click(dlg, IDOK);
    EXPECT_TRUE(dlg->isVisible()) << "still open";
    Click(dlg, IDCANCEL);
  });
  CDlgManagePltSet platform(page);
  EXPECT_EQ(platform.DoModal(), IDCANCEL);
  EXPECT_EQ(answerer.Messages().size(), 2);

  Records stored;
  SaveAndReadBack(stored);
  ASSERT_NE(stored.network, nullptr);
  EXPECT_EQ(IpToString(stored.network->IP), "192.168.1.100");
  EXPECT_EQ(IpToString(stored.network->MASK), "255.255.255.0");
  EXPECT_EQ(IpToString(stored.network->GW), "192.168.1.254");
  EXPECT_EQ(IpToString(stored.network->MULTICAST), "239.255.42.42");
  EXPECT_EQ(IpToString(stored.network->DNS1), "202.96.134.133");
  EXPECT_EQ(IpToString(stored.hosts->ipvs.address), "10.0.0.5");
}

// A port outside its range (or no number) is never stored: cut to 16 bits,
// 70000 would become 4464, and the NVR's own ports read back only up to 65534.
// The page says so and shows the stored port again.
TEST_F(NetworkPage, APortOutsideItsRangeIsRefusedOnEveryPortEdit) {
  auto* page = PageOf<CDlgNetConfig>(kNetworkTab);
  ASSERT_NE(page, nullptr);
  const struct {
    int id;
    const char* kept;
    int highest;
  } edits[] = {
      {Net::IDC_EDIT_PORT, "40001", 65534}, {Net::IDC_EDIT_HTTP, "80", 65534},
      {Net::IDC_EDIT_DDNS_PORT, "80", 65535}, {Net::IDC_EDIT_NTP_PORT, "123", 65535},
      {Net::IDC_EDIT_MAIL_PORT, "25", 65535},
  };
  for (const auto& e : edits) {
    const QString message = QStringLiteral("端口无效(1-%1)，请重新输入!").arg(e.highest);
    const QString over = QString::number(e.highest + 1);
    for (const QString& typed : {over, QStringLiteral("70000"), QStringLiteral("0"), QString()}) {
      answerer.Clear();
      answerer.AnswerMessage(QMessageBox::Ok);
      if (typed.isEmpty()) {
        Erase(page, e.id);
      } else {
        Type(page, e.id, typed);
      }
      emit DlgItem<QLineEdit>(page, e.id)->editingFinished();  // as when the focus leaves
      EXPECT_EQ(answerer.Messages(), QStringList{message}) << e.id << " " << typed.toStdString();
      EXPECT_EQ(Text(page, e.id), QString::fromUtf8(e.kept)) << e.id << " " << typed.toStdString();
    }
    // The top of the range is taken, without a word.
    answerer.Clear();
    Type(page, e.id, QString::number(e.highest));
    emit DlgItem<QLineEdit>(page, e.id)->editingFinished();
    EXPECT_TRUE(answerer.Messages().isEmpty()) << e.id;
  }
  Type(page, Net::IDC_EDIT_HTTP, QStringLiteral("1"));
  // Leaving a port that was shown, not typed, says nothing.
  answerer.Clear();
  DlgItem<QLineEdit>(page, Net::IDC_EDIT_NTP_PORT)->setText(QStringLiteral("0"));
  emit DlgItem<QLineEdit>(page, Net::IDC_EDIT_NTP_PORT)->editingFinished();
  EXPECT_TRUE(answerer.Messages().isEmpty());

  // The platform window refuses a bad port on OK and stays open.
  OnNextModal<CDlgManagePltSet>([this](CDlgManagePltSet* dlg) {
    Type(dlg, CDlgManagePltSet::IDC_EDIT_IPVS_PORT, QStringLiteral("65535"));
    answerer.Clear();
    answerer.AnswerMessage(QMessageBox::Ok);
    Click(dlg, IDOK);
    EXPECT_TRUE(dlg->isVisible()) << "still open";
    EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("端口无效(1-65534)，请重新输入!")});
    EXPECT_EQ(dlg->focusWidget(), dlg->GetDlgItem(CDlgManagePltSet::IDC_EDIT_IPVS_PORT));
    Type(dlg, CDlgManagePltSet::IDC_EDIT_IPVS_PORT, QStringLiteral("5061"));
    Click(dlg, IDOK);
  });
  CDlgManagePltSet platform(page);
  EXPECT_EQ(platform.DoModal(), IDOK);

  Records stored;
  SaveAndReadBack(stored);
  ASSERT_NE(stored.network, nullptr) << "the network section reads back";
  EXPECT_EQ(stored.network->svrport, 65534);
  EXPECT_EQ(stored.network->httpport, 1);
  EXPECT_EQ(stored.ddns->port, 65535);
  EXPECT_EQ(stored.ntp->port, 65535);
  EXPECT_EQ(stored.email->port, 65535);
  EXPECT_EQ(stored.hosts->ipvs.port, 5061);
  EXPECT_EQ(stored.hosts->vemo.port, 6060) << "the others as they were";
}
