// Devices that speak ONVIF (tests/peers/fake_onvif_camera.py): login, loss
// and return, refused passwords, peers that are not cameras, PTZ, presets,
// events, messages and the stream addresses handed to the pull control.
#include <QDateTime>
#include <cstdio>

#include "common/temp_folder.h"

#include "gimbro_fixture.h"
#include "maker/gimbro/gimbro_link.h"
#include "maker/gimbro/gimbro_streams.h"

namespace {

constexpr char kMain[] = "rtsp://127.0.0.1:8554/live/main";
constexpr char kSub[] = "rtsp://127.0.0.1:8554/live/sub";

QStringList CameraArgs(const QStringList& extra = {}) {
  return QStringList{"--rtsp-main", kMain, "--rtsp-sub", kSub} + extra;
}

// The PTZ command texts as the panel builds them.
std::string Movement(const char* word, int pan, int tilt) {
  const std::string run = "\t\t\t\t\t\t\t\t   ";
  return "<xml>" + run + "<cmd>" + word + "</cmd>" + run + "<panspeed>" + std::to_string(pan) + "</panspeed>" + run +
         "<tiltspeed>" + std::to_string(tilt) + "</tiltspeed>" + run + "</xml>";
}
std::string Lens(const char* word) {
  const std::string run = "\t\t\t\t\t\t\t\t   ";
  return "<xml>" + run + "<cmd>" + word + "</cmd>" + run + "</xml>";
}
const std::string kStop = "<xml>\t\t\t\t\t\t\t  <cmd>stop</cmd>\t\t\t\t\t\t\t  </xml>";
std::string SetPresetText(const char* n) {
  const std::string run = "\t\t\t\t\t\t\t  ";
  return "<xml>" + run + "<cmd>setpreset</cmd>" + run + "<preset>" + n + "</preset>" + run + "<flag>1</flag>" + run +
         "</xml>";
}
std::string CallPresetText(const char* n) {
  const std::string run = "\t\t\t\t\t\t\t   ";
  return "<xml>" + run + "<cmd>callpreset</cmd>" + run + "<preset>" + n + "</preset>" + run + "</xml>";
}
std::string DeleteText(const char* word, const char* n) {
  const std::string run = "\t\t\t\t\t   ";
  return "<xml>" + run + "<cmd>" + word + "</cmd>" + run + "<preset>" + n + "</preset>" + run + "</xml>";
}

class GimbroOnvifTest : public GimbroTest {
 protected:
  // Registers the camera and waits for its ONVIF login.
  LONG AddCamera(FakeOnvifCamera& camera) { return AddOnline(camera); }
  // Waits for the event subscription, so that events reach the control.
  void WaitSubscribed(FakeOnvifCamera& camera) {
    ASSERT_TRUE(WaitFor([&] { return camera.Command("subscriptions") == "OK 1"; }));
  }
};

}  // namespace

// The token is dated by the camera's clock, two hours ahead of this one: a
// token dated by this computer's clock would be refused.
TEST_F(GimbroOnvifTest, CameraLogsInWithItsClockAndListsItsStreams) {
  FakeOnvifCamera camera(0, CameraArgs({"--clock-offset", "7200"}));
  const LONG id = AddCamera(camera);
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_LOGIN_REFUSED), 0u);
  EXPECT_EQ(camera.Take("GetDeviceInformation"), "GetDeviceInformation");
  EXPECT_EQ(camera.Take("GetCapabilities"), "GetCapabilities");
  EXPECT_EQ(camera.Command("count AUTHFAIL"), "OK 0");

  ASSERT_FALSE(camera.Take("GetStreamUri sub").empty());
  ASSERT_TRUE(WaitFor([] { return gimbro_streams::Find("127.0.0.1", 8554, true).kind == gimbro_streams::Found::kStream; }));
  const gimbro_streams::Found main = gimbro_streams::Find("127.0.0.1", 8554, false);
  EXPECT_EQ(main.uri, kMain);
  EXPECT_EQ(main.user, "admin");
  EXPECT_EQ(main.password, "secret");
  EXPECT_EQ(gimbro_streams::Find("127.0.0.1", 8554, true).uri, kSub);
  // The table's own port does not matter while one ONVIF device has the host.
  EXPECT_EQ(gimbro_streams::Find("127.0.0.1", 554, false).uri, kMain);
  EXPECT_EQ(gimbro_streams::Find("127.0.0.2", 8554, false).kind, gimbro_streams::Found::kNone);

  ASSERT_EQ(ctrl->RemoveDevice(id), GIMBRO_OK);
  EXPECT_TRUE(WaitFor([] { return gimbro_streams::Find("127.0.0.1", 8554, false).kind == gimbro_streams::Found::kNone; }));
}

TEST_F(GimbroOnvifTest, WrongPasswordIsRefusedOnceAndRetriedRarely) {
  FakeOnvifCamera camera(0, CameraArgs({"--password", "right"}));
  ASSERT_TRUE(camera.Ready());
  const LONG id = ctrl->AddDevice("127.0.0.1", camera.Port(), "admin", "wrong");
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_REFUSED));
  EXPECT_EQ(sink.Of(1, GIMBRO_STATUS_LOGIN_REFUSED)[0].id, id);
  EXPECT_FALSE(camera.Take("AUTHFAIL GetDeviceInformation").empty());
  Pump(1500);  // further attempts are refused too, without a new report
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_LOGIN_REFUSED), 1u);
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_LOGIN_OK), 0u);
  EXPECT_EQ(ctrl->PtzCommand(id, kStop.c_str()), GIMBRO_ERR_OFFLINE);

  // A camera that refuses every credential, until it does not.
  FakeOnvifCamera strict(0, CameraArgs({"--mode", "wrongauth"}));
  ASSERT_TRUE(strict.Ready());
  const LONG other = ctrl->AddDevice("127.0.0.1", strict.Port(), "admin", "secret");
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_REFUSED, 2));
  ASSERT_EQ(strict.Command("mode normal"), "OK");
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_OK));
  EXPECT_EQ(sink.Of(1, GIMBRO_STATUS_LOGIN_OK)[0].id, other);

  // Online, the camera refuses the credentials it took, its clock too: refused again.
  ASSERT_EQ(strict.Command("mode locked"), "OK");
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_REFUSED, 3));
  EXPECT_EQ(sink.Of(1, GIMBRO_STATUS_LOGIN_REFUSED)[2].id, other);
  EXPECT_EQ(ctrl->PtzCommand(other, kStop.c_str()), GIMBRO_ERR_OFFLINE);
}

TEST_F(GimbroOnvifTest, KilledCameraGoesOfflineAndComesBack) {
  auto camera = std::make_unique<FakeOnvifCamera>(0, CameraArgs());
  const LONG id = AddCamera(*camera);
  const int port = camera->Port();
  ASSERT_FALSE(camera->Take("GetStreamUri sub").empty());
  camera->Kill();
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_CONNECTION_LOST));
  EXPECT_EQ(sink.Of(1, GIMBRO_STATUS_CONNECTION_LOST)[0].id, id);
  EXPECT_EQ(ctrl->PtzCommand(id, kStop.c_str()), GIMBRO_ERR_OFFLINE);
  Pump(1000);
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_CONNECTION_LOST), 1u);
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_UNREACHABLE), 0u);
  // Its streams stay where they were while it is away.
  EXPECT_EQ(gimbro_streams::Find("127.0.0.1", 8554, false).uri, kMain);

  camera = std::make_unique<FakeOnvifCamera>(port, CameraArgs());
  ASSERT_TRUE(camera->Ready());
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_OK, 2));
  EXPECT_EQ(ctrl->PtzCommand(id, kStop.c_str()), GIMBRO_OK);
  EXPECT_EQ(camera->Take("Stop"), "Stop main PanTilt=true Zoom=true");
}

// A camera online that stops answering as a camera (it hangs, talks
// nonsense, floods, or answers every request with a fault, so that its
// events and moves are lost) goes offline once, with the reason, and comes
// back when it mends.
TEST_F(GimbroOnvifTest, CameraThatStopsAnsweringGoesOffline) {
  struct Case {
    const char* mode;
    const char* reason;  // a piece of the status text
  };
  for (const Case& c : {Case{"silent", "no answer"}, Case{"notxml", "not a SOAP answer"},
                        Case{"huge", "too large"}, Case{"flood", "too large"}, Case{"floodheaders", "too large"},
                        Case{"fault", "answers every request with a fault"}}) {
    SCOPED_TRACE(c.mode);
    sink.events.clear();
    FakeOnvifCamera camera(0, CameraArgs());
    const LONG id = AddCamera(camera);
    ASSERT_EQ(camera.Command(std::string("mode ") + c.mode), "OK");
    ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_CONNECTION_LOST));
    EXPECT_EQ(sink.Of(1, GIMBRO_STATUS_CONNECTION_LOST)[0].id, id);
    EXPECT_NE(sink.Of(1, GIMBRO_STATUS_CONNECTION_LOST)[0].text.find(c.reason), std::string::npos)
        << sink.Of(1, GIMBRO_STATUS_CONNECTION_LOST)[0].text;
    EXPECT_EQ(ctrl->PtzCommand(id, kStop.c_str()), GIMBRO_ERR_OFFLINE);
    ASSERT_EQ(camera.Command("mode normal"), "OK");
    EXPECT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_OK, 2));
    EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_CONNECTION_LOST), 1u);
    EXPECT_EQ(ctrl->RemoveDevice(id), GIMBRO_OK);
  }
}

// Peers that are not cameras leave the device offline, with a reason, and
// are tried again; none of them holds the control up.
TEST_F(GimbroOnvifTest, PeersThatAreNotCamerasLeaveTheDeviceOffline) {
  for (const char* mode : {"fault", "notxml", "huge", "flood", "floodheaders", "silent", "notcamera"}) {
    SCOPED_TRACE(mode);
    sink.events.clear();
    FakeOnvifCamera camera(0, CameraArgs({"--mode", mode}));
    ASSERT_TRUE(camera.Ready());
    const LONG id = ctrl->AddDevice("127.0.0.1", camera.Port(), "admin", "secret");
    ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_CONNECTION_LOST));
    EXPECT_EQ(sink.Of(1)[0].id, id);
    EXPECT_FALSE(sink.Of(1)[0].text.empty());
    EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_LOGIN_OK), 0u);
    EXPECT_EQ(ctrl->Talk(id, 1), GIMBRO_ERR_OFFLINE);
    ASSERT_EQ(camera.Command("mode normal"), "OK");
    EXPECT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_OK));
    EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_CONNECTION_LOST), 1u);
    EXPECT_EQ(ctrl->RemoveDevice(id), GIMBRO_OK);
  }
}

// The panel's texts become ONVIF requests (the camera writes each down).
TEST_F(GimbroOnvifTest, PtzTextsBecomeOnvifRequests) {
  FakeOnvifCamera camera(0, CameraArgs());
  const LONG id = AddCamera(camera);
  ASSERT_FALSE(camera.Take("GetProfiles").empty());
  struct Case {
    std::string text;
    std::vector<std::string> requests;
  };
  const std::vector<Case> cases = {
      {Movement("up", 3, 7), {"ContinuousMove main PanTilt=0.00,0.70"}},
      {Movement("down", 5, 5), {"ContinuousMove main PanTilt=0.00,-0.50"}},
      {Movement("left", 1, 10), {"ContinuousMove main PanTilt=-0.10,0.00"}},
      {Movement("right", 10, 1), {"ContinuousMove main PanTilt=1.00,0.00"}},
      {"<channelid>3</channelid>\n" + Movement("right", 2, 2), {"ContinuousMove main PanTilt=0.20,0.00"}},
      {Lens("zoomtele"), {"ContinuousMove main Zoom=0.50"}},
      {Lens("zoomwide"), {"ContinuousMove main Zoom=-0.50"}},
      {kStop, {"Stop main PanTilt=true Zoom=true"}},
      {Lens("FocusFarAutoOff"), {"ImagingMove vs0 Focus=0.50"}},
      {kStop, {"Stop main PanTilt=true Zoom=true", "ImagingStop vs0"}},
      {Lens("FocusNearAutoOff"), {"ImagingMove vs0 Focus=-0.50"}},
      {kStop, {"Stop main PanTilt=true Zoom=true", "ImagingStop vs0"}},
      // No counterpart: nothing is sent.
      {Lens("IrisOpenAutoOff"), {}},
      {"<xml>\t\t\t\t\t\t  <cmd>BLCOn</cmd>\t\t\t\t\t\t  </xml>", {}},
      {"<xml>\n<cmd>trans</cmd>\n<data>01a0ff</data>\n</xml>", {}},
      {"not a command text", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_EQ(ctrl->PtzCommand(id, c.text.c_str()), GIMBRO_OK);
    for (const std::string& request : c.requests) {
      EXPECT_EQ(camera.Take(request.substr(0, request.find(' '))), request);
    }
  }
  Pump(500);
  for (const char* op : {"ContinuousMove", "Stop", "Imaging", "Unknown"}) {
    EXPECT_EQ(camera.Command(std::string("count ") + op), "OK 0") << op;
  }
  EXPECT_TRUE(sink.Of(2).empty());  // moves are not answered
}

TEST_F(GimbroOnvifTest, PresetsAreSetCalledRemovedAndListed) {
  FakeOnvifCamera camera(0, CameraArgs());
  const LONG id = AddCamera(camera);
  auto answer = [&](size_t n) -> std::string {
    if (!WaitFor([&] { return sink.Of(2).size() >= n; })) return "(none)";
    const RecordedEvent e = sink.Of(2)[n - 1];
    return std::to_string(GimbroResponseFlag(e.a)) + " " + e.text;
  };
  // The camera starts with presets "1" and "Home"; only numbers are listed.
  ctrl->PtzCommand(id, "<xml>\n<cmd>GetPresetList</cmd>\n</xml>");
  EXPECT_EQ(answer(1), "0 PresetList^1^");
  ctrl->PtzCommand(id, SetPresetText("5").c_str());
  EXPECT_EQ(camera.Take("SetPreset"), "SetPreset main Name=5 Token=");
  EXPECT_EQ(answer(2), "0 PresetList^1^5^");
  ctrl->PtzCommand(id, SetPresetText("1").c_str());  // overwrites preset 1
  EXPECT_EQ(camera.Take("SetPreset"), "SetPreset main Name=1 Token=preset-1");
  EXPECT_EQ(answer(3), "0 PresetList^1^5^");
  ctrl->PtzCommand(id, CallPresetText("5").c_str());
  EXPECT_EQ(camera.Take("GotoPreset"), "GotoPreset main preset-2");
  ctrl->PtzCommand(id, DeleteText("clearpreset", "5").c_str());
  EXPECT_EQ(camera.Take("RemovePreset"), "RemovePreset main preset-2");
  EXPECT_EQ(answer(4), "0 PresetList^1^");
  // Unknown presets and timed rules send nothing.
  ctrl->PtzCommand(id, CallPresetText("9").c_str());
  ctrl->PtzCommand(id, DeleteText("DelScan", "2").c_str());
  ctrl->PtzCommand(id, "<xml>\t<cmd>setpreset</cmd>\t<preset>3</preset>\t<flag>1</flag>\t<r><b>08:00</b><e>09:30</e></r>"
                       "\t</xml>");
  Pump(800);
  EXPECT_EQ(camera.Command("count GotoPreset"), "OK 0");
  EXPECT_EQ(camera.Command("count SetPreset"), "OK 0");
  EXPECT_EQ(sink.Of(2).size(), 4u);
}

TEST_F(GimbroOnvifTest, MotionAndInputEventsBecomeAlarms) {
  FakeOnvifCamera camera(0, CameraArgs());
  const LONG id = AddCamera(camera);
  WaitSubscribed(camera);
  struct Case {
    const char* command;
    int type;  // 0: no alarm
  };
  for (const Case& c : {Case{"motion on", 14}, Case{"motion off", 0}, Case{"input on", 15}, Case{"input off", 0},
                        Case{"cellmotion on", 14}}) {
    SCOPED_TRACE(c.command);
    const size_t before = sink.Of(4).size();
    ASSERT_EQ(camera.Command(c.command), "OK 1");
    if (c.type == 0) {
      Pump(1500);
      EXPECT_EQ(sink.Of(4).size(), before);
      continue;
    }
    ASSERT_TRUE(WaitFor([&] { return sink.Of(4).size() == before + 1; }));
    const RecordedEvent alarm = sink.Of(4).back();
    EXPECT_EQ(alarm.id, id);
    EXPECT_EQ(alarm.alarm.type, c.type);
    const QDate today = QDate::currentDate();
    EXPECT_LE(std::abs(QDate(alarm.alarm.year, alarm.alarm.month, alarm.alarm.day).daysTo(today)), 1);
  }
}

// The current states that begin a new subscription are no alarm while the
// motion they report was running before; a motion that began while no
// subscription ran is one, and so is every motion after. The same whether
// the camera marks those states as the standard has it or as changes.
TEST_F(GimbroOnvifTest, MotionRunningWhenSubscribedAgainIsNoNewAlarm) {
  // Time enough to raise a motion between the loss of a subscription and the next one.
  GimbroTimingsForNewLinks().eventRetryMs = 1500;
  for (const char* statesAs : {"Initialized", "Changed"}) {
    SCOPED_TRACE(statesAs);
    sink.events.clear();
    FakeOnvifCamera camera(0, CameraArgs({"--states-as", statesAs}));
    AddCamera(camera);
    WaitSubscribed(camera);
    auto alarms = [&] { return sink.Of(4).size(); };
    // Drops the camera's subscriptions, once the control took every message
    // of them, and waits until the control made a new one and read its first
    // answer (it then pulls again).
    auto subscribeAgain = [&](const char* meanwhile) {
      ASSERT_TRUE(WaitFor([&] { return camera.Command("pending") == "OK 0"; }));
      ASSERT_EQ(camera.Command("clear"), "OK");
      ASSERT_EQ(camera.Command("forget"), "OK");
      if (meanwhile != nullptr) {
        ASSERT_EQ(camera.Command(meanwhile), "OK 0");
      }
      const std::string made = camera.Take("CreatePullPointSubscription");
      ASSERT_FALSE(made.empty());
      const std::string pull = "PullMessages " + made.substr(made.rfind(' ') + 1);
      ASSERT_EQ(camera.Take(pull), pull);
      ASSERT_EQ(camera.Take(pull), pull);
    };
    ASSERT_EQ(camera.Command("motion on"), "OK 1");
    ASSERT_TRUE(WaitFor([&] { return alarms() == 1; }));
    subscribeAgain(nullptr);
    Pump(300);
    EXPECT_EQ(alarms(), 1u) << "the motion still running";
    ASSERT_EQ(camera.Command("motion off"), "OK 1");
    subscribeAgain("motion on");
    EXPECT_TRUE(WaitFor([&] { return alarms() == 2; })) << "the motion that began meanwhile";
    ASSERT_EQ(camera.Command("motion off"), "OK 1");
    ASSERT_EQ(camera.Command("motion on"), "OK 1");
    EXPECT_TRUE(WaitFor([&] { return alarms() == 3; })) << "a new motion";
    Pump(300);
    EXPECT_EQ(alarms(), 3u);
  }
}

// A camera that also wants HTTP Digest authentication is answered with the
// algorithm it names, and again when it changes its nonce; a wrong password
// is refused.
TEST_F(GimbroOnvifTest, HttpDigestAuthenticationIsAnswered) {
  for (const char* algorithm : {"MD5", "SHA-256"}) {
    SCOPED_TRACE(algorithm);
    sink.events.clear();
    FakeOnvifCamera camera(0, CameraArgs({"--http-digest", algorithm}));
    const LONG id = AddCamera(camera);
    EXPECT_EQ(camera.Command("count AUTHFAIL"), "OK 0");
    ASSERT_EQ(ctrl->PtzCommand(id, kStop.c_str()), GIMBRO_OK);
    EXPECT_EQ(camera.Take("Stop"), "Stop main PanTilt=true Zoom=true");
    ASSERT_EQ(camera.Command("nonce"), "OK");
    ASSERT_EQ(ctrl->PtzCommand(id, kStop.c_str()), GIMBRO_OK);
    EXPECT_EQ(camera.Take("Stop"), "Stop main PanTilt=true Zoom=true");
    EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_CONNECTION_LOST), 0u);
    EXPECT_EQ(ctrl->RemoveDevice(id), GIMBRO_OK);

    FakeOnvifCamera other(0, CameraArgs({"--http-digest", algorithm, "--password", "right"}));
    ASSERT_TRUE(other.Ready());
    ctrl->AddDevice("127.0.0.1", other.Port(), "admin", "wrong");
    ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_REFUSED));
    EXPECT_NE(sink.Of(1, GIMBRO_STATUS_LOGIN_REFUSED)[0].text.find("refused"), std::string::npos);
  }
}

// Messages with an ONVIF counterpart are carried out and answered; the
// others, talk and broadcast are refused at once.
TEST_F(GimbroOnvifTest, MessagesWithoutCounterpartAreRefusedAtOnce) {
  FakeOnvifCamera camera(0, CameraArgs());
  const LONG id = AddCamera(camera);
  ASSERT_FALSE(camera.Take("GetStreamUri sub").empty());
  auto aux = [&](const char* type, LONG code, const char* body) -> std::string {
    const size_t before = sink.Of(3).size();
    if (ctrl->WriteAUXStringEx(id, type, code, 0, body) != GIMBRO_OK) return "(not sent)";
    if (!WaitFor([&] { return sink.Of(3).size() > before; })) return "(no answer)";
    const RecordedEvent e = sink.Of(3).back();
    return std::to_string(GimbroResponseCode(e.a)) + " " + std::to_string(GimbroResponseFlag(e.a)) + " " + e.text;
  };
  EXPECT_EQ(aux("SYSTEM_CONTROL_MESSAGE", 1007, ""), "1007 0 ");
  EXPECT_EQ(camera.Take("SystemReboot"), "SystemReboot");
  EXPECT_EQ(aux("SYSTEM_CONTROL_MESSAGE", 1012, ""), "1012 0 <RESPONSE_PARAM FileSystemVersion=\"1.2.3\" />");
  EXPECT_EQ(aux("SYSTEM_CONTROL_MESSAGE", 1002, ""), "1002 0 ");
  EXPECT_EQ(camera.Take("SetSystemFactoryDefault"), "SetSystemFactoryDefault Soft");
  // 08:30 in a zone eight hours east of UTC is 00:30 UTC.
  EXPECT_EQ(aux("SYSTEM_CONTROL_MESSAGE", 1005, "<REQUEST_PARAM  Time=\"20240105 08:30:00\"  TimeZone=\"1200\" />"),
            "1005 0 ");
  EXPECT_EQ(camera.Take("SetSystemDateAndTime"), "SetSystemDateAndTime Manual 2024-01-05T00:30:00Z");
  EXPECT_EQ(aux("SYSTEM_CONTROL_MESSAGE", 1005, "<REQUEST_PARAM />"), "1005 1 ");
  EXPECT_EQ(aux("SYSTEM_CONTROL_MESSAGE", 1014, ""), "1014 1 ");
  EXPECT_EQ(aux("SYSTEM_CONTROL_MESSAGE", 1021, "<REQUEST_PARAM />"), "1021 1 ");
  EXPECT_EQ(aux("NVR_REPLAY_MESSAGE", 3001, "<REQUEST_PARAM />"), "3001 1 ");

  ASSERT_EQ(ctrl->Talk(id, 1), GIMBRO_OK);
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_TALK_REFUSED));
  ASSERT_EQ(ctrl->StartBroadcast(0, 8000, 16, 1), GIMBRO_OK);
  ASSERT_EQ(ctrl->AddBroadcastDevice(id), GIMBRO_OK);
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_TALK_REFUSED, 2));
  EXPECT_EQ(ctrl->StopBroadcast(), GIMBRO_OK);

  // Firmware and configuration files have no counterpart either.
  TempFolder folder;
  const std::string firmware = folder.File("fw.bin");
  std::FILE* file = std::fopen(firmware.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("firmware", file);
  std::fclose(file);
  ASSERT_EQ(ctrl->UploadFile(id, 1, firmware.c_str()), GIMBRO_OK);
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_UPLOAD_FAILED));
  EXPECT_EQ(ctrl->GetUploadProgress(id), -1);

  ASSERT_EQ(ctrl->RequestIFrame(id, 1), GIMBRO_OK);
  EXPECT_EQ(camera.Take("SetSynchronizationPoint"), "SetSynchronizationPoint sub");
  ASSERT_EQ(ctrl->RequestIFrame(id, 0), GIMBRO_OK);
  EXPECT_EQ(camera.Take("SetSynchronizationPoint"), "SetSynchronizationPoint main");
}

// The clock sync sets a camera whose clock is two hours off to this clock, in UTC.
TEST_F(GimbroOnvifTest, ClockSyncSetsTheCameraClock) {
  FakeOnvifCamera camera(0, CameraArgs({"--clock-offset", "7200"}));
  const LONG id = AddCamera(camera);
  ASSERT_EQ(ctrl->SetTimeSync(id, 1, 60, 3600), GIMBRO_OK);
  const std::string set = camera.Take("SetSystemDateAndTime");
  ASSERT_EQ(set.rfind("SetSystemDateAndTime Manual ", 0), 0u) << set;
  const QDateTime sent = QDateTime::fromString(QString::fromStdString(set.substr(28)), Qt::ISODate);
  ASSERT_TRUE(sent.isValid()) << set;
  EXPECT_LE(std::abs(sent.secsTo(QDateTime::currentDateTimeUtc())), 30);
  // Once set, the camera's clock is within the allowed difference: not set again.
  ASSERT_EQ(ctrl->SetTimeSync(id, 1, 60, 3600), GIMBRO_OK);
  EXPECT_FALSE(camera.Take("GetSystemDateAndTime").empty());
  Pump(500);
  EXPECT_EQ(camera.Command("count SetSystemDateAndTime"), "OK 0");
}
