#include "shell/relay_record_page_adapter.h"

#include "records/recfile/media_param.h"
#include "records/search/search_rec_dlg.h"

static_assert(sizeof(VideoParam) == PELK_VIDEO_PARAM_SIZE && sizeof(AudioParam) == PELK_AUDIO_PARAM_SIZE,
              "the relay's parameter blocks are the record files' blocks");

namespace {

const VideoParam* Video(const BYTE* block) { return reinterpret_cast<const VideoParam*>(block); }
const AudioParam* Audio(const BYTE* block) { return reinterpret_cast<const AudioParam*>(block); }

}  // namespace

void CRelayRecordPageAdapter::OnSearchRecFileResult(const RelayReplaySearchResult* record) {
  m_page.OnSearchRecFileResult(record);
}

void CRelayRecordPageAdapter::OnSearchRecByDateResult(const char* key, int channel, const char* dayMap, int year,
                                                      int month, int day) {
  m_page.OnSearchRecByDateResult(key, channel, dayMap, year, month, day);
}

void CRelayRecordPageAdapter::OnReplayMediaParam(const BYTE* video, const BYTE* audio, int seconds, const char* name,
                                                 const RelayReplaySession* session, LONG login) {
  m_page.OnReplayMediaParam(Video(video), Audio(audio), seconds, name, session, login);
}

void CRelayRecordPageAdapter::OnReplayFileEnd(const char* name) { m_page.OnReplayFileEnd(name); }

void CRelayRecordPageAdapter::OnReplayByDateEnd(const char* key, int channel) { m_page.OnReplayByDateEnd(key, channel); }

void CRelayRecordPageAdapter::OnDownloadFinish(const char* name) { m_page.OnDownloadFinish(name); }

void CRelayRecordPageAdapter::AddPendingRelaySearch(const ReplaySearchRequest* request, DWORD word) {
  m_page.AddPendingRelaySearch(request, word);
}

LONG CRelayRecordPageAdapter::InputReplayData(LONG kind, const BYTE* data, LONG length, const RelayFrameInfo* info,
                                              const char* name) {
  m_page.InputReplayData(static_cast<int>(kind), data, length, info, name);
  return 1;
}

LONG CRelayRecordPageAdapter::InputReplayDataByDate(const char* key, DWORD unused, DWORD channel, LONG kind,
                                                    const BYTE* data, LONG length, const RelayFrameInfo* info,
                                                    const BYTE* video, const BYTE* audio, LONG attached, LONG seconds,
                                                    DWORD start) {
  return m_page.InputReplayDataByDate(key, static_cast<long>(unused), static_cast<int>(channel), static_cast<int>(kind),
                                      data, length, info, Video(video), Audio(audio), attached ? TRUE : FALSE,
                                      static_cast<int>(seconds), static_cast<int>(start));
}

void CRelayRecordPageAdapter::OnDownloadData(const BYTE* data, LONG length, uint64_t received, uint64_t total,
                                             const char* name) {
  m_page.OnDownloadData(data, length, received, total, name);
}
