// The record search page as the relay service sees it: the relay's answers
// and data for this client's own relay record searches, replays and
// downloads, handed to CSearchRecDlg.
#pragma once

#include "relay/relay_record_page.h"

class CSearchRecDlg;

class CRelayRecordPageAdapter final : public IRelayRecordPage {
 public:
  explicit CRelayRecordPageAdapter(CSearchRecDlg& page) : m_page(page) {}

  void OnSearchRecFileResult(const RelayReplaySearchResult* record) override;
  void OnSearchRecByDateResult(const char* key, int channel, const char* dayMap, int year, int month,
                               int day) override;
  void OnReplayMediaParam(const BYTE* video, const BYTE* audio, int seconds, const char* name,
                          const RelayReplaySession* session, LONG login) override;
  void OnReplayFileEnd(const char* name) override;
  void OnReplayByDateEnd(const char* key, int channel) override;
  void OnDownloadFinish(const char* name) override;
  void AddPendingRelaySearch(const ReplaySearchRequest* request, DWORD word) override;
  LONG InputReplayData(LONG kind, const BYTE* data, LONG length, const RelayFrameInfo* info,
                       const char* name) override;
  LONG InputReplayDataByDate(const char* key, DWORD unused, DWORD channel, LONG kind, const BYTE* data, LONG length,
                             const RelayFrameInfo* info, const BYTE* video, const BYTE* audio, LONG attached,
                             LONG seconds, DWORD start) override;
  void OnDownloadData(const BYTE* data, LONG length, uint64_t received, uint64_t total, const char* name) override;

 private:
  CSearchRecDlg& m_page;
};
