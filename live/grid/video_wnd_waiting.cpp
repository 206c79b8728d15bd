// CVideoWnd: a pane whose device went offline waits for it and opens it
// again when it is back online, as the panes restored at start open theirs.
#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "live/grid/video_wnd.h"

long CVideoWnd::StopWatchUntilOnline() {
  if (!m_bWatching) return -1;
  WaitingDevice waiting{m_DevInfo.DevId, m_DevInfo.DevName, streamaddr::PaneResolution(m_DevInfo, m_bAlarmWnd)};
  const long result = StopWatch(TRUE);
  m_waiting = std::move(waiting);
  WriteLog(6, "CVideoWnd::StopWatchUntilOnline(): the device is offline, the pane waits for it. DevName=%s",
           m_waiting->devName.c_str());
  return result;
}

bool CVideoWnd::WaitsFor(const DevInfo& dev) const {
  return m_waiting && m_waiting->devId == dev.DevId && m_waiting->devName == dev.DevName;
}

long CVideoWnd::ReopenWaiting() {
  if (!m_waiting) return -1;
  const WaitingDevice waiting = std::move(*m_waiting);
  m_waiting.reset();
  DevInfo request;
  {
    CsLock lock(&g_csAppData);
    const DevInfo* listDev = FindDevInfo(waiting.devName.c_str(), waiting.devId.c_str());
    if (listDev == nullptr) return -1;
    request = *listDev;
  }
  streamaddr::SetPaneResolution(request, false, waiting.resolution);
  WriteLog(6, "CVideoWnd::ReopenWaiting(): the device is back online, the pane opens it again. DevName=%s",
           waiting.devName.c_str());
  return AddWatch(&request);
}
