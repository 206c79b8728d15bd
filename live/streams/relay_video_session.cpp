#include "live/streams/relay_video_session.h"

#include "pelk/pelk.h"

namespace {
// True when the block begins with a non-empty text.
bool HasText(const BYTE* block, long length) { return block && length >= 1 && block[0] != 0; }
constexpr long kFrameHeaderLength = 16;
}  // namespace

void CRelayVideoSession::Answer(const BYTE* videoBlock, long videoLength, const BYTE* audioBlock,
                                long audioLength) {
  if (IsAnswered() || !HasText(videoBlock, videoLength) || !HasText(audioBlock, audioLength)) return;
  m_hVideo = Pelk_RspDeviceVideo(m_lSessionId, videoBlock, videoLength, audioBlock, audioLength);
}

void CRelayVideoSession::ReportVideo(const BYTE* data, long length, const BYTE* header) {
  if (IsAnswered()) Pelk_ReportAVData(m_hVideo, 0, data, length, header, kFrameHeaderLength);
}

void CRelayVideoSession::ReportAudio(const BYTE* data, long length, const BYTE* header) {
  if (IsAnswered()) Pelk_ReportAVData(m_hVideo, 1, data, length, header, kFrameHeaderLength);
}

void CRelayVideoSession::Close() {
  if (m_hVideo != 0) Pelk_CloseDeviceVideo(m_hVideo);
  m_hVideo = 0;
}
