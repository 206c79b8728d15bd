#include "relay/relay_message_handler.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "gimbro/gimbro.h"
#include "live/live_messages.h"
#include "pelk/pelk.h"
#include "relay/login/vss_info.h"
#include "relay/relay_messages.h"
#include "relay/relay_record_page.h"
#include "relay/serving/relay_device_list.h"
#include "relay/serving/relay_live_video.h"
#include "relay/serving/relay_ptz_requests.h"
#include "relay/serving/relay_record_search.h"
#include "relay/serving/relay_user_check.h"
#include "relay/sessions/remote_session_registry.h"

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

CRemoteSessionRegistry& SessionsOf(const RelayHost& host, std::unique_ptr<CRemoteSessionRegistry>& own) {
  if (host.pSessions) return *host.pSessions;
  own = std::make_unique<CRemoteSessionRegistry>();
  return *own;
}

}  // namespace

CRelayMessageHandler::CRelayMessageHandler(RelayHost host)
    : m_host(std::move(host)),
      m_servers(m_host),
      m_reports(m_host.devices, [this] { return LocalMac(); }),
      m_servingRelay(m_host.MainWindow ? m_host.MainWindow() : nullptr),
      m_records(SessionsOf(m_host, m_ownSessions), m_servingRelay) {}

CRelayMessageHandler::~CRelayMessageHandler() {
  // The serving threads send through m_servingRelay: none outlives it.
  if (m_ownSessions) m_ownSessions->RemoveAll();
}

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
      m_records.OnSessionEnd(msg, static_cast<DWORD>(wParam));
      return TRUE;
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
      OnRelayGetDeviceList(word, LocalMac().c_str());
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
    case WM_RELAY_ALARM: {
      // The key field is copied with its zero: a peer may have filled it to the brim.
      const auto* key = static_cast<const RelayAlarmKeyRecord*>(record);
      const auto* alarm = reinterpret_cast<const RelayAlarmRecord*>(lParam);
      if (key != nullptr && alarm != nullptr && m_host.AddRemoteAlarm) {
        m_host.AddRemoteAlarm(FixedText(key->szDevKey).c_str(), alarm);
      }
      Pelk_Delete(record, PELK_DELETE_RECORD);
      Pelk_Delete(reinterpret_cast<void*>(lParam), PELK_DELETE_RECORD);
      return TRUE;
    }
    case WM_RELAY_REPLAY_SEARCH:
      // A search of the device's own recordings goes to the device; the record
      // search page answers the peer when the device's list comes.
      OnRelayReplaySearch(static_cast<ReplaySearchRequest*>(record), word,
                          [this](const ReplaySearchRequest& request, const PeerRecordSearch& search, DWORD asker) {
                            const RelayRecordPageGate* gate = m_host.pRecordPage;
                            if (!gate || !gate->HasPage() || !ForwardNvrRecordSearch(search)) return false;
                            gate->With([&](IRelayRecordPage& page) { page.AddPendingRelaySearch(&request, asker); return 0; }, 0);
                            return true;
                          });
      return TRUE;
    case WM_RELAY_REPLAY_START:
      m_records.OnReplayStart(static_cast<RelayFileRequest*>(record), word);
      return TRUE;
    case WM_RELAY_DOWNLOAD_REQUEST:
      m_records.OnDownloadRequest(static_cast<RelayFileRequest*>(record), word);
      return TRUE;
    case WM_RELAY_REPLAY_START_BY_DATE:
      m_records.OnReplayStartByDate(static_cast<ReplayByDateRequest*>(record), word);
      return TRUE;
    case WM_RELAY_REPLAY_SEARCH_BY_DATE:
      m_records.OnReplaySearchByDate(static_cast<SearchByDateRequest*>(record), word);
      return TRUE;
    case WM_RELAY_REPLAY_SEEK:
    case WM_RELAY_REPLAY_INDEX:
    case WM_RELAY_REPLAY_SPEED:
      m_records.OnReplayFollowUp(msg, static_cast<RelayReplayControl*>(record), word);
      return TRUE;
    case WM_RELAY_REPLAY_SEEK_BY_DATE:
    case WM_RELAY_REPLAY_CONTROL_BY_DATE:
    case WM_RELAY_REPLAY_SPEED_BY_DATE:
      m_records.OnByDateFollowUp(msg, static_cast<RelayByDateControl*>(record), word);
      return TRUE;
    case WM_RELAY_DOWNLOAD_STOP:
      m_records.OnDownloadStop(static_cast<RelayReplayControl*>(record), word);
      return TRUE;
    case WM_RELAY_PTZ_DIRECTION:
      OnRelayPtzDirection(static_cast<RelayPtzDirection*>(record), LocalMac().c_str());
      return TRUE;
    case WM_RELAY_PTZ_PRESET_LIST:
      OnRelayPtzPresetList(static_cast<RelayRequestRecord*>(record), LocalMac().c_str());
      return TRUE;
    case WM_RELAY_PTZ_PRESET:
      OnRelayPtzPreset(static_cast<RelayPtzPreset*>(record), LocalMac().c_str(), m_host.ptzPlugin);
      return TRUE;
    case WM_RELAY_PTZ_AUX:
      OnRelayPtzAux(static_cast<RelayPtzAux*>(record), LocalMac().c_str());
      return TRUE;
    default:
      if (HandleRecordPageMessage(msg, record, lParam)) return TRUE;
      break;
  }
  Pelk_Delete(record, PELK_DELETE_RECORD);
  return TRUE;
}

BOOL CRelayMessageHandler::HandleRecordPageMessage(UINT msg, void* record, LPARAM lParam) {
  const RelayRecordPageGate* gate = m_host.pRecordPage;
  auto toPage = [&](auto fn) {
    if (gate && record) gate->With([&](IRelayRecordPage& page) { fn(page); return 0; }, 0);
  };
  switch (msg) {
    case WM_RELAY_REPLAY_SEARCH_RESULT: {
      auto* result = static_cast<RelayReplaySearchResult*>(record);
      toPage([&](IRelayRecordPage& page) { page.OnSearchRecFileResult(result); });
      if (result) {
        Pelk_Delete(result->pText, PELK_DELETE_INNER);
        result->pText = nullptr;
      }
      break;
    }
    case WM_RELAY_REPLAY_SEARCH_BY_DATE_RESULT: {
      auto* result = static_cast<RelaySearchByDateResult*>(record);
      toPage([&](IRelayRecordPage& page) {
        page.OnSearchRecByDateResult(result->szDevKey, static_cast<int>(result->dwChannel), result->pDayMap,
                                     static_cast<int>(result->dwYear), static_cast<int>(result->dwMonth),
                                     static_cast<int>(result->dwDay));
      });
      if (result) Pelk_Delete(result->pDayMap, PELK_DELETE_INNER);
      break;
    }
    case WM_RELAY_REPLAY_START_RESULT: {
      auto* answer = static_cast<RelayReplayStartResult*>(record);
      if (answer && answer->dwStatus == PELK_STATUS_ANSWER) {
        toPage([&](IRelayRecordPage& page) {
          page.OnReplayMediaParam(answer->VideoParam, answer->AudioParam, static_cast<int>(answer->dwSeconds),
                                  answer->szPath, &answer->session, static_cast<LONG>(lParam));
        });
      }
      break;
    }
    case WM_RELAY_REPLAY_DATA_NOTIFY: {
      auto* end = static_cast<RelayReplayEndRecord*>(record);
      toPage([&](IRelayRecordPage& page) { page.OnReplayFileEnd(end->szPath); });
      break;
    }
    case WM_RELAY_REPLAY_BY_DATE_NOTIFY: {
      auto* end = static_cast<RelayByDateEndRecord*>(record);
      toPage([&](IRelayRecordPage& page) { page.OnReplayByDateEnd(end->szDevKey, static_cast<int>(end->dwChannel)); });
      break;
    }
    case WM_RELAY_DOWNLOAD_NOTIFY: {
      auto* done = static_cast<RelayDownloadRecord*>(record);
      toPage([&](IRelayRecordPage& page) { page.OnDownloadFinish(done->szPath); });
      break;
    }
    default:
      return FALSE;
  }
  Pelk_Delete(record, PELK_DELETE_RECORD);
  return TRUE;
}

