// The relay channels of the device list panel: dropped on a pane, double
// clicked, or played as a server's group from its menu; and the rule that
// asks for a relay channel's video.
#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>
#include <cstdio>

#include "core/res_msg_dlg.h"
#include "core/user_settings.h"
#include "fake_hosts.h"
#include "pelk/pelk_testing.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "relay/login/vss_info.h"
#include "relay/servers/relay_viewer.h"
#include "shell/device_list_dlg.h"
#include "shell/module_rights.h"

namespace {

using Calls = std::vector<std::string>;

RelayDevice Relay(int kind, const char* ip, const char* name, int state, int stream = 0) {
  RelayDevice dev;
  dev.nType = kind;
  std::snprintf(dev.IPAddr, sizeof dev.IPAddr, "%s", ip);
  std::snprintf(dev.MACAddr, sizeof dev.MACAddr, "02-00-00-00-00-0B");
  std::snprintf(dev.DevName, sizeof dev.DevName, "%s", name);
  dev.nState = state;
  dev.nStream = stream;
  return dev;
}

class DeviceListRelayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadLanguageLibrary("LangEn.dll");
    g_nCurModule = kModuleLive;
    g_lstVssInfo.clear();
    Vemo2Node& server = g_lstVssInfo.emplace_back();
    server.nLoginHandle = 5;
    std::snprintf(server.DevName, sizeof server.DevName, "Vemo B");
    server.bHasDeviceList = true;
    server.lstRelayDevice = {Relay(1, "10.0.0.1", "Gate", 1), Relay(1, "10.0.0.2", "Dark", 0),
                             Relay(1, "10.0.0.3", "Shown", 2)};
    PelkTestReset();
    panel = std::make_unique<CDeviceListDlg>(&host);
    ASSERT_TRUE(panel->Create(CDeviceListDlg::IDD, nullptr));
    panel->setGeometry(0, 0, 219, 600);
    panel->show();
    panel->ShowOriginalGroup();
    tree = panel->GetTree();
    tree->expandAll();
  }
  void TearDown() override {
    panel.reset();
    g_lstVssInfo.clear();
    FreeLanguageLibrary();
  }

  QTreeWidgetItem* Item(const QString& text) {
    const auto found = tree->findItems(text, Qt::MatchStartsWith | Qt::MatchRecursive);
    EXPECT_EQ(found.size(), 1) << text.toStdString();
    return found.value(0);
  }
  QPoint At(const QString& text) {
    tree->scrollToItem(Item(text));
    return tree->visualItemRect(Item(text)).center();
  }
  void DragTo(const QString& text, QPoint target) {
    QWidget* viewport = tree->viewport();
    const QPoint start = At(text);
    QTest::mousePress(viewport, Qt::LeftButton, {}, start);
    QTest::mouseMove(viewport, start + QPoint(0, 12));
    QTest::mouseMove(viewport, viewport->mapFromGlobal(target));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, viewport->mapFromGlobal(target));
  }
  QString Message() {
    return panel->GetMsgDlg()->isVisible() ? GetWindowTextW(panel->GetMsgDlg()->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))
                                           : QString();
  }
  static int Invites() { return PelkTestCounts().inviteDeviceVideo; }

  FakeDeviceListHost host;
  std::unique_ptr<CDeviceListDlg> panel;
  QTreeWidget* tree = nullptr;
};

struct PaneWindow {
  QWidget frame;
  PaneWindow() {
    frame.setGeometry(400, 100, 300, 200);
    frame.show();
  }
  QPoint Centre() const { return frame.mapToGlobal(QPoint(150, 100)); }
};

}  // namespace

TEST_F(DeviceListRelayTest, ARelayChannelDroppedOnAPaneIsAskedForThere) {
  PaneWindow pane;
  DragTo("Gate", pane.Centre());
  EXPECT_EQ(host.calls, (Calls{"SelectDropPane", "StopSelectedPane(0)", "SetExtGridRelayFlag(0)"}));
  EXPECT_EQ(Invites(), 1);
  // On an extension monitor's pane: the answer goes there.
  host.calls.clear();
  host.dropPaneGrid = 2;
  DragTo("Gate", pane.Centre());
  EXPECT_EQ(host.calls, (Calls{"SelectDropPane", "StopSelectedPane(2)", "SetExtGridRelayFlag(1)"}));
  // Shown here already: the main grid's panes that show it close it first.
  host.calls.clear();
  host.dropPaneGrid = 0;
  DragTo("Shown", pane.Centre());
  EXPECT_EQ(host.calls,
            (Calls{"SelectDropPane", "StopSelectedPane(0)", "CloseMainGridRelay(Shown)", "SetExtGridRelayFlag(0)"}));
  EXPECT_EQ(Invites(), 3);
}

TEST_F(DeviceListRelayTest, AnOfflineChannelOrNoPaneOrAnotherModuleAsksForNothing) {
  PaneWindow pane;
  DragTo("Dark", pane.Centre());
  EXPECT_EQ(Message(), "The device offline,can't do the operation!");
  EXPECT_EQ(host.calls, (Calls{"SelectDropPane", "StopSelectedPane(0)"}));  // the pane was emptied first
  panel->GetMsgDlg()->hide();
  host.calls.clear();
  host.dropPaneGrid = -1;  // no pane under the drop
  DragTo("Gate", pane.Centre());
  EXPECT_EQ(host.calls, Calls{"SelectDropPane"});
  host.calls.clear();
  host.dropPaneGrid = 0;
  g_nCurModule = kModuleRecord;
  DragTo("Gate", pane.Centre());
  panel->SetHostCode(4);
  g_nCurModule = kModuleLive;
  DragTo("Gate", pane.Centre());
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(Invites(), 0);
}

TEST_F(DeviceListRelayTest, ADoubleClickAsksForTheChannelForTheMainGrid) {
  panel->OnDblclkDevTree(At("Gate"));
  EXPECT_EQ(host.calls, Calls{"SetExtGridRelayFlag(0)"});
  EXPECT_EQ(Invites(), 1);
  panel->OnDblclkDevTree(At("Dark"));
  EXPECT_EQ(Message(), "The device offline,can't do the operation!");
  EXPECT_EQ(Invites(), 1);
}

TEST_F(DeviceListRelayTest, AServersMenuPlaysItsOnlineChannelsAfterEveryPaneStopped) {
  QTest::mousePress(tree->viewport(), Qt::RightButton, {}, At("VSS"));
  EXPECT_FALSE(panel->GetGroupMenu()->isVisible());
  QTest::mousePress(tree->viewport(), Qt::RightButton, {}, At("Gate"));
  EXPECT_FALSE(panel->GetGroupMenu()->isVisible());
  QTest::mousePress(tree->viewport(), Qt::RightButton, {}, At("Vemo B"));
  QMenu* menu = panel->GetGroupMenu();
  ASSERT_TRUE(menu->isVisible());
  menu->actions()[0]->trigger();
  menu->hide();
  EXPECT_EQ(host.calls, (Calls{"StopAllLivePanes", "SetExtGridRelayFlag(0)"}));
  EXPECT_EQ(Invites(), 2);  // Gate and Shown; Dark is offline
}

TEST_F(DeviceListRelayTest, InTheOnlineViewAServersStateGroupPlaysAndTheServerDoesNot) {
  panel->ShowOnlineGroup();
  tree->expandAll();
  QTest::mousePress(tree->viewport(), Qt::RightButton, {}, At("Vemo B"));
  EXPECT_FALSE(panel->GetGroupMenu()->isVisible());
  QTreeWidgetItem* server = Item("Vemo B");
  ASSERT_GT(server->childCount(), 0);
  QTreeWidgetItem* online = server->child(0);
  tree->scrollToItem(online);
  QTest::mousePress(tree->viewport(), Qt::RightButton, {}, tree->visualItemRect(online).center());
  EXPECT_TRUE(panel->GetGroupMenu()->isVisible()) << online->text(0).toStdString();
  panel->GetGroupMenu()->hide();
}

// A pane that shows a relay channel marks the channel's item (name, MAC and IP).
TEST_F(DeviceListRelayTest, TheChannelOfAClickedPaneIsMarked) {
  panel->SelectVssChannelItem("Shown", "02-00-00-00-00-0B", "10.0.0.3");
  ASSERT_EQ(tree->selectedItems().size(), 1);
  EXPECT_EQ(tree->selectedItems().front()->text(0), "Shown");
  panel->SelectVssChannelItem("Shown", "02-00-00-00-00-0B", "10.0.0.9");  // another address: unchanged
  EXPECT_EQ(tree->selectedItems().front()->text(0), "Shown");
  panel->SelectVssChannelItem("Gate", "02-00-00-00-00-0B", "10.0.0.1");
  EXPECT_EQ(tree->selectedItems().front()->text(0), "Gate");
}

TEST(RelayChannelInvite, ChannelAndStreamFollowTheKindAndTheMainGrid) {
  struct Case {
    int kind;
    const char* name;
    int streamWord;
    int shown;
    bool autoSwitch;
    int channel;
    int stream;
  };
  const Case cases[] = {
      {1, "Gate", 0, 9, true, 0, 0},        // a camera: channel 0, its stream word
      {1, "Gate", 0, 4, true, 0, 1},        // few panes with automatic switching: the main stream
      {1, "Gate", 0, 4, false, 0, 0},
      {1, "Gate", 0, 8, true, 0, 1},
      {1, "Gate", 0, 16, true, 0, 0},
      {0, "Dvs3", 1, 9, false, 3, 1},       // a video server channel: the last digit of its name
      {4, "Channel-12", 0, 1, true, 12, 1},  // an NVR channel: the number after the last '-'
      {4, "Nvr", 0, 9, true, 0, 0},
  };
  for (const Case& c : cases) {
    const RelayChannelInvite invite = MakeRelayChannelInvite(Relay(c.kind, "10.0.0.9", c.name, 1, c.streamWord),
                                                             c.shown, c.autoSwitch);
    EXPECT_EQ(invite.key, "02-00-00-00-00-0B:10.0.0.9");
    EXPECT_EQ(invite.channel, c.channel) << c.name;
    EXPECT_EQ(invite.stream, c.stream) << c.name << " " << c.shown;
  }
}
