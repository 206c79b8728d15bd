// CNvrCtrlLoader: the loaders of the control replies (4402). Each parses the
// reply's text, clears the record and fills it from the root element (any
// name): 0, or -1 when there is no text or it does not parse (trace "xml
// parse error: %s."), the record then untouched.
#pragma once

#include <string_view>

#include "harlen/link/sections/user_cfg.h"

class CNvrCtrlLoader {
 public:
  int Load_settime(std::string_view text, DeviceTime& time);                // status 4100
  int Load_formatprogress(std::string_view text, FormatProgress& progress);  // control code 1
  int Load_status_disk(std::string_view text, DiskStatus& status);           // status 4097
  int Load_status_coderate(std::string_view text, StreamRates& rates);      // status 4098
  int Load_status_onlineuser(std::string_view text, OnlineUsers& users);    // status 4099
};
