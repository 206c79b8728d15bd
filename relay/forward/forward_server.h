// The forwarding server as its settings page runs it, without the page's
// window: the page's values (the texts as typed), starting and stopping the
// server, changing its limits, restoring it from "ForwardInfo.xml" after
// start-up, and what the page shows after each step.
//
// UI thread.
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"
#include "relay/forward/forward_info.h"

// The page's values, named as the page's members.
struct ForwardPageValues {
  std::string m_strPort = "8899";
  std::string m_strUserCount = "10";
  std::string m_strChannelCount = "100";
  std::string m_strIPAddr;
  int m_bEnable = 0;   // the switch
  int m_bRunning = 0;  // 1 while the server runs
};

enum : UINT {
  IDS_FORWARD_RUNNING = 1057,  // "Forward Service Runed"
  IDS_FORWARD_STOPPED = 1058,  // "Forward Service Stoped"
  IDS_MODIFY_DONE = 1084,      // "Modify Successfull"
  IDS_MODIFY_FAILED = 1085,    // "Modify Failed"
};

// What a step asks the page to show: a message (string id, 0 none) and
// whether the "Modify" button is to be disabled.
struct ForwardStepResult {
  UINT message = 0;
  bool disableModify = false;
};

class CForwardServer {
 public:
  ForwardPageValues& Values() { return m_values; }
  const ForwardPageValues& Values() const { return m_values; }

  // "OK": with the switch on and an address, starts the server when it does
  // not run (saved when it started; a refused start clears the switch). With
  // the switch off, a running server stops: the live videos it forwards end
  // first, the file is saved with the server stopped.
  ForwardStepResult Apply();
  // "Modify": the running server takes the two limits (saved when it did).
  ForwardStepResult Modify();
  // The text of the forwarded-video or user-count edit changed: true when its
  // number differs from the value's, which then takes it ("Modify" enabled).
  static bool TakeEditedCount(std::string& value, const std::string& text);
  // 10 s after start-up: reads the file (a file that cannot be loaded is
  // written empty). When the saved address begins one of `addresses` (the
  // page's list, prefix search from the second item on), that item is
  // selected and, when the server ran when saved, it starts again. The index
  // of the selected item, or -1 when the saved address is not this machine's.
  int Restore(const std::vector<std::string>& addresses);

 private:
  BOOL Save() const;

  ForwardPageValues m_values;
};

// Every stream object that forwards live video to a peer ends its relay
// session; its stream stops too when nobody here watches or records it.
void StopForwardedStreams();
