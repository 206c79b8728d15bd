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
#include "relay/login/vss_info.h"
#include "relay/relay_messages.h"
#include "relay/serving/relay_device_list.h"
#include "relay/serving/relay_live_video.h"
#include "relay/serving/relay_user_check.h"

namespace {

constexpr UINT kRelayLibraryMessages[] = {
    WM_RELAY_SERVER_CLOSED,          WM_RELAY_CHECK_USER,
    WM_RELAY_GET_DEVICE_LIST,        WM_RELAY_DEVICE_LIST,
    WM_RELAY_DEVICE_STATE,           WM_RELAY_ALARM,
    WM_RELAY_DEVICE_LIST_CHANGED,    WM_RELAY_VIDEO_REQUEST,
    WM_RELAY_CHANNEL_NOTIFY,         WM_RELAY_VIDEO_CLOSE,
    WM_RELAY_REPLAY_SEARCH,          WM_RELAY_REPLAY_SEARCH_RESULT,
    WM_RELAY_REPLAY_START,           WM_RELAY_REPLAY_START_RESULT,
    WM_RELAY_REPLAY_SEEK,            WM_RELAY_REPLAY_INDEX,
    WM_RELAY_REPLAY_SPEED,           WM_RELAY_REPLAY_DATA_NOTIFY,
    WM_RELAY_DOWNLOAD_REQUEST,       WM_RELAY_DOWNLOAD_FREE,
    WM_RELAY_DOWNLOAD_STOP,          WM_RELAY_DOWNLOAD_NOTIFY,
    WM_RELAY_PTZ_DIRECTION,          WM_RELAY_PTZ_PRESET_LIST,
    WM_RELAY_PRESET_LIST_ANSWER,     WM_RELAY_PTZ_PRESET,
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
  LRESULT unused = 0;
  if (!result) result = &unused;
  *result = 0;
  switch (msg) {
    case WM_DEVSTATUSRESPONSE:
      *result = m_reports.OnDevStatusResponse(static_cast<LONG>(wParam), static_cast<LONG>(lParam));
      return TRUE;
    case WM_DEVCHANNELSCHANGED:
      m_reports.OnDevChannelList(static_cast<LONG>(wParam), reinterpret_cast<const char*>(lParam));
      return TRUE;
    case WM_DEVSTATEREPORT:
      *result = m_reports.OnDevStateReport(static_cast<LONG>(wParam), reinterpret_cast<const char*>(lParam));
      return TRUE;
    case WM_VSS_LOGIN_RESULT:
      m_servers.OnVssLoginResult(reinterpret_cast<Vemo2Node*>(wParam), lParam);
      return TRUE;
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
  return HandleRelayMessage(msg, wParam, lParam, result);
}

BOOL CRelayMessageHandler::HandleRelayMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  void* record = reinterpret_cast<void*>(wParam);
  const DWORD word = static_cast<DWORD>(lParam);
  switch (msg) {
    case WM_RELAY_CHECK_USER: {
      const LRESULT answer =
          CheckRelayUser(reinterpret_cast<const char*>(wParam), reinterpret_cast<const PelkPasswordVerifier*>(lParam));
      if (result) *result = answer;
      return TRUE;
    }
    case WM_RELAY_GET_DEVICE_LIST:
      AnswerRelayDeviceList(word, LocalMac().c_str());
      return TRUE;
    case WM_RELAY_VIDEO_REQUEST: {
      const LRESULT answer = OnRelayVideoRequest(static_cast<RelayRequestRecord*>(record), word, LocalMac().c_str());
      if (result) *result = answer;
      return TRUE;
    }
    case WM_RELAY_VIDEO_CLOSE:
      OnRelayVideoClose(static_cast<RelayRequestRecord*>(record), word, LocalMac().c_str());
      return TRUE;
    case WM_RELAY_SERVER_CLOSED:
      m_servers.OnRelayServerClosed(static_cast<LONG>(lParam));
      return TRUE;
    case WM_RELAY_DEVICE_LIST:
      m_servers.OnRelayDeviceList(static_cast<RelayDeviceListRecord*>(record), static_cast<LONG>(lParam));
      return TRUE;
    case WM_RELAY_DEVICE_STATE:
      m_servers.OnRelayDeviceState(static_cast<RelayDeviceStateRecord*>(record), static_cast<LONG>(lParam));
      return TRUE;
    case WM_RELAY_CHANNEL_NOTIFY:
      m_servers.OnRelayChannelNotify(static_cast<RelayVideoAnswer*>(record));
      return TRUE;
    case WM_RELAY_PRESET_LIST_ANSWER:
      m_servers.OnRelayPresetListAnswer(static_cast<RelayPresetListAnswer*>(record));
      return TRUE;
    case WM_RELAY_DEVICE_LIST_CHANGED:
      Pelk_InviteDeviceList(static_cast<LONG>(lParam));
      return TRUE;
    case WM_RELAY_ALARM:
      Pelk_Delete(record, PELK_DELETE_RECORD);
      Pelk_Delete(reinterpret_cast<void*>(lParam), PELK_DELETE_RECORD);
      return TRUE;
    case WM_RELAY_REPLAY_SEARCH_RESULT:
      if (record) Pelk_Delete(static_cast<RelayReplaySearchResult*>(record)->pText, PELK_DELETE_INNER);
      break;
    case WM_RELAY_REPLAY_SEARCH_BY_DATE_RESULT:
      if (record) Pelk_Delete(static_cast<RelaySearchByDateResult*>(record)->pDayMap, PELK_DELETE_INNER);
      break;
    default:
      break;
  }
  Pelk_Delete(record, PELK_DELETE_RECORD);
  return TRUE;
}
