#include "live/streams/relay_video_session.h"

#include <cstring>

#include "streva/streva_ctrl.h"

namespace {
bool HasCodecName(const BYTE* block) { return block != nullptr && block[0] != 0; }
}  // namespace

CRelayVideoSession::CRelayVideoSession(const DevInfo* owner) : m_pOwner(owner) {}

void CRelayVideoSession::Set(const char* name, DWORD word0, DWORD word1, DWORD word2, DWORD word3) {
  if (name) {
    std::memset(m_szName, 0, sizeof m_szName);
    std::strncpy(m_szName, name, sizeof m_szName - 1);
  }
  m_dwWords[0] = word0;
  m_dwWords[1] = word1;
  m_dwWords[2] = word2;
  m_dwWords[3] = word3;
}

void CRelayVideoSession::Answer(const BYTE* videoBlock, const BYTE* audioBlock) {
  if (m_bAnswered) return;
  const BYTE* video = HasCodecName(videoBlock) ? videoBlock : nullptr;
  const BYTE* audio = HasCodecName(audioBlock) ? audioBlock : nullptr;
  if (video || audio) {
    m_hRelayVideo = Pelk_RspDeviceVideo(PELK_STATUS_ANSWER, m_szName, m_dwWords[0], m_dwWords[1], m_dwWords[2],
                                        m_dwWords[3], video, audio);
  }
  m_bAnswered = 1;
}

LONG CRelayVideoSession::Report(LONG kind, DWORD* counter, const BYTE* data, long length, const BYTE* frameHeader) {
  if (frameHeader) {
    FrameHeader header;
    std::memcpy(&header, frameHeader, sizeof header);
    m_FrameInfo.dwKeyFlag = header.dwFlags;
    m_FrameInfo.dTime = header.dwTimeStamp;
    m_FrameInfo.dwSequence = (*counter)++;
  }
  return Pelk_ReportAVData(m_hRelayVideo, m_szName, m_dwWords[0], m_dwWords[1], kind, data,
                           static_cast<LONG>(length), &m_FrameInfo);
}

LONG CRelayVideoSession::ReportVideo(const BYTE* data, long length, const BYTE* frameHeader) {
  return Report(PELK_MEDIA_VIDEO, &m_dwVideoSequence, data, length, frameHeader);
}

LONG CRelayVideoSession::ReportAudio(const BYTE* data, long length, const BYTE* frameHeader) {
  return Report(PELK_MEDIA_AUDIO, &m_dwAudioSequence, data, length, frameHeader);
}

void CRelayVideoSession::Close() {
  if (m_hRelayVideo != 0) {
    Pelk_CloseDeviceVideo(m_hRelayVideo);
    m_hRelayVideo = 0;
  }
  m_pOwner = nullptr;
  std::memset(m_szName, 0, sizeof m_szName);
  m_bAnswered = 0;
  m_dwVideoSequence = 1;
  m_dwAudioSequence = 1;
}
