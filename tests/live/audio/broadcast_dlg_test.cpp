// The audio broadcast page: choosing devices, OK with and without a running
// broadcast, and the file it keeps.
#include <gtest/gtest.h>

#include <QRadioButton>
#include <QTreeWidget>

#include "gimbro/gimbro.h"
#include "live/audio/broadcast_dlg.h"
#include "live/audio/broadcast_run.h"
#include "tests/live/live_config_env.h"

namespace {

class BroadcastDlgTest : public LiveDialogTest {
 protected:
  void SetUp() override {
    LiveDialogTest::SetUp();
    BroadcastCalls calls;
    calls.startBroadcast = [](long, long, long, long) { return 0L; };
    calls.addDevice = [](DevInfo&) { return 0L; };
    calls.releaseDevice = [this](DevInfo& dev) { released.push_back(dev.DevName); };
    calls.stopBroadcast = [] { return 0L; };
    run = std::make_unique<CBroadcastRun>(calls);
    BroadcastPageHost host;
    host.broadcastRun = [this] { return run.get(); };
    host.broadcastStopped = [this] { ++stoppedCalls; };
    CDlgBroadcast::SetHost(host);
  }
  void TearDown() override {
    CDlgBroadcast::SetHost({});
    LiveDialogTest::TearDown();
  }

  static QTreeWidgetItem* Root(QTreeWidget* tree) { return tree->topLevelItem(0); }
  static QStringList Labels(QTreeWidget* tree) {
    QStringList labels;
    for (int i = 0; i < Root(tree)->childCount(); ++i) labels << Root(tree)->child(i)->text(0);
    return labels;
  }
  void AddWired(const char* devId, const char* name, int devType, int channel = 0) {
    AddDevice(devId, name, devType, 1, "", channel).pGimbroCtrl = &control;
  }

  CGimbroCtrl control;
  std::unique_ptr<CBroadcastRun> run;
  std::vector<std::string> released;
  int stoppedCalls = 0;
};

}  // namespace

TEST_F(BroadcastDlgTest, ChosenDevicesAreKeptOnceAndSaved) {
  AddWired("IPC1", "Gate", 1);
  AddDevice("DEC1", "Decoder", 2, 1);
  AddDevice("NVR1", "NVR", kDevTypeNvr, 1, "", 0);
  AddWired("NVR1", "Cam1", kDevTypeNvr, 1);
  AddWired("NVR1", "Cam2", kDevTypeNvr, 2);
  CDlgBroadcast page;
  ASSERT_TRUE(page.Create(CDlgBroadcast::IDD, nullptr));
  page.OnTimer(CDlgBroadcast::TIMER_LOAD);  // the first load writes the default file
  EXPECT_TRUE(qobject_cast<QRadioButton*>(page.GetDlgItem(CDlgBroadcast::IDC_AAC))->isChecked());
  EXPECT_TRUE(qobject_cast<QRadioButton*>(page.GetDlgItem(CDlgBroadcast::IDC_MONO))->isChecked());

  page.InitSourceDevTree();
  QTreeWidget* source = page.SourceTree();
  QTreeWidget* chosen = page.BroadcastTree();
  EXPECT_EQ(Root(source)->text(0), "Device List");
  EXPECT_EQ(Labels(source), (QStringList{"Gate", "NVR1-Cam1", "NVR1-Cam2"}));

  // Checking the root checks every device under it.
  Root(source)->setCheckState(0, Qt::Checked);
  EXPECT_EQ(Root(source)->child(2)->checkState(0), Qt::Checked);
  Root(source)->setCheckState(0, Qt::Unchecked);
  EXPECT_EQ(Root(source)->child(0)->checkState(0), Qt::Unchecked);

  Root(source)->child(2)->setCheckState(0, Qt::Checked);
  page.OnBnClickedAdd();
  page.OnBnClickedAdd();  // once only
  Root(source)->child(0)->setCheckState(0, Qt::Checked);
  page.OnBnClickedAdd();
  EXPECT_EQ(Labels(chosen), (QStringList{"NVR1-Cam2", "Gate"}));
  EXPECT_EQ(Labels(source).size(), 3);  // the offer stays

  Root(chosen)->child(1)->setCheckState(0, Qt::Checked);
  page.OnBnClickedRemove();
  EXPECT_EQ(Labels(chosen), (QStringList{"NVR1-Cam2"}));

  qobject_cast<QRadioButton*>(page.GetDlgItem(CDlgBroadcast::IDC_G711))->setChecked(true);
  page.OnBnClickedOk();
  EXPECT_EQ(ShownMessage(&page), "Add a successful broadcast equipment");
  EXPECT_EQ(page.GetBroadcastSettings().audio, kBroadcastG711);
  EXPECT_EQ(page.GetSampleRate(), 8000);
  EXPECT_EQ(ReadBytes(ConfigFile("BroadcastInfo.xml")),
            "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<BroadcastList audio=\"1\">\n"
            "    <DevInfo DevId=\"NVR1\" DevName=\"Cam2\" />\n</BroadcastList>\n");

  // A second page reads it back.
  CDlgBroadcast again;
  ASSERT_TRUE(again.Create(CDlgBroadcast::IDD, nullptr));
  again.LoadBroadcastInfo();
  again.InitBroadcastDevTree();
  EXPECT_EQ(Labels(again.BroadcastTree()), (QStringList{"NVR1-Cam2"}));
  EXPECT_TRUE(qobject_cast<QRadioButton*>(again.GetDlgItem(CDlgBroadcast::IDC_G711))->isChecked());
}

TEST_F(BroadcastDlgTest, OkStopsARunningBroadcastToTheOldChannels) {
  AddWired("NVR1", "Cam1", kDevTypeNvr, 1);
  AddWired("NVR1", "Cam2", kDevTypeNvr, 2);
  WriteBytes(ConfigFile("BroadcastInfo.xml"),
             "<BroadcastList audio=\"1\"><DevInfo DevId=\"NVR1\" DevName=\"Cam2\" /></BroadcastList>");
  CDlgBroadcast page;
  ASSERT_TRUE(page.Create(CDlgBroadcast::IDD, nullptr));
  page.LoadBroadcastInfo();
  page.InitBroadcastDevTree();
  ASSERT_TRUE(run->Toggle(page.GetBroadcastSettings()));

  page.OnBnClickedOk();
  EXPECT_FALSE(run->IsRunning());
  EXPECT_EQ(released, (std::vector<std::string>{"Cam2"}));  // not Cam1, which shares the DevId
  EXPECT_EQ(stoppedCalls, 1);

  // An empty list never stops anything, and still saves.
  run->Toggle(page.GetBroadcastSettings());
  CDlgBroadcast empty;
  ASSERT_TRUE(empty.Create(CDlgBroadcast::IDD, nullptr));
  empty.OnBnClickedOk();
  EXPECT_TRUE(run->IsRunning());
  EXPECT_EQ(ShownMessage(&empty), "Add a successful broadcast equipment");
  EXPECT_EQ(ReadBytes(ConfigFile("BroadcastInfo.xml")).find("<DevInfo"), std::string::npos);
}
