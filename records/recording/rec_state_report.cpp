#include "records/recording/rec_state_report.h"

#include <cstdio>

#include "core/dev_info.h"
#include "pelk/pelk.h"
#include "platform/post_message.h"
#include "records/recording/rec_scheme_rules.h"
#include "records/recording/record_messages.h"

void ReportDeviceRecordState(const std::string& localMac, const DevInfo& dev, int state, HWND mainWnd) {
  char key[260];
  std::snprintf(key, sizeof key, "%s:%s", localMac.c_str(), dev.IPAddr);
  Pelk_ReportDeviceState(key, recrules::ReportChannel(dev), state);
  if (mainWnd) PostMessage(mainWnd, WM_RECORD_STATE_CHANGED, static_cast<WPARAM>(state), 0);
}
