// The ONVIF requests this control sends (device, media, PTZ, imaging and
// event services) and the reading of their answers. Texts inserted into a
// request are escaped; numbers are written without the user's locale.
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

#include "maker/gimbro/onvif/xml_tree.h"

namespace onvif {

struct Request {
  QString action;  // the SOAP action URI
  QString body;    // the body element
};

// Device service
Request GetSystemDateAndTime();
Request GetDeviceInformation();
Request GetCapabilities();
Request SetSystemDateAndTime(const QDateTime& utc);
Request SystemReboot();
Request SetSystemFactoryDefault();  // "Soft": the network settings stay
// Media service
Request GetProfiles();
Request GetStreamUri(const QString& profile);
Request SetSynchronizationPoint(const QString& profile);
// PTZ service; velocities from -1 to 1
Request ContinuousMove(const QString& profile, std::optional<std::pair<double, double>> panTilt,
                       std::optional<double> zoom);
Request Stop(const QString& profile);
Request GetPresets(const QString& profile);
// An empty preset token creates a new preset; a given one overwrites it.
Request SetPreset(const QString& profile, const QString& name, const QString& presetToken);
Request GotoPreset(const QString& profile, const QString& presetToken);
Request RemovePreset(const QString& profile, const QString& presetToken);
// Imaging service: continuous focus move, speed from -1 to 1, and its stop
Request FocusMove(const QString& videoSource, double speed);
Request FocusStop(const QString& videoSource);
// Event service: a pull-point subscription
Request CreatePullPointSubscription(int terminationSeconds);
Request PullMessages(int timeoutSeconds, int messageLimit);
Request Renew(int terminationSeconds);
Request Unsubscribe();

// ---- answers

// The device's UTC clock from GetSystemDateAndTime (its local time and zone
// offset when it gives no UTC time); nothing when the answer holds no time.
std::optional<QDateTime> ReadDeviceTime(const XmlNode& answer);

struct DeviceInformation {
  QString manufacturer, model, firmware, serial, hardware;
};
DeviceInformation ReadDeviceInformation(const XmlNode& answer);

struct Capabilities {
  QString device, media, ptz, imaging, events;  // service addresses (XAddr), may be empty
};
Capabilities ReadCapabilities(const XmlNode& answer);

struct Profile {
  QString token;
  QString videoSource;  // token of the video source of its video source configuration
  bool ptz = false;     // has a PTZ configuration
};
std::vector<Profile> ReadProfiles(const XmlNode& answer);

QString ReadStreamUri(const XmlNode& answer);

struct Preset {
  QString token;
  QString name;
};
std::vector<Preset> ReadPresets(const XmlNode& answer);
// The token of a new preset from SetPreset's answer.
QString ReadPresetToken(const XmlNode& answer);

struct Subscription {
  QString address;
  std::vector<XmlNode> referenceParameters;  // echoed as headers of later requests
};
std::optional<Subscription> ReadSubscription(const XmlNode& answer);

struct Notification {
  QString topic;       // "VideoSource/MotionAlarm": each level without its prefix
  QString operation;   // PropertyOperation: "Initialized", "Changed", "Deleted" or empty
  std::vector<std::pair<QString, QString>> source;  // SimpleItem name -> value
  std::vector<std::pair<QString, QString>> data;
  QString Data(const QString& name) const;
};
std::vector<Notification> ReadNotifications(const XmlNode& answer);

// Alarm types of the alarm record.
constexpr int kAlarmTypeMotion = 14;
constexpr int kAlarmTypeInput = 15;

// What a notification says of a source that raises alarms: its alarm type
// (motion, or a digital input; 0 for any other topic) and whether it is
// active (motion seen, input on). Whether that is an alarm depends on what
// was known before (event_alarms.h).
struct AlarmState {
  int type = 0;
  bool active = false;
};
AlarmState ReadAlarmState(const Notification& notification);

}  // namespace onvif
