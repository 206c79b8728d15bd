// Feeds arbitrary bytes to the reading of ONVIF answers and of the answers'
// contents (clock, profiles, presets, events).
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "maker/gimbro/onvif/onvif_requests.h"
#include "maker/gimbro/onvif/ptz_action.h"
#include "maker/gimbro/onvif/soap_envelope.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const onvif::SoapAnswer answer = onvif::ReadAnswer(bytes);
  if (answer.kind == onvif::SoapAnswer::kOk) {
    (void)onvif::ReadDeviceTime(answer.body);
    (void)onvif::ReadCapabilities(answer.body);
    (void)onvif::ReadProfiles(answer.body);
    (void)onvif::ReadPresets(answer.body);
    (void)onvif::ReadSubscription(answer.body);
    for (const onvif::Notification& n : onvif::ReadNotifications(answer.body)) (void)onvif::AlarmType(n);
  }
  (void)answer.NotAuthorized();
  (void)onvif::ReadPtzText(bytes.toStdString());
  return 0;
}
