// The road of an alarm through the program, against real peers: an ONVIF
// camera's motion and input events and an alarm record of a device of our own
// protocol reach the alarm panel, ring their sound class, raise the linkage
// window with the camera playing, land in the day files within the worker's
// ten seconds, byte for byte, and are found by the alarm search; alarms queued
// at the exit are written by it.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDateTimeEdit>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "alarm_map_wall/alarm/alarm_list_dlg.h"
#include "alarm_map_wall/alarm/alm_act_dlg.h"
#include "alarm_map_wall/alarm/alarm_record.h"
#include "alarm_map_wall/alarm/search/search_alarm_dlg.h"
#include "common/wait_for.h"
#include "core/client_log.h"
#include "live/live_messages.h"
#include "platform/post_message.h"
#include "dev_records.h"
#include "fake_device_process.h"
#include "live/grid/video_wnd.h"
#include "live/streams/rtsp_events.h"
#include "main_window_fixture.h"
#include "rtsp_test_server.h"
#include "tessaly/tessaly_ctrl.h"
#include "ui/sort_list_ctrl.h"

namespace {

class AlarmRoadTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(UseEnglishTexts());
    for (int n = 1; n <= 5; ++n) {
      const std::string name = "Alarm" + std::to_string(n) + ".wav";
      std::filesystem::copy_file(paths::NativePath(programFolder_ + name), folder_.File(name));
    }
  }
  static std::string Today() {
    const QDate d = QDate::currentDate();
    return std::to_string(d.year()) + "-" + std::to_string(d.month()) + "-" + std::to_string(d.day());
  }
  std::string DayFile(const std::string& device) {
    std::ifstream in(folder_.File("Alarm/" + Today() + "/" + device + ".xml"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // The row of the panel with this device and type text, or -1.
  int PanelRow(const char* device, const char* text) {
    CSortListCtrl* list = dlg_->m_pAlarmListDlg->GetList();
    for (int row = 0; row < list->GetItemCount(); ++row) {
      if (list->GetItemText(row, 0) == device && list->GetItemText(row, 1) == text) return row;
    }
    return -1;
  }
  std::string Playing() const {
    const std::string& path = dlg_->m_pAlarmListDlg->Sounds().Playing();
    return path.substr(path.find_last_of('/') + 1);
  }
  // The sound timer of a class runs (each second it plays its file, in place
  // of the others').
  bool Rings(UINT timer) const { return dlg_->m_pAlarmListDlg->SoundTicks(timer) > 0; }
  bool LinkagePlays(const char* device) {
    CVideoWnd* pane = dlg_->m_pAlmActDlg->Pane();
    const CRtspEvents* events = pane->RenderingStream();
    const CTessalyCtrl* player = events ? (events->Player(2) ? events->Player(2) : events->Player(1)) : nullptr;
    return dlg_->m_pAlmActDlg->isVisible() && pane->IsWatching() && std::string(pane->WatchedDev().DevName) == device &&
           player != nullptr && player->HasPicture();
  }
  void Exit() {
    passwordRight_ = true;
    dlg_->OnBnClickedBtnClose();
    ASSERT_TRUE(WaitFor([&] { return !dlg_->isVisible(); }));
    dlg_.reset();
  }
};

std::string Line(const char* device, int64_t time, int type, const char* text) {
  return "<AlarmLog DevName=\"" + std::string(device) + "\" DateTime=\"" + std::to_string(time) + "\" Type=\"" +
         std::to_string(type) + "\" AlarmInfo=\"" + text + "\" />\n";
}

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"gb2312\" />\n";

}  // namespace

// An alarm whose device left the list while it was on its way is dropped with a log line.
TEST_F(AlarmRoadTest, AnAlarmOfAnUnknownDeviceIsDroppedWithALogLine) {
  g_lstDevGroupInfo = {Group("Hall")};
  g_lstDevInfo = {Dev("C1", "Gate", 1, "Hall")};
  CVistarelDlg& dlg = Open();
  const std::string log = folder_.File("clientlog.txt");
  CloseLogFile();
  ASSERT_EQ(OpenLogFile(paths::FromNativePath(log).c_str()), 0);
  GimbroAlarmRecord alarm;
  alarm.year = 2026;
  alarm.type = 14;
  PostObject(dlg.GetSafeHwnd(), WM_DEVALARM, 4242, new GimbroAlarmRecord(alarm));
  QCoreApplication::processEvents();
  CloseLogFile();
  std::ifstream in(log);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("no device with GimbroId=4242"), std::string::npos);
  EXPECT_EQ(dlg.m_pAlarmListDlg->GetList()->GetItemCount(), 0);
}

TEST_F(AlarmRoadTest, CameraAndDeviceAlarmsRingLogPlayAndAreFound) {
  RtspTestServer rtsp;
  ASSERT_TRUE(rtsp.Start(std::string(VEMO_TEST_PEERS_DIR) + "/rtsp_server.py", 0, true));
  FakeOnvifCamera camera(0, {"--password", "pw", "--rtsp-main", QString::fromStdString(rtsp.Url("/h264")),
                             "--rtsp-sub", QString::fromStdString(rtsp.Url("/mpeg4cif"))});
  ASSERT_TRUE(camera.Ready());
  FakeDeviceProcess device(0, {"--password", "pw"});
  ASSERT_TRUE(device.Ready());
  DevInfo gate = Dev("C1", "Gate", 1, "Hall");
  CopyFixedText(gate.IPAddr, "127.0.0.1");
  gate.PtzPort = camera.Port();
  gate.VideoPort = rtsp.Port();
  gate.RtpOverRtsp = 1;
  DevInfo yard = Dev("C2", "Yard", 1, "Hall");
  CopyFixedText(yard.IPAddr, "127.0.0.1");
  yard.PtzPort = device.Port();
  for (DevInfo* dev : {&gate, &yard}) {
    CopyFixedText(dev->LoginName, "admin");
    CopyFixedText(dev->LoginPsw, "pw");
  }
  g_lstDevGroupInfo = {Group("Hall")};
  g_lstDevInfo = {gate, yard};
  CVistarelDlg& dlg = Open();
  ASSERT_TRUE(WaitFor([&] { return g_lstDevInfo.front().nOnline == 1 && g_lstDevInfo.back().nOnline == 1; }, 30000));
  ASSERT_TRUE(WaitFor([&] { return camera.Command("subscriptions") == "OK 1"; }, 30000));
  // The toolbar's "alarm action", once the logins (alarms of their own) rang in silence.
  ASSERT_EQ(dlg.ToggleSoundSwitch(), 1);

  const int64_t before = QDateTime::currentSecsSinceEpoch();
  ASSERT_EQ(camera.Command("motion on"), "OK 1");
  ASSERT_TRUE(WaitFor([&] { return PanelRow("Gate", "Motion Detect") >= 0; }));
  EXPECT_TRUE(Rings(100));
  EXPECT_FALSE(Playing().empty());
  EXPECT_EQ(g_lstDevInfo.front().bAlarmFlag, 1) << "the camera blinks";
  ASSERT_TRUE(WaitFor([&] { return LinkagePlays("Gate"); }, 30000)) << "the linkage window plays the camera";

  ASSERT_EQ(camera.Command("input on"), "OK 1");
  ASSERT_TRUE(WaitFor([&] { return PanelRow("Gate", "Alarm input high to low") >= 0; }));
  EXPECT_TRUE(Rings(200));

  ASSERT_EQ(device.Command("alarm 2026 1 5 0 10 30 0 6 0"), "OK 1");
  ASSERT_TRUE(WaitFor([&] { return PanelRow("Yard", "SD1 not Ready") >= 0; }));
  EXPECT_TRUE(Rings(300));
  EXPECT_FALSE(Rings(400) || Rings(500));
  EXPECT_TRUE(LinkagePlays("Gate")) << "the pane keeps the video it plays";
  EXPECT_EQ(dlg.m_pAlmActDlg->GetList()->GetItemText(0, 0), "Yard");
  const int64_t after = QDateTime::currentSecsSinceEpoch();

  // Within the worker's ten seconds both day files are there, byte for byte.
  ASSERT_TRUE(WaitFor([&] { return !DayFile("Yard").empty() && DayFile("Gate").size() > 200; }, 20000));
  const std::string yardFile = DayFile("Yard");
  const size_t login = yardFile.find("DateTime=\"") + 10;
  EXPECT_EQ(yardFile, kDeclaration + Line("Yard", std::stoll(yardFile.substr(login)), 2, "Device Connected") +
                          Line("Yard", AlarmTimeValue(AlarmRecord{2026, 1, 5, 0, 10, 30, 0, 6, 0}), 6, "SD1 not Ready"));
  // The login (type 2) and the camera's events are dated by the camera: their
  // times are read back, the rest of the file must be exactly this.
  const std::string gateFile = DayFile("Gate");
  std::vector<int64_t> times;
  for (size_t at = gateFile.find("DateTime=\""); at != std::string::npos; at = gateFile.find("DateTime=\"", at + 1)) {
    times.push_back(std::stoll(gateFile.substr(at + 10)));
  }
  ASSERT_EQ(times.size(), 3u);
  EXPECT_GE(times[1], before - 5);
  EXPECT_LE(times[2], after + 5);
  EXPECT_EQ(gateFile, kDeclaration + Line("Gate", times[0], 2, "Device Connected") +
                          Line("Gate", times[1], 14, "Motion Detect") +
                          Line("Gate", times[2], 15, "Alarm input high to low"));

  // The search finds them under the device's name.
  CSearchAlarmDlg* search = dlg.m_pSearchAlarmDlg;
  search->SetLocalDevice(&g_lstDevInfo.front());
  qobject_cast<QDateTimeEdit*>(search->GetDlgItem(CSearchAlarmDlg::IDC_START))->setDateTime(QDateTime(QDate(2026, 1, 5), QTime(0, 0)));
  search->OnBnClickedQuery();
  ASSERT_EQ(search->Results().size(), 3u);
  EXPECT_EQ(search->GetList()->GetItemText(1, 1), "Motion Detect");
  search->SetLocalDevice(&g_lstDevInfo.back());
  search->OnBnClickedQuery();
  ASSERT_EQ(search->Results().size(), 2u);
  EXPECT_EQ(search->GetList()->GetItemText(1, 2), "2026-01-05 10:30:00");

  // Alarms queued when the program ends are written by the exit.
  ASSERT_EQ(device.Command("alarm 2026 1 5 0 10 31 0 20 0"), "OK 1");
  ASSERT_TRUE(WaitFor([&] { return PanelRow("Yard", "Record failed") >= 0; }));
  Exit();
  EXPECT_NE(DayFile("Yard").find("AlarmInfo=\"Record failed\""), std::string::npos);
}
