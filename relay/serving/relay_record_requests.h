// A peer's requests for this client's recordings: replay of a file, replay of
// a day, download, their follow-up requests, the ends of the serving threads,
// and the day map of a device's day. The serving threads live in the registry
// from their start to their end message. Every record is given back. UI thread.
#pragma once

#include "pelk/pelk.h"

class CRemoteSessionRegistry;
class IServingRelay;

class CRelayRecordServing {
 public:
  // Both outlive this object; `relay` is what the serving threads send through.
  CRelayRecordServing(CRemoteSessionRegistry& registry, IServingRelay& relay)
      : m_registry(registry), m_relay(relay) {}

  // WM_RELAY_REPLAY_START and WM_RELAY_DOWNLOAD_REQUEST: a file that is no
  // record file of this client (served_file_path.h) or does not open is
  // refused with status 1 (and logged); else a serving thread starts.
  void OnReplayStart(RelayFileRequest* record, DWORD word);
  void OnDownloadRequest(RelayFileRequest* record, DWORD word);
  // WM_RELAY_REPLAY_START_BY_DATE.
  void OnReplayStartByDate(ReplayByDateRequest* record, DWORD word);
  // WM_RELAY_REPLAY_SEARCH_BY_DATE: the day map of the key's device and the
  // channel; a date that is no calendar day is refused.
  void OnReplaySearchByDate(SearchByDateRequest* record, DWORD word);
  // WM_RELAY_REPLAY_SEEK, _INDEX and _SPEED.
  void OnReplayFollowUp(UINT msg, RelayReplayControl* record, DWORD word);
  // WM_RELAY_REPLAY_SEEK_BY_DATE, _CONTROL_BY_DATE and _SPEED_BY_DATE.
  void OnByDateFollowUp(UINT msg, RelayByDateControl* record, DWORD word);
  // WM_RELAY_DOWNLOAD_STOP.
  void OnDownloadStop(RelayReplayControl* record, DWORD word);
  // WM_SESSION_REPLAY_END, WM_SESSION_DOWNLOAD_END, WM_SESSION_REPLAY_BY_DATE_END.
  void OnSessionEnd(UINT msg, DWORD registryId);

 private:
  void StartFileSession(RelayFileRequest* record, DWORD word, bool download);

  CRemoteSessionRegistry& m_registry;
  IServingRelay& m_relay;
};
