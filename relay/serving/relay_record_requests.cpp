#include "relay/serving/relay_record_requests.h"

#include <cstdio>
#include <string>

#include "core/client_log.h"
#include "core/fixed_text.h"
#include "core/rec_scheme.h"
#include "platform/file_api.h"
#include "records/playback/replay_commands.h"
#include "records/search/rec_day_map.h"
#include "relay/relay_messages.h"
#include "relay/serving/served_file_path.h"
#include "relay/sessions/download_thread.h"
#include "relay/sessions/remote_session_registry.h"
#include "relay/sessions/replay_by_date_thread.h"
#include "relay/sessions/replay_thread.h"

namespace {

void Refuse(const RelayFileRequest& r, DWORD word, bool download) {
  if (download) {
    Pelk_RspDloadStart(PELK_STATUS_REFUSED, r.dwHandle, word, r.szDevKey, r.dwStream, r.dwChannel, 1, 0, 0, r.szPath);
  } else {
    Pelk_RspReplayStart(PELK_STATUS_REFUSED, r.dwHandle, word, r.szDevKey, r.dwStream, r.dwChannel, nullptr, nullptr,
                        r.szPath, 0);
  }
}

bool IsCalendarDay(int year, int month, int day) {
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return year >= 1970 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= kDays[month - 1];
}

}  // namespace

void CRelayRecordServing::OnReplayStart(RelayFileRequest* record, DWORD word) {
  StartFileSession(record, word, false);
}

void CRelayRecordServing::OnDownloadRequest(RelayFileRequest* record, DWORD word) {
  StartFileSession(record, word, true);
}

void CRelayRecordServing::StartFileSession(RelayFileRequest* record, DWORD word, bool download) {
  if (!record) return;
  const RelayFileRequest request = *record;
  Pelk_Delete(record, PELK_DELETE_RECORD);
  const char* what = download ? "OnRelayDownloadRequest" : "OnRelayReplayStart";
  const std::string path = FixedText(request.szPath);
  std::string local;
  if (!ResolveServedRecordFile(path, g_lstRecSchemeInfo, &local)) {
    WriteLog(6, "CVistarelDlg::%s(): refused, %s is no record file of this client.", what, path.c_str());
    Refuse(request, word, download);
    return;
  }
  if (FILE* test = fileapi::Open(local, "rb")) {
    std::fclose(test);
  } else {
    WriteLog(6, "CVistarelDlg::%s(): refused, %s does not open.", what, path.c_str());
    Refuse(request, word, download);
    return;
  }
  if (download) {
    auto* thread = new CDownloadThread(m_relay);
    thread->SetRequest(request);
    thread->SetLocalPath(local);
    thread->SetSessionId(word);
    m_registry.AddDownloadThread(thread);
    thread->Start();
  } else {
    auto* thread = new CReplayThread(m_relay);
    thread->SetRequest(request);
    thread->SetLocalPath(local);
    thread->SetSessionId(word);
    m_registry.AddReplayThread(thread);
    thread->Start();
  }
}

void CRelayRecordServing::OnReplayStartByDate(ReplayByDateRequest* record, DWORD word) {
  if (!record) return;
  WriteLog(6, "CVistarelDlg::OnRelayReplayStartByDate(): key=%s, channel=%u, %u-%u-%u from second %u",
           FixedText(record->szDevKey).c_str(), record->dwChannel, record->dwYear & 0xFFFF, record->dwMonth & 0xFFFF,
           record->dwDay & 0xFF, record->dwStartSecond);
  auto* thread = new CReplayByDateThread(m_relay);
  thread->SetRequest(*record);
  thread->SetSessionId(word);
  Pelk_Delete(record, PELK_DELETE_RECORD);
  m_registry.AddByDateThread(thread);
  thread->Start();
}

void CRelayRecordServing::OnReplaySearchByDate(SearchByDateRequest* record, DWORD word) {
  if (!record) return;
  const int year = static_cast<int>(record->dwYear & 0xFFFF);
  const int month = static_cast<int>(record->dwMonth & 0xFFFF);
  const int day = static_cast<int>(record->dwDay & 0xFF);
  if (!IsCalendarDay(year, month, day)) {
    WriteLog(6, "CVistarelDlg::OnRelayReplaySearchByDate(): refused, %d-%d-%d is no day.", year, month, day);
    Pelk_RspReplaySearchByDate(PELK_STATUS_REFUSED, record->dwHandle, word, record, record->dwChannel, nullptr, 0);
    Pelk_Delete(record, PELK_DELETE_RECORD);
    return;
  }
  char mac[PELK_KEY_PART_SIZE];
  char ip[PELK_KEY_PART_SIZE];
  SplitDeviceKey(record->szDevKey, mac, ip);
  RecDayInfo dayInfo;
  CopyFixedText(dayInfo.szDevIp, ip);
  dayInfo.wYear = static_cast<WORD>(year);
  dayInfo.wMonth = static_cast<WORD>(month);
  dayInfo.byDay = static_cast<BYTE>(day);
  ResetDayMap(dayInfo.szDayMap);
  CRecDayMapBuilder(g_lstRecSchemeInfo).SearchLocalRecByDate(&dayInfo, static_cast<int>(record->dwChannel));
  Pelk_RspReplaySearchByDate(PELK_STATUS_ANSWER, record->dwHandle, word, record, record->dwChannel, dayInfo.szDayMap,
                             replaycmd::DayDate(year, month, day));
  Pelk_Delete(record, PELK_DELETE_RECORD);
}

void CRelayRecordServing::OnReplayFollowUp(UINT msg, RelayReplayControl* record, DWORD word) {
  if (!record) return;
  const std::string path = FixedText(record->szPath);
  switch (msg) {
    case WM_RELAY_REPLAY_SEEK: m_registry.ControlReplay(path.c_str(), record->dwValue, word); break;
    case WM_RELAY_REPLAY_INDEX: m_registry.SeekReplayIndex(path.c_str(), record->dwValue, word); break;
    case WM_RELAY_REPLAY_SPEED: m_registry.SetReplaySpeed(path.c_str(), record->dwValue, word); break;
    default: break;
  }
  Pelk_Delete(record, PELK_DELETE_RECORD);
}

void CRelayRecordServing::OnByDateFollowUp(UINT msg, RelayByDateControl* record, DWORD word) {
  if (!record) return;
  const std::string key = FixedText(record->szDevKey);
  switch (msg) {
    case WM_RELAY_REPLAY_SEEK_BY_DATE: m_registry.ControlByDate(key.c_str(), record->dwChannel, record->dwValue, word); break;
    case WM_RELAY_REPLAY_CONTROL_BY_DATE:
      m_registry.SetByDateJump(key.c_str(), record->dwChannel, record->dwValue, word);
      break;
    case WM_RELAY_REPLAY_SPEED_BY_DATE:
      m_registry.SetByDateSpeed(key.c_str(), record->dwChannel, record->dwValue, word);
      break;
    default: break;
  }
  Pelk_Delete(record, PELK_DELETE_RECORD);
}

void CRelayRecordServing::OnDownloadStop(RelayReplayControl* record, DWORD word) {
  if (!record) return;
  m_registry.StopDownload(FixedText(record->szPath).c_str(), word);
  Pelk_Delete(record, PELK_DELETE_RECORD);
}

void CRelayRecordServing::OnSessionEnd(UINT msg, DWORD registryId) {
  switch (msg) {
    case WM_SESSION_REPLAY_END: m_registry.RemoveReplayThread(registryId); break;
    case WM_SESSION_DOWNLOAD_END: m_registry.RemoveDownloadThread(registryId); break;
    case WM_SESSION_REPLAY_BY_DATE_END: m_registry.RemoveByDateThread(registryId); break;
    default: break;
  }
}
