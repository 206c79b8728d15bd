#include "maker/gimbro/onvif/onvif_requests.h"

#include <QRegularExpression>
#include <QTimeZone>

#include "maker/gimbro/onvif/soap_envelope.h"

namespace onvif {

namespace {

const QString kDevice = QStringLiteral("http://www.onvif.org/ver10/device/wsdl/");
const QString kMedia = QStringLiteral("http://www.onvif.org/ver10/media/wsdl/");
const QString kPtz = QStringLiteral("http://www.onvif.org/ver20/ptz/wsdl/");
const QString kImaging = QStringLiteral("http://www.onvif.org/ver20/imaging/wsdl/");

QString Element(const QString& name, const QString& text) {
  return QStringLiteral("<%1>%2</%1>").arg(name, Escape(text));
}

QString ProfileToken(const QString& prefix, const QString& profile) {
  return Element(prefix + QStringLiteral(":ProfileToken"), profile);
}

}  // namespace

Request GetSystemDateAndTime() {
  return {kDevice + QStringLiteral("GetSystemDateAndTime"), QStringLiteral("<tds:GetSystemDateAndTime/>")};
}

Request GetDeviceInformation() {
  return {kDevice + QStringLiteral("GetDeviceInformation"), QStringLiteral("<tds:GetDeviceInformation/>")};
}

Request GetCapabilities() {
  return {kDevice + QStringLiteral("GetCapabilities"),
          QStringLiteral("<tds:GetCapabilities><tds:Category>All</tds:Category></tds:GetCapabilities>")};
}

Request SetSystemDateAndTime(const QDateTime& utcTime) {
  const QDateTime utc = utcTime.toUTC();
  const QString time = QStringLiteral("<tt:Time><tt:Hour>%1</tt:Hour><tt:Minute>%2</tt:Minute><tt:Second>%3</tt:Second></tt:Time>")
                           .arg(utc.time().hour())
                           .arg(utc.time().minute())
                           .arg(utc.time().second());
  const QString date = QStringLiteral("<tt:Date><tt:Year>%1</tt:Year><tt:Month>%2</tt:Month><tt:Day>%3</tt:Day></tt:Date>")
                           .arg(utc.date().year())
                           .arg(utc.date().month())
                           .arg(utc.date().day());
  return {kDevice + QStringLiteral("SetSystemDateAndTime"),
          QStringLiteral("<tds:SetSystemDateAndTime><tds:DateTimeType>Manual</tds:DateTimeType>"
                         "<tds:DaylightSavings>false</tds:DaylightSavings><tds:UTCDateTime>%1%2</tds:UTCDateTime>"
                         "</tds:SetSystemDateAndTime>")
              .arg(time, date)};
}

Request SystemReboot() { return {kDevice + QStringLiteral("SystemReboot"), QStringLiteral("<tds:SystemReboot/>")}; }

Request SetSystemFactoryDefault() {
  return {kDevice + QStringLiteral("SetSystemFactoryDefault"),
          QStringLiteral("<tds:SetSystemFactoryDefault><tds:FactoryDefault>Soft</tds:FactoryDefault>"
                         "</tds:SetSystemFactoryDefault>")};
}

Request GetProfiles() { return {kMedia + QStringLiteral("GetProfiles"), QStringLiteral("<trt:GetProfiles/>")}; }

Request GetStreamUri(const QString& profile) {
  return {kMedia + QStringLiteral("GetStreamUri"),
          QStringLiteral("<trt:GetStreamUri><trt:StreamSetup><tt:Stream>RTP-Unicast</tt:Stream>"
                         "<tt:Transport><tt:Protocol>RTSP</tt:Protocol></tt:Transport></trt:StreamSetup>%1"
                         "</trt:GetStreamUri>")
              .arg(ProfileToken(QStringLiteral("trt"), profile))};
}

Request SetSynchronizationPoint(const QString& profile) {
  return {kMedia + QStringLiteral("SetSynchronizationPoint"),
          QStringLiteral("<trt:SetSynchronizationPoint>%1</trt:SetSynchronizationPoint>")
              .arg(ProfileToken(QStringLiteral("trt"), profile))};
}

Request ContinuousMove(const QString& profile, std::optional<std::pair<double, double>> panTilt,
                       std::optional<double> zoom) {
  QString velocity;
  if (panTilt) {
    velocity += QStringLiteral("<tt:PanTilt x=\"%1\" y=\"%2\"/>").arg(Number(panTilt->first), Number(panTilt->second));
  }
  if (zoom) velocity += QStringLiteral("<tt:Zoom x=\"%1\"/>").arg(Number(*zoom));
  return {kPtz + QStringLiteral("ContinuousMove"),
          QStringLiteral("<tptz:ContinuousMove>%1<tptz:Velocity>%2</tptz:Velocity></tptz:ContinuousMove>")
              .arg(ProfileToken(QStringLiteral("tptz"), profile), velocity)};
}

Request Stop(const QString& profile) {
  return {kPtz + QStringLiteral("Stop"),
          QStringLiteral("<tptz:Stop>%1<tptz:PanTilt>true</tptz:PanTilt><tptz:Zoom>true</tptz:Zoom></tptz:Stop>")
              .arg(ProfileToken(QStringLiteral("tptz"), profile))};
}

Request GetPresets(const QString& profile) {
  return {kPtz + QStringLiteral("GetPresets"),
          QStringLiteral("<tptz:GetPresets>%1</tptz:GetPresets>").arg(ProfileToken(QStringLiteral("tptz"), profile))};
}

Request SetPreset(const QString& profile, const QString& name, const QString& presetToken) {
  QString body = ProfileToken(QStringLiteral("tptz"), profile) + Element(QStringLiteral("tptz:PresetName"), name);
  if (!presetToken.isEmpty()) body += Element(QStringLiteral("tptz:PresetToken"), presetToken);
  return {kPtz + QStringLiteral("SetPreset"), QStringLiteral("<tptz:SetPreset>%1</tptz:SetPreset>").arg(body)};
}

Request GotoPreset(const QString& profile, const QString& presetToken) {
  return {kPtz + QStringLiteral("GotoPreset"),
          QStringLiteral("<tptz:GotoPreset>%1%2</tptz:GotoPreset>")
              .arg(ProfileToken(QStringLiteral("tptz"), profile),
                   Element(QStringLiteral("tptz:PresetToken"), presetToken))};
}

Request RemovePreset(const QString& profile, const QString& presetToken) {
  return {kPtz + QStringLiteral("RemovePreset"),
          QStringLiteral("<tptz:RemovePreset>%1%2</tptz:RemovePreset>")
              .arg(ProfileToken(QStringLiteral("tptz"), profile),
                   Element(QStringLiteral("tptz:PresetToken"), presetToken))};
}

Request FocusMove(const QString& videoSource, double speed) {
  return {kImaging + QStringLiteral("Move"),
          QStringLiteral("<timg:Move>%1<timg:Focus><tt:Continuous><tt:Speed>%2</tt:Speed></tt:Continuous>"
                         "</timg:Focus></timg:Move>")
              .arg(Element(QStringLiteral("timg:VideoSourceToken"), videoSource), Number(speed))};
}

Request FocusStop(const QString& videoSource) {
  return {kImaging + QStringLiteral("Stop"),
          QStringLiteral("<timg:Stop>%1</timg:Stop>").arg(Element(QStringLiteral("timg:VideoSourceToken"), videoSource))};
}

Request CreatePullPointSubscription(int terminationSeconds) {
  return {QStringLiteral("http://www.onvif.org/ver10/events/wsdl/EventPortType/CreatePullPointSubscriptionRequest"),
          QStringLiteral("<tev:CreatePullPointSubscription><tev:InitialTerminationTime>PT%1S</tev:InitialTerminationTime>"
                         "</tev:CreatePullPointSubscription>")
              .arg(terminationSeconds)};
}

Request PullMessages(int timeoutSeconds, int messageLimit) {
  return {QStringLiteral("http://www.onvif.org/ver10/events/wsdl/PullPointSubscription/PullMessagesRequest"),
          QStringLiteral("<tev:PullMessages><tev:Timeout>PT%1S</tev:Timeout><tev:MessageLimit>%2</tev:MessageLimit>"
                         "</tev:PullMessages>")
              .arg(timeoutSeconds)
              .arg(messageLimit)};
}

Request Renew(int terminationSeconds) {
  return {QStringLiteral("http://docs.oasis-open.org/wsn/bw-2/SubscriptionManager/RenewRequest"),
          QStringLiteral("<wsnt:Renew><wsnt:TerminationTime>PT%1S</wsnt:TerminationTime></wsnt:Renew>")
              .arg(terminationSeconds)};
}

Request Unsubscribe() {
  return {QStringLiteral("http://docs.oasis-open.org/wsn/bw-2/SubscriptionManager/UnsubscribeRequest"),
          QStringLiteral("<wsnt:Unsubscribe/>")};
}

// ---- answers

namespace {

int IntAt(const XmlNode& node, const QString& path, bool* ok) {
  bool good = false;
  const int value = node.TextAt(path).toInt(&good);
  *ok = *ok && good;
  return value;
}

std::optional<QDateTime> ReadDateTime(const XmlNode& node, const QTimeZone& zone) {
  bool ok = true;
  const QDate date(IntAt(node, QStringLiteral("Date/Year"), &ok), IntAt(node, QStringLiteral("Date/Month"), &ok),
                   IntAt(node, QStringLiteral("Date/Day"), &ok));
  const QTime time(IntAt(node, QStringLiteral("Time/Hour"), &ok), IntAt(node, QStringLiteral("Time/Minute"), &ok),
                   IntAt(node, QStringLiteral("Time/Second"), &ok));
  if (!ok || !date.isValid() || !time.isValid()) return std::nullopt;
  return QDateTime(date, time, zone).toUTC();
}

// A POSIX zone text such as "CST-8" or "EST5EDT,M3.2.0,M11.1.0": the offset
// east of UTC in seconds (POSIX counts west), ignoring summer time.
std::optional<int> PosixZoneOffset(const QString& tz) {
  int i = 0;
  while (i < tz.size() && tz[i].isLetter()) ++i;
  if (i < 3) return std::nullopt;
  int sign = 1;
  if (i < tz.size() && (tz[i] == QLatin1Char('+') || tz[i] == QLatin1Char('-'))) {
    sign = tz[i] == QLatin1Char('-') ? -1 : 1;
    ++i;
  }
  const QStringList parts = tz.mid(i).section(QRegularExpression(QStringLiteral("[^0-9:]")), 0, 0).split(QLatin1Char(':'));
  bool ok = false;
  const int hours = parts.value(0).toInt(&ok);
  if (!ok || hours > 24) return std::nullopt;
  const int minutes = parts.size() > 1 ? parts[1].toInt() : 0;
  return -sign * (hours * 3600 + minutes * 60);
}

}  // namespace

std::optional<QDateTime> ReadDeviceTime(const XmlNode& answer) {
  const XmlNode* system = answer.Find(QStringLiteral("SystemDateAndTime"));
  if (system == nullptr) return std::nullopt;
  if (const XmlNode* utc = system->Child(QStringLiteral("UTCDateTime"))) {
    if (auto time = ReadDateTime(*utc, QTimeZone::utc())) return time;
  }
  if (const XmlNode* local = system->Child(QStringLiteral("LocalDateTime"))) {
    const auto offset = PosixZoneOffset(system->TextAt(QStringLiteral("TimeZone/TZ")));
    return ReadDateTime(*local, QTimeZone(offset.value_or(0)));
  }
  return std::nullopt;
}

DeviceInformation ReadDeviceInformation(const XmlNode& answer) {
  return {answer.TextAt(QStringLiteral("Manufacturer")), answer.TextAt(QStringLiteral("Model")),
          answer.TextAt(QStringLiteral("FirmwareVersion")), answer.TextAt(QStringLiteral("SerialNumber")),
          answer.TextAt(QStringLiteral("HardwareId"))};
}

Capabilities ReadCapabilities(const XmlNode& answer) {
  Capabilities caps;
  const XmlNode* all = answer.Child(QStringLiteral("Capabilities"));
  if (all == nullptr) return caps;
  caps.device = all->TextAt(QStringLiteral("Device/XAddr"));
  caps.media = all->TextAt(QStringLiteral("Media/XAddr"));
  caps.ptz = all->TextAt(QStringLiteral("PTZ/XAddr"));
  caps.imaging = all->TextAt(QStringLiteral("Imaging/XAddr"));
  caps.events = all->TextAt(QStringLiteral("Events/XAddr"));
  return caps;
}

std::vector<Profile> ReadProfiles(const XmlNode& answer) {
  std::vector<Profile> profiles;
  for (const XmlNode* node : answer.Children(QStringLiteral("Profiles"))) {
    Profile profile;
    profile.token = node->Attribute(QStringLiteral("token"));
    profile.videoSource = node->TextAt(QStringLiteral("VideoSourceConfiguration/SourceToken"));
    profile.ptz = node->Child(QStringLiteral("PTZConfiguration")) != nullptr;
    if (!profile.token.isEmpty()) profiles.push_back(profile);
  }
  return profiles;
}

QString ReadStreamUri(const XmlNode& answer) { return answer.TextAt(QStringLiteral("MediaUri/Uri")); }

std::vector<Preset> ReadPresets(const XmlNode& answer) {
  std::vector<Preset> presets;
  for (const XmlNode* node : answer.Children(QStringLiteral("Preset"))) {
    const QString token = node->Attribute(QStringLiteral("token"));
    if (!token.isEmpty()) presets.push_back({token, node->TextAt(QStringLiteral("Name"))});
  }
  return presets;
}

QString ReadPresetToken(const XmlNode& answer) { return answer.TextAt(QStringLiteral("PresetToken")); }

std::optional<Subscription> ReadSubscription(const XmlNode& answer) {
  const XmlNode* reference = answer.Child(QStringLiteral("SubscriptionReference"));
  if (reference == nullptr) return std::nullopt;
  Subscription subscription;
  subscription.address = reference->TextAt(QStringLiteral("Address"));
  if (subscription.address.isEmpty()) return std::nullopt;
  if (const XmlNode* parameters = reference->Child(QStringLiteral("ReferenceParameters"))) {
    subscription.referenceParameters = parameters->children;
  }
  return subscription;
}

QString Notification::Data(const QString& name) const {
  for (const auto& [key, value] : data) {
    if (key == name) return value;
  }
  return {};
}

namespace {

std::vector<std::pair<QString, QString>> SimpleItems(const XmlNode* parent) {
  std::vector<std::pair<QString, QString>> items;
  if (parent == nullptr) return items;
  for (const XmlNode* item : parent->Children(QStringLiteral("SimpleItem"))) {
    items.emplace_back(item->Attribute(QStringLiteral("Name")), item->Attribute(QStringLiteral("Value")));
  }
  return items;
}

QString TopicPath(const QString& text) {
  QStringList levels;
  for (const QString& level : text.trimmed().split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    levels << level.section(QLatin1Char(':'), -1);
  }
  return levels.join(QLatin1Char('/'));
}

bool IsTrue(const QString& value) {
  return value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || value == QLatin1String("1");
}

}  // namespace

std::vector<Notification> ReadNotifications(const XmlNode& answer) {
  std::vector<Notification> out;
  for (const XmlNode* message : answer.Children(QStringLiteral("NotificationMessage"))) {
    Notification notification;
    notification.topic = TopicPath(message->TextAt(QStringLiteral("Topic")));
    // wsnt:Message holds the tt:Message with the items.
    const XmlNode* outer = message->Child(QStringLiteral("Message"));
    const XmlNode* inner = outer != nullptr ? outer->Child(QStringLiteral("Message")) : nullptr;
    if (inner != nullptr) {
      notification.operation = inner->Attribute(QStringLiteral("PropertyOperation"));
      notification.source = SimpleItems(inner->Child(QStringLiteral("Source")));
      notification.data = SimpleItems(inner->Child(QStringLiteral("Data")));
    }
    out.push_back(std::move(notification));
  }
  return out;
}

AlarmState ReadAlarmState(const Notification& n) {
  struct Topic {
    const char* ending;
    const char* item;
    int type;
  };
  static const Topic topics[] = {
      {"MotionAlarm", "State", kAlarmTypeMotion},
      {"CellMotionDetector/Motion", "IsMotion", kAlarmTypeMotion},
      {"Trigger/DigitalInput", "LogicalState", kAlarmTypeInput},
  };
  AlarmState state;
  for (const Topic& topic : topics) {
    if (!n.topic.endsWith(QLatin1String(topic.ending))) continue;
    state.type = topic.type;
    state.active = IsTrue(n.Data(QLatin1String(topic.item)));
    break;
  }
  return state;
}

}  // namespace onvif
