// Connection timings of the messaging control for tests: a device that stops
// answering is found out, and found back, within a second or two.
#pragma once

#include "maker/gimbro/gimbro_link.h"

inline GimbroTimings QuickGimbroTimings() {
  GimbroTimings t;
  t.firstRetryMs = 100;
  t.maxRetryMs = 400;
  t.connectTimeoutMs = 3000;
  t.loginTimeoutMs = 1500;
  t.echoIntervalMs = 300;
  t.idleTimeoutMs = 3000;
  t.greetTimeoutMs = 1000;  // below the login time: silent peers are tried in ONVIF
  t.soapTimeoutMs = 2000;
  t.eventPullSeconds = 1;
  t.eventRetryMs = 300;
  return t;
}
