#include "maker/gimbro/onvif/ptz_action.h"

#include <QRegularExpression>
#include <algorithm>

#include "maker/gimbro/onvif/xml_tree.h"
#include "platform/codepage.h"

namespace onvif {

namespace {

double Velocity(const XmlNode& xml, const char* element) {
  bool ok = false;
  const int speed = xml.TextAt(QLatin1String(element)).toInt(&ok);
  return ok ? std::clamp(speed, 1, 10) / 10.0 : 0.5;
}

bool IsPresetNumber(const QString& text) {
  static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
  return digits.match(text).hasMatch();
}

}  // namespace

PtzAction ReadPtzText(const std::string& text) {
  PtzAction action;
  QString xmlText = codepage::ToQString(text);
  // An NVR channel's text: the channel, then the command.
  static const QRegularExpression channel(QStringLiteral("^\\s*<channelid>[^<]*</channelid>\\s*"));
  xmlText.remove(channel);
  XmlNode xml;
  QString error;
  if (!ParseXml(xmlText.toUtf8(), &xml, &error) || xml.name != QLatin1String("xml")) return action;
  action.word = xml.TextAt(QStringLiteral("cmd"));
  const QString word = action.word.toLower();
  const double pan = Velocity(xml, "panspeed");
  const double tilt = Velocity(xml, "tiltspeed");
  const QString preset = xml.TextAt(QStringLiteral("preset"));
  if (word == QLatin1String("up")) {
    action.kind = PtzAction::kMove;
    action.tilt = tilt;
  } else if (word == QLatin1String("down")) {
    action.kind = PtzAction::kMove;
    action.tilt = -tilt;
  } else if (word == QLatin1String("left")) {
    action.kind = PtzAction::kMove;
    action.pan = -pan;
  } else if (word == QLatin1String("right")) {
    action.kind = PtzAction::kMove;
    action.pan = pan;
  } else if (word == QLatin1String("zoomtele") || word == QLatin1String("zoomwide")) {
    action.kind = PtzAction::kZoom;
    action.speed = word == QLatin1String("zoomtele") ? kLensSpeed : -kLensSpeed;
  } else if (word == QLatin1String("focusfarautooff") || word == QLatin1String("focusnearautooff")) {
    action.kind = PtzAction::kFocus;
    action.speed = word == QLatin1String("focusfarautooff") ? kLensSpeed : -kLensSpeed;
  } else if (word == QLatin1String("stop")) {
    action.kind = PtzAction::kStop;
  } else if (word == QLatin1String("getpresetlist")) {
    action.kind = PtzAction::kPresetList;
  } else if (IsPresetNumber(preset) && xml.Child(QStringLiteral("r")) == nullptr) {
    // Timed rules (with a time range) have no counterpart.
    action.preset = QString::number(preset.toInt());
    if (word == QLatin1String("setpreset")) action.kind = PtzAction::kSetPreset;
    if (word == QLatin1String("callpreset")) action.kind = PtzAction::kCallPreset;
    if (word == QLatin1String("clearpreset")) action.kind = PtzAction::kRemovePreset;
  }
  return action;
}

}  // namespace onvif
