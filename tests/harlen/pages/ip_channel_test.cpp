// The IP channel window against the fake NVR: its own link, the channel table
// shown, cameras searched through the NVR and assigned, a camera re-addressed
// (the record the NVR receives) and the table sent back.
#include <gtest/gtest.h>

#include <tinyxml.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <string>

#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/section_xml.h"
#include "harlen/link/xml/text_codec.h"
#include "harlen/pages/common/dlg_copy_to.h"
#include "harlen/pages/windows/dlg_ip_channel_config.h"
#include "pages/own_link_fixture.h"
#include "pages/page_fixture.h"
#include "support/modal_driver.h"

namespace {

using Dlg = CDlgIpChannelConfig;

// Camera "IPC0001" of the fixture, given the address 192.168.1.10 and the
// gateway 192.168.1.254, as the 88 bytes of the request.
const char kReaddressed[] =
    "49504330303031" "00000000000000000000000000"  // serial "IPC0001", 20 bytes
    "001122334455" "0000"                          // MAC 00-11-22-33-44-55, two unused bytes
    "c0a8010a"                                     // IP 192.168.1.10
    "ffffff00"                                     // mask 255.255.255.0
    "c0a801fe"                                     // gateway 192.168.1.254
    "c0a80101"                                     // DNS1 192.168.1.1
    "08080404"                                     // DNS2 8.8.4.4
    "0000" "2a02" "7017" "5000"                    // rtpoverrtsp 0, video 554, PTZ 6000, web 80
    "61646d696e" "0000000000000000000000"          // user name "admin", 16 bytes
    "3132333435" "0000000000000000000000";         // password "12345", 16 bytes              // password "12345", 16 bytes

void Choose(CWnd* wnd, int id, int item) {
  auto* list = DlgItem<QComboBox>(wnd, id);
  ASSERT_NE(list, nullptr) << id;
  list->setCurrentIndex(item);
  emit list->activated(item);  // as a pick with the mouse
}

class IpChannelWindow : public OwnLinkWindowTest {
 protected:
  // Shown, and the NVR's table shown in it.
  Dlg* Open() {
    EXPECT_EQ(HL_IpChannelConfig(), 1);
    Dlg* dlg = g_pDlgIpChannel;
    EXPECT_TRUE(WaitFor([&] { return dlg->Table().count == 16; }));
    Settle();
    return dlg;
  }
  static QTreeWidget* Channels(Dlg* dlg) { return DlgItem<QTreeWidget>(dlg, Dlg::IDC_LIST_CHANNELS); }
  static QTreeWidget* Found(Dlg* dlg) { return DlgItem<QTreeWidget>(dlg, Dlg::IDC_LIST_FOUND); }
  static bool Ticked(QTreeWidget* list, int row) { return list->topLevelItem(row)->checkState(0) == Qt::Checked; }
  static void Tick(QTreeWidget* list, int row, bool on) {
    list->topLevelItem(row)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);  // as a click on the box
    Settle();
  }
  // A double click on the row's second column, away from its check box.
  static void DoubleClick(QTreeWidget* list, int row) {
    const QPoint at = list->visualRect(list->model()->index(row, 1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    Settle();
  }
  static QString Text(Dlg* dlg, int id) { return DlgItem<QLineEdit>(dlg, id)->text(); }

  // Search pressed; true once the found list has `rows` rows.
  bool Search(Dlg* dlg, int rows) {
    Click(dlg, Dlg::IDC_BTN_SEARCH);
    return WaitFor([&] { return Found(dlg)->topLevelItemCount() == rows && !dlg->SearchSent(); });
  }

  // The IP channel table the NVR now holds.
  IpcChannelTable StoredTable() {
    IpcChannelTable table = {};
    TiXmlDocument doc;
    EXPECT_TRUE(ParseXmlText(NvrSectionText(nvr.Port(), 5), doc));
    EXPECT_EQ(CHarlenLoader().LoadConfIPCChannel(doc.RootElement(), table), 0);
    return table;
  }
};

}  // namespace

TEST_F(IpChannelWindow, FindsAssignsReaddressesAndSaves) {
  Dlg* dlg = Open();
  EXPECT_EQ(nvr.Take("GET"), "GET 5");
  QTreeWidget* channels = Channels(dlg);
  QTreeWidget* found = Found(dlg);
  ASSERT_EQ(channels->topLevelItemCount(), 16);
  EXPECT_EQ(channels->topLevelItem(0)->text(1), QStringLiteral("192.168.1.64"));
  EXPECT_EQ(channels->topLevelItem(4)->text(1), QStringLiteral("192.168.1.68"));
  for (int row = 0; row < 16; ++row) EXPECT_EQ(Ticked(channels, row), row == 0 || row == 1 || row == 4) << row;

  // The NVR's three cameras; those that ticked channels carry come ticked.
  ASSERT_TRUE(Search(dlg, 3));
  EXPECT_EQ(nvr.Take("SEARCH"), "SEARCH");
  const QStringList first = {QStringLiteral("192.168.1.66"), QStringLiteral("Rtsp"), QStringLiteral("6000"),
                             QStringLiteral("摄像机3")};
  for (int column = 0; column < 4; ++column) EXPECT_EQ(found->topLevelItem(2)->text(column), first[column]);
  EXPECT_TRUE(Ticked(found, 0));
  EXPECT_TRUE(Ticked(found, 1));
  EXPECT_FALSE(Ticked(found, 2));

  // Ticking the third assigns it to the first free channel, channel 3.
  Tick(found, 2, true);
  ASSERT_TRUE(WaitFor([&] { return channels->topLevelItem(2)->text(1) == QStringLiteral("192.168.1.66"); }));
  EXPECT_TRUE(Ticked(channels, 2));
  const IpcChannelEntry& third = dlg->Table().entries[2];
  EXPECT_EQ(third.chanid, 3u);
  EXPECT_EQ(FieldText(third.channame), "channel 3");
  EXPECT_EQ(third.used, 1u);
  EXPECT_EQ(third.port, 6000);
  EXPECT_EQ(FieldText(third.username), "admin");
  EXPECT_EQ(FieldText(third.passwd), "12345");

  // A second search asks the NVR again and repeats no row.
  ASSERT_TRUE(Search(dlg, 3));
  EXPECT_EQ(nvr.Take("SEARCH"), "SEARCH") << "the search is sent again once a result came";

  // The first camera re-addressed: the record the NVR receives.
  DoubleClick(found, 0);
  const QStringList shown = {QStringLiteral("192.168.1.64"), QStringLiteral("255.255.255.0"),
                             QStringLiteral("192.168.1.1"), QStringLiteral("192.168.1.1"), QStringLiteral("8.8.4.4")};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Text(dlg, 1004 + i), shown[i]) << i;
  EXPECT_EQ(FieldText(dlg->SelectedCamera().serial), "IPC0001");
  Type(dlg, 1004, QStringLiteral("192.168.1.10"));
  Type(dlg, 1006, QStringLiteral("192.168.1.254"));
  answerer.AnswerMessage(QMessageBox::Ok);
  Click(dlg, Dlg::IDC_BTN_MODIFY);
  EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("操作完成")});
  EXPECT_EQ(nvr.Take("IPCNET"), std::string("IPCNET ") + kReaddressed);
  // The NVR now reports the camera at its new address: a row is added for it.
  ASSERT_TRUE(Search(dlg, 4));
  EXPECT_EQ(found->topLevelItem(3)->text(0), QStringLiteral("192.168.1.10"));

  // Channel 3's settings edited, then copied to channel 4.
  SetCurSel(dlg, Dlg::IDC_COMBO_CHANNEL, 2);
  EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_IP), QStringLiteral("192.168.1.66"));
  EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_PORT), QStringLiteral("6000"));
  Type(dlg, Dlg::IDC_EDIT_PORT, QStringLiteral("8000"));
  Choose(dlg, Dlg::IDC_COMBO_MODE, 1);
  Choose(dlg, Dlg::IDC_COMBO_NETMODE, 1);
  Type(dlg, Dlg::IDC_EDIT_USER, QStringLiteral("操作员"));
  Type(dlg, Dlg::IDC_EDIT_PASSWORD, QStringLiteral("pw3"));
  OnNextModal<CDlgCopyTo>([](CDlgCopyTo* copy) {
    Click(copy, CDlgCopyTo::kBoxIds[3]);
    Click(copy, IDOK);
  });
  Click(dlg, Dlg::IDC_BTN_COPY_TO);
  EXPECT_TRUE(Ticked(channels, 3)) << "channel 4 is now usable";
  EXPECT_EQ(channels->topLevelItem(3)->text(1), QString()) << "copy-to never gives a channel a camera";

  Click(dlg, IDOK);
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(dlg->GetLink(), nullptr) << "the link goes with the window";
  ASSERT_FALSE(nvr.Take("SET 5").empty());
  const IpcChannelTable stored = StoredTable();
  const IpcChannelEntry& s3 = stored.entries[2];
  EXPECT_EQ(s3.chanid, 3u);
  EXPECT_EQ(FieldText(s3.ip), "192.168.1.66");
  EXPECT_EQ(FieldText(s3.channame), "channel 3");
  EXPECT_EQ(s3.port, 8000);
  EXPECT_EQ(s3.streammode, 1);
  EXPECT_EQ(s3.netmode, 1);
  EXPECT_EQ(FieldText(s3.username), "\xB2\xD9\xD7\xF7\xD4\xB1") << "GBK";
  EXPECT_EQ(FieldText(s3.passwd), "pw3");
  const IpcChannelEntry& s4 = stored.entries[3];
  EXPECT_EQ(s4.chanid, 4u);
  EXPECT_EQ(FieldText(s4.ip), "");
  EXPECT_EQ(s4.used, 1u);
  EXPECT_EQ(s4.port, 8000);
  EXPECT_EQ(FieldText(s4.passwd), "pw3");
  EXPECT_EQ(FieldText(stored.entries[0].ip), "192.168.1.64") << "the other channels as they were";
  EXPECT_EQ(FieldText(stored.entries[1].channame), "\xBA\xF3\xD4\xBA\x86\xB4");

  // Shown again: a new link reads the table again; the found list stays.
  nvr.Command("clear");
  dlg = Open();
  EXPECT_EQ(nvr.Take("CONNECT"), "CONNECT");
  EXPECT_EQ(Found(dlg)->topLevelItemCount(), 4);
  EXPECT_EQ(Channels(dlg)->topLevelItem(2)->text(1), QStringLiteral("192.168.1.66"));
  Click(dlg, IDCANCEL);
}

TEST_F(IpChannelWindow, AllAssignsUntilTheChannelsAreFullAndUntickingFreesAChannel) {
  ASSERT_EQ(nvr.Command("cameras 17"), "OK");
  Dlg* dlg = Open();
  ASSERT_TRUE(Search(dlg, 16)) << "the seventeenth camera is left out";
  QTreeWidget* found = Found(dlg);
  QTreeWidget* channels = Channels(dlg);
  EXPECT_EQ(found->topLevelItem(1)->text(1), QStringLiteral("Rtp"));

  // Channels 1, 2 and 5 hold cameras: thirteen are free.
  Click(dlg, Dlg::IDC_BTN_ALL);
  ASSERT_TRUE(WaitFor([&] { return channels->topLevelItem(15)->text(1) == QStringLiteral("192.168.2.13"); }));
  for (int row = 0; row < 16; ++row) EXPECT_EQ(Ticked(found, row), row < 13) << "row " << row;
  for (int channel = 0; channel < 16; ++channel) EXPECT_TRUE(Ticked(channels, channel)) << channel;
  EXPECT_EQ(channels->topLevelItem(2)->text(1), QStringLiteral("192.168.2.1"));
  EXPECT_EQ(channels->topLevelItem(4)->text(1), QStringLiteral("192.168.1.68")) << "a taken channel keeps its camera";

  // With every channel taken, a ticked camera is unticked again.
  Tick(found, 14, true);
  EXPECT_FALSE(Ticked(found, 14));

  // Unticking a camera clears the channel that carries it, its number too.
  Tick(found, 0, false);
  ASSERT_TRUE(WaitFor([&] { return channels->topLevelItem(2)->text(1).isEmpty(); }));
  EXPECT_FALSE(Ticked(channels, 2));
  const IpcChannelEntry zero = {};
  EXPECT_EQ(std::memcmp(&dlg->Table().entries[2], &zero, sizeof zero), 0);
  // The freed channel is the next camera's.
  Tick(found, 14, true);
  ASSERT_TRUE(WaitFor([&] { return channels->topLevelItem(2)->text(1) == QStringLiteral("192.168.2.15"); }));

  // Delete empties the selected channels.
  channels->clearSelection();
  channels->topLevelItem(5)->setSelected(true);
  channels->topLevelItem(6)->setSelected(true);
  Click(dlg, Dlg::IDC_BTN_DELETE);
  for (int channel : {5, 6}) {
    EXPECT_TRUE(channels->topLevelItem(channel)->text(1).isEmpty()) << channel;
    EXPECT_FALSE(Ticked(channels, channel)) << channel;
    EXPECT_EQ(std::memcmp(&dlg->Table().entries[channel], &zero, sizeof zero), 0) << channel;
  }
  Click(dlg, IDCANCEL);
}

TEST_F(IpChannelWindow, ModifySendsOnlyForAChosenCameraWithAddresses) {
  Dlg* dlg = Open();
  ASSERT_TRUE(Search(dlg, 3));
  // Before any camera is chosen "修改" does nothing.
  Click(dlg, Dlg::IDC_BTN_MODIFY);
  QTest::qWait(200);
  EXPECT_TRUE(answerer.Messages().isEmpty());
  EXPECT_EQ(nvr.Count("IPCNET"), 0);

  // A text that is no address is refused, whichever field holds it.
  DoubleClick(Found(dlg), 1);
  const struct {
    int id;
    const char* text;
  } bad[] = {{1004, "192.168.1.300"}, {1005, ""}, {1006, "gateway"}, {1008, "255.255.255.255"}};
  for (const auto& b : bad) {
    DoubleClick(Found(dlg), 1);  // every field back to the camera's
    DlgItem<QLineEdit>(dlg, b.id)->clear();
    Type(dlg, b.id, QString::fromUtf8(b.text));
    answerer.Clear();
    answerer.AnswerMessage(QMessageBox::Ok);
    Click(dlg, Dlg::IDC_BTN_MODIFY);
    EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("IP地址无效，请重新输入!")}) << b.text;
  }
  QTest::qWait(200);
  EXPECT_EQ(nvr.Count("IPCNET"), 0) << "nothing sent";

  // Valid addresses are sent, and the NVR takes them.
  DoubleClick(Found(dlg), 1);
  Type(dlg, 1008, QStringLiteral("0.0.0.0"));
  answerer.Clear();
  answerer.AnswerMessage(QMessageBox::Ok);
  Click(dlg, Dlg::IDC_BTN_MODIFY);
  EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("操作完成")});
  const std::string sent = nvr.Take("IPCNET");
  ASSERT_EQ(sent.size(), std::string("IPCNET ").size() + 2 * 88);
  EXPECT_EQ(sent.substr(7 + 2 * 44, 8), "00000000") << "DNS2 at offset 44";
  EXPECT_EQ(sent.substr(7, 14), "49504330303032") << "serial IPC0002";
  Click(dlg, IDCANCEL);
}

TEST_F(IpChannelWindow, ASearchIsSentOnceUntilItsResultComes) {
  Dlg* dlg = Open();
  ASSERT_EQ(nvr.Command("mode silent"), "OK");
  Click(dlg, Dlg::IDC_BTN_SEARCH);
  Click(dlg, Dlg::IDC_BTN_SEARCH);
  ASSERT_FALSE(nvr.Take("SEARCH").empty());
  QTest::qWait(300);
  EXPECT_EQ(nvr.Count("SEARCH"), 0) << "no second request while the first is unanswered";
  EXPECT_TRUE(dlg->SearchSent());

  // The unanswered search goes with its link: the next showing searches again.
  ASSERT_EQ(nvr.Command("mode normal"), "OK");
  Click(dlg, IDCANCEL);
  dlg = Open();
  EXPECT_FALSE(dlg->SearchSent());
  ASSERT_TRUE(Search(dlg, 3));
  EXPECT_EQ(nvr.Take("SEARCH"), "SEARCH");
  Click(dlg, Dlg::IDC_BTN_SEARCH);
  EXPECT_EQ(nvr.Take("SEARCH"), "SEARCH");
  Click(dlg, IDCANCEL);
}

// A channel's port outside 1 to 65535 is refused (70000 would be stored as
// 4464); the channel keeps its port and the edit shows it again.
TEST_F(IpChannelWindow, AChannelPortOutsideItsRangeIsRefused) {
  Dlg* dlg = Open();
  ASSERT_EQ(Text(dlg, Dlg::IDC_EDIT_PORT), QStringLiteral("554"));
  auto* edit = DlgItem<QLineEdit>(dlg, Dlg::IDC_EDIT_PORT);
  for (const char* typed : {"70000", "65536", "0"}) {
    answerer.Clear();
    answerer.AnswerMessage(QMessageBox::Ok);
    Type(dlg, Dlg::IDC_EDIT_PORT, QString::fromUtf8(typed));
    emit edit->editingFinished();  // as when the focus leaves
    EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("端口无效(1-65535)，请重新输入!")}) << typed;
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_PORT), QStringLiteral("554")) << typed;
    EXPECT_EQ(dlg->Table().entries[0].port, 554) << typed;
  }
  answerer.Clear();
  Type(dlg, Dlg::IDC_EDIT_PORT, QStringLiteral("65535"));
  emit edit->editingFinished();
  EXPECT_TRUE(answerer.Messages().isEmpty());
  EXPECT_EQ(dlg->Table().entries[0].port, 65535);
  // Another channel's port is its own.
  SetCurSel(dlg, Dlg::IDC_COMBO_CHANNEL, 1);
  EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_PORT), QStringLiteral("554"));
  Click(dlg, IDCANCEL);
}

// The NVR takes a search and never answers it: once the time-out has passed
// the next press asks again, on the same link.
TEST_F(IpChannelWindow, ASearchThatIsNeverAnsweredTimesOutAndTheNextPressAsksAgain) {
  Dlg* dlg = Open();
  ASSERT_EQ(nvr.Command("mode unanswered 4394"), "OK");
  CNVRMCInf* link = dlg->GetLink();
  Click(dlg, Dlg::IDC_BTN_SEARCH);
  ASSERT_FALSE(nvr.Take("SEARCH").empty());
  QElapsedTimer sent;
  sent.start();
  Click(dlg, Dlg::IDC_BTN_SEARCH);
  QTest::qWait(300);
  EXPECT_EQ(nvr.Count("SEARCH"), 0) << "still waiting for the first answer";

  ASSERT_TRUE(WaitFor([&] { return !dlg->SearchSent(); }, 3 * Dlg::kSearchTimeoutMs));
  EXPECT_GE(sent.elapsed(), static_cast<qint64>(Dlg::kSearchTimeoutMs) - 300) << "not given up before its time";
  EXPECT_EQ(dlg->GetLink(), link) << "the same link";
  Click(dlg, Dlg::IDC_BTN_SEARCH);
  EXPECT_EQ(nvr.Take("SEARCH"), "SEARCH") << "asked again after the time-out";
  EXPECT_TRUE(dlg->SearchSent());
  Click(dlg, IDCANCEL);
}

TEST_F(IpChannelWindow, ATableThatWasNotReadIsNotSent) {
  // The NVR takes the connection but answers nothing: OK must not send the
  // window's empty table over the NVR's channels.
  ASSERT_EQ(nvr.Command("mode silent"), "OK");
  ASSERT_EQ(HL_IpChannelConfig(), 1);
  ASSERT_FALSE(nvr.Take("GET 5").empty());
  Click(g_pDlgIpChannel, IDOK);
  QTest::qWait(300);
  EXPECT_EQ(nvr.Count("SET"), 0);

  // Without an NVR it says so; OK sends nothing and drops the link.
  nvr.Stop();
  answerer.AnswerMessage(QMessageBox::Ok);
  ASSERT_EQ(HL_IpChannelConfig(), 1);
  EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("连接NVR失败")});
  EXPECT_TRUE(g_pDlgIpChannel->isVisible()) << "shown all the same";
  Click(g_pDlgIpChannel, IDOK);
  EXPECT_EQ(g_pDlgIpChannel->GetLink(), nullptr);
}

TEST_F(IpChannelWindow, ClosingWhileTheNvrAnswersLeavesNothingBehind) {
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(HL_IpChannelConfig(), 1);
    Click(g_pDlgIpChannel, Dlg::IDC_BTN_SEARCH);
    Click(g_pDlgIpChannel, i % 2 == 0 ? IDCANCEL : IDOK);
  }
  QTest::qWait(100);  // replies of the dropped links still queued are let through and dropped
  EXPECT_EQ(g_pDlgIpChannel->GetLink(), nullptr);
  EXPECT_EQ(g_pDlgIpChannel->Found().count, 0u) << "no result of a dropped link was taken";
}
