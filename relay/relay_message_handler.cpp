#include "relay/relay_message_handler.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "gimbro/gimbro.h"
#include "live/live_messages.h"
#include "pelk/pelk.h"
#include "relay/relay_messages.h"

namespace {

constexpr UINT kRelayLibraryMessages[] = {
    WM_RELAY_QUERY_DEVICE_STATE,     WM_RELAY_CHECK_USER,
    WM_RELAY_GET_DEVICE_LIST,        WM_RELAY_DEVICE_LIST,
    WM_RELAY_DEVICE_CLOSED,          WM_RELAY_ALARM,
    WM_RELAY_DEVICE_LIST_CHANGED,    WM_RELAY_VIDEO_REQUEST,
    WM_RELAY_CHANNEL_NOTIFY,         WM_RELAY_VIDEO_CLOSE,
    WM_RELAY_REPLAY_SEARCH,          WM_RELAY_REPLAY_SEARCH_RESULT,
    WM_RELAY_REPLAY_START,           WM_RELAY_REPLAY_START_RESULT,
    WM_RELAY_REPLAY_SEEK,            WM_RELAY_REPLAY_INDEX,
    WM_RELAY_REPLAY_SPEED,           WM_RELAY_REPLAY_DATA_NOTIFY,
    WM_RELAY_DOWNLOAD_REQUEST,       WM_RELAY_DOWNLOAD_FREE,
    WM_RELAY_DOWNLOAD_STOP,          WM_RELAY_DOWNLOAD_NOTIFY,
    WM_RELAY_PTZ_DIRECTION,          WM_RELAY_PTZ_PRESET_LIST,
    WM_RELAY_PTZ_REQUEST,            WM_RELAY_PTZ_PRESET,
    WM_RELAY_PTZ_AUX,                WM_RELAY_REPLAY_SEARCH_BY_DATE,
    WM_RELAY_REPLAY_SEARCH_BY_DATE_RESULT, WM_RELAY_REPLAY_START_BY_DATE,
    WM_RELAY_REPLAY_SEEK_BY_DATE,    WM_RELAY_REPLAY_CONTROL_BY_DATE,
    WM_RELAY_REPLAY_SPEED_BY_DATE,   WM_RELAY_REPLAY_BY_DATE_NOTIFY,
};

bool IsRelayLibraryMessage(UINT msg) {
  return std::find(std::begin(kRelayLibraryMessages), std::end(kRelayLibraryMessages), msg) !=
         std::end(kRelayLibraryMessages);
}

}  // namespace

BOOL CRelayMessageHandler::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (result) *result = 0;
  switch (msg) {
    case WM_DEVSTATUSRESPONSE:
      OnDevStatusResponse(static_cast<LONG>(wParam), static_cast<LONG>(lParam));
      return TRUE;
    case WM_DEVCHANNELSCHANGED:
    case WM_DEVSTATEREPORT:
    case WM_VSS_LOGIN_RESULT:
    case WM_SESSION_REPLAY_END:
    case WM_SESSION_DOWNLOAD_END:
    case WM_SESSION_REPLAY_BY_DATE_END:
    case WM_UDP_LOGIN_STATUS:
    case WM_UDP_DEVICE_LIST:
      return TRUE;  // nothing to act on yet; a posted text goes with its message
    case WM_STARTTHREAD_DONE:
      if (m_host.StopStartThread) m_host.StopStartThread();
      return TRUE;
    default:
      break;
  }
  if (!IsRelayLibraryMessage(msg)) return FALSE;
  if (wParam != 0) Pelk_Delete(reinterpret_cast<void*>(wParam), 1);
  return TRUE;
}

void CRelayMessageHandler::OnDevStatusResponse(LONG gimbroId, LONG code) {
  if (gimbroId <= 0) return;  // ids start at 1; 0 marks an unregistered device
  int online = 0;
  switch (code) {
    case GIMBRO_STATUS_LOGIN_OK:
      online = 1;
      break;
    case GIMBRO_STATUS_CONNECTION_LOST:
    case GIMBRO_STATUS_UNREACHABLE:
    case GIMBRO_STATUS_LOGIN_REFUSED:
      online = 0;
      break;
    default:
      return;
  }
  std::vector<std::string> changed;
  {
    CsLock lock(&g_csAppData);
    for (DevInfo& dev : g_lstDevInfo) {
      if (dev.GimbroId != gimbroId) continue;
      dev.nOnline = online;
      changed.emplace_back(dev.DevName, strnlen(dev.DevName, sizeof dev.DevName));
    }
  }
  // The items are re-imaged outside the lock: that reads the device list again.
  if (!m_host.UpdateDevItem) return;
  for (const std::string& name : changed) m_host.UpdateDevItem(name.c_str());
}
