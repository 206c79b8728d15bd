// The ONVIF layer without a network: envelopes, tokens, answers, PTZ texts,
// events and the stream address rule.
#include <gtest/gtest.h>

#include <QLocale>
#include <QTimeZone>

#include "maker/gimbro/gimbro_streams.h"
#include "maker/gimbro/onvif/event_alarms.h"
#include "maker/gimbro/onvif/onvif_requests.h"
#include "maker/gimbro/onvif/ptz_action.h"
#include "maker/gimbro/onvif/soap_envelope.h"

using namespace onvif;

namespace {

QByteArray Soap12(const QString& body) {
  return QStringLiteral("<?xml version=\"1.0\"?><env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\" "
                        "xmlns:tt=\"http://www.onvif.org/ver10/schema\" xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\">"
                        "<env:Body>%1</env:Body></env:Envelope>")
      .arg(body)
      .toUtf8();
}

}  // namespace

TEST(OnvifSoap, AnswersAreCheckedToBeEnvelopes) {
  std::string deep;
  for (int i = 0; i < 100; ++i) deep += "<a>";
  for (int i = 0; i < 100; ++i) deep += "</a>";
  struct Case {
    const char* name;
    QByteArray data;
    SoapAnswer::Kind kind;
    QString detail;  // the body's element, the fault subcode, or a word of the error
  };
  const Case cases[] = {
      {"answer", Soap12("<tds:GetDeviceInformationResponse><tds:Model>M</tds:Model></tds:GetDeviceInformationResponse>"),
       SoapAnswer::kOk, "GetDeviceInformationResponse"},
      {"SOAP 1.1 answer",
       "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body><x:R xmlns:x=\"urn:x\"/></s:Body>"
       "</s:Envelope>",
       SoapAnswer::kOk, "R"},
      {"fault with nested subcodes",
       Soap12("<env:Fault><env:Code><env:Value>env:Sender</env:Value><env:Subcode><env:Value>ter:InvalidArgVal</env:Value>"
              "<env:Subcode><env:Value>ter:NotAuthorized</env:Value></env:Subcode></env:Subcode></env:Code>"
              "<env:Reason><env:Text xml:lang=\"en\">no</env:Text></env:Reason></env:Fault>"),
       SoapAnswer::kFault, "NotAuthorized"},
      {"SOAP 1.1 fault",
       "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body><s:Fault><faultcode>s:Client"
       "</faultcode><faultstring>bad</faultstring></s:Fault></s:Body></s:Envelope>",
       SoapAnswer::kFault, ""},
      {"not XML", "hello, world", SoapAnswer::kNotSoap, "not XML"},
      {"HTML page", "<html><body>Not Found</body></html>", SoapAnswer::kNotSoap, "html"},
      {"truncated", Soap12("<tds:R>").left(60), SoapAnswer::kNotSoap, "not XML"},
      {"envelope of another namespace", "<Envelope xmlns=\"urn:other\"><Body/></Envelope>", SoapAnswer::kNotSoap, "not a SOAP"},
      {"no body", "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\"/>", SoapAnswer::kNotSoap, "no body"},
      {"entity expansion",
       "<!DOCTYPE x [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><x>&b;</x>",
       SoapAnswer::kNotSoap, "document type"},
      {"nested too deep", QByteArray::fromStdString(deep), SoapAnswer::kNotSoap, "nested"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SoapAnswer answer = ReadAnswer(c.data);
    EXPECT_EQ(answer.kind, c.kind) << answer.Describe().toStdString();
    if (c.kind == SoapAnswer::kOk) {
      EXPECT_EQ(answer.body.name, c.detail);
    } else if (c.kind == SoapAnswer::kFault) {
      EXPECT_EQ(answer.faultSubcode, c.detail);
    } else {
      EXPECT_TRUE(answer.error.contains(c.detail)) << answer.error.toStdString();
    }
  }
  EXPECT_TRUE(ReadAnswer(cases[2].data).NotAuthorized());
  EXPECT_FALSE(ReadAnswer(cases[3].data).NotAuthorized());
}

// PasswordDigest = Base64(SHA-1(nonce + created + password)), as a second
// implementation computes it for the same values.
TEST(OnvifSoap, UsernameTokenCarriesTheDigestAndTheDevicesTime) {
  const QDateTime created(QDate(2024, 1, 2), QTime(3, 4, 5), QTimeZone::utc());
  const QString token = UsernameToken("admin", "secret", "0123456789abcdef", created);
  EXPECT_TRUE(token.contains(">TjxByUPMFoQMjTJfLfAxj67d7B4=</wsse:Password>")) << token.toStdString();
  EXPECT_TRUE(token.contains(">MDEyMzQ1Njc4OWFiY2RlZg==</wsse:Nonce>"));
  EXPECT_TRUE(token.contains("<wsu:Created>2024-01-02T03:04:05Z</wsu:Created>"));
  // A time given in another zone is written in UTC.
  const QDateTime east(QDate(2024, 1, 2), QTime(11, 4, 5), QTimeZone(8 * 3600));
  EXPECT_EQ(UtcText(east), "2024-01-02T03:04:05Z");
  // Names are escaped; the whole request is one well-formed envelope.
  const QByteArray envelope = Envelope(UsernameToken("a<b&\"c", "p", "n", created), "<tds:GetDeviceInformation/>");
  XmlNode root;
  QString error;
  ASSERT_TRUE(ParseXml(envelope, &root, &error)) << error.toStdString();
  EXPECT_EQ(root.Find("Username")->text, "a<b&\"c");
}

TEST(OnvifSoap, NumbersAndTimesIgnoreTheUsersLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const QString move = ContinuousMove("p", std::make_pair(-0.3, 1.0), 0.5).body;
  const QString time = SetSystemDateAndTime(QDateTime(QDate(2024, 3, 1), QTime(1, 2, 3), QTimeZone(-5 * 3600))).body;
  QLocale::setDefault(saved);
  EXPECT_TRUE(move.contains("<tt:PanTilt x=\"-0.30\" y=\"1.00\"/><tt:Zoom x=\"0.50\"/>")) << move.toStdString();
  EXPECT_TRUE(time.contains("<tt:Hour>6</tt:Hour><tt:Minute>2</tt:Minute><tt:Second>3</tt:Second>")) << time.toStdString();
  EXPECT_TRUE(time.contains("<tt:Year>2024</tt:Year><tt:Month>3</tt:Month><tt:Day>1</tt:Day>"));
}

TEST(OnvifSoap, DeviceClockIsReadAsUtc) {
  auto clock = [](const QString& inner) {
    const SoapAnswer answer = ReadAnswer(Soap12("<tds:GetSystemDateAndTimeResponse><tds:SystemDateAndTime>" + inner +
                                                "</tds:SystemDateAndTime></tds:GetSystemDateAndTimeResponse>"));
    const auto time = ReadDeviceTime(answer.body);
    return time ? UtcText(*time).toStdString() : std::string("none");
  };
  const QString date = "<tt:Date><tt:Year>2024</tt:Year><tt:Month>2</tt:Month><tt:Day>29</tt:Day></tt:Date>";
  const QString time = "<tt:Time><tt:Hour>1</tt:Hour><tt:Minute>30</tt:Minute><tt:Second>0</tt:Second></tt:Time>";
  EXPECT_EQ(clock("<tt:UTCDateTime>" + time + date + "</tt:UTCDateTime>"), "2024-02-29T01:30:00Z");
  // Only a local time: its POSIX zone (8 hours east) gives UTC.
  EXPECT_EQ(clock("<tt:TimeZone><tt:TZ>CST-8</tt:TZ></tt:TimeZone><tt:LocalDateTime>" + time + date + "</tt:LocalDateTime>"),
            "2024-02-28T17:30:00Z");
  EXPECT_EQ(clock("<tt:UTCDateTime>" + time + "</tt:UTCDateTime>"), "none");
  EXPECT_EQ(clock("<tt:UTCDateTime><tt:Time><tt:Hour>25</tt:Hour><tt:Minute>0</tt:Minute><tt:Second>0</tt:Second>"
                  "</tt:Time>" + date + "</tt:UTCDateTime>"),
            "none");
}

namespace {

// One notification message of a pull answer.
QString EventMessage(const char* topic, const char* operation, const char* item, const char* value,
                     const char* source = "vs0") {
  return QStringLiteral("<wsnt:NotificationMessage xmlns:wsnt=\"http://docs.oasis-open.org/wsn/b-2\">"
                        "<wsnt:Topic Dialect=\"x\">tns1:%1</wsnt:Topic><wsnt:Message><tt:Message UtcTime=\"t\" "
                        "PropertyOperation=\"%2\"><tt:Source><tt:SimpleItem Name=\"Source\" Value=\"%5\"/></tt:Source>"
                        "<tt:Data><tt:SimpleItem Name=\"%3\" Value=\"%4\"/></tt:Data></tt:Message></wsnt:Message>"
                        "</wsnt:NotificationMessage>")
      .arg(topic, operation, item, value, source);
}

std::vector<Notification> PullAnswer(const QString& messages) {
  const SoapAnswer answer =
      ReadAnswer(Soap12("<tev:PullMessagesResponse xmlns:tev=\"urn:tev\">" + messages + "</tev:PullMessagesResponse>"));
  return ReadNotifications(answer.body);
}

}  // namespace

TEST(OnvifSoap, EventTopicsGiveTheirAlarmStates) {
  struct Case {
    QString xml;
    int type;
    bool active;
  };
  const Case cases[] = {
      {EventMessage("VideoSource/MotionAlarm", "Changed", "State", "true"), kAlarmTypeMotion, true},
      {EventMessage("VideoSource/MotionAlarm", "Changed", "State", "false"), kAlarmTypeMotion, false},
      {EventMessage("RuleEngine/CellMotionDetector/Motion", "Changed", "IsMotion", "1"), kAlarmTypeMotion, true},
      {EventMessage("Device/Trigger/DigitalInput", "Changed", "LogicalState", "true"), kAlarmTypeInput, true},
      {EventMessage("VideoSource/GlobalSceneChange/ImagingService", "Changed", "State", "true"), 0, false},
  };
  QString all;
  for (const Case& c : cases) all += c.xml;
  const std::vector<Notification> notifications = PullAnswer(all);
  ASSERT_EQ(notifications.size(), std::size(cases));
  for (size_t i = 0; i < notifications.size(); ++i) {
    SCOPED_TRACE(cases[i].xml.toStdString());
    EXPECT_EQ(ReadAlarmState(notifications[i]).type, cases[i].type);
    EXPECT_EQ(ReadAlarmState(notifications[i]).active, cases[i].active);
  }
  EXPECT_EQ(notifications[0].topic, "VideoSource/MotionAlarm");
}

// A source that becomes active is an alarm; the current states that begin a
// subscription are not, unless the source was known inactive before.
TEST(OnvifSoap, EventsBecomeAlarmsWhenTheirSourceBecomesActive) {
  const QString motionOn = EventMessage("VideoSource/MotionAlarm", "Changed", "State", "true");
  const QString motionOff = EventMessage("VideoSource/MotionAlarm", "Changed", "State", "false");
  const QString motionIs = EventMessage("VideoSource/MotionAlarm", "Initialized", "State", "true");
  const QString motionIsNot = EventMessage("VideoSource/MotionAlarm", "Initialized", "State", "false");
  const QString otherSourceOn = EventMessage("VideoSource/MotionAlarm", "Changed", "State", "true", "vs1");
  const QString inputOn = EventMessage("Device/Trigger/DigitalInput", "Changed", "LogicalState", "true");
  const QString motionGone = EventMessage("VideoSource/MotionAlarm", "Deleted", "State", "false");
  struct Step {
    bool newSubscription;
    QString answer;
    std::vector<int> alarms;
  };
  const std::vector<int> none;
  const std::vector<int> motion = {kAlarmTypeMotion};
  const std::vector<Step> steps = {
      {true, motionIs, none},                                  // running at the login
      {false, motionOn, none},                                 // still the same motion
      {false, motionOff + motionOn, motion},                   // a new one
      {true, motionOn, none},                                  // subscribed again, still running, sent as a change
      {true, motionIs, none},                                  // the same, sent as the standard has it
      {false, motionOff, none},
      {true, motionIs, motion},                                // began while no subscription ran
      {false, motionOff + otherSourceOn + inputOn, {kAlarmTypeMotion, kAlarmTypeInput}},
      {false, motionGone, none},
      {true, motionOn, none},                                  // forgotten: as at the login
      {false, motionIsNot + motionOn, motion},
  };
  EventAlarms alarms;
  for (size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(i);
    if (steps[i].newSubscription) alarms.NewSubscription();
    EXPECT_EQ(alarms.Take(PullAnswer(steps[i].answer)), steps[i].alarms);
  }
}

TEST(OnvifSoap, PtzTextsAreRead) {
  struct Case {
    std::string text;
    PtzAction::Kind kind;
    double pan, tilt, speed;
    const char* preset;
  };
  const Case cases[] = {
      {"<xml>\t<cmd>up</cmd>\t<panspeed>3</panspeed>\t<tiltspeed>7</tiltspeed>\t</xml>", PtzAction::kMove, 0, 0.7, 0, ""},
      {"<xml><cmd>left</cmd><panspeed>10</panspeed><tiltspeed>1</tiltspeed></xml>", PtzAction::kMove, -1.0, 0, 0, ""},
      {"<xml><cmd>down</cmd><panspeed>0</panspeed><tiltspeed>99</tiltspeed></xml>", PtzAction::kMove, 0, -1.0, 0, ""},
      {"<channelid>2</channelid>\n<xml><cmd>right</cmd><panspeed>4</panspeed><tiltspeed>4</tiltspeed></xml>",
       PtzAction::kMove, 0.4, 0, 0, ""},
      {"<xml><cmd>zoomwide</cmd></xml>", PtzAction::kZoom, 0, 0, -kLensSpeed, ""},
      {"<xml><cmd>FocusFarAutoOff</cmd></xml>", PtzAction::kFocus, 0, 0, kLensSpeed, ""},
      {"<xml><cmd>stop</cmd></xml>", PtzAction::kStop, 0, 0, 0, ""},
      {"<xml><cmd>setpreset</cmd><preset>007</preset><flag>1</flag></xml>", PtzAction::kSetPreset, 0, 0, 0, "7"},
      {"<xml><cmd>callpreset</cmd><preset>12</preset></xml>", PtzAction::kCallPreset, 0, 0, 0, "12"},
      {"<xml><cmd>clearpreset</cmd><preset>3</preset></xml>", PtzAction::kRemovePreset, 0, 0, 0, "3"},
      {"<xml>\n<cmd>GetPresetList</cmd>\n</xml>", PtzAction::kPresetList, 0, 0, 0, ""},
      {"<xml><cmd>setpreset</cmd><preset>3</preset><flag>1</flag><r><b>08:00</b><e>09:00</e></r></xml>",
       PtzAction::kUnsupported, 0, 0, 0, ""},
      {"<xml><cmd>callpreset</cmd><preset>s1@act</preset></xml>", PtzAction::kUnsupported, 0, 0, 0, ""},
      {"<xml><cmd>IrisOpenAutoOff</cmd></xml>", PtzAction::kUnsupported, 0, 0, 0, ""},
      {"<xml>\n<cmd>trans</cmd>\n<data>01a0ff</data>\n</xml>", PtzAction::kUnsupported, 0, 0, 0, ""},
      {"\x01\x02 plug-in bytes", PtzAction::kUnsupported, 0, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const PtzAction action = ReadPtzText(c.text);
    EXPECT_EQ(action.kind, c.kind);
    EXPECT_DOUBLE_EQ(action.pan, c.pan);
    EXPECT_DOUBLE_EQ(action.tilt, c.tilt);
    EXPECT_DOUBLE_EQ(action.speed, c.speed);
    EXPECT_EQ(action.preset, c.preset);
  }
}

TEST(OnvifStreams, AddressesFindTheirDevice) {
  const int a = 0, b = 0, c = 0;
  gimbro_streams::Entry first{"cams.local", false, "rtsp://10.0.0.5:5541/main", "rtsp://10.0.0.5:5541/sub", "u1", "p1"};
  gimbro_streams::Entry second{"CAMS.local", false, "rtsp://10.0.0.5:5542/main", "", "u2", "p2"};
  gimbro_streams::Entry probing{"new.local", true, "", "", "u3", "p3"};
  gimbro_streams::Publish(&a, first);
  gimbro_streams::Publish(&b, second);
  gimbro_streams::Publish(&c, probing);
  using Found = gimbro_streams::Found;
  struct Case {
    const char* host;
    int port;
    bool sub;
    Found::Kind kind;
    const char* uri;
  };
  const Case cases[] = {
      {"cams.local", 5541, false, Found::kStream, "rtsp://10.0.0.5:5541/main"},
      {"cams.local", 5541, true, Found::kStream, "rtsp://10.0.0.5:5541/sub"},
      {"Cams.Local", 5542, false, Found::kStream, "rtsp://10.0.0.5:5542/main"},
      {"cams.local", 5542, true, Found::kStream, "rtsp://10.0.0.5:5542/main"},  // one profile: the main stream
      {"cams.local", 554, false, Found::kNone, ""},  // two devices there, neither with that port
      {"new.local", 554, false, Found::kWait, ""},
      {"other.local", 554, false, Found::kNone, ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.host) + ":" + std::to_string(k.port));
    const Found found = gimbro_streams::Find(k.host, k.port, k.sub);
    EXPECT_EQ(found.kind, k.kind);
    EXPECT_EQ(found.uri, k.uri);
  }
  EXPECT_EQ(gimbro_streams::Find("cams.local", 5542, false).password, "p2");
  gimbro_streams::Erase(&b);
  EXPECT_EQ(gimbro_streams::Find("cams.local", 554, false).uri, "rtsp://10.0.0.5:5541/main");
  gimbro_streams::Erase(&a);
  gimbro_streams::Erase(&c);
  EXPECT_EQ(gimbro_streams::Find("new.local", 554, false).kind, Found::kNone);

  for (const char* sub : {"/mpeg4cif", "/h264cif", "/mpeg4cif-3", "mpeg4cif"}) {
    EXPECT_TRUE(gimbro_streams::IsSubStreamPath(sub)) << sub;
  }
  for (const char* main : {"/mpeg4", "/h264-D1", "/mpeg4-3", "/cif/mpeg4", ""}) {
    EXPECT_FALSE(gimbro_streams::IsSubStreamPath(main)) << main;
  }
}
