// The recording thread follows the schemes that the record-scheme page adds,
// modifies and deletes, at its next cycle.
#include <memory>

#include "common/wait_for.h"
#include "live/streams/rtsp_events.h"
#include "maker_test_support.h"
#include "record_page_fixture.h"
#include "records/recording/rec_scheme_manager.h"
#include "rtsp_test_server.h"
#include "streva/streva_ctrl.h"

namespace {

constexpr int kSunday = 0;  // day combo index
constexpr int kEveryday = 7;

class PageRecordingTest : public RecordPageTest {
 public:
  void SetUp() override {
    RecordPageTest::SetUp();
    CreatePage();
    store_ = folder_.Path() + "store";
    env_.SetNow(RecNowLocal(2026, 3, 8, 12, 0, 0));  // a Sunday
  }
  void TearDown() override {
    recorder_.reset();  // stops the thread
    RecordPageTest::TearDown();
  }
  void StartRecorder(IRecStreams* streams) {
    recorder_ = std::make_unique<CRecSchemeManager>(nullptr, &env_, streams);
    ASSERT_EQ(recorder_->StartThread(), 0);
  }
  // The scheme "Plan" of Cam1 with one span in row 1, added through the page.
  void AddPlan(int dayIndex, TimeOfDay start, TimeOfDay end) {
    page_.InitDevTree();
    FillValidForm("Plan");
    SetText(CSettingRecordDlg::IDC_PATH1, store_);
    SetSpan(1, true, dayIndex, start, end);
    Select(CSettingRecordDlg::IDC_ON_OFF, 1);  // "YES"
    Tick(CSettingRecordDlg::IDC_DEV_TREE, "Cam1");
    page_.OnBnClickedAddDev();
    Press(CSettingRecordDlg::IDC_BTN_ADD);
    ASSERT_EQ(message_, "Add record strategy success!");
  }
  size_t Starts() {
    CsLock lock(&g_csAppData);
    return streams_.starts.size();
  }

  std::string store_;
  std::unique_ptr<CRecSchemeManager> recorder_;
};

}  // namespace

// Modifying the span of a recording scheme stops the recording at once; the
// thread leaves it stopped while the span is elsewhere and starts it again at
// its next cycle when the span covers the time again.
TEST_F(PageRecordingTest, ModifyOfASpanStopsOrStartsTheRecordingAtTheNextCycle) {
  DevInfo& cam = AddDevice("Cam1", "ID1");
  streams_.mediaOnOpen = true;
  AddPlan(kSunday, Hms(11, 0, 0), Hms(13, 0, 0));
  StartRecorder(&streams_);
  ASSERT_TRUE(WaitFor([&] { return cam.bRecording == 1; }, 10000));
  EXPECT_EQ(Starts(), 1u);

  SetSpan(1, true, kSunday, Hms(13, 0, 0), Hms(14, 0, 0));
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  ASSERT_EQ(message_, "Modify record strategy success!");
  EXPECT_EQ(cam.bRecording, 0);  // stopped by the page
  WaitFor([] { return false; }, 1000);  // several cycles
  EXPECT_EQ(cam.bRecording, 0);
  EXPECT_EQ(Starts(), 1u);

  SetSpan(1, true, kEveryday, Hms(11, 30, 0), Hms(12, 30, 0));
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  ASSERT_EQ(message_, "Modify record strategy success!");
  ASSERT_TRUE(WaitFor([&] { return cam.bRecording == 1; }, 10000));
  EXPECT_EQ(Starts(), 2u);

  // Switched off: stopped, and the next cycles leave it off.
  Select(CSettingRecordDlg::IDC_ON_OFF, 0);
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  ASSERT_EQ(message_, "Modify record strategy success!");
  WaitFor([] { return false; }, 1000);
  EXPECT_EQ(cam.bRecording, 0);
  EXPECT_EQ(Starts(), 2u);
}

// A scheme added through the page records the RTSP test stream into the day
// folder of its first path; deleting it ends the file, which ffprobe reads.
TEST_F(PageRecordingTest, ASchemeAddedThroughThePageRecordsTheTestStream) {
  RtspTestServer server;
  ASSERT_TRUE(server.Start(PeersDir() + "/rtsp_server.py"));
  CStrevaCtrl streva;
  CRtspEvents main(nullptr, &streva);
  CRtspEvents sub(nullptr, &streva);
  streva.Advise(&main);
  streva.Advise(&sub);
  DevInfo& cam = AddDevice("Cam1", "ID1");
  CopyFixedText(cam.IPAddr, "127.0.0.1");
  cam.VideoPort = server.Port();
  cam.RtpOverRtsp = 1;
  cam.pRtspEvent1 = &main;
  cam.pRtspEvent2 = &sub;
  page_.SetRecStreams(nullptr);  // the program's stream objects
  AddPlan(kEveryday, Hms(0, 0, 0), Hms(23, 59, 59));
  ExpectFileHoldsTheList();
  StartRecorder(nullptr);
  const std::string day = store_ + "/Record/Cam1/Local/Schedule/2026/3/8";
  ASSERT_TRUE(WaitFor([&] { return cam.bRecording == 1 && !FilesIn(day, ".avi").empty(); }, 20000));
  WaitFor([] { return false; }, 2500);  // a few seconds of video

  page_.ShowSchemeInfo(g_lstRecSchemeInfo.back());
  Press(CSettingRecordDlg::IDC_BTN_DEL);
  EXPECT_EQ(message_, "Remove record strategy success!");
  EXPECT_EQ(cam.bRecording, 0);
  EXPECT_EQ(main.GetStreamId(), 0);  // the stream no pane shows is closed
  recorder_.reset();
  const auto files = FilesIn(day, ".avi");
  ASSERT_EQ(files.size(), 1u);
  const ProbeResult probe = Ffprobe(files[0]);
  ASSERT_TRUE(probe.ok);
  EXPECT_EQ(probe.videoCodec, "h264");
  EXPECT_GE(probe.videoFrames, 25);
  ExpectFileHoldsTheList();
  streva.Unadvise(&main);
  streva.Unadvise(&sub);
}
