// Messages to a logged-in device and the events its answers raise.
#include <QLoggingCategory>
#include <cstring>
#include <mutex>

#include "gimbro_fixture.h"

namespace {

std::mutex g_logMutex;
std::string g_log;

void CaptureLog(QtMsgType, const QMessageLogContext&, const QString& message) {
  std::lock_guard<std::mutex> lock(g_logMutex);
  g_log += message.toStdString() + "\n";
}

}  // namespace

TEST_F(GimbroTest, LoginRaisesOnlineOnTheUiThreadAndNeverLogsThePassword) {
  QLoggingCategory::setFilterRules(QStringLiteral("vemo.gimbro*=true"));
  QtMessageHandler previous = qInstallMessageHandler(CaptureLog);

  FakeDeviceProcess device(0, {"--password", "Pa55-w0rd!x"});
  const LONG id = AddOnline(device, "Pa55-w0rd!x");
  EXPECT_EQ(device.Take("LOGIN"), "LOGIN admin ok");
  const auto online = sink.Of(1, GIMBRO_STATUS_LOGIN_OK);
  ASSERT_EQ(online.size(), 1u);
  EXPECT_EQ(online[0].id, id);
  EXPECT_TRUE(online[0].onUiThread);

  FakeDeviceProcess other(0, {"--password", "Pa55-w0rd!x"});
  const LONG wrong = ctrl->AddDevice("127.0.0.1", other.Port(), "admin", "Wr0ng-Pa55");
  EXPECT_NE(wrong, id);
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_REFUSED));
  EXPECT_EQ(other.Take("LOGIN"), "LOGIN admin refused");
  // A refused login is retried, but reported once.
  EXPECT_FALSE(other.Take("LOGIN", 1.5).empty());
  Pump(200);
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_LOGIN_REFUSED), 1u);
  EXPECT_EQ(sink.Of(1, GIMBRO_STATUS_LOGIN_REFUSED)[0].id, wrong);
  EXPECT_EQ(ctrl->PtzCommand(wrong, "<xml/>"), GIMBRO_ERR_OFFLINE);

  ctrl.reset();
  qInstallMessageHandler(previous);
  QLoggingCategory::setFilterRules(QString());
  std::lock_guard<std::mutex> lock(g_logMutex);
  EXPECT_NE(g_log.find("admin"), std::string::npos);  // the log was captured
  EXPECT_EQ(g_log.find("Pa55-w0rd!x"), std::string::npos);
  EXPECT_EQ(g_log.find("Wr0ng-Pa55"), std::string::npos);
}

TEST_F(GimbroTest, PtzTextReachesTheDeviceByteForByte) {
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  const std::string nvr = "<channelid>3</channelid>\n<xml>\n<cmd>Up</cmd>\t<speed>5</speed>\r\n\xd4\xc6\xcc\xa8 </xml>";
  ASSERT_EQ(ctrl->PtzCommand(id, nvr.c_str()), GIMBRO_OK);
  EXPECT_EQ(device.Take("PTZ"), "PTZ " + Hex(nvr));
  ASSERT_TRUE(WaitFor([&] { return sink.Of(2).size() == 1; }));
  EXPECT_EQ(sink.Of(2)[0].a, GimbroPackResponse(0, 1));
  EXPECT_EQ(sink.Of(2)[0].text, "PTZ_OK");

  ASSERT_EQ(device.Command("ptz 3 4660"), "OK");
  ASSERT_EQ(ctrl->PtzCommand(id, "<xml>\n<cmd>GetPresetList</cmd>\n</xml>"), GIMBRO_OK);
  ASSERT_TRUE(WaitFor([&] { return sink.Of(2).size() == 2; }));
  EXPECT_EQ(GimbroResponseFlag(sink.Of(2)[1].a), 3);
  EXPECT_EQ(GimbroResponseCode(sink.Of(2)[1].a), 4660);
  EXPECT_EQ(sink.Of(2)[1].id, id);
}

TEST_F(GimbroTest, AuxiliaryMessagesAreAnsweredPerCode) {
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  const std::string day = "<REQUEST_PARAM\t\t\t\t\t  ChannelId=\"3\"\t\t\t\t\t  Time=\"20240105\"\t\t\t\t\t  />";
  struct Case {
    const char* type;
    LONG code;
    LONG flag;
    std::string body;
    const char* answerHas;
  };
  const Case cases[] = {
      {"SYSTEM_CONTROL_MESSAGE", 1002, 0, "", ""},
      {"SYSTEM_CONTROL_MESSAGE", 1009, 1, "", ""},
      {"SYSTEM_CONTROL_MESSAGE", 1012, 0, "", "FileSystemVersion=\"FS-2.4.1\""},
      {"SYSTEM_CONTROL_MESSAGE", 1014, 0, "", "DevName=\"usb\""},
      {"SYSTEM_CONTROL_MESSAGE", 1017, 255, "<REQUEST_PARAM DevName = \"sd1\" />", ""},
      {"SYSTEM_CONTROL_MESSAGE", 1018, 0, "<REQUEST_PARAM DevName = \"usb\" />", ""},
      {"SYSTEM_CONTROL_MESSAGE", 1021, 0, "<REQUEST_PARAM\t\t\t\t     StartTime=\"20240105 00:00:00\"/>",
       "<RECORD_FILE FilePath=\"/mnt/sd1/rec/20240105/080000.avi\""},
      {"SYSTEM_CONTROL_MESSAGE", 1021, 2, "<REQUEST_PARAM Page=\"1\"/>", ""},
      {"NVR_REPLAY_MESSAGE", 3001, 0, day, "ChannelId=\"3\" Stream=\"AAAA"},
  };
  size_t answers = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    ASSERT_EQ(device.Command("aux " + std::to_string(c.code) + " " + std::to_string(c.flag)), "OK");
    ASSERT_EQ(ctrl->WriteAUXStringEx(id, c.type, c.code, 0, c.body.c_str()), GIMBRO_OK);
    EXPECT_EQ(device.Take("AUX " + std::to_string(c.code)),
              "AUX " + std::to_string(c.code) + " 0 " + Hex(c.type) + " " + Hex(c.body));
    ASSERT_TRUE(WaitFor([&] { return sink.Of(3).size() == answers + 1; }));
    const RecordedEvent e = sink.Of(3)[answers++];
    EXPECT_EQ(e.id, id);
    EXPECT_EQ(GimbroResponseCode(e.a), c.code);
    EXPECT_EQ(GimbroResponseFlag(e.a), c.flag == 255 ? -1 : c.flag);
    EXPECT_NE(e.text.find(c.answerHas), std::string::npos) << e.text;
  }
  // A device reports its upgrade result on its own.
  ASSERT_EQ(device.Command("auxpush 1009 1 "), "OK 1");
  ASSERT_TRUE(WaitFor([&] { return sink.Of(3).size() == answers + 1; }));
  EXPECT_EQ(sink.Of(3).back().a, GimbroPackResponse(1, 1009));
}

TEST_F(GimbroTest, TalkBringsParametersAndMedia) {
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  ASSERT_EQ(ctrl->Talk(id, 1), GIMBRO_OK);
  EXPECT_EQ(device.Take("TALK"), "TALK 1");
  ASSERT_TRUE(WaitFor([&] { return sink.Of(5).size() == 3; }));
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_TALK_STARTED), 1u);
  const auto params = sink.Of(6, GIMBRO_MEDIA_TALK);
  ASSERT_EQ(params.size(), 1u);
  EXPECT_NE(params[0].text.find("<MESSAGE_BODY><RA_START_RESPONSE AudioCodec=\"G711\" Samplerate=\"8000\" "
                                "BitsPerSample=\"16\" Channels=\"1\" />"),
            std::string::npos);
  for (int seq = 0; seq < 3; ++seq) {
    const RecordedEvent m = sink.Of(5)[seq];
    EXPECT_EQ(m.a, GIMBRO_MEDIA_TALK);
    ASSERT_EQ(m.b, 180);  // 20-byte packet head and 160 bytes of audio
    const auto* p = reinterpret_cast<const unsigned char*>(m.text.data());
    EXPECT_EQ(p[8] | (p[9] << 8), seq);
    EXPECT_EQ(p[10] | (p[11] << 8), 160);
    EXPECT_EQ(p[14], 1);
    EXPECT_EQ(p[20], 0xFF - seq);
    const auto* h = reinterpret_cast<const unsigned char*>(m.header.data());
    EXPECT_EQ(h[0], 1);
    EXPECT_EQ(h[8], seq * 20);
  }
  ASSERT_EQ(ctrl->Talk(id, 0), GIMBRO_OK);
  EXPECT_EQ(device.Take("TALK"), "TALK 0");

  ASSERT_EQ(device.Command("talk refuse"), "OK");
  ASSERT_EQ(ctrl->Talk(id, 1), GIMBRO_OK);
  EXPECT_TRUE(WaitStatus(GIMBRO_STATUS_TALK_REFUSED));
}

TEST_F(GimbroTest, DeviceReportsBecomeEvents) {
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  ASSERT_EQ(device.Command("alarm 2024 1 5 99 8 30 15 25 1"), "OK 1");
  ASSERT_EQ(device.Command("status 26 8"), "OK 1");
  ASSERT_EQ(device.Command("status 27 101"), "OK 1");
  ASSERT_EQ(device.Command("status 4 forged online"), "OK 1");
  ASSERT_EQ(device.Command("mediaparam 4 <PARAM VideoParam=\"x\"/>"), "OK 1");
  ASSERT_EQ(device.Command("replay 7 12"), "OK 1");
  ASSERT_TRUE(WaitFor([&] { return sink.Of(7).size() == 1; }));

  ASSERT_EQ(sink.Of(4).size(), 1u);
  const GimbroAlarmRecord a = sink.Of(4)[0].alarm;
  EXPECT_EQ(sink.Of(4)[0].id, id);
  EXPECT_EQ(a.year, 2024);
  EXPECT_EQ(a.month, 1);
  EXPECT_EQ(a.day, 5);
  EXPECT_EQ(a.spare, 99);
  EXPECT_EQ(a.hour, 8);
  EXPECT_EQ(a.minute, 30);
  EXPECT_EQ(a.second, 15);
  EXPECT_EQ(a.type, 25);
  EXPECT_EQ(a.subFlag, 1);
  EXPECT_EQ(a.reserved[0], 0xA5);
  EXPECT_EQ(a.reserved[131], 0xA5);

  ASSERT_EQ(sink.Of(1, GIMBRO_STATUS_CHANNELS_CHANGED).size(), 1u);
  EXPECT_EQ(sink.Of(1, GIMBRO_STATUS_CHANNELS_CHANGED)[0].text, "8");
  ASSERT_EQ(sink.Of(1, GIMBRO_STATUS_STATE_REPORT).size(), 1u);
  EXPECT_EQ(sink.Of(1, GIMBRO_STATUS_STATE_REPORT)[0].text, "101");
  // Connection states are the control's own: a device cannot claim them.
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_LOGIN_OK), 1u);
  ASSERT_EQ(sink.Of(6, GIMBRO_MEDIA_NVR_REPLAY).size(), 1u);
  EXPECT_EQ(sink.Of(6, GIMBRO_MEDIA_NVR_REPLAY)[0].text, "<PARAM VideoParam=\"x\"/>");
  EXPECT_EQ(sink.Of(7)[0].a, 7);
  EXPECT_EQ(sink.Of(7)[0].b, 12);
  for (const auto& e : sink.events) EXPECT_TRUE(e.onUiThread);
}

TEST_F(GimbroTest, BroadcastTimeSyncAndKeyFrameReachTheDevice) {
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  EXPECT_EQ(ctrl->AddBroadcastDevice(id), GIMBRO_ERR_NO_BROADCAST);
  ASSERT_EQ(ctrl->StartBroadcast(1, 16000, 16, 2), GIMBRO_OK);
  ASSERT_EQ(ctrl->AddBroadcastDevice(id), GIMBRO_OK);
  EXPECT_EQ(device.Take("BROADCAST "), "BROADCAST 1 16000 16 2");
  EXPECT_TRUE(WaitStatus(GIMBRO_STATUS_TALK_STARTED));
  ASSERT_EQ(ctrl->StopBroadcast(), GIMBRO_OK);
  EXPECT_EQ(device.Take("BROADCAST_STOP"), "BROADCAST_STOP");

  ASSERT_EQ(ctrl->SetTimeSync(id, 1, 10, 1), GIMBRO_OK);
  const std::string sync = device.Take("TIMESYNC");
  ASSERT_EQ(sync.rfind("TIMESYNC 10 ", 0), 0u) << sync;
  EXPECT_EQ(sync.size() - sync.rfind(' ', sync.size() - 10) - 1, 17u) << sync;  // "YYYYMMDD HH:MM:SS"
  EXPECT_FALSE(device.Take("TIMESYNC", 5).empty());  // again after the interval
  EXPECT_EQ(ctrl->SetTimeSync(id, 1, 10, 0), GIMBRO_ERR_ARGUMENT);

  ASSERT_EQ(ctrl->RequestIFrame(id, 1), GIMBRO_OK);
  EXPECT_EQ(device.Take("IFRAME"), "IFRAME 1");
  ASSERT_EQ(ctrl->CreateIFrame(id, 0), GIMBRO_OK);
  EXPECT_EQ(device.Take("IFRAME"), "IFRAME 0");
}
