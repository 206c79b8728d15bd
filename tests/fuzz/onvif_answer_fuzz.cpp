// Feeds arbitrary bytes to the reading of ONVIF devices' answers: the HTTP
// answer (whole, and in pieces as a connection brings them), its
// authentication challenges, the SOAP envelope and its contents (clock,
// profiles, presets, events and the alarms they raise).
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "maker/gimbro/http/http_answer.h"
#include "maker/gimbro/http/http_auth.h"
#include "maker/gimbro/onvif/event_alarms.h"
#include "maker/gimbro/onvif/onvif_requests.h"
#include "maker/gimbro/onvif/ptz_action.h"
#include "maker/gimbro/onvif/soap_envelope.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  http::AnswerReader whole(4096);
  whole.Feed(bytes);
  whole.Finish();
  http::AnswerReader pieces(4096);
  for (qsizetype at = 0; at < bytes.size(); at += 7) pieces.Feed(bytes.mid(at, 7));
  pieces.Finish();
  (void)pieces.Header("content-length");
  http::Authenticator auth;
  auth.SetCredentials("user", "password");
  if (auth.Take(http::ReadChallenges({bytes}))) (void)auth.Authorization("POST", "/onvif/device_service");
  const onvif::SoapAnswer answer = onvif::ReadAnswer(bytes);
  if (answer.kind == onvif::SoapAnswer::kOk) {
    (void)onvif::ReadDeviceTime(answer.body);
    (void)onvif::ReadCapabilities(answer.body);
    (void)onvif::ReadProfiles(answer.body);
    (void)onvif::ReadPresets(answer.body);
    (void)onvif::ReadSubscription(answer.body);
    onvif::EventAlarms alarms;
    const std::vector<onvif::Notification> notifications = onvif::ReadNotifications(answer.body);
    (void)alarms.Take(notifications);
    (void)alarms.Take(notifications);
  }
  (void)answer.NotAuthorized();
  (void)onvif::ReadPtzText(bytes.toStdString());
  return 0;
}
