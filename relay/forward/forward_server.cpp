#include "relay/forward/forward_server.h"

#include <cstdlib>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "live/streams/rtsp_events.h"
#include "pelk/pelk.h"

namespace {

LONG Number(const std::string& text) { return std::atoi(text.c_str()); }

}  // namespace

BOOL CForwardServer::Save() const {
  ForwardSettings settings;
  settings.ipAddr = m_values.m_strIPAddr;
  settings.port = m_values.m_strPort;
  settings.channelCount = m_values.m_strChannelCount;
  settings.userCount = m_values.m_strUserCount;
  settings.running = m_values.m_bRunning;
  return SaveForwardInfo(settings);
}

ForwardStepResult CForwardServer::Apply() {
  ForwardStepResult result;
  ForwardPageValues& v = m_values;
  if (v.m_bEnable && !v.m_strIPAddr.empty()) {
    if (!v.m_bRunning) {
      if (Pelk_StartTS(v.m_strIPAddr.c_str(), Number(v.m_strPort), Number(v.m_strChannelCount),
                       Number(v.m_strUserCount)) == 1) {
        v.m_bRunning = 1;
        result.message = IDS_FORWARD_RUNNING;
        Save();
        WriteLog(6, "CForwardDlg::OnBnClickedOk(): forwarding server on %s port %s runs", v.m_strIPAddr.c_str(),
                 v.m_strPort.c_str());
      }
    }
    if (!v.m_bRunning) v.m_bEnable = 0;
    return result;
  }
  if (v.m_bRunning) {
    StopForwardedStreams();
    Pelk_StopTS();
    result.message = IDS_FORWARD_STOPPED;
    v.m_bRunning = 0;
    Save();
    result.disableModify = true;
    WriteLog(6, "CForwardDlg::OnBnClickedOk(): forwarding server stopped");
  }
  v.m_bRunning = 0;
  return result;
}

ForwardStepResult CForwardServer::Modify() {
  ForwardStepResult result;
  const LONG changed = Pelk_ModifyChannelCount(Number(m_values.m_strChannelCount), Number(m_values.m_strUserCount));
  if ((changed & 0xFF) != 0) {
    result.disableModify = true;
    result.message = IDS_MODIFY_DONE;
    Save();
  } else {
    result.message = IDS_MODIFY_FAILED;
  }
  return result;
}

bool CForwardServer::TakeEditedCount(std::string& value, const std::string& text) {
  if (Number(text) == Number(value)) return false;
  value = text;
  return true;
}

int CForwardServer::Restore(const std::vector<std::string>& addresses) {
  ForwardSettings saved;
  if (!LoadForwardInfo(&saved)) return -1;
  ForwardPageValues& v = m_values;
  v.m_strIPAddr = saved.ipAddr;
  v.m_strPort = saved.port;
  v.m_strChannelCount = saved.channelCount;
  v.m_strUserCount = saved.userCount;
  const int found = FindAddressByPrefix(addresses, saved.ipAddr);
  if (found < 0) {
    WriteLog(6, "CForwardDlg::OnTimer(): %s is not an address of this machine, the server stays stopped",
             saved.ipAddr.c_str());
    return -1;
  }
  v.m_strIPAddr = addresses[found];
  if (saved.running) {
    const bool started = Pelk_StartTS(v.m_strIPAddr.c_str(), Number(v.m_strPort), Number(v.m_strChannelCount),
                                      Number(v.m_strUserCount)) == 1;
    v.m_bRunning = started ? 1 : 0;
    v.m_bEnable = started ? 1 : 0;
    WriteLog(6, "CForwardDlg::OnTimer(): forwarding server on %s port %s %s", v.m_strIPAddr.c_str(),
             v.m_strPort.c_str(), started ? "runs" : "did not start");
  }
  return found;
}

void StopForwardedStreams() {
  for (DevInfo& device : g_lstDevInfo) {
    for (CRtspEvents* events : {device.pRtspEvent1, device.pRtspEvent2}) {
      if (events == nullptr || !events->IsRelayServing()) continue;
      const bool main = events == device.pRtspEvent1;
      const bool shownHere = device.bWatched && device.LiveStreamKind == (main ? 1 : 0);
      if (!shownHere && !events->IsRecording()) {
        events->StopAllThread();
        (main ? device.MainStreamId : device.SubStreamId) = 0;
      }
      events->CloseRelayVideo();
    }
  }
}
