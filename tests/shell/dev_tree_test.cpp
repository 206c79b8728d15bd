#include "shell/dev_tree.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/wait_for.h"
#include "common/temp_folder.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "tests/shell/dev_records.h"
#include "core/user_settings.h"
#include "fake_device_process.h"
#include "live/streams/gimbro_events.h"
#include "live/streams/rtsp_events.h"
#include "maker/gimbro/gimbro.h"
#include "maker/streva/streva_ctrl.h"
#include "platform/paths.h"
#include "shell/live_controls.h"
#include "shell/view_state.h"

namespace {


QString Texts(const QTreeWidgetItem* item) {
  QString out = item->text(0) + "/" + QString::number(CDevTree::ItemImage(item));
  if (item->childCount() == 0) return out;
  out += "[";
  for (int i = 0; i < item->childCount(); ++i) out += (i ? " " : "") + Texts(item->child(i));
  return out + "]";
}


// Records the status events of the messaging control.
class StatusSink : public CGimbroEventSink {
 public:
  std::vector<std::pair<LONG, LONG>> statuses;  // GimbroId, code
  LONG DevStatusResponse(LONG id, LONG code, const char*) override {
    statuses.emplace_back(id, code);
    return 0;
  }
  LONG PTZResponse(LONG, LONG, const char*) override { return 0; }
  LONG AUXResponse(LONG, LONG, const char*) override { return 0; }
  LONG AlarmRecv(LONG, const GimbroAlarmRecord*) override { return 0; }
  LONG MediaDataRecv(LONG, const BYTE*, LONG, const BYTE*, LONG) override { return 0; }
  LONG MediaParamRecv(LONG, const char*, LONG) override { return 0; }
  LONG ReplayStatus(LONG, LONG, LONG) override { return 0; }
  bool Has(LONG id, LONG code) const {
    for (const auto& s : statuses)
      if (s.first == id && s.second == code) return true;
    return false;
  }
};

class DevTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_lstDevInfo.clear();
    g_lstDevGroupInfo.clear();
    g_nCurModule = 0;
    g_nCfgPage = 0;
    g_bShowChannels = 1;
  }
  void TearDown() override {
    // What the main window's close sequence does with the start-up objects.
    for (DevInfo& dev : g_lstDevInfo) {
      for (CRtspEvents* stream : {dev.pRtspEvent1, dev.pRtspEvent2}) {
        if (g_pStrevaCtrl != nullptr && stream != nullptr) g_pStrevaCtrl->Unadvise(stream);
        delete stream;
      }
    }
    if (g_pGimbroCtrl != nullptr) g_pGimbroCtrl->Release();
    delete g_pGimbroEvents;
    delete g_pGimbroCtrl;
    delete g_pStrevaCtrl;
    g_pGimbroEvents = nullptr;
    g_pGimbroCtrl = nullptr;
    g_pStrevaCtrl = nullptr;
    g_lstDevInfo.clear();
    g_lstDevGroupInfo.clear();
  }
};

}  // namespace

TEST_F(DevTreeTest, GroupTreeShowsGroupsNvrChannelsAndStateImages) {
  g_lstDevGroupInfo = {Group("Hall"), Group("Empty")};
  g_lstDevInfo = {Dev("C1", "Gate", 1, "Hall", 1), Dev("N1", "N1", 4, "Hall", 1, 0),
                  Dev("N1", "Channel1", 4, "Hall", 1, 1), Dev("N1", "Channel2", 4, "Hall", 0, 2)};
  QTreeWidget tree;
  CDevTree* devTree = CDevTree::GetInstance();
  EXPECT_EQ(devTree, CDevTree::GetInstance());
  devTree->InitDevTree(&tree, FALSE);
  ASSERT_EQ(tree.topLevelItemCount(), 1);
  QTreeWidgetItem* root = tree.topLevelItem(0);
  EXPECT_EQ(Texts(root), "Device List/0[Hall/1[Gate/3 N1/0[Channel1/3 Channel2/2]] Empty/1]");
  EXPECT_TRUE(root->child(0)->isExpanded());
  // Item data points to the list elements; an empty group is not taken for a device.
  QTreeWidgetItem* gate = root->child(0)->child(0);
  QTreeWidgetItem* channel1 = root->child(0)->child(1)->child(0);
  EXPECT_EQ(CDevTree::ItemData(gate), &g_lstDevInfo.front());
  EXPECT_EQ(CDevTree::ItemData(root->child(1)), &g_lstDevGroupInfo.back());
  EXPECT_EQ(CDevTree::ItemData(root), nullptr);
  EXPECT_FALSE(gate->icon(0).isNull());

  // The state changes: re-imaging follows the records, the NVR's own item stays a box.
  DevInfo& gateDev = g_lstDevInfo.front();
  gateDev.bWatched = 1;
  gateDev.bRecording = 1;
  std::next(g_lstDevInfo.begin(), 2)->bRecording = 1;
  devTree->UpdateDevIcons(&tree);
  EXPECT_EQ(CDevTree::ItemImage(gate), 10);
  EXPECT_EQ(CDevTree::ItemImage(channel1), 6);
  EXPECT_EQ(CDevTree::ItemImage(root->child(1)), 1);

  devTree->SetAlarmImage(&tree, "Channel1", TRUE);
  EXPECT_EQ(CDevTree::ItemImage(channel1), 11);
  EXPECT_EQ(CDevTree::ItemImage(gate), 10);
  devTree->SetAlarmImage(&tree, "Channel1", FALSE);
  EXPECT_EQ(CDevTree::ItemImage(channel1), 6);

  devTree->InitOnlineDevTree(&tree, FALSE);
  EXPECT_EQ(Texts(tree.topLevelItem(0)),
            "Device List/0[Online(2)/1[Gate/10 N1/0[Channel1/3 Channel2/2]] Offline(0)/1]");
  devTree->InitDevTree(nullptr, FALSE);  // a null tree does nothing
}

TEST_F(DevTreeTest, UpdateDevItemRebuildsOneDeviceInPlace) {
  g_lstDevGroupInfo = {Group("Hall")};
  g_lstDevInfo = {Dev("N1", "N1", 4, "Hall", 1, 0), Dev("N1", "Channel1", 4, "Hall", 1, 1),
                  Dev("C1", "Gate", 1, "Hall", 1)};
  QTreeWidget tree;
  CDevTree* devTree = CDevTree::GetInstance();
  devTree->InitDevTree(&tree, FALSE);
  // The editor adds a channel ahead of the NVR's own record and one behind it.
  g_lstDevInfo.push_front(Dev("N1", "Channel0", 4, "Hall", 0, 3));
  g_lstDevInfo.push_back(Dev("N1", "Channel2", 4, "Hall", 0, 2));
  EXPECT_EQ(devTree->UpdateDevItem(&tree, "N1"), 0);
  QTreeWidgetItem* root = tree.topLevelItem(0);
  EXPECT_EQ(Texts(root), "Device List/0[Hall/1[N1/0[Channel0/2 Channel1/3 Channel2/2] Gate/3]]");
  EXPECT_EQ(CDevTree::ItemData(root->child(0)->child(0)), &*std::next(g_lstDevInfo.begin()));
  EXPECT_EQ(devTree->UpdateDevItem(&tree, "Unknown"), 0);
  EXPECT_EQ(Texts(root), "Device List/0[Hall/1[N1/0[Channel0/2 Channel1/3 Channel2/2] Gate/3]]");
}

TEST_F(DevTreeTest, MapTreeFindsMapsByName) {
  QTreeWidget tree;
  CDevTree* devTree = CDevTree::GetInstance();
  devTree->InitMapTree(&tree, {{"City", ""}, {"Floor1", "City"}});
  EXPECT_EQ(Texts(tree.topLevelItem(0)), "Map List/0[City/0[Floor1/0]]");
  EXPECT_EQ(devTree->FindMapItem(&tree, "Floor1")->text(0), "Floor1");
  EXPECT_EQ(devTree->FindMapItem(&tree, "Nowhere"), tree.topLevelItem(0));
}

TEST_F(DevTreeTest, FindItemWalksOnFromTheSelection) {
  g_lstDevGroupInfo = {Group("Hall")};
  g_lstDevInfo = {Dev("C1", "Gate East", 1, "Hall"), Dev("C2", "Yard", 1, "Hall"), Dev("C3", "Gate West", 1, "Hall")};
  QTreeWidget tree;
  CDevTree* devTree = CDevTree::GetInstance();
  devTree->InitDevTree(&tree, FALSE);
  ASSERT_EQ(devTree->FindItem(&tree, "Gate"), 0);
  EXPECT_EQ(tree.currentItem()->text(0), "Gate East");
  ASSERT_EQ(devTree->FindItem(&tree, "Gate"), 0);
  EXPECT_EQ(tree.currentItem()->text(0), "Gate West");
  EXPECT_NE(devTree->FindItem(&tree, "Gate"), 0);  // no more after the last one
  EXPECT_NE(devTree->FindItem(&tree, "Lobby"), 0);

  devTree->InitChannelCheckTree(&tree);
  EXPECT_EQ(Texts(tree.topLevelItem(0)), "Device List/0[Gate East/2 Yard/2 Gate West/2]");
  EXPECT_EQ(tree.topLevelItem(0)->child(1)->checkState(0), Qt::Unchecked);
}

TEST_F(DevTreeTest, InitRegistersDevicesAndMasksPasswordsInTheLog) {
  TempFolder folder;
  paths::SetDriveRoot(folder.Path() + "drives");
  std::filesystem::create_directories(folder.File("drives/D/Vemo-Log"));
  ASSERT_EQ(OpenLogFile("D:\\Vemo-Log\\clientlog.txt"), 0);

  FakeDeviceProcess device(0, {"--password", "Hidden-pw9"});
  ASSERT_TRUE(device.Ready());
  DevInfo camera = Dev("C1", "Gate", 1, "Hall");
  CopyFixedText(camera.IPAddr, "127.0.0.1");
  camera.PtzPort = device.Port();
  CopyFixedText(camera.LoginName, "admin");
  CopyFixedText(camera.LoginPsw, "Hidden-pw9");
  // Two records of one video server (same address): one registration.
  DevInfo stream1 = Dev("D1", "Server Stream1", 0, "Hall");
  CopyFixedText(stream1.IPAddr, "127.0.0.1");
  stream1.PtzPort = 1;  // nothing listens there
  CopyFixedText(stream1.LoginPsw, "Other-pw7");
  DevInfo stream2 = stream1;
  CopyFixedText(stream2.DevName, "Server Stream2");
  g_lstDevInfo = {camera, stream1, stream2};
  g_SyncTime = {1, 60, 10};

  StatusSink sink;
  g_pGimbroCtrl = new CGimbroCtrl();
  g_pGimbroCtrl->Advise(&sink);
  EXPECT_EQ(CDevTree::GetInstance()->Init(), 0);

  const DevInfo& cam = g_lstDevInfo.front();
  EXPECT_GT(cam.GimbroId, 0);
  EXPECT_GT(std::next(g_lstDevInfo.begin())->GimbroId, 0);
  EXPECT_EQ(g_lstDevInfo.back().GimbroId, 0);  // left as loaded
  for (const DevInfo& dev : g_lstDevInfo) {
    EXPECT_NE(dev.pRtspEvent1, nullptr);
    EXPECT_NE(dev.pRtspEvent2, nullptr);
    EXPECT_NE(dev.pRtspEvent1, dev.pRtspEvent2);
    EXPECT_EQ(dev.pGimbroCtrl, g_pGimbroCtrl);
    EXPECT_EQ(dev.pGimbroEvents, g_pGimbroEvents);
  }
  EXPECT_NE(g_pGimbroEvents, nullptr);
  EXPECT_NE(g_pStrevaCtrl, nullptr);

  EXPECT_EQ(device.Take("LOGIN", 10.0), "LOGIN admin ok");
  EXPECT_TRUE(WaitFor([&] { return sink.Has(cam.GimbroId, GIMBRO_STATUS_LOGIN_OK); }));
  g_pGimbroCtrl->Unadvise(&sink);

  CloseLogFile();
  std::ifstream in(folder.File("drives/D/Vemo-Log/clientlog.txt"), std::ios::binary);
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  paths::SetDriveRoot("");
  EXPECT_NE(log.find("CDevTree::Init(): Begin initialize... ... "), std::string::npos);
  EXPECT_NE(log.find("Add a device channel, DevName=Gate, GimbroId=" + std::to_string(cam.GimbroId) +
                     ", ip=127.0.0.1, port=" + std::to_string(device.Port()) + ", name=admin, psw=******"),
            std::string::npos);
  EXPECT_NE(log.find("DevName=Server Stream1"), std::string::npos);
  EXPECT_EQ(log.find("DevName=Server Stream2"), std::string::npos);
  EXPECT_EQ(log.find("Hidden-pw9"), std::string::npos);
  EXPECT_EQ(log.find("Other-pw7"), std::string::npos);
}
