// The control's requests to an ONVIF device: PTZ, auxiliary messages, key
// frames, clock sync; what has no counterpart is refused at once.
#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>
#include <algorithm>
#include <set>

#include "maker/gimbro/gimbro_event_hub.h"
#include "maker/gimbro/gimbro_log.h"
#include "maker/gimbro/gimbro_replay.h"
#include "maker/gimbro/gimbro_upload.h"
#include "maker/gimbro/onvif/onvif_session.h"
#include "maker/gimbro/onvif/ptz_action.h"
#include "platform/codepage.h"

namespace onvif {

namespace {

// Codes of the auxiliary messages with an ONVIF counterpart.
constexpr LONG kAuxFactoryDefault = 1002;
constexpr LONG kAuxSetTime = 1005;
constexpr LONG kAuxReboot = 1007;
constexpr LONG kAuxVersion = 1012;
constexpr char kSystemControl[] = "SYSTEM_CONTROL_MESSAGE";
// Result flag of a refused request.
constexpr LONG kRefused = 1;
// Header of the preset list answer, which the receiver drops.
constexpr char kPresetListHeader[] = "PresetList^";

std::optional<int> PresetNumber(const QString& text) {
  bool ok = false;
  const int number = text.trimmed().toInt(&ok);
  return ok && number >= 1 && number <= 255 ? std::optional<int>(number) : std::nullopt;
}

}  // namespace

void Session::Request(const gimbro_wire::Frame& frame) {
  if (!online_) return;
  switch (frame.type) {
    case gimbro_wire::kPtz:
      WhenProfilesKnown([this, text = frame.body]() { Ptz(text); });
      break;
    case gimbro_wire::kAux:
      Aux(frame.a, frame.body);
      break;
    case gimbro_wire::kTalk:
      if (frame.a != 0) Report(GIMBRO_STATUS_TALK_REFUSED, "talk is not available over ONVIF");
      break;
    case gimbro_wire::kBroadcast:
      Report(GIMBRO_STATUS_TALK_REFUSED, "broadcast is not available over ONVIF");
      break;
    case gimbro_wire::kIFrame:
      WhenProfilesKnown([this, sub = frame.a == 1]() {
        // The value is 0 for the main stream, 1 for the sub-stream.
        const size_t index = sub && profiles_.size() > 1 ? 1 : 0;
        if (!profiles_.empty()) {
          Call(media_, SetSynchronizationPoint(profiles_[index].token), true, [this](const SoapResult& r) {
            if (!r.Ok()) {
              qCInfo(lcGimbro, "device %d: no key frame: %s", static_cast<int>(params_.id), qPrintable(r.Describe()));
            }
          });
        }
      });
      break;
    case gimbro_wire::kTimeSync:
      SyncClock(frame.a);
      break;
    case gimbro_wire::kUpload: {
      // Firmware and configuration files are not taken over ONVIF: the upload
      // is refused at once.
      gimbro_wire::Frame refusal;
      refusal.type = gimbro_wire::kUploadState;
      refusal.a = 1;
      refusal.b = frame.a;
      gimbro_upload::HandleFrame(hub_, params_.id, refusal, {});
      break;
    }
    case gimbro_wire::kDownload: {
      // Nor is a file of the device fetched: the download fails at once.
      gimbro_wire::Frame refusal;
      refusal.type = gimbro_wire::kFileEnd;
      refusal.a = 1;
      refusal.b = frame.a;
      gimbro_replay::HandleFrame(hub_, params_.id, refusal);
      break;
    }
    default:
      break;
  }
}

// ---- PTZ

QString Session::PtzProfile() const {
  for (const Profile& profile : profiles_) {
    if (profile.ptz) return profile.token;
  }
  return profiles_.empty() ? QString() : profiles_.front().token;
}

void Session::PtzResponse(LONG flag, const std::string& text) {
  hub_->Post(GimbroEvent::Of(GimbroEvent::kPtzResponse, params_.id, GimbroPackResponse(flag, 0), text));
}

void Session::Ptz(const std::string& text) {
  const PtzAction action = ReadPtzText(text);
  const QString profile = PtzProfile();
  const int id = static_cast<int>(params_.id);
  if (action.kind == PtzAction::kUnsupported) {
    qCWarning(lcGimbro, "device %d: PTZ command \"%s\" has no ONVIF counterpart; not sent", id,
              qPrintable(action.word.isEmpty() ? QStringLiteral("?") : action.word));
    return;
  }
  if (ptz_.isEmpty() || profile.isEmpty()) {
    qCWarning(lcGimbro, "device %d: no PTZ service; \"%s\" not sent", id, qPrintable(action.word));
    if (action.kind == PtzAction::kPresetList) PtzResponse(kRefused, {});
    return;
  }
  auto logFailure = [id, word = action.word](const SoapResult& r) {
    if (!r.Ok()) qCWarning(lcGimbro, "device %d: PTZ %s failed: %s", id, qPrintable(word), qPrintable(r.Describe()));
  };
  switch (action.kind) {
    case PtzAction::kMove:
      Call(ptz_, ContinuousMove(profile, std::make_pair(action.pan, action.tilt), std::nullopt), true, logFailure);
      break;
    case PtzAction::kZoom:
      Call(ptz_, ContinuousMove(profile, std::nullopt, action.speed), true, logFailure);
      break;
    case PtzAction::kFocus: {
      const QString source = profiles_.empty() ? QString() : profiles_.front().videoSource;
      if (imaging_.isEmpty() || source.isEmpty()) {
        qCWarning(lcGimbro, "device %d: no imaging service; focus not moved", id);
        break;
      }
      focusMoving_ = true;
      Call(imaging_, FocusMove(source, action.speed), true, logFailure);
      break;
    }
    case PtzAction::kStop:
      Call(ptz_, Stop(profile), true, logFailure);
      if (focusMoving_ && !profiles_.empty()) {
        focusMoving_ = false;
        Call(imaging_, FocusStop(profiles_.front().videoSource), true, logFailure);
      }
      break;
    case PtzAction::kPresetList:
      presets_.reset();
      WithPresets([this]() { AnswerPresetList(presets_.has_value()); });
      break;
    case PtzAction::kSetPreset:
    case PtzAction::kRemovePreset:
      WithPresets([this, action, profile, logFailure]() {
        const QString token = PresetToken(action.preset);
        auto refresh = [this, logFailure](const SoapResult& r) {
          logFailure(r);
          presets_.reset();
          WithPresets([this]() { AnswerPresetList(presets_.has_value()); });
        };
        if (action.kind == PtzAction::kSetPreset) {
          Call(ptz_, SetPreset(profile, action.preset, token), true, refresh);
        } else if (!token.isEmpty()) {
          Call(ptz_, RemovePreset(profile, token), true, refresh);
        } else {
          AnswerPresetList(presets_.has_value());
        }
      });
      break;
    case PtzAction::kCallPreset:
      WithPresets([this, action, profile, logFailure, id]() {
        const QString token = PresetToken(action.preset);
        if (token.isEmpty()) {
          qCWarning(lcGimbro, "device %d: no preset %s to call", id, qPrintable(action.preset));
          return;
        }
        Call(ptz_, GotoPreset(profile, token), true, logFailure);
      });
      break;
    case PtzAction::kUnsupported:
      break;
  }
}

void Session::WithPresets(std::function<void()> then) {
  if (presets_) {
    then();
    return;
  }
  Call(ptz_, GetPresets(PtzProfile()), true, [this, then](const SoapResult& r) {
    if (r.Ok()) {
      presets_ = ReadPresets(r.answer.body);
    } else {
      qCWarning(lcGimbro, "device %d: no preset list: %s", static_cast<int>(params_.id), qPrintable(r.Describe()));
    }
    then();
  });
}

// A preset is known by its number: its name when that is a number, else its token.
QString Session::PresetToken(const QString& number) const {
  if (!presets_) return {};
  const auto wanted = PresetNumber(number);
  for (const Preset& preset : *presets_) {
    if (wanted && PresetNumber(preset.name) == wanted) return preset.token;
  }
  for (const Preset& preset : *presets_) {
    if (wanted && !PresetNumber(preset.name) && PresetNumber(preset.token) == wanted) return preset.token;
  }
  return {};
}

void Session::AnswerPresetList(bool ok) {
  if (!ok || !presets_) {
    PtzResponse(kRefused, {});
    return;
  }
  std::set<int> numbers;
  for (const Preset& preset : *presets_) {
    if (auto n = PresetNumber(preset.name)) {
      numbers.insert(*n);
    } else if (auto t = PresetNumber(preset.token)) {
      numbers.insert(*t);
    }
  }
  std::string text = kPresetListHeader;
  for (int n : numbers) text += std::to_string(n) + "^";
  PtzResponse(0, text);
}

// ---- auxiliary messages

void Session::AnswerAux(LONG code, bool ok, const std::string& text) {
  hub_->Post(GimbroEvent::Of(GimbroEvent::kAuxResponse, params_.id, GimbroPackResponse(ok ? 0 : kRefused, code), text));
}

void Session::Aux(LONG code, const std::string& payload) {
  const size_t zero = payload.find('\0');
  const std::string type = payload.substr(0, zero);
  const std::string body = zero == std::string::npos ? std::string() : payload.substr(zero + 1);
  auto answer = [this, code](const SoapResult& r) { AnswerAux(code, r.Ok()); };
  if (type != kSystemControl) {
    AnswerAux(code, false);
    return;
  }
  switch (code) {
    case kAuxReboot:
      Call(device_, SystemReboot(), true, answer);
      return;
    case kAuxFactoryDefault:
      Call(device_, SetSystemFactoryDefault(), true, answer);
      return;
    case kAuxVersion:
      Call(device_, GetDeviceInformation(), true, [this, code](const SoapResult& r) {
        if (!r.Ok()) {
          AnswerAux(code, false);
          return;
        }
        const QString firmware = ReadDeviceInformation(r.answer.body).firmware;
        AnswerAux(code, true,
                  codepage::FromQString(QStringLiteral("<RESPONSE_PARAM FileSystemVersion=\"%1\" />").arg(Escape(firmware))));
      });
      return;
    case kAuxSetTime: {
      // Time="YYYYMMDD HH:MM:SS" in the sender's local time, TimeZone = 720 + minutes east of UTC.
      static const QRegularExpression form(
          QStringLiteral("Time\\s*=\\s*\"(\\d{8} \\d\\d:\\d\\d:\\d\\d)\"\\s+TimeZone\\s*=\\s*\"(-?\\d+)\""));
      const QRegularExpressionMatch match = form.match(QString::fromLatin1(body.c_str()));
      const QDateTime local = match.hasMatch()
                                  ? QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd HH:mm:ss"))
                                  : QDateTime();
      if (!local.isValid()) {
        AnswerAux(code, false);
        return;
      }
      const int eastMinutes = match.captured(2).toInt() - 720;
      const QDateTime utc = QDateTime(local.date(), local.time(), QTimeZone::utc()).addSecs(-60LL * eastMinutes);
      Call(device_, SetSystemDateAndTime(utc), true, answer);
      return;
    }
    default:
      AnswerAux(code, false);
      return;
  }
}

// ---- clock

void Session::SyncClock(int difference) {
  Call(device_, GetSystemDateAndTime(), false, [this, difference](const SoapResult& r) {
    if (!TakeClock(r) || std::llabs(clockOffsetSecs_) <= difference) return;
    qCInfo(lcGimbro, "device %d: clock %lld s off; setting it", static_cast<int>(params_.id),
           static_cast<long long>(clockOffsetSecs_));
    Call(device_, SetSystemDateAndTime(QDateTime::currentDateTimeUtc()), true, [this](const SoapResult& set) {
      if (set.Ok()) {
        clockOffsetSecs_ = 0;
      } else {
        qCWarning(lcGimbro, "device %d: the clock was not set: %s", static_cast<int>(params_.id),
                  qPrintable(set.Describe()));
      }
    });
  });
}

}  // namespace onvif
