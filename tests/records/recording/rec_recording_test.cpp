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
#include "maker/morvik/morvik.h"
#include "records/playback/rec_file_source.h"
#include "records/recfile/rec_file_reader.h"
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

// An MPEG-4 camera (the stream headers only in its configuration, every key
// frame a group-of-VOP header and a picture) with each of the cameras' sounds:
// the recorder puts the headers in front of every key frame, and the files
// play in ffmpeg and in the program's own player, sound included.
TEST_F(RecordingTest, Mpeg4CameraWithSoundRecordsFilesThatPlayHereAndInFfmpeg) {
  struct Case {
    const char* audio;
    const char* ffmpegAudio;
    const char* codec;
    bool muLaw;
  } cases[] = {{"aac", "aac", "AAC", false}, {"pcmu", "pcm_mulaw", "G711", true}, {"pcma", "pcm_alaw", "G711", false}};
  Morvik_SetFileSourceFactory(MakeRecFileSource);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.audio);
    ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py", 0, false,
                              {"--camera-video", "mpeg4", "--camera-audio", c.audio}));
    cam_->VideoPort = server_.Port();
    RecSchemeInfo& scheme = AddScheme("Plan", 0, {storage_.Path() + c.audio});
    scheme.RecAudio = 1;
    AddSpan(scheme, 1, 8, Hms(8, 0, 0), Hms(8, 10, 0));
    AddDevice(scheme, *cam_);
    env_.SetNow(RecNowLocal(2026, 3, 8, 8, 0, 5));
    StartManager();
    const std::string folder = storage_.Path() + c.audio + "/Record/Cam1/Local/Schedule/2026/3/8";
    ASSERT_TRUE(WaitFor([&] { return !FilesIn(folder, ".avi").empty(); }, 30000));
    WaitFor([] { return false; }, 3500);  // a few key frames
    env_.SetNow(RecNowLocal(2026, 3, 8, 8, 10, 0));
    ASSERT_TRUE(WaitFor([&] { return cam_->bRecording == 0 && main_->GetStreamId() == 0; }, 20000));
    manager_.reset();
    const auto files = FilesIn(folder, ".avi");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].substr(files[0].size() - 8), "-av1.avi");

    const ProbeResult probe = Ffprobe(files[0]);
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.videoCodec, "mpeg4");
    EXPECT_EQ(probe.audioCodec, c.ffmpegAudio);
    EXPECT_GE(probe.videoFrames, 50);
    std::string errors;
    EXPECT_TRUE(FfmpegDecodesCleanly(files[0], &errors)) << errors;
    const LayoutSummary layout = ExpectRecordLayout(files[0]);
    EXPECT_EQ(layout.indexEntries, layout.videoChunks + layout.audioChunks);

    // The reader: the camera's headers from the VO code on, and in front of
    // every key frame.
    CRecFileReader reader;
    ASSERT_EQ(reader.Open(files[0].c_str()), 1);
    VideoParam video{};
    AudioParam audio{};
    reader.GetMediaInfo(nullptr, &video, &audio);
    EXPECT_STREQ(video.szCodec, "MP4V");
    ASSERT_GT(video.nCodecHeaderLen, 8);
    EXPECT_EQ(std::memcmp(video.byCodecHeader, "\x00\x00\x01\x00", 4), 0);
    EXPECT_STREQ(audio.szCodec, c.codec);
    EXPECT_EQ(audio.szCodec[5] == 'U', c.muLaw);
    std::vector<BYTE> buffer(kRecMaxFrameSize);
    int isVideo = 0;
    int isKey = 0;
    int keys = 0;
    for (int n; (n = reader.ReadFrame(buffer.data(), kRecMaxFrameSize, &isVideo, &isKey)) > 0;) {
      if (!isVideo || !isKey) continue;
      ++keys;
      ASSERT_GE(n, video.nCodecHeaderLen);
      EXPECT_EQ(std::memcmp(buffer.data(), video.byCodecHeader, video.nCodecHeaderLen), 0) << "key frame " << keys;
    }
    EXPECT_GE(keys, 2);

    // The program's player plays it to its end, picture and sound.
    MorvikEngine player;
    ASSERT_EQ(player.OpenFile(files[0].c_str()), 0);
    EXPECT_EQ(player.GetSetupState(kMorvikSetupVideo), 1);
    EXPECT_EQ(player.GetSetupState(kMorvikSetupAudio), 1);
    player.Command(kMorvikCmdFast, 8);
    EXPECT_TRUE(WaitFor([&] { return player.HasPicture(); }, 20000));
    EXPECT_TRUE(WaitFor([&] { return !player.IsFilePlaying(); }, 30000));
    player.Close();

    CsLock lock(&g_csAppData);
    for (RecSchemeInfo* each : g_lstRecSchemeInfo) delete each;
    g_lstRecSchemeInfo.clear();
  }
  Morvik_SetFileSourceFactory(nullptr);
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
