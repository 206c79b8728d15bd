// One registered device that speaks ONVIF, on the control's network thread.
//
// Login: GetSystemDateAndTime (without credentials) gives the device's clock,
// whose offset from this computer's UTC clock dates every WS-UsernameToken
// after it; GetDeviceInformation and GetCapabilities with the token log in.
// A refused token or HTTP authentication is a refused login; a device that
// answers with something that is not SOAP, or with faults, is not ONVIF.
//
// Online, the session
//  - polls the device's clock every echo interval and reports the device
//    offline when an answer does not come (time-outs, refused connections,
//    answers that are not SOAP); a clock answered with a fault is followed by
//    a request with the token, and a device that answers that with a fault
//    too is offline (it does nothing it is asked), one that refuses the token
//    is refused;
//  - learns the stream addresses of its first two media profiles for the
//    pull control (gimbro_streams.h);
//  - keeps a pull-point subscription of the event service and turns motion
//    and digital-input events into alarm records (type 14 and 15);
//  - carries out the control's requests: PTZ texts (ptz_action.h) as
//    ContinuousMove / Stop / imaging focus moves and preset requests whose
//    answers come back as PTZ responses with the preset list; auxiliary
//    messages 1005 (time), 1007 (restart), 1002 (factory default, network
//    settings kept) and 1012 (version); key frames as SetSynchronizationPoint;
//    the clock sync as SetSystemDateAndTime. What ONVIF has no counterpart for
//    (talk, broadcast, other messages, file uploads and downloads) is
//    answered at once as refused.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "maker/gimbro/gimbro_link.h"
#include "maker/gimbro/gimbro_wire.h"
#include "maker/gimbro/onvif/event_alarms.h"
#include "maker/gimbro/onvif/onvif_requests.h"
#include "maker/gimbro/onvif/soap_client.h"

class GimbroEventHub;

namespace onvif {

class Session : public QObject {
 public:
  class Owner {
   public:
    virtual ~Owner() = default;
    virtual void OnvifOnline() = 0;
    virtual void OnvifRefused(const std::string& reason) = 0;
    // The device could not be reached (3), stopped answering or is not an
    // ONVIF device (2). `notOnvif` says that it answered as something else.
    virtual void OnvifFailed(LONG code, const std::string& reason, bool notOnvif) = 0;
    // The stream addresses are known (empty when the device has no media).
    virtual void OnvifStreams(const std::string& mainUri, const std::string& subUri) = 0;
  };

  Session(const GimbroDeviceParams& params, const GimbroTimings& timings, GimbroEventHub* hub, Owner* owner);
  ~Session() override;

  void Start();
  // Stops every request and timer at once; no owner call follows.
  void Shutdown();
  // A request of the control, as a frame of the control's own protocol.
  void Request(const gimbro_wire::Frame& frame);

  bool online() const { return online_; }

 private:
  using Done = std::function<void(const SoapResult&)>;

  QUrl ServiceUrl(const QString& xaddr, const char* defaultPath) const;
  QString SecurityHeader() const;
  void Call(const QUrl& url, const onvif::Request& request, bool authenticated, Done done, int deadlineMs = 0,
            const QString& extraHeader = {});

  // Login and liveness
  void OnClock(const SoapResult& result);
  void OnInformation(const SoapResult& result);
  void OnCapabilities(const SoapResult& result);
  void LoginFailed(const SoapResult& result, const char* step);
  void Poll();
  void StoppedAnswering(const SoapResult& result);
  void Fail(LONG code, const std::string& reason, bool notOnvif);
  bool TakeClock(const SoapResult& result);

  // Streams
  void FetchStreams();
  // Runs `request` once the media profiles are known (at once when they are).
  void WhenProfilesKnown(std::function<void()> request);
  void ProfilesKnown();
  void FetchStreamUri(size_t index, std::string mainUri);

  // Events
  void Subscribe();
  void Pull();
  void RenewSubscription();
  void ResubscribeLater(const QString& why);
  QString SubscriptionHeader(const QString& action) const;
  void RaiseAlarm(int type);

  // Requests
  void Ptz(const std::string& text);
  void WithPresets(std::function<void()> then);
  QString PresetToken(const QString& number) const;
  void AnswerPresetList(bool ok);
  void Aux(LONG code, const std::string& body);
  void AnswerAux(LONG code, bool ok, const std::string& text = {});
  void SyncClock(int difference);
  void Report(LONG code, const std::string& text);
  void PtzResponse(LONG flag, const std::string& text);
  QString PtzProfile() const;

  GimbroDeviceParams params_;
  GimbroTimings timings_;
  GimbroEventHub* hub_;
  Owner* owner_;
  SoapClient soap_;
  bool stopped_ = false;
  bool online_ = false;
  qint64 clockOffsetSecs_ = 0;  // device UTC minus this computer's UTC
  QUrl device_, media_, ptz_, imaging_, events_;
  std::vector<Profile> profiles_;
  bool profilesKnown_ = false;
  std::vector<std::function<void()>> waitingForProfiles_;
  std::optional<std::vector<Preset>> presets_;
  bool focusMoving_ = false;
  QTimer pollTimer_;
  bool polling_ = false;
  // Event subscription
  std::optional<Subscription> subscription_;
  EventAlarms alarms_;
  QTimer renewTimer_;
  QTimer resubscribeTimer_;
};

}  // namespace onvif
