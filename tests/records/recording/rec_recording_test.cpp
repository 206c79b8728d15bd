// The recording thread with the program's stream objects, pulling the RTSP
// test server, and alarms raised by the fake device: the files it leaves.
#include <gtest/gtest.h>

#include <QWidget>
#include <cstring>
#include <memory>

#include "common/wait_for.h"
#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "fake_device_process.h"
#include "gimbro/gimbro.h"
#include "live/live_messages.h"
#include "live/streams/gimbro_events.h"
#include "live/streams/rtsp_events.h"
#include "maker_test_support.h"
#include "platform/wnd.h"
#include "rec_test_support.h"
#include "record_layout_check.h"
#include "records/recording/rec_scheme_manager.h"
#include "rtsp_test_server.h"

namespace {

class RecordingTest : public ::testing::Test, public RecListsFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py"));
    streva_ = std::make_unique<CStrevaCtrl>();
    main_ = std::make_unique<CRtspEvents>(nullptr, streva_.get());
    sub_ = std::make_unique<CRtspEvents>(nullptr, streva_.get());
    streva_->Advise(main_.get());
    streva_->Advise(sub_.get());
    DevInfo& cam = AddCamera("Cam1", "ID1");
    std::snprintf(cam.IPAddr, sizeof cam.IPAddr, "127.0.0.1");
    cam.VideoPort = server_.Port();
    cam.RtpOverRtsp = 1;
    cam.pRtspEvent1 = main_.get();
    cam.pRtspEvent2 = sub_.get();
    cam_ = &cam;
  }
  void TearDown() override {
    manager_.reset();  // stops the thread
    streva_->Unadvise(main_.get());
    streva_->Unadvise(sub_.get());
    main_.reset();
    sub_.reset();
    streva_.reset();
  }
  void StartManager() {
    manager_ = std::make_unique<CRecSchemeManager>(nullptr, &env_);
    ASSERT_EQ(manager_->StartThread(), 0);
  }
  std::string DayFolder(const char* kind) {
    return storage_.Path() + "store/Record/Cam1/Local/" + kind + "/2026/3/8";
  }

  RtspTestServer server_;
  std::unique_ptr<CStrevaCtrl> streva_;
  std::unique_ptr<CRtspEvents> main_;
  std::unique_ptr<CRtspEvents> sub_;
  DevInfo* cam_ = nullptr;
  TempFolder storage_;
  FakeRecEnvironment env_;
  std::unique_ptr<CRecSchemeManager> manager_;
};

// A schedule span records the camera into the day folder of the span's date and
// stops at the span's end: the file is finished with its index and readable.
TEST_F(RecordingTest, ScheduleSpanRecordsIntoTheDayFolderAndStopsAtItsEnd) {
  RecSchemeInfo& scheme = AddScheme("Plan", 0, {storage_.Path() + "store"});
  AddSpan(scheme, 1, 8, Hms(8, 0, 0), Hms(8, 10, 0));
  AddDevice(scheme, *cam_);
  env_.SetNow(RecNowLocal(2026, 3, 8, 8, 0, 5));
  StartManager();
  ASSERT_TRUE(WaitFor([&] { return cam_->bRecording == 1; }, 20000));
  ASSERT_TRUE(WaitFor([&] { return !FilesIn(DayFolder("Schedule"), ".avi").empty(); }, 20000));
  WaitFor([] { return false; }, 2500);  // a few seconds of video
  env_.SetNow(RecNowLocal(2026, 3, 8, 8, 10, 0));
  ASSERT_TRUE(WaitFor([&] { return cam_->bRecording == 0 && main_->GetStreamId() == 0; }, 20000));
  const auto files = FilesIn(DayFolder("Schedule"), ".avi");
  ASSERT_EQ(files.size(), 1u);
  const std::string name = files[0].substr(files[0].rfind('/') + 1);
  EXPECT_EQ(name.substr(6), "-vv1.avi");  // HHMMSS, video only, main stream
  const ProbeResult probe = Ffprobe(files[0]);
  ASSERT_TRUE(probe.ok);
  EXPECT_EQ(probe.videoCodec, "h264");
  EXPECT_GE(probe.videoFrames, 40);
  const LayoutSummary layout = ExpectRecordLayout(files[0]);
  EXPECT_EQ(layout.indexEntries, layout.videoChunks);
  EXPECT_EQ(layout.videoChunks, probe.videoPackets);
}

// A device whose stream never opens is logged and retried; the other device of
// the scheme records meanwhile.
TEST_F(RecordingTest, DeviceWithoutStreamDoesNotHoldUpTheOthers) {
  LogCapture log;
  DevInfo& dead = AddCamera("Dead", "ID2");
  std::snprintf(dead.IPAddr, sizeof dead.IPAddr, "127.0.0.1");
  dead.VideoPort = RtspTestServer::FreePort();  // nothing listens there
  CRtspEvents deadMain(nullptr, streva_.get());
  CRtspEvents deadSub(nullptr, streva_.get());
  dead.pRtspEvent1 = &deadMain;
  dead.pRtspEvent2 = &deadSub;
  RecSchemeInfo& scheme = AddScheme("Plan", 0, {storage_.Path() + "store"});
  AddSpan(scheme, 1, 8, Hms(0, 0, 0), Hms(23, 59, 59));
  AddDevice(scheme, dead);
  AddDevice(scheme, *cam_);
  env_.SetNow(RecNowLocal(2026, 3, 8, 12, 0, 0));
  StartManager();
  ASSERT_TRUE(WaitFor([&] { return cam_->bRecording == 1; }, 20000));
  WaitFor([] { return false; }, 1000);
  EXPECT_EQ(dead.bRecording, 0);
  EXPECT_GT(log.Count("CRecSchemeManager:DevName=Dead waiting record stream"), 1);
  manager_.reset();
}

// Motion and IO alarms raised by the device start alarm recordings of the
// scheme's alarm time, with the pre-recorded seconds in front, and ask the
// device for a key frame.
TEST_F(RecordingTest, DeviceAlarmsStartAlarmRecordingsOfTheAlarmTime) {
  struct Case {
    int startType;
    int alarmType;
    const char* kind;
  } cases[] = {{1, 14, "Motion"}, {2, 15, "IO"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    FakeDeviceProcess device;
    ASSERT_TRUE(device.Ready());
    // What the main window does with a device alarm while recording runs.
    struct MainWindow : QWidget, CWnd {
      MainWindow() : CWnd(this) {}
      LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_DEVALARM && lParam != 0) {
          const auto* alarm = reinterpret_cast<const GimbroAlarmRecord*>(lParam);
          CsLock lock(&g_csAppData);
          for (DevInfo& dev : g_lstDevInfo) {
            if (dev.GimbroId != static_cast<int>(wParam)) continue;
            if (alarm->type == 14) dev.nMotionAlarm = alarm->type;
            else dev.nIOAlarm = alarm->type;
          }
        }
        return CWnd::OnMessage(msg, wParam, lParam);
      }
    } window;
    CGimbroEvents events;
    CGimbroCtrl gimbro;  // goes before the sink it calls
    events.SetMainWindow(window.GetSafeHwnd());
    gimbro.Advise(&events);
    {
      CsLock lock(&g_csAppData);
      cam_->GimbroId = gimbro.AddDevice("127.0.0.1", device.Port(), "admin", "secret");
      cam_->pGimbroCtrl = &gimbro;
    }
    ASSERT_GT(cam_->GimbroId, 0);
    ASSERT_FALSE(device.Take("LOGIN").empty());

    RecSchemeInfo& scheme = AddScheme(c.kind, c.startType, {storage_.Path() + "store"});
    scheme.PreRecTime = 2;
    scheme.DetRecTime = 3;
    AddSpan(scheme, 1, 8, Hms(0, 0, 0), Hms(23, 59, 59));
    AddDevice(scheme, *cam_);
    env_.SetNow(RecNowLocal(2026, 3, 8, 12, 0, 0));
    StartManager();
    // The cycle opens the stream with its pre-record buffer; then the alarm comes.
    ASSERT_TRUE(WaitFor([&] { return main_->HasMediaParam(); }, 20000));
    WaitFor([] { return false; }, 3000);
    const std::string alarm = "alarm 2026 3 8 0 12 0 0 " + std::to_string(c.alarmType) + " 0";
    ASSERT_EQ(device.Command(alarm).rfind("OK", 0), 0u);
    ASSERT_TRUE(WaitFor([&] { return cam_->bRecording == 1; }, 20000));
    EXPECT_EQ(device.Take("IFRAME"), "IFRAME 1");  // 1 - the live stream kind
    WaitFor([] { return false; }, 4500);  // the recorder ends the file after 3 s of stream time
    env_.SetNow(RecNowLocal(2026, 3, 8, 12, 0, 3));
    ASSERT_TRUE(WaitFor([&] { return cam_->bRecording == 0; }, 20000));
    EXPECT_EQ(cam_->nMotionAlarm + cam_->nIOAlarm, 0);
    manager_.reset();

    const auto files = FilesIn(DayFolder(c.kind), ".avi");
    ASSERT_EQ(files.size(), 1u);
    const ProbeResult probe = Ffprobe(files[0]);
    ASSERT_TRUE(probe.ok);
    // 3 s of alarm and up to 2 s before it, from a key frame (25 frames per second).
    EXPECT_GE(probe.videoFrames, 3 * 25);
    EXPECT_LE(probe.videoFrames, 6 * 25);
    EXPECT_EQ(ExpectRecordLayout(files[0]).videoChunks, probe.videoPackets);

    CsLock lock(&g_csAppData);
    for (RecSchemeInfo* each : g_lstRecSchemeInfo) delete each;
    g_lstRecSchemeInfo.clear();
    cam_->pGimbroCtrl = nullptr;
    cam_->GimbroId = 0;
  }
}

}  // namespace
