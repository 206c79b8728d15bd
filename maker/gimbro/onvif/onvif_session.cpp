// Login, liveness, stream addresses and the event subscription of an ONVIF device.
#include "maker/gimbro/onvif/onvif_session.h"

#include <QDateTime>
#include <QRandomGenerator>

#include "maker/gimbro/gimbro_event_hub.h"
#include "maker/gimbro/gimbro_log.h"
#include "platform/codepage.h"

namespace onvif {

namespace {

constexpr int kSubscriptionSeconds = 120;
constexpr int kMessageLimit = 32;
// A device that answers a pull at once without messages is asked again after this.
constexpr int kQuickPullMs = 500;

bool NotOnvif(const SoapResult& result) {
  return result.kind == SoapResult::kFault || result.kind == SoapResult::kNotSoap ||
         result.kind == SoapResult::kHttpError || result.kind == SoapResult::kTooLarge;
}

}  // namespace

Session::Session(const GimbroDeviceParams& params, const GimbroTimings& timings, GimbroEventHub* hub, Owner* owner)
    : params_(params),
      timings_(timings),
      hub_(hub),
      owner_(owner),
      soap_(timings.maxAnswerBytes, timings.connectTimeoutMs, this) {
  soap_.SetHttpCredentials(codepage::ToQString(params_.login), codepage::ToQString(params_.password));
  connect(&pollTimer_, &QTimer::timeout, this, &Session::Poll);
  renewTimer_.setInterval(kSubscriptionSeconds * 1000 / 2);
  connect(&renewTimer_, &QTimer::timeout, this, &Session::RenewSubscription);
  resubscribeTimer_.setSingleShot(true);
  connect(&resubscribeTimer_, &QTimer::timeout, this, &Session::Subscribe);
}

Session::~Session() { Shutdown(); }

void Session::Shutdown() {
  stopped_ = true;
  online_ = false;
  pollTimer_.stop();
  renewTimer_.stop();
  resubscribeTimer_.stop();
  soap_.AbortAll();
}

QUrl Session::ServiceUrl(const QString& xaddr, const char* defaultPath) const {
  QUrl url;
  if (!xaddr.isEmpty()) {
    url = QUrl(xaddr.trimmed());
    if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty()) url = QUrl();
  }
  if (url.isEmpty()) {
    if (defaultPath == nullptr) return {};
    url = QUrl(QStringLiteral("http://host") + QLatin1String(defaultPath));
    url.setHost(params_.host);
    url.setPort(params_.port);
  } else if (url.host().compare(params_.host, Qt::CaseInsensitive) != 0) {
    // A device behind address translation names its own inner address: its
    // services are reached where it was registered.
    url.setHost(params_.host);
    url.setPort(params_.port);
  }
  return url;
}

QString Session::SecurityHeader() const {
  QByteArray nonce(16, '\0');
  QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(nonce.data()), nonce.size() / 4);
  const QDateTime created = QDateTime::currentDateTimeUtc().addSecs(clockOffsetSecs_);
  return UsernameToken(codepage::ToQString(params_.login), codepage::ToQString(params_.password), nonce, created);
}

void Session::Call(const QUrl& url, const onvif::Request& request, bool authenticated, Done done, int deadlineMs,
                   const QString& extraHeader) {
  if (stopped_ || url.isEmpty()) return;
  const QString header = (authenticated ? SecurityHeader() : QString()) + extraHeader;
  const int deadline = deadlineMs > 0 ? deadlineMs : timings_.soapTimeoutMs;
  if (!authenticated || !online_) {
    soap_.Post(url, request.action, Envelope(header, request.body), deadline, std::move(done));
    return;
  }
  // A refused token of a logged-in device: its clock may have moved (it was
  // set, or it drifted). Read the clock again and try once more.
  soap_.Post(url, request.action, Envelope(header, request.body), deadline,
             [this, url, request, done, deadline, extraHeader](const SoapResult& result) {
               if (!result.AuthRefused()) {
                 done(result);
                 return;
               }
               Call(device_, GetSystemDateAndTime(), false, [=, this](const SoapResult& clock) {
                 if (!TakeClock(clock)) {
                   done(result);
                   return;
                 }
                 const QString retryHeader = SecurityHeader() + extraHeader;
                 soap_.Post(url, request.action, Envelope(retryHeader, request.body), deadline, done);
               });
             });
}

void Session::Report(LONG code, const std::string& text) {
  hub_->Post(GimbroEvent::Of(GimbroEvent::kStatus, params_.id, code, text));
}

// ---- login and liveness

void Session::Start() {
  device_ = ServiceUrl({}, "/onvif/device_service");
  qCInfo(lcGimbro, "device %d: speaking ONVIF to %s", static_cast<int>(params_.id), qPrintable(device_.toString()));
  Call(device_, GetSystemDateAndTime(), false, [this](const SoapResult& r) { OnClock(r); });
}

bool Session::TakeClock(const SoapResult& result) {
  if (!result.Ok()) return false;
  const std::optional<QDateTime> deviceTime = ReadDeviceTime(result.answer.body);
  if (!deviceTime) return false;
  clockOffsetSecs_ = QDateTime::currentDateTimeUtc().secsTo(*deviceTime);
  return true;
}

void Session::OnClock(const SoapResult& result) {
  if (!TakeClock(result)) {
    // Some devices want credentials even for their clock: go on without the offset.
    if (result.kind != SoapResult::kOk && result.kind != SoapResult::kFault && !result.AuthRefused()) {
      LoginFailed(result, "GetSystemDateAndTime");
      return;
    }
    qCInfo(lcGimbro, "device %d: no clock from the device (%s); tokens use this computer's clock",
           static_cast<int>(params_.id), qPrintable(result.Describe()));
  }
  Call(device_, GetDeviceInformation(), true, [this](const SoapResult& r) { OnInformation(r); });
}

void Session::OnInformation(const SoapResult& result) {
  if (!result.Ok()) {
    LoginFailed(result, "GetDeviceInformation");
    return;
  }
  const DeviceInformation info = ReadDeviceInformation(result.answer.body);
  qCInfo(lcGimbro, "device %d: %s %s, firmware %s, clock offset %lld s", static_cast<int>(params_.id),
         qPrintable(info.manufacturer), qPrintable(info.model), qPrintable(info.firmware),
         static_cast<long long>(clockOffsetSecs_));
  Call(device_, GetCapabilities(), true, [this](const SoapResult& r) { OnCapabilities(r); });
}

void Session::OnCapabilities(const SoapResult& result) {
  if (!result.Ok()) {
    LoginFailed(result, "GetCapabilities");
    return;
  }
  const Capabilities caps = ReadCapabilities(result.answer.body);
  media_ = ServiceUrl(caps.media, nullptr);
  ptz_ = ServiceUrl(caps.ptz, nullptr);
  imaging_ = ServiceUrl(caps.imaging, nullptr);
  events_ = ServiceUrl(caps.events, nullptr);
  online_ = true;
  owner_->OnvifOnline();
  pollTimer_.start(timings_.echoIntervalMs);
  FetchStreams();
  Subscribe();
}

void Session::LoginFailed(const SoapResult& result, const char* step) {
  const std::string reason = std::string(step) + ": " + result.Describe().toStdString();
  if (result.AuthRefused()) {
    qCWarning(lcGimbro, "device %d: ONVIF login refused (%s)", static_cast<int>(params_.id), reason.c_str());
    Shutdown();
    owner_->OnvifRefused("login refused: " + reason);
    return;
  }
  const LONG code = result.kind == SoapResult::kUnreachable ? GIMBRO_STATUS_UNREACHABLE : GIMBRO_STATUS_CONNECTION_LOST;
  Fail(code, NotOnvif(result) ? "not an ONVIF device: " + reason : reason, NotOnvif(result));
}

void Session::Fail(LONG code, const std::string& reason, bool notOnvif) {
  if (stopped_) return;
  Shutdown();
  owner_->OnvifFailed(code, reason, notOnvif);
}

void Session::Poll() {
  if (polling_) return;
  polling_ = true;
  Call(device_, GetSystemDateAndTime(), false, [this](const SoapResult& r) {
    if (r.Ok()) {
      polling_ = false;
      TakeClock(r);
      return;
    }
    if (r.kind == SoapResult::kFault || r.AuthRefused()) {
      // Some devices want credentials even for their clock: the device is
      // judged by a request with the token, as at the login.
      Call(device_, GetDeviceInformation(), true, [this](const SoapResult& probe) {
        polling_ = false;
        if (probe.Ok()) return;
        if (probe.AuthRefused()) {
          LoginFailed(probe, "GetDeviceInformation");
        } else if (probe.kind == SoapResult::kFault) {
          // Alive, but nothing it is asked is done: its events are lost and
          // its PTZ does not move. It is no longer online.
          Fail(GIMBRO_STATUS_CONNECTION_LOST,
               "the device answers every request with a fault: " + probe.Describe().toStdString(), false);
        } else {
          StoppedAnswering(probe);
        }
      });
      return;
    }
    polling_ = false;
    StoppedAnswering(r);
  });
}

void Session::StoppedAnswering(const SoapResult& result) {
  Fail(GIMBRO_STATUS_CONNECTION_LOST, "the device stopped answering: " + result.Describe().toStdString(),
       result.kind == SoapResult::kNotSoap || result.kind == SoapResult::kHttpError);
}

// ---- stream addresses

namespace {
// Requests that wait for the media profiles; more are dropped, oldest first.
constexpr size_t kMaxWaiting = 64;
}  // namespace

void Session::WhenProfilesKnown(std::function<void()> request) {
  if (profilesKnown_) {
    request();
    return;
  }
  if (waitingForProfiles_.size() >= kMaxWaiting) waitingForProfiles_.erase(waitingForProfiles_.begin());
  waitingForProfiles_.push_back(std::move(request));
}

void Session::ProfilesKnown() {
  profilesKnown_ = true;
  std::vector<std::function<void()>> waiting;
  waiting.swap(waitingForProfiles_);
  for (auto& request : waiting) {
    if (stopped_) return;
    request();
  }
}

void Session::FetchStreams() {
  if (media_.isEmpty()) {
    qCWarning(lcGimbro, "device %d: no media service; its streams open as addressed", static_cast<int>(params_.id));
    ProfilesKnown();
    owner_->OnvifStreams({}, {});
    return;
  }
  Call(media_, GetProfiles(), true, [this](const SoapResult& r) {
    profiles_ = r.Ok() ? ReadProfiles(r.answer.body) : std::vector<Profile>();
    ProfilesKnown();
    if (profiles_.empty()) {
      qCWarning(lcGimbro, "device %d: no media profiles (%s)", static_cast<int>(params_.id), qPrintable(r.Describe()));
      owner_->OnvifStreams({}, {});
      return;
    }
    FetchStreamUri(0, {});
  });
}

void Session::FetchStreamUri(size_t index, std::string mainUri) {
  Call(media_, GetStreamUri(profiles_[index].token), true, [this, index, mainUri](const SoapResult& r) {
    const std::string uri = r.Ok() ? ReadStreamUri(r.answer.body).toStdString() : std::string();
    if (uri.empty()) {
      qCWarning(lcGimbro, "device %d: no stream address for profile %s (%s)", static_cast<int>(params_.id),
                qPrintable(profiles_[index].token), qPrintable(r.Describe()));
    }
    if (index == 0 && !uri.empty() && profiles_.size() > 1) {
      FetchStreamUri(1, uri);
      return;
    }
    qCInfo(lcGimbro, "device %d: streams %s | %s", static_cast<int>(params_.id),
           (index == 0 ? uri : mainUri).c_str(), (index == 0 ? std::string() : uri).c_str());
    owner_->OnvifStreams(index == 0 ? uri : mainUri, index == 0 ? std::string() : uri);
  });
}

// ---- events

QString Session::SubscriptionHeader(const QString& action) const {
  QString header = QStringLiteral("<wsa:Action>%1</wsa:Action><wsa:To>%2</wsa:To>")
                       .arg(Escape(action), Escape(subscription_->address));
  for (const XmlNode& parameter : subscription_->referenceParameters) header += WriteXml(parameter);
  return header;
}

void Session::Subscribe() {
  if (events_.isEmpty() || stopped_) return;
  Call(events_, CreatePullPointSubscription(kSubscriptionSeconds), true, [this](const SoapResult& r) {
    if (!r.Ok()) {
      ResubscribeLater(r.Describe());
      return;
    }
    subscription_ = ReadSubscription(r.answer.body);
    if (!subscription_) {
      ResubscribeLater(QStringLiteral("the answer holds no subscription address"));
      return;
    }
    subscription_->address = ServiceUrl(subscription_->address, nullptr).toString();
    if (subscription_->address.isEmpty()) {
      ResubscribeLater(QStringLiteral("the subscription address is not usable"));
      return;
    }
    qCInfo(lcGimbro, "device %d: events pulled from %s", static_cast<int>(params_.id),
           qPrintable(subscription_->address));
    renewTimer_.start();
    alarms_.NewSubscription();
    Pull();
  });
}

void Session::Pull() {
  if (!subscription_ || stopped_) return;
  const onvif::Request request = PullMessages(timings_.eventPullSeconds, kMessageLimit);
  const qint64 asked = QDateTime::currentMSecsSinceEpoch();
  Call(
      QUrl(subscription_->address), request, true,
      [this, asked](const SoapResult& r) {
        if (!r.Ok()) {
          ResubscribeLater(r.Describe());
          return;
        }
        const std::vector<Notification> notifications = ReadNotifications(r.answer.body);
        for (const Notification& n : notifications) {
          qCInfo(lcGimbro, "device %d: event %s %s", static_cast<int>(params_.id), qPrintable(n.topic),
                 qPrintable(n.operation));
        }
        for (int type : alarms_.Take(notifications)) {
          qCInfo(lcGimbro, "device %d: alarm type %d", static_cast<int>(params_.id), type);
          RaiseAlarm(type);
        }
        const bool quick = QDateTime::currentMSecsSinceEpoch() - asked < kQuickPullMs;
        if (notifications.empty() && quick) {
          QTimer::singleShot(timings_.eventPullSeconds * 1000, this, &Session::Pull);
        } else {
          Pull();
        }
      },
      timings_.eventPullSeconds * 1000 + timings_.soapTimeoutMs, SubscriptionHeader(request.action));
}

void Session::RenewSubscription() {
  if (!subscription_) return;
  const onvif::Request request = Renew(kSubscriptionSeconds);
  Call(QUrl(subscription_->address), request, true, [this](const SoapResult& r) {
    if (!r.Ok()) qCInfo(lcGimbro, "device %d: renewal refused (%s)", static_cast<int>(params_.id), qPrintable(r.Describe()));
  }, 0, SubscriptionHeader(request.action));
}

void Session::ResubscribeLater(const QString& why) {
  if (stopped_) return;
  qCWarning(lcGimbro, "device %d: event subscription lost (%s); subscribing again later", static_cast<int>(params_.id),
            qPrintable(why));
  subscription_.reset();
  renewTimer_.stop();
  resubscribeTimer_.start(timings_.eventRetryMs);
}

void Session::RaiseAlarm(int type) {
  const QDateTime now = QDateTime::currentDateTime();
  GimbroEvent event;
  event.kind = GimbroEvent::kAlarm;
  event.id = params_.id;
  event.alarm.year = now.date().year();
  event.alarm.month = now.date().month();
  event.alarm.day = now.date().day();
  event.alarm.hour = now.time().hour();
  event.alarm.minute = now.time().minute();
  event.alarm.second = now.time().second();
  event.alarm.type = type;
  hub_->Post(std::move(event));
}

}  // namespace onvif
