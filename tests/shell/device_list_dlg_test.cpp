#include "shell/device_list_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <memory>

#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/res_msg_dlg.h"
#include "core/user_settings.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "shell/dev_tree.h"
#include "shell/device_list_rules.h"
#include "tests/shell/dev_records.h"
#include "tests/shell/fake_hosts.h"

namespace {

using Calls = std::vector<std::string>;

const char kZhangSan[] = "\xD5\xC5\xC8\xFD";  // GBK, initials z s

class DeviceListDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadLanguageLibrary("LangEn.dll");
    g_nCurModule = 0;
    g_nCfgPage = 0;
    g_bShowChannels = 1;
    g_nLoginType = 0;
    g_lstDevGroupInfo = {Group("Hall"), Group("Yard")};
    g_lstDevInfo = {Dev("C1", "Gate", kDevTypeIpc, "Hall", 1),      Dev("C2", "Door", kDevTypeIpc, "Hall", 0),
                    Dev("N1", "NVR1", kDevTypeNvr, "Yard", 1, 0),   Dev("N1", "Channel1", kDevTypeNvr, "Yard", 1, 1),
                    Dev("N1", "Channel2", kDevTypeNvr, "Yard", 1, 2), Dev("C3", "Back", kDevTypeIpc, "Yard", 1),
                    Dev("C4", kZhangSan, kDevTypeIpc, "Yard", 1)};
    DevInfo& gate = Record("Gate");
    CopyFixedText(gate.Resolution, "D1");
    CopyFixedText(gate.DefRes, "CIF");

    panel = std::make_unique<CDeviceListDlg>(&host);
    ASSERT_TRUE(panel->Create(CDeviceListDlg::IDD, nullptr));
    panel->setGeometry(0, 0, 219, 600);
    panel->show();
    panel->ShowOriginalGroup();
    tree = panel->GetTree();
    ASSERT_NE(tree, nullptr);
  }
  void TearDown() override {
    panel.reset();
    g_lstDevInfo.clear();
    g_lstDevGroupInfo.clear();
    g_nCurModule = 0;
    g_nLoginType = 0;
    FreeLanguageLibrary();
  }

  static DevInfo& Record(const char* name) {
    for (DevInfo& dev : g_lstDevInfo)
      if (std::string(dev.DevName) == name) return dev;
    throw std::runtime_error(name);
  }
  QTreeWidgetItem* Item(const QString& text) {
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    EXPECT_EQ(found.size(), 1) << text.toStdString();
    return found.value(0);
  }
  QPoint At(const QString& text) { return tree->visualItemRect(Item(text)).center(); }
  QWidget* Viewport() { return tree->viewport(); }
  QString Message() {
    return panel->GetMsgDlg()->isVisible() ? GetWindowTextW(panel->GetMsgDlg()->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))
                                           : QString();
  }
  QString Marked() {
    const auto selected = tree->selectedItems();
    return selected.size() == 1 ? selected.front()->text(0) : QString("(%1)").arg(selected.size());
  }

  // Presses on an item, drags it and lets go over the point `target` (global).
  void DragTo(const QString& text, QPoint target) {
    const QPoint start = At(text);
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(Viewport(), start + QPoint(0, 12));
    QTest::mouseMove(Viewport(), Viewport()->mapFromGlobal(target));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, Viewport()->mapFromGlobal(target));
  }

  FakeDeviceListHost host;
  std::unique_ptr<CDeviceListDlg> panel;
  QTreeWidget* tree = nullptr;
};

// A live grid's pane stand-in: a window beside the panel with a child that shows the video.
struct VideoWindow {
  QWidget frame;
  QWidget* pane = new QWidget(&frame);
  VideoWindow() {
    frame.setGeometry(400, 100, 300, 200);
    pane->setGeometry(20, 20, 160, 120);
    frame.show();
  }
  QPoint Centre() const { return pane->mapToGlobal(QPoint(80, 60)); }
};

TEST_F(DeviceListDlgTest, TreeOfTheOriginalGroups) {
  EXPECT_EQ(panel->GetGroupMode(), CDeviceListDlg::kModeOriginal);
  EXPECT_EQ(Item("Gate")->parent(), Item("Hall"));
  EXPECT_EQ(Item("Channel2")->parent(), Item("N1"));
}

TEST_F(DeviceListDlgTest, DecodersOnlyInTheTvWallManagersPanel) {
  g_lstDevInfo.push_back(Dev("D1", "Decoder", kDevTypeDecoder, "Hall", 1));
  panel->RefreshDevTree();
  EXPECT_TRUE(tree->findItems("Decoder", Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
  panel->SetHostCode(kHostTvWall);
  panel->ShowOnlineGroup();
  EXPECT_EQ(tree->findItems("Decoder", Qt::MatchExactly | Qt::MatchRecursive).size(), 1);
  panel->ShowOriginalGroup();
  EXPECT_EQ(Item("Decoder")->parent(), Item("Hall"));
}

TEST_F(DeviceListDlgTest, DragAndDropOnAPaneReachesTheMainWindowWithDeviceAndWindow) {
  VideoWindow video;
  DragTo("Gate", video.Centre());
  EXPECT_EQ(host.calls, Calls{"DropDevOnVideoWnd(Gate)"});
  EXPECT_EQ(host.dropWnd, video.pane);
  EXPECT_STREQ(Record("Gate").Resolution, "CIF");  // a camera opens with its default resolution
  EXPECT_EQ(tree->selectedItems().size(), 0);      // the mark is gone after the drop

  // A channel of an NVR, dropped on the frame around the pane.
  host.calls.clear();
  DragTo("Channel2", video.frame.mapToGlobal(QPoint(5, 5)));
  EXPECT_EQ(host.calls, Calls{"DropDevOnVideoWnd(Channel2)"});
  EXPECT_EQ(host.dropWnd, &video.frame);
}

TEST_F(DeviceListDlgTest, OnlyChannelsAndCamerasCanBeDragged) {
  VideoWindow video;
  for (const char* text : {"Hall", "N1", "Device List"}) {
    DragTo(text, video.Centre());
    for (const std::string& call : host.calls) EXPECT_EQ(call.rfind("Drop", 0), std::string::npos) << text;
    host.calls.clear();
  }
}

TEST_F(DeviceListDlgTest, DropRefusalsShowTheirTextAndDropNothing) {
  VideoWindow video;
  DragTo("Door", video.Centre());  // offline
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(Message(), "The device offline,can't do the operation!");

  panel->GetMsgDlg()->hide();
  g_nLoginType = 1;  // cloud login: the camera has no login name or password
  DragTo("Gate", video.Centre());
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(Message(), "Please add the device manager for the device login user name and password");
}

TEST_F(DeviceListDlgTest, DropOutsideEveryWindowOrInTheSchemeViewDoesNothing) {
  DragTo("Gate", QPoint(3000, 3000));  // no window there
  EXPECT_TRUE(host.calls.empty());

  // The tree turns to the record schemes while the item is dragged.
  VideoWindow video;
  const QPoint start = At("Back");
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, start);
  QTest::mouseMove(Viewport(), start + QPoint(0, 12));
  panel->ShowRecSchemeTree();
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, Viewport()->mapFromGlobal(video.Centre()));
  EXPECT_TRUE(host.calls.empty());

  // The drag is over: the next press and release is a click.
  panel->RefreshDevTree();
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At("Back"));
  EXPECT_EQ(host.calls, (Calls{"OnDevSelected(Back)", "ShowDevInfo(-)"}));
}

TEST_F(DeviceListDlgTest, EscapeAndEnterLeaveThePanelOpen) {
  QTest::keyClick(panel.get(), Qt::Key_Escape);
  QTest::keyClick(panel.get(), Qt::Key_Return);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(DeviceListDlgTest, DropGoesToTheTvWallOrTheMapByModuleAndHost) {
  VideoWindow video;
  const QPoint target = video.Centre();
  const std::string at = std::to_string(target.x()) + "," + std::to_string(target.y());
  g_nCurModule = 4;
  DragTo("Gate", target);
  g_nCurModule = 5;
  DragTo("Back", target);
  g_nCurModule = 1;  // record query: the main window's panel drops nothing
  DragTo("Back", target);
  panel->SetHostCode(kHostMap);
  DragTo("Channel1", target);
  EXPECT_EQ(host.calls, (Calls{"DropChannelOnTVWall(" + at + ",Gate)", "DropDevOnMap(" + at + ",Back)",
                              "DropDevOnMap(" + at + ",Channel1)"}));
}

TEST_F(DeviceListDlgTest, DoubleClickOpensTheChannelInAFreePane) {
  QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, At("Channel1"));
  EXPECT_EQ(host.calls, Calls{"OpenDevInFreeWnd(Channel1)"});
  EXPECT_EQ(Marked(), "Channel1");

  host.calls.clear();
  QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, At("N1"));  // the NVR's own item opens nothing
  QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, At("Door"));
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(Message(), "The device offline,can't do the operation!");

  g_nCurModule = 1;  // only in live video
  QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, At("Gate"));
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(DeviceListDlgTest, ClicksAreHandedToTheMainWindowByItemKind) {
  const std::pair<const char*, Calls> cases[] = {
      {"Hall", {"ShowDevInfo(Hall)", "OnDevSelected(-)"}},
      {"N1", {"OnDevSelected(NVR1)", "ShowDevInfo(-)"}},
      {"Gate", {"OnDevSelected(Gate)", "ShowDevInfo(-)"}},
      {"Channel1", {}},  // a channel outside the record query
      {"Device List", {"OnDevSelected(-)", "ShowDevInfo(-)"}},
  };
  for (const auto& [text, calls] : cases) {
    host.calls.clear();
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At(text));
    EXPECT_EQ(host.calls, calls) << text;
    EXPECT_EQ(Marked(), text);
  }

  host.calls.clear();
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, QPoint(100, Viewport()->height() - 5));  // below the items
  EXPECT_EQ(host.calls, (Calls{"ShowDevInfo(-)", "OnDevSelected(-)"}));

  host.calls.clear();
  g_nCurModule = 1;
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At("Channel1"));
  g_nCurModule = 0;
  host.recordSearchOnExtScreen = true;
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At("Channel2"));
  EXPECT_EQ(host.calls, (Calls{"SetSearchDevInfo(Channel1)", "SetSearchDevInfo(Channel2)"}));
}

TEST_F(DeviceListDlgTest, RightClickOnAGroupPlaysItsChannelsAcrossTheGrids) {
  host.gridPanes = {2, 4};  // main grid of two panes, one extension grid
  QTest::mousePress(Viewport(), Qt::RightButton, {}, At("Yard"));
  QMenu* menu = panel->GetGroupMenu();
  ASSERT_TRUE(menu->isVisible());
  ASSERT_EQ(menu->actions().size(), 1);
  EXPECT_EQ(menu->actions()[0]->text(), "Auto play the group's device");
  EXPECT_EQ(menu->actions()[0]->data().toInt(), CDeviceListDlg::ID_AUTO_PLAY_GROUP);
  menu->actions()[0]->trigger();
  menu->hide();
  EXPECT_EQ(host.calls, (Calls{"AddWatch(0,0,Channel1)", "AddWatch(0,1,Channel2)", "AddWatch(1,0,Back)",
                              std::string("AddWatch(1,1,") + kZhangSan + ")"}));
}

TEST_F(DeviceListDlgTest, RightClickOpensNoMenuOnLeavesOrOutsideLiveVideo) {
  QTest::mousePress(Viewport(), Qt::RightButton, {}, At("Gate"));
  EXPECT_FALSE(panel->GetGroupMenu()->isVisible());
  QTest::mousePress(Viewport(), Qt::RightButton, {}, At("N1"));  // a device, not a group
  EXPECT_FALSE(panel->GetGroupMenu()->isVisible());
  g_nCurModule = 2;
  QTest::mousePress(Viewport(), Qt::RightButton, {}, At("Hall"));
  EXPECT_FALSE(panel->GetGroupMenu()->isVisible());
}

TEST_F(DeviceListDlgTest, GroupPlayAfterTheTreeWasRebuiltDoesNothing) {
  QTest::mousePress(Viewport(), Qt::RightButton, {}, At("Hall"));
  panel->GetGroupMenu()->hide();
  panel->ShowOnlineGroup();  // the remembered item is gone with the old tree
  panel->OnAutoPlayGroup();
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(DeviceListDlgTest, SearchBoxFindsByTextAndPinyinInitials) {
  auto* edit = qobject_cast<QLineEdit*>(panel->GetDlgItem(CDeviceListDlg::IDC_EDIT_FIND));
  ASSERT_NE(edit, nullptr);
  edit->setText("chan");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(Marked(), "Channel1");
  QTest::keyClick(edit, Qt::Key_Return);  // the next one
  EXPECT_EQ(Marked(), "Channel2");

  edit->setText("zs");
  static_cast<QAbstractButton*>(panel->GetDlgItem(CDeviceListDlg::IDC_BTN_FIND))->click();
  EXPECT_EQ(Marked(), codepage::ToQString(kZhangSan));
  EXPECT_FALSE(panel->GetMsgDlg()->isVisible());

  edit->setText("Lobby");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(Message(), "Search result is null!");
  EXPECT_TRUE(panel->isVisible());  // Enter does not close the panel
}

TEST_F(DeviceListDlgTest, ViewButtonsSwitchTheGrouping) {
  static_cast<QAbstractButton*>(panel->GetDlgItem(CDeviceListDlg::IDC_BTN_ONLINE))->click();
  EXPECT_EQ(panel->GetGroupMode(), CDeviceListDlg::kModeOnline);
  EXPECT_TRUE(tree->topLevelItem(0)->child(0)->text(0).startsWith("Online"));
  static_cast<QAbstractButton*>(panel->GetDlgItem(CDeviceListDlg::IDC_BTN_ORIGINAL))->click();
  EXPECT_EQ(panel->GetGroupMode(), CDeviceListDlg::kModeOriginal);
  EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), "Hall");
}

TEST_F(DeviceListDlgTest, MapListOpensTheFirstMapWhenNoneIsShownAndClicksOpenMaps) {
  host.maps = {{"Campus", ""}, {"Floor1", "Campus"}};
  static_cast<QAbstractButton*>(panel->GetDlgItem(CDeviceListDlg::IDC_BTN_MAPLIST))->click();
  EXPECT_EQ(panel->GetGroupMode(), CDeviceListDlg::kModeMapList);
  EXPECT_EQ(host.calls, Calls{"ShowMap(Campus)"});
  EXPECT_EQ(Marked(), "Campus");
  EXPECT_EQ(Item("Floor1")->parent(), Item("Campus"));

  host.calls.clear();
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At("Floor1"));
  EXPECT_EQ(host.calls, Calls{"ShowMap(Floor1)"});

  host.calls.clear();
  panel->AddMapItem("Floor2", "Campus");
  EXPECT_EQ(Item("Floor2")->parent(), Item("Campus"));
  panel->ShowMapList();  // a map is shown: it is selected, nothing is opened
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(Marked(), "Floor1");
}

TEST_F(DeviceListDlgTest, AlarmBlinksTheChannelOrInTheMapListTheMapsHoldingTheDevice) {
  panel->SetAlarmImage("Back", TRUE);
  EXPECT_EQ(CDevTree::ItemImage(Item("Back")), 11);
  panel->SetAlarmImage("Back", FALSE);
  EXPECT_EQ(CDevTree::ItemImage(Item("Back")), 3);

  host.maps = {{"Campus", ""}, {"Floor1", "Campus"}, {"Floor2", "Campus"}};
  host.deviceMaps["Back"] = {"Floor2", "Nowhere"};
  panel->ShowMapList();
  panel->SetAlarmImage("Back", TRUE);
  EXPECT_EQ(CDevTree::ItemImage(Item("Floor2")), 11);
  EXPECT_EQ(CDevTree::ItemImage(Item("Floor1")), 0);
  EXPECT_EQ(CDevTree::ItemImage(Item("Map List")), 0);  // a map that is not listed leaves the root alone
  panel->SetAlarmImage("Back", FALSE);
  EXPECT_EQ(CDevTree::ItemImage(Item("Floor2")), 0);
}

TEST_F(DeviceListDlgTest, SchemeViewHidesTheViewButtonsUntilTheTreeIsRebuilt) {
  panel->ShowRecSchemeTree();
  EXPECT_TRUE(panel->IsSchemeView());
  EXPECT_FALSE(panel->GetDlgItem(CDeviceListDlg::IDC_BTN_ORIGINAL)->isVisible());
  panel->RefreshDevTree();
  EXPECT_FALSE(panel->IsSchemeView());
  EXPECT_TRUE(panel->GetDlgItem(CDeviceListDlg::IDC_BTN_MAPLIST)->isVisible());
}

TEST_F(DeviceListDlgTest, SelectDevItemMarksTheRecordsItem) {
  panel->SelectDevItem(&Record("Channel2"));
  EXPECT_EQ(Marked(), "Channel2");
  EXPECT_EQ(tree->currentItem(), Item("Channel2"));
}

TEST_F(DeviceListDlgTest, LayoutFollowsTheSize) {
  panel->resize(219, 500);
  EXPECT_EQ(tree->geometry(), QRect(1, 24, 217, 451));
  EXPECT_EQ(panel->GetDlgItem(CDeviceListDlg::IDC_BTN_MAPLIST)->geometry(), QRect(147, 477, 73, 23));
  EXPECT_EQ(panel->GetDlgItem(CDeviceListDlg::IDC_BTN_FIND)->geometry(), QRect(197, 1, 22, 22));
}

}  // namespace
