// The recording thread's decision cycle, run one cycle at a time with a clock,
// drives and stream objects under the test's control.
#include <gtest/gtest.h>

#include <QWidget>
#include <thread>

#include "common/wait_for.h"
#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "core/login_logic.h"
#include "pelk/pelk_testing.h"
#include "platform/file_api.h"
#include "platform/wnd.h"
#include "rec_test_support.h"
#include "records/recording/rec_scheme_manager.h"
#include "records/recording/record_messages.h"

namespace {

constexpr char kMac[] = "00-1A-2B-3C-4D-5E";

class Manager : public CRecSchemeManager {
 public:
  Manager(FakeRecEnvironment& env, FakeRecStreams& streams, HWND wnd = nullptr)
      : CRecSchemeManager(wnd, &env, &streams) {
    SetLocalMac(kMac);
  }
  void RunCycle() { Cycle(); }
};

// Empty lists, stream objects and a clock of their own, for one case of a table.
struct CaseWorld {
  CaseWorld() { streams.mediaOnOpen = true; }
  RecListsFixture lists;
  FakeRecStreams streams;
  FakeRecEnvironment env;
  Manager manager{env, streams};
};

class RecCycleTest : public ::testing::Test, public RecListsFixture {
 protected:
  void SetUp() override {
    PelkTestReset();
    streams_.mediaOnOpen = true;
  }
  std::string PathOf(const char* name) { return storage_.Path() + name; }
  void At(int year, int month, int day, int hour, int minute, int second) {
    env_.now = RecNowLocal(year, month, day, hour, minute, second);
  }
  void Cycle() { manager_.RunCycle(); }
  std::string DayFolder(const char* path, const char* device, const char* kind, int y, int m, int d) {
    return PathOf(path) + "\\Record\\" + device + "\\Local\\" + kind + "\\" + std::to_string(y) + "\\" +
           std::to_string(m) + "\\" + std::to_string(d) + "\\";
  }
  // A schedule scheme "Plan" over Cam1 with one span on path p1.
  DevInfo& ScheduleCamera(int dayOfWeek, TimeOfDay start, TimeOfDay end) {
    DevInfo& cam = AddCamera("Cam1");
    RecSchemeInfo& scheme = AddScheme("Plan", 0, {PathOf("p1")});
    AddSpan(scheme, 1, dayOfWeek, start, end);
    AddDevice(scheme, cam);
    return cam;
  }
  FakeStream& Stream(CRtspEvents* e) { return streams_.streams[e]; }

  TempFolder storage_;
  LogCapture log_;
  FakeRecEnvironment env_;
  FakeRecStreams streams_;
  Manager manager_{env_, streams_};
};

TEST_F(RecCycleTest, ScheduleSpanStartsAfterItsFirstSecondAndStopsFromItsEnd) {
  DevInfo& cam = ScheduleCamera(8, Hms(8, 0, 0), Hms(9, 0, 0));
  At(2026, 3, 8, 8, 0, 0);
  Cycle();
  EXPECT_TRUE(streams_.starts.empty());  // t is not above the start
  EXPECT_EQ(cam.bRecording, 0);

  At(2026, 3, 8, 8, 0, 1);
  Cycle();
  ASSERT_EQ(streams_.opens.size(), 1u);
  EXPECT_EQ(streams_.opens[0].url, "rtsp://192.168.1.10:554/mpeg4");
  ASSERT_EQ(streams_.starts.size(), 1u);
  const FakeStartRecord& start = streams_.starts[0];
  EXPECT_EQ(start.events, cam.pRtspEvent1);
  EXPECT_EQ(start.duration, 3600);
  EXPECT_EQ(start.fileLength, 600);
  EXPECT_EQ(start.preSeconds, 0);
  EXPECT_EQ(start.folder, DayFolder("p1", "Cam1", "Schedule", 2026, 3, 8));
  EXPECT_TRUE(fileapi::IsDirectory(start.folder));
  EXPECT_EQ(cam.bRecording, 1);
  EXPECT_EQ(cam.RecSpanId, 1);
  EXPECT_STREQ(cam.RecSchemeName, "Plan");
  EXPECT_EQ(cam.MainStreamId, 11);
  EXPECT_EQ(log_.Count("CRecSchemeManager:pRtspEvent1 start record success, FileId=1, DevName=Cam1"), 1);

  At(2026, 3, 8, 8, 30, 0);
  Cycle();
  EXPECT_EQ(streams_.starts.size(), 1u);  // goes on

  At(2026, 3, 8, 9, 0, 0);
  Cycle();
  EXPECT_EQ(cam.bRecording, 0);
  EXPECT_EQ(Stream(cam.pRtspEvent1).stopRecordCalls, 1);
  EXPECT_EQ(Stream(cam.pRtspEvent1).stopAllCalls, 1);  // opened for the recording, shown nowhere
  EXPECT_EQ(cam.MainStreamId, 0);
  EXPECT_STREQ(cam.RecSchemeName, "");
  At(2026, 3, 8, 9, 0, 5);
  Cycle();
  EXPECT_EQ(Stream(cam.pRtspEvent1).stopRecordCalls, 1);
  EXPECT_EQ(log_.Count("CRecSchemeManager:pRtspEvent2 stop record, szSchemeName = Plan,nTime=1"), 2);

  const std::vector<PelkDeviceStateReport> reports = PelkTestDeviceStates();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].deviceKey, std::string(kMac) + ":192.168.1.10");
  EXPECT_EQ(reports[0].channel, 0);
  EXPECT_EQ(reports[0].state, 2);
  EXPECT_EQ(reports[1].state, 3);
}

TEST_F(RecCycleTest, SpansApplyOnTheirDayOfWeek) {
  struct Case {
    int dayOfWeek;
    int day;  // of March 2026: the 8th is a Sunday, the 9th a Monday
    bool records;
  } cases[] = {{8, 8, true}, {8, 9, true}, {1, 8, true}, {1, 9, false}, {2, 9, true}, {7, 8, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "day of week " << c.dayOfWeek << ", March " << c.day);
    RecListsFixture lists;
    FakeRecStreams streams;
    streams.mediaOnOpen = true;
    Manager manager(env_, streams);
    DevInfo& cam = ScheduleCamera(c.dayOfWeek, Hms(0, 0, 0), Hms(23, 59, 59));
    At(2026, 3, c.day, 12, 0, 0);
    manager.RunCycle();
    EXPECT_EQ(cam.bRecording, c.records ? 1 : 0);
  }
}

TEST_F(RecCycleTest, WholeDaySpanStopsAtItsLastSecondAndStartsAgainInTheNewDaysFolder) {
  DevInfo& cam = ScheduleCamera(8, Hms(0, 0, 0), Hms(23, 59, 59));
  At(2026, 3, 8, 23, 59, 58);
  Cycle();
  ASSERT_EQ(cam.bRecording, 1);
  At(2026, 3, 8, 23, 59, 59);
  Cycle();
  EXPECT_EQ(cam.bRecording, 0);
  At(2026, 3, 9, 0, 0, 0);
  Cycle();
  EXPECT_EQ(cam.bRecording, 0);
  At(2026, 3, 9, 0, 0, 1);
  Cycle();
  ASSERT_EQ(cam.bRecording, 1);
  ASSERT_EQ(streams_.starts.size(), 2u);
  EXPECT_EQ(streams_.starts[1].folder, DayFolder("p1", "Cam1", "Schedule", 2026, 3, 9));
  EXPECT_EQ(streams_.starts[1].duration, 86399);
}

// A recording that meets a new day folder (a new date or path) goes on in a
// new file there, with 5 s of pre-recording.
TEST_F(RecCycleTest, RecordingMovesToTheNewDayFolder) {
  DevInfo& cam = ScheduleCamera(8, Hms(0, 0, 0), Hms(23, 59, 59));
  At(2026, 3, 8, 12, 0, 0);
  Cycle();
  At(2026, 3, 9, 12, 0, 0);
  Cycle();
  EXPECT_EQ(Stream(cam.pRtspEvent1).stopRecordFileCalls, 1);
  ASSERT_EQ(streams_.starts.size(), 2u);
  EXPECT_EQ(streams_.starts[1].folder, DayFolder("p1", "Cam1", "Schedule", 2026, 3, 9));
  EXPECT_EQ(streams_.starts[1].preSeconds, 5);
  EXPECT_EQ(cam.RecFolder, streams_.starts[1].folder);
  EXPECT_EQ(log_.Count("CRecSchemeManager:pRtspEvent1 reset record, FileId = 2, DevName = Cam1, SavePath="), 1);
}

TEST_F(RecCycleTest, NvrChannelRecordsUnderItsNvrNameAndChannelStream) {
  DevInfo& nvr = AddCamera("Cam1", "NVR01");
  nvr.DevType = 4;
  nvr.CurNVRChannel = 3;
  std::snprintf(nvr.IPAddr, sizeof nvr.IPAddr, "192.168.1.20");
  RecSchemeInfo& scheme = AddScheme("Plan", 0, {PathOf("p1")});
  AddSpan(scheme, 1, 8, Hms(0, 0, 0), Hms(23, 59, 59));
  AddDevice(scheme, nvr);
  At(2026, 3, 8, 12, 0, 0);
  Cycle();
  ASSERT_EQ(streams_.opens.size(), 1u);
  EXPECT_EQ(streams_.opens[0].url, "vmq://192.168.1.20:554/mpeg4-3");
  ASSERT_EQ(streams_.starts.size(), 1u);
  EXPECT_EQ(streams_.starts[0].folder, DayFolder("p1", "NVR01-Cam1", "Schedule", 2026, 3, 8));
  ASSERT_EQ(PelkTestDeviceStates().size(), 1u);
  EXPECT_EQ(PelkTestDeviceStates()[0].channel, 0);  // "Cam1" has no number after a '-'
}

// Devices watched in a pane record the pane's stream when it fits.
TEST_F(RecCycleTest, WatchedDevicesRecordTheShownStreamWhenItFits) {
  struct Case {
    const char* name;
    int devType;
    int liveKind;
    bool renders;
    bool media;
    int startedOn;  // 0: nothing starts, 1 or 2 the object
    bool opens;     // a stream of the scheme's kind is opened
  } cases[] = {
      {"server shown", 0, 1, true, true, 1, false},
      {"server shown, no media yet", 0, 1, true, false, 0, false},
      {"server not rendering", 0, 1, false, true, 0, false},
      {"camera shows the main stream", 1, 1, true, true, 1, false},
      {"camera shows the sub stream", 1, 0, true, true, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecListsFixture lists;
    FakeRecStreams streams;
    Manager manager(env_, streams);
    DevInfo& cam = ScheduleCamera(8, Hms(0, 0, 0), Hms(23, 59, 59));
    cam.DevType = c.devType;
    cam.bWatched = 1;
    cam.LiveStreamKind = c.liveKind;
    FakeStream& shown = streams.streams[cam.pRtspEvent1];
    shown = FakeStream{7, c.liveKind, c.renders, c.media};
    At(2026, 3, 8, 12, 0, 0);
    manager.RunCycle();
    EXPECT_EQ(streams.opens.size(), c.opens ? 1u : 0u);
    if (c.startedOn == 0) {
      EXPECT_TRUE(streams.starts.empty());
      continue;
    }
    ASSERT_EQ(streams.starts.size(), 1u);
    EXPECT_EQ(streams.starts[0].events, c.startedOn == 1 ? cam.pRtspEvent1 : cam.pRtspEvent2);
    EXPECT_EQ(cam.RecStreamKind, c.liveKind);
  }
}

TEST_F(RecCycleTest, FailedStartIsLoggedAndTriedAgain) {
  DevInfo& cam = ScheduleCamera(8, Hms(0, 0, 0), Hms(23, 59, 59));
  streams_.startResult = -2;
  At(2026, 3, 8, 12, 0, 0);
  Cycle();
  Cycle();
  EXPECT_EQ(cam.bRecording, 0);
  EXPECT_EQ(streams_.starts.size(), 2u);
  EXPECT_EQ(log_.Count("CRecSchemeManager:pRtspEvent1 start record failed, error=-2, StreamId=11, DevName=Cam1"), 2);
  EXPECT_TRUE(PelkTestDeviceStates().empty());
}

// ---- storage paths ---------------------------------------------------------------

TEST_F(RecCycleTest, StopWhenFullSchemeWithOnePathStopsAndIsSwitchedOffInMemory) {
  DevInfo& cam = ScheduleCamera(8, Hms(0, 0, 0), Hms(23, 59, 59));
  RecSchemeInfo& scheme = *g_lstRecSchemeInfo.front();
  At(2026, 3, 8, 12, 0, 0);
  Cycle();
  ASSERT_EQ(cam.bRecording, 1);
  env_.freeBytes[PathOf("p1")] = 5 * kGiB - 1;
  Cycle();
  EXPECT_EQ(scheme.OnOff, 0);
  EXPECT_EQ(cam.bRecording, 0);
  EXPECT_EQ(Stream(cam.pRtspEvent1).stopRecordCalls, 1);
  EXPECT_EQ(log_.Count("CRecSchemeManager:The current storage space = 5368709119 Bytes, less than 5G, nCurDisk=1"), 1);
}

TEST_F(RecCycleTest, LowSpaceMovesTheRecordingToTheNextPathThatIsSet) {
  struct Case {
    const char* name;
    std::vector<std::string> paths;  // empty text: not set
    int storageScheme;
    int current;
    int low;       // path whose drive runs short
    int expected;  // path recorded to afterwards
  } cases[] = {
      {"overwrite 1 -> 3 when 2 is not set", {"p1", "", "p3"}, 1, 1, 1, 3},
      {"stop-when-full 1 -> 2", {"p1", "p2", "p3"}, 0, 1, 1, 2},
      {"stop-when-full 2 -> 3", {"p1", "p2", "p3"}, 0, 2, 2, 3},
      {"overwrite 3 -> 1", {"p1", "p2", "p3"}, 1, 3, 3, 1},
      {"overwrite 3 -> 2 when 1 is not set", {"", "p2", "p3"}, 1, 3, 3, 2},
      {"overwrite with one path stays", {"p1", "", ""}, 1, 1, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CaseWorld world;
    FakeRecStreams& streams = world.streams;
    FakeRecEnvironment& env = world.env;
    Manager& manager = world.manager;
    DevInfo& cam = AddCamera("Cam1");
    std::vector<std::string> paths;
    for (const std::string& p : c.paths) paths.push_back(p.empty() ? "" : PathOf(p.c_str()));
    RecSchemeInfo& scheme = AddScheme("Plan", 0, paths);
    scheme.StorageScheme = c.storageScheme;
    AddSpan(scheme, 1, 8, Hms(0, 0, 0), Hms(23, 59, 59));
    AddDevice(scheme, cam);
    cam.CurStoragePath = c.current;
    env.now = RecNowLocal(2026, 3, 8, 12, 0, 0);
    manager.RunCycle();
    ASSERT_EQ(cam.bRecording, 1);
    env.freeBytes[paths[c.low - 1]] = 0;  // a full disk
    manager.RunCycle();
    EXPECT_EQ(cam.CurStoragePath, c.expected);
    EXPECT_EQ(cam.bRecording, 1);
    EXPECT_EQ(scheme.OnOff, 1);
    const std::string folder = DayFolder(c.paths[c.expected - 1].c_str(), "Cam1", "Schedule", 2026, 3, 8);
    EXPECT_EQ(cam.RecFolder, folder);
    if (c.expected != c.low) {
      ASSERT_EQ(streams.starts.size(), 2u);
      EXPECT_EQ(streams.starts[1].folder, folder);
      EXPECT_EQ(streams.starts[1].preSeconds, 5);
    } else {
      EXPECT_EQ(streams.starts.size(), 1u);
    }
  }
}

TEST_F(RecCycleTest, DeviceWithoutCurrentPathTakesTheFirstPathThatIsSet) {
  DevInfo& cam = AddCamera("Cam1");
  RecSchemeInfo& scheme = AddScheme("Plan", 0, {"", PathOf("p2"), PathOf("p3")});
  AddSpan(scheme, 1, 8, Hms(0, 0, 0), Hms(23, 59, 59));
  AddDevice(scheme, cam);
  cam.CurStoragePath = 0;
  At(2026, 3, 8, 12, 0, 0);
  Cycle();
  EXPECT_EQ(cam.CurStoragePath, 2);
  EXPECT_EQ(log_.Count("CRecSchemeManager: switch current storage path failed. nCurrentStoragePth=0"), 1);
  ASSERT_EQ(streams_.starts.size(), 1u);
  EXPECT_EQ(streams_.starts[0].folder, DayFolder("p2", "Cam1", "Schedule", 2026, 3, 8));
}

TEST_F(RecCycleTest, NoPathOrUnmeasurableDriveRecordsNothingAndSaysWhy) {
  DevInfo& cam = AddCamera("Cam1");
  RecSchemeInfo& scheme = AddScheme("Plan", 0, {});
  AddSpan(scheme, 1, 8, Hms(0, 0, 0), Hms(23, 59, 59));
  AddDevice(scheme, cam);
  At(2026, 3, 8, 12, 0, 0);
  Cycle();
  Cycle();
  EXPECT_EQ(log_.Count("CRecSchemeManager: All storage path is NULL, DevName=Cam1 record can't begin."), 2);

  // A drive whose free space cannot be read is neither full nor switched away from.
  std::snprintf(scheme.StoragePath1, sizeof scheme.StoragePath1, "%s", PathOf("p1").c_str());
  std::snprintf(scheme.StoragePath2, sizeof scheme.StoragePath2, "%s", PathOf("p2").c_str());
  env_.freeBytes[PathOf("p1")] = std::nullopt;
  Cycle();
  EXPECT_EQ(cam.CurStoragePath, 1);
  EXPECT_EQ(scheme.OnOff, 1);
  EXPECT_EQ(log_.Count("Can't read the free space of the storage path"), 1);
  EXPECT_TRUE(streams_.starts.empty());
  EXPECT_EQ(cam.bRecording, 0);
}

// A device name that would leave the record tree records nowhere.
TEST_F(RecCycleTest, DeviceNameWithAPathSeparatorIsRefused) {
  DevInfo& cam = ScheduleCamera(8, Hms(0, 0, 0), Hms(23, 59, 59));
  std::snprintf(cam.DevName, sizeof cam.DevName, "..\\..\\etc");
  std::snprintf(g_lstRecSchemeInfo.front()->lstDev.front().DevName, 256, "..\\..\\etc");
  At(2026, 3, 8, 12, 0, 0);
  Cycle();
  EXPECT_TRUE(streams_.starts.empty());
  EXPECT_EQ(log_.Count("can't name a record folder"), 1);
}

// ---- alarm recording -------------------------------------------------------------

TEST_F(RecCycleTest, AlarmsOfTheSchemesKindRecordForTheAlarmTime) {
  struct Case {
    const char* name;
    int startType;
    int motion;
    int io;
    bool records;
  } cases[] = {
      {"motion scheme, motion alarm", 1, 14, 0, true},
      {"IO scheme, IO alarm 15", 2, 0, 15, true},
      {"IO scheme, IO alarm 16", 2, 0, 16, true},
      {"motion scheme, IO alarm", 1, 0, 15, false},
      {"IO scheme, motion alarm", 2, 14, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CaseWorld world;
    FakeRecStreams& streams = world.streams;
    FakeRecEnvironment& env = world.env;
    Manager& manager = world.manager;
    DevInfo& cam = AddCamera("Cam1");
    cam.GimbroId = 42;
    RecSchemeInfo& scheme = AddScheme("Alarm", c.startType, {PathOf("p1")});
    AddSpan(scheme, 2, 8, Hms(0, 0, 0), Hms(23, 59, 59));
    AddDevice(scheme, cam);
    env.now = RecNowLocal(2026, 3, 8, 12, 0, 0);
    manager.RunCycle();  // prepares the stream with the pre-record buffer
    ASSERT_EQ(streams.opens.size(), 1u);
    EXPECT_EQ(streams.streams[cam.pRtspEvent1].preSeconds, 5);
    EXPECT_TRUE(streams.starts.empty());

    cam.nMotionAlarm = c.motion;
    cam.nIOAlarm = c.io;
    manager.RunCycle();
    if (!c.records) {
      EXPECT_TRUE(streams.starts.empty());
      EXPECT_EQ(cam.bRecording, 0);
      continue;
    }
    ASSERT_EQ(streams.starts.size(), 1u);
    const char* kind = c.startType == 1 ? "Motion" : "IO";
    EXPECT_EQ(streams.starts[0].folder, DayFolder("p1", "Cam1", kind, 2026, 3, 8));
    EXPECT_EQ(streams.starts[0].duration, 30);
    EXPECT_EQ(streams.starts[0].preSeconds, 5);
    EXPECT_EQ(cam.bRecording, 1);
    EXPECT_EQ(cam.RecSpanId, 2);
    ASSERT_EQ(streams.iframes.size(), 1u);
    EXPECT_EQ(streams.iframes[0], std::make_pair(42, 1L));  // 1 - live kind 0

    // A second alarm during the recording changes nothing.
    cam.nMotionAlarm = c.motion;
    env.now = RecNowLocal(2026, 3, 8, 12, 0, 29);
    manager.RunCycle();
    EXPECT_EQ(streams.starts.size(), 1u);
    EXPECT_EQ(cam.bRecording, 1);

    env.now = RecNowLocal(2026, 3, 8, 12, 0, 30);
    manager.RunCycle();
    EXPECT_EQ(cam.bRecording, 0);
    EXPECT_EQ(cam.nMotionAlarm + cam.nIOAlarm, 0);
    EXPECT_EQ(streams.streams[cam.pRtspEvent1].stopRecordCalls, 1);
    EXPECT_EQ(streams.streams[cam.pRtspEvent1].stopAllCalls, 0);  // the stream stays for the next alarm
  }
  EXPECT_TRUE(PelkTestDeviceStates().empty());  // alarm recordings are not reported
}

// An alarm that comes before the cycle has named the device's folder waits
// one cycle instead of recording into no folder.
TEST_F(RecCycleTest, AlarmBeforeTheFolderIsKnownWaitsForIt) {
  DevInfo& cam = AddCamera("Cam1");
  RecSchemeInfo& scheme = AddScheme("Alarm", 1, {PathOf("p1")});
  AddSpan(scheme, 1, 8, Hms(0, 0, 0), Hms(23, 59, 59));
  AddDevice(scheme, cam);
  streams_.streams[cam.pRtspEvent1] = FakeStream{5, 1, false, true};
  cam.nMotionAlarm = 14;
  At(2026, 3, 8, 12, 0, 0);
  Cycle();
  EXPECT_TRUE(streams_.starts.empty());
  EXPECT_EQ(log_.Count("The record folder is not ready, alarm record waits. DevName=Cam1"), 1);
  Cycle();
  ASSERT_EQ(streams_.starts.size(), 1u);
  EXPECT_EQ(streams_.starts[0].folder, DayFolder("p1", "Cam1", "Motion", 2026, 3, 8));
}

// ---- opening streams -------------------------------------------------------------

TEST_F(RecCycleTest, AddWatchRefusesAndReportsBusyObjects) {
  DevInfo& cam = AddCamera("Cam1");
  CsLock lock(&g_csAppData);
  EXPECT_EQ(manager_.AddWatch(nullptr, 1, 0, 0), -1);
  EXPECT_EQ(log_.Count("CRecSchemeManager Action AddWatch refused. decive info is NULL"), 1);

  streams_.streams[cam.pRtspEvent1].id = 3;
  EXPECT_EQ(manager_.AddWatch(&cam, 0, 0, 0), 2);
  EXPECT_EQ(streams_.opens.back().url, "rtsp://192.168.1.10:554/mpeg4cif");
  EXPECT_EQ(cam.SubStreamId, 11);
  EXPECT_EQ(streams_.streams[cam.pRtspEvent2].kind, 0);
  EXPECT_EQ(manager_.AddWatch(&cam, 1, 0, 0), 0);
  EXPECT_EQ(log_.Count("CRecSchemeManager:Add stream refused,RtspEvent1 and RtspEvent2 is using. URL=rtsp://192.168.1.10:554/mpeg4"), 1);

  DevInfo& other = AddCamera("Cam2");
  streams_.openResult = 0;
  EXPECT_EQ(manager_.AddWatch(&other, 1, 0, 0), 1);  // the object's number, also when the open fails
  EXPECT_EQ(other.MainStreamId, 0);
  EXPECT_EQ(log_.Count("CRecSchemeManager:Add stream failed, error=0, URL=rtsp://192.168.1.10:554/mpeg4"), 1);

  DevInfo unknown;
  std::snprintf(unknown.DevName, sizeof unknown.DevName, "Gone");
  EXPECT_EQ(manager_.AddWatch(&unknown, 1, 0, 0), 0);

  g_bUseLoginSvr = 1;
  other.VisitMod = 2;
  EXPECT_EQ(manager_.AddWatch(&other, 1, 0, 0), -1);  // no serial number to reach it by
  g_bUseLoginSvr = 0;
}

// The record state goes to the main window as a message, handled on the UI
// thread; the recording thread itself touches no window.
TEST_F(RecCycleTest, RecordStateReachesTheMainWindowOnTheUiThread) {
  struct Receiver : QWidget, CWnd {
    Receiver() : CWnd(this) {}
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
      if (msg == WM_RECORD_STATE_CHANGED) {
        states.push_back(static_cast<int>(wParam));
        onUiThread = onUiThread && std::this_thread::get_id() == uiThread;
      }
      return CWnd::OnMessage(msg, wParam, lParam);
    }
    std::vector<int> states;
    bool onUiThread = true;
    std::thread::id uiThread = std::this_thread::get_id();
  } window;
  ScheduleCamera(8, Hms(0, 0, 0), Hms(23, 59, 59));
  At(2026, 3, 8, 12, 0, 0);
  Manager threaded(env_, streams_, window.GetSafeHwnd());
  ASSERT_EQ(threaded.StartThread(), 0);
  EXPECT_TRUE(WaitFor([&] { return !window.states.empty(); }, 10000));
  threaded.StopThread();
  ASSERT_FALSE(window.states.empty());
  EXPECT_EQ(window.states[0], 2);
  EXPECT_TRUE(window.onUiThread);
}

}  // namespace
