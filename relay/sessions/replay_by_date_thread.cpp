#include "relay/sessions/replay_by_date_thread.h"

#include <algorithm>
#include <memory>
#include <new>

#include "core/fixed_text.h"
#include "relay/relay_messages.h"
#include "relay/sessions/rec_scheme_snapshot.h"
#include "relay/sessions/replay_pacing.h"
#include "relay/sessions/serving_relay.h"

using namespace replaypace;

namespace {

constexpr DWORD kPollMs = 2;

}  // namespace

CReplayByDateThread::CReplayByDateThread(IServingRelay& relay, ISessionClock& clock)
    : CServingSession(relay, clock) {}

CReplayByDateThread::~CReplayByDateThread() {
  Stop();
  m_files.clear();
  m_reader.Reset();
}

void CReplayByDateThread::SetSpeed(int speed) {
  m_mailbox.Post({SessionRequest::kSpeed, static_cast<DWORD>(speed)});
}

void CReplayByDateThread::Control(int code) {
  if (code == kControlStop) {
    RaiseStop();
    return;
  }
  m_mailbox.Post({SessionRequest::kControl, static_cast<DWORD>(code)});
}

void CReplayByDateThread::SetPendingJump(DWORD second) { m_mailbox.Post({SessionRequest::kJump, second}); }

bool CReplayByDateThread::FindFileAt(const std::vector<DayFile>& files, int second, int* current, int* offset) {
  int chosen = -1;
  int into = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const DayFile& file = files[i];
    if (file.start > second) {
      chosen = static_cast<int>(i);
      break;
    }
    if (second <= file.start + file.seconds) {
      chosen = static_cast<int>(i);
      into = second - file.start;
      break;
    }
  }
  if (chosen < 0) return false;
  if (current) *current = chosen + 1;
  if (offset) *offset = into;
  return true;
}

bool CReplayByDateThread::NextFile() {
  if (m_nCurFile < 0 || static_cast<size_t>(m_nCurFile) >= m_files.size()) return false;
  ++m_nCurFile;
  return true;
}

DWORD CReplayByDateThread::Run() {
  char mac[PELK_KEY_PART_SIZE];
  char ip[PELK_KEY_PART_SIZE];
  SplitDeviceKey(m_request.szDevKey, mac, ip);
  RecDayInfo day;
  CopyFixedText(day.szDevIp, ip);
  day.wYear = static_cast<WORD>(m_request.dwYear & 0xFFFF);
  day.wMonth = static_cast<WORD>(m_request.dwMonth & 0xFFFF);
  day.byDay = static_cast<BYTE>(m_request.dwDay & 0xFF);
  ResetDayMap(day.szDayMap);
  {
    // The day search reads a copy of the schemes: the UI thread may change
    // the list while this thread walks the folders.
    const RecSchemeSnapshot schemes;
    CRecDayMapBuilder(schemes.Schemes()).SearchLocalRecByDate(&day, static_cast<int>(m_request.dwChannel));
  }
  for (const RecDayFile& file : day.lstFile) m_files.push_back({file.strFilePath, file.nSeconds, file.nStartSecond});

  std::unique_ptr<BYTE[]> buffer;
  const bool found = FindFileAt(m_files, static_cast<int>(m_request.dwStartSecond), &m_nCurFile, &m_nOffset);
  if (found) buffer.reset(new (std::nothrow) BYTE[kFrameBufferSize]);
  if (!found || !buffer) {
    m_relay.PostEnd(WM_SESSION_REPLAY_BY_DATE_END, m_dwRegistryId);
    m_relay.NotifyReplayStopByDate(m_request, m_dwSessionId);
    return 0;
  }
  m_bSeekFirst = true;
  Serve(buffer.get());
  m_relay.NotifyReplayStopByDate(m_request, m_dwSessionId);
  buffer.reset();
  m_relay.PostEnd(WM_SESSION_REPLAY_BY_DATE_END, m_dwRegistryId);
  return 0;
}

void CReplayByDateThread::Serve(BYTE* buffer) {
  BeginRunning();
  bool first = true;
  bool nextFile = true;
  while (nextFile && m_bRunning && !m_bStop) {
    nextFile = false;
    ServeFile(buffer, first, &nextFile);
    first = false;
    m_reader.Close();
  }
}

void CReplayByDateThread::ServeFile(BYTE* buffer, bool first, bool* nextFile) {
  const DayFile& file = m_files[static_cast<size_t>(m_nCurFile - 1)];
  if (!m_reader.Open(file.path.c_str())) return;  // ends the session
  BYTE mask = 0;
  VideoParam video{};
  AudioParam audio{};
  m_reader.GetMediaInfo(&mask, &video, &audio);
  m_dwSeconds = m_reader.GetKeyFrameCount();
  const BYTE* videoBlock = reinterpret_cast<const BYTE*>(&video);
  const BYTE* audioBlock = mask == kRecMediaVideoAudio ? reinterpret_cast<const BYTE*>(&audio) : nullptr;
  const int fileStart = file.start;
  if (first) m_steer.intervalMs = NormalInterval(kFps);
  m_dwBase = m_clock.Now();
  bool firstChunk = true;
  while (m_bRunning && !m_bStop) {
    TakeRequests();
    if (!m_bRunning || m_bStop) break;
    const DWORD now = m_clock.Now();
    const LONG wait = std::max(m_steer.intervalMs, kMinWaitMs);
    if (Since(now, m_dwBase) < wait) {
      m_clock.Sleep(kPollMs);
      continue;
    }
    if (Since(now, m_dwBase + static_cast<DWORD>(wait)) > static_cast<LONG>(kLateMs)) {
      m_dwBase = now;
      continue;
    }
    if (m_bSeekFirst) {
      m_bSeekFirst = false;
      if (m_nOffset > 0) {
        m_reader.SeekKeyFrame(static_cast<DWORD>(m_nOffset));
      } else {
        m_reader.SeekNextKeyFrame();
      }
    }
    if (m_steer.factor >= 8 && Since(now, m_steer.lastKeyTime) >= static_cast<LONG>(m_steer.keySkipSeconds * 1000)) {
      m_reader.SeekNextKeyFrame();
    }
    if (m_steer.paused) {
      m_clock.Sleep(kPollMs);  // a paused session waits without spinning
    } else {
      int isVideo = 0;
      int isKey = 0;
      const int length = m_reader.ReadFrame(buffer, static_cast<int>(kFrameBufferSize), &isVideo, &isKey);
      if (length < 1) {
        *nextFile = NextFile();
        return;
      }
      if (isVideo) {
        m_dwBase += static_cast<DWORD>(m_steer.intervalMs);
        if (isKey) m_steer.lastKeyTime = now;
      } else if (m_steer.factor != 1) {
        continue;  // audio only at normal speed; no jump or step handling
      }
      RelayFrameInfo info;
      info.dwKeyFlag = isKey ? 1 : 0;
      info.dTime = m_reader.GetPosRatio() * m_dwSeconds * 1000.0;
      info.dwSequence = m_dwSequence++;
      m_relay.ReportReplayDataByDate(m_request, m_dwSessionId, isVideo ? PELK_MEDIA_VIDEO : PELK_MEDIA_AUDIO, buffer,
                                     length, info, firstChunk ? videoBlock : nullptr,
                                     firstChunk ? audioBlock : nullptr, firstChunk ? 1 : 0,
                                     static_cast<LONG>(m_dwSeconds), static_cast<DWORD>(fileStart));
      firstChunk = false;
      if (m_bPendingJump) {
        m_bPendingJump = false;
        if (FindFileAt(m_files, static_cast<int>(m_dwPendingSecond), &m_nCurFile, &m_nOffset)) {
          m_bSeekFirst = true;
          *nextFile = true;
          return;
        }
      }
    }
    if (m_steer.step) m_steer.paused = true;
  }
}

void CReplayByDateThread::TakeRequests() {
  for (const SessionRequest& request : m_mailbox.TakeAll()) {
    switch (request.kind) {
      case SessionRequest::kSpeed: ApplySpeed(static_cast<int>(request.value)); break;
      case SessionRequest::kControl: ApplyControl(static_cast<int>(request.value)); break;
      case SessionRequest::kJump:
        m_bPendingJump = true;
        m_dwPendingSecond = request.value;
        break;
      case SessionRequest::kSeekIndex: break;
    }
  }
}

void CReplayByDateThread::ApplySpeed(int speed) { m_steer.ApplySpeed(DayReplaySpeed(speed, kFps), m_clock.Now()); }

void CReplayByDateThread::ApplyControl(int code) {
  if (!m_steer.ApplyControl(code, kFps, m_reader, m_dwSeconds)) m_bRunning = false;
}
