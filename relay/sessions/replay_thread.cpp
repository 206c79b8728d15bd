#include "relay/sessions/replay_thread.h"

#include <cstring>
#include <new>

#include "relay/relay_messages.h"
#include "relay/sessions/replay_pacing.h"
#include "relay/sessions/serving_relay.h"

using namespace replaypace;

namespace {

constexpr DWORD kPollMs = 2;
constexpr int kDefaultFps = 25;  // a file that names no frame rate

}  // namespace

CReplayThread::CReplayThread(IServingRelay& relay, ISessionClock& clock) : CFileServingSession(relay, clock) {}

CReplayThread::~CReplayThread() {
  Stop();
  m_reader.Reset();
}

void CReplayThread::SetSpeed(int speed) { m_mailbox.Post({SessionRequest::kSpeed, static_cast<DWORD>(speed)}); }

void CReplayThread::Control(int code) {
  if (code == kControlStop) {
    RaiseStop();
    return;
  }
  m_mailbox.Post({SessionRequest::kControl, static_cast<DWORD>(code)});
}

int CReplayThread::SeekIndex(DWORD entry) {
  m_mailbox.Post({SessionRequest::kSeekIndex, entry});
  return 0;
}

void CReplayThread::NotifyStopIfRunning() {
  m_bStop = true;
  if (m_bRunning.exchange(false)) m_relay.NotifyReplayStop(m_request, m_dwSessionId);
}

void CReplayThread::EndOfData() {
  if (m_bRunning.exchange(false)) m_relay.NotifyReplayStop(m_request, m_dwSessionId);
}

void CReplayThread::SleepUnlessStopped(DWORD ms) {
  const DWORD start = m_clock.Now();
  while (!m_bStop && Since(m_clock.Now(), start) < static_cast<LONG>(ms)) m_clock.Sleep(kPollMs * 10);
}

DWORD CReplayThread::Run() {
  Serve();
  m_reader.Close();
  m_relay.PostEnd(WM_SESSION_REPLAY_END, m_dwRegistryId);
  return 0;
}

void CReplayThread::Serve() {
  const std::string path = LocalPath();
  if (!m_reader.Open(path.c_str())) {
    m_relay.RspReplayStart(PELK_STATUS_REFUSED, m_request, m_dwSessionId, nullptr, nullptr, 0);
    return;
  }
  BYTE mask = 0;
  VideoParam video{};
  AudioParam audio{};
  m_reader.GetMediaInfo(&mask, &video, &audio);
  m_dwSeconds = m_reader.GetKeyFrameCount();
  m_relay.RspReplayStart(PELK_STATUS_ANSWER, m_request, m_dwSessionId, reinterpret_cast<const BYTE*>(&video),
                         mask == kRecMediaVideoAudio ? reinterpret_cast<const BYTE*>(&audio) : nullptr,
                         static_cast<LONG>(m_dwSeconds));
  SleepUnlessStopped(kStartDelayMs);
  m_nFps = video.dwFrameRate > 0 ? static_cast<int>(video.dwFrameRate) : kDefaultFps;
  m_steer.intervalMs = FileStartInterval(m_nFps);

  std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[kFrameBufferSize]);
  if (!buffer || m_bStop) return;
  BeginRunning();
  m_dwBase = m_clock.Now();
  while (m_bRunning && !m_bStop) {
    TakeRequests();
    if (!m_bRunning || m_bStop) break;
    const DWORD now = m_clock.Now();
    const DWORD due = m_dwBase + static_cast<DWORD>(m_steer.intervalMs);
    if (Since(now, due) < 0) {
      m_clock.Sleep(kPollMs);
      continue;
    }
    if (Since(now, due) > static_cast<LONG>(kLateMs)) {
      m_dwBase = now;
      continue;
    }
    if (m_steer.paused) {
      m_clock.Sleep(kPollMs);  // a paused session waits without spinning
    } else {
      if (m_steer.speedCode != kNormalSpeedCode && m_steer.factor >= 8 &&
          Since(now, m_steer.lastKeyTime) >= static_cast<LONG>(m_steer.keySkipSeconds * 1000)) {
        m_reader.SeekNextKeyFrame();
      }
      int isVideo = 0;
      int isKey = 0;
      const int length = m_reader.ReadFrame(buffer.get(), static_cast<int>(kFrameBufferSize), &isVideo, &isKey);
      if (length < 1) {
        EndOfData();
        break;
      }
      if (isVideo) {
        m_dwBase += static_cast<DWORD>(m_steer.intervalMs);
        if (isKey) m_steer.lastKeyTime = now;
      } else if (m_steer.factor != 1) {
        continue;  // audio only at normal speed
      }
      RelayFrameInfo info;
      info.dwKeyFlag = isKey ? 1 : 0;
      info.dTime = m_reader.GetPosRatio() * m_dwSeconds * 1000.0;
      info.dwSequence = m_dwSequence++;
      m_relay.ReportReplayData(m_request, m_dwSessionId, isVideo ? PELK_MEDIA_VIDEO : PELK_MEDIA_AUDIO, buffer.get(),
                               length, info);
    }
    if (m_steer.step) m_steer.paused = true;
  }
}

void CReplayThread::TakeRequests() {
  for (const SessionRequest& request : m_mailbox.TakeAll()) {
    switch (request.kind) {
      case SessionRequest::kSpeed: ApplySpeed(static_cast<int>(request.value)); break;
      case SessionRequest::kControl: ApplyControl(static_cast<int>(request.value)); break;
      case SessionRequest::kSeekIndex: m_reader.SeekKeyFrame(request.value); break;
      case SessionRequest::kJump: break;
    }
  }
}

void CReplayThread::ApplySpeed(int speed) { m_steer.ApplySpeed(FileReplaySpeed(speed, m_nFps), m_clock.Now()); }

void CReplayThread::ApplyControl(int code) {
  if (!m_steer.ApplyControl(code, m_nFps, m_reader, m_dwSeconds)) m_bRunning = false;
}
