#include "live/streams/rtsp_events.h"

#include <pthread.h>

#include <QCursor>
#include <cstring>
#include <string>
#include <vector>

#include "core/client_log.h"
#include "core/user_settings.h"
#include "live/streams/gimbro_events.h"
#include "live/live_messages.h"
#include "live/streams/relay_video_session.h"
#include "platform/post_message.h"
#include "platform/tick_count.h"
#include "tessaly/tessaly_ctrl.h"

namespace {

std::atomic<HWND> g_hStreamsMainWnd{nullptr};

constexpr long kFrameHeaderLength = sizeof(FrameHeader);
constexpr long kVideoBlockLength = sizeof(VideoParamBlock);
constexpr long kAudioBlockLength = sizeof(AudioParamBlock);
constexpr int kNvrDevType = 4;

// The description text at the start of a parameter block, bounded by its field.
std::string BlockText(const char (&text)[256]) { return std::string(text, strnlen(text, sizeof(text))); }

RECT ClientRect(const QWidget* window) {
  if (!window) return RECT{};
  return RECT{0, 0, window->width(), window->height()};
}

const BYTE* Bytes(const void* block) { return static_cast<const BYTE*>(block); }

}  // namespace

void SetMainWindowForStreams(HWND hwnd) { g_hStreamsMainWnd = hwnd; }

CRtspEvents::CRtspEvents(QWidget* owner, CStrevaCtrl* strevaCtrl)
    : m_pOwnerWnd1(owner), m_pStrevaCtrl(strevaCtrl) {
  m_pCliptaCtrl = std::make_unique<CCliptaCtrl>();
  m_pCliptaEvents = std::make_unique<CCliptaEvents>();
  m_pCliptaCtrl->Advise(m_pCliptaEvents.get());
  m_rcWnd1 = ClientRect(owner);
}

CRtspEvents::~CRtspEvents() {
  WriteLog(6, "CRtspEvents: Stop RTSP poll thread.");
  StopAllThread();
  WriteLog(6, "CRtspEvents: Close video & audio decoder");
  CloseAllDecoder();
  CloseAlarmActPlayer(2);
  CloseAlarmActPlayer(3);
  CloseRelayVideo();
  WriteLog(6, "CRtspEvents: delete m_pCliptaEvents");
  m_pCliptaCtrl->Unadvise(m_pCliptaEvents.get());
  m_pCliptaEvents.reset();
  WriteLog(6, "CRtspEvents: delete m_pCliptaCtrl");
  m_pCliptaCtrl.reset();
}

long CRtspEvents::OnStreamState(long, long, long) { return 0; }

void CRtspEvents::SetStreamInfo(long streamId, long streamKind, long preRecSeconds, BOOL recordAudio) {
  m_lStreamId = streamId;
  m_nStreamKind = streamKind;
  m_nRecBufTime = preRecSeconds;
  m_bRecordAudio = recordAudio != 0;
}

CTessalyCtrl* CRtspEvents::Player(int view) const {
  switch (view) {
    case 1: return m_pTessalyCtrl1.get();
    case 2: return m_pTessalyCtrl2.get();
    case 3: return m_pTessalyCtrl3.get();
    default: return nullptr;
  }
}

// ---------------------------------------------------------------------------
// Media parameters

long CRtspEvents::MediaRecv(long streamId, long mediaType, const BYTE* data, long length) {
  // A block shorter than the parameter record would be read past its end.
  if (streamId != m_lStreamId || streamId == 0 || mediaType != kMediaTypeParam || !data ||
      length < static_cast<long>(sizeof(MediaParamBlock))) {
    return 0;
  }
  MediaParamBlock block;
  std::memcpy(&block, data, sizeof(block));
  if (strncmp(block.szCodecTag, kMediaCodecTag, sizeof(block.szCodecTag)) != 0) return 0;
  WriteLog(6, "CRtspEvents::MediaRecv(): StreamId=%ld, MediaType=%x", streamId, static_cast<unsigned>(mediaType));
  std::lock_guard<std::recursive_mutex> recordLock(m_recLock);  // the recording thread may start or stop a file

  // The audio block as it will be stored: an NVR stream carries no audio here,
  // so its block stays zero and a repeated identical MediaRecv compares equal.
  const bool haveAudio = block.wAudioPresent != 0 && m_nDevType != kNvrDevType;
  AudioParamBlock newAudio{};
  if (haveAudio) newAudio = block.audio;

  const bool videoChanged = std::memcmp(&block.video, &m_VideoParam, kVideoBlockLength) != 0 &&
                            m_VideoParam.dwValid != 0;
  const bool audioChanged = std::memcmp(&newAudio, &m_AudioParam, kAudioBlockLength) != 0;
  const bool changed = videoChanged || audioChanged;
  if (audioChanged && m_AudioParam.dwValid != 0) {
    const std::string text = BlockText(newAudio.szText);
    PostText(g_hStreamsMainWnd.load(), WM_TALKPARAMCHANGED, static_cast<WPARAM>(streamId), text.c_str());
    WriteLog(6, "CRtspEvents::MediaRecv():Notify GUI audio parameter changed.StreamId=%ld, AudioParam=%s",
             streamId, text.c_str());
  }

  if (m_bRecording && changed) {
    WriteLog(6, "CRtspEvents::MediaRecv(): Stop record file, because the media param changed. FileId=%ld, StreamId=%ld",
             m_lRecFileId, streamId);
    m_pCliptaCtrl->StopRecordFile(m_lRecFileId);
    m_pCliptaCtrl->EndStream(streamId);
  }

  if (block.wVideoPresent != 0) {
    {
      CsLock lock(m_csLock);  // the pump reads the blocks to answer a relay peer
      m_VideoParam = block.video;
    }
    m_lVideoParamLen = kVideoBlockLength;
    m_bMediaRecv = true;
    WriteLog(6, "CRtspEvents::MediaRecv(): VideoParam=%s, stramId=%ld", BlockText(m_VideoParam.szText).c_str(), streamId);
    if (m_bRenderMedia) {
      CreatMediaRenderCtrl();
      SetupMpeg4Decoder();
    } else if (m_bPollFinished) {
      StartPump();
      WriteLog(6, "CRtspEvents::MediaRecv(): StreamId = %d, RTSPDataPollThread create. m_hRtspPoll=%x",
               static_cast<int>(streamId), static_cast<unsigned>(m_hRtspPoll.native_handle()));
    }
  }

  {
    CsLock lock(m_csLock);
    m_AudioParam = newAudio;
  }
  m_bHaveAudio = haveAudio;
  if (haveAudio) {
    m_lAudioParamLen = kAudioBlockLength;
    WriteLog(6, "CRtspEvents::MediaRecv(): AudioParam=%s, stramId=%ld", BlockText(m_AudioParam.szText).c_str(), streamId);
    if (m_bRenderMedia) SetupG711Decoder();
  } else {
    m_lAudioParamLen = 0;
  }

  if (m_bRecording && changed) {
    m_pCliptaCtrl->BeginStream(streamId);
    m_pCliptaCtrl->SetVideoParam(streamId, Bytes(&m_VideoParam), kVideoBlockLength);
    WriteLog(6, "CRtspEvents::MediaRecv(): Clipta set video param and begin stream, streamid=%ld", streamId);
    if (m_bRecordAudio && m_bHaveAudio) {
      m_pCliptaCtrl->SetAudioParam(streamId, Bytes(&m_AudioParam), kAudioBlockLength);
      WriteLog(6, "CRtspEvents::MediaRecv(): Clipta set audio param and begin stream, streamid=%ld", streamId);
    }
    m_lRecFileId = m_pCliptaCtrl->BeginRecordFile(streamId, m_szRecPath, m_nRecBufTime, m_lRecDuration,
                                                  m_lRecFileLength, 2 - m_nStreamKind);
    if (m_lRecFileId < 1) {
      m_bRecording = false;
      SetRecordMark(0);
      WriteLog(3, "CRtspEvents::MediaRecv(): begin record file failed, because the media param changed. FileId=%ld, StreamId=%ld",
               m_lRecFileId, streamId);
    } else {
      WriteLog(6, "CRtspEvents::MediaRecv(): begin record file success, because the media param changed. FileId=%ld, StreamId=%ld",
               m_lRecFileId, streamId);
    }
  }

  if (m_nRecBufTime >= 1) {
    m_pCliptaCtrl->BeginStream(streamId);
    m_pCliptaCtrl->PreRecordSetup(streamId, "", m_nRecBufTime, 0, 0);
    m_pCliptaCtrl->SetVideoParam(streamId, Bytes(&m_VideoParam), kVideoBlockLength);
    if (m_bHaveAudio && m_bRecordAudio) {
      m_pCliptaCtrl->SetAudioParam(streamId, Bytes(&m_AudioParam), kAudioBlockLength);
    }
  }

  if (m_bRelayForward) {
    CsLock lock(m_csLock);
    if (m_pRelaySession) {
      m_bRelayActive = true;
      if (!m_pRelaySession->IsAnswered()) {
        m_pRelaySession->Answer(Bytes(&m_VideoParam), Bytes(&m_AudioParam));
      }
    }
  }
  return 0;
}

// ---------------------------------------------------------------------------
// The pump

void CRtspEvents::StartPump() {
  std::lock_guard<std::mutex> lock(m_pumpLock);
  if (!m_bPollFinished || m_lStreamId == 0) return;  // a stream stopped meanwhile gets no pump
  if (m_hRtspPoll.joinable()) m_hRtspPoll.join();  // a finished pump: collect it first
  m_bPollFinished = false;
  m_bPollRun = true;
  m_hRtspPoll = std::thread([this] { RTSPDataPollThread(); });
  // Named here rather than by the thread itself, so that the name holds as
  // soon as the pump counts as running, however late the thread gets to run.
  pthread_setname_np(m_hRtspPoll.native_handle(), "rtsppump");
}

void CRtspEvents::RTSPDataPollThread() {
  std::vector<BYTE> buffer(kFrameBufferSize);
  const long streamId = m_lStreamId;
  const long ret = m_pStrevaCtrl ? m_pStrevaCtrl->RegisterReader(streamId, streamId) : -1;
  WriteLog(6, "RTSPDataPollThread: StrevaCtrl register reader, ret=%d, StreamId=ReaderId=%ld", static_cast<int>(ret), streamId);

  BYTE header[kFrameHeaderLength];
  DWORD lastReadLog = GetTickCount();
  DWORD lastFailLog = lastReadLog;
  int videoFailed = 0;
  int audioFailed = 0;
  while (m_bPollRun) {
    if (!m_pStrevaCtrl) {
      WriteLog(3, "pRtspEvent->m_pStrevaCtrl is NULL, streamId=%x", static_cast<unsigned>(streamId));
      Sleep(5);
      continue;
    }
    const DWORD now = GetTickCount();
    if (now - lastReadLog >= 30000) {
      WriteLog(3, "RTSPDataPollThread Read Frame data , StreamId=%ld", streamId);
      lastReadLog = now;
    }

    if (PumpOneFrame(true, streamId, buffer.data(), header)) {
      videoFailed = 0;
    } else {
      Sleep(5);
      ++videoFailed;
    }
    if (m_bHaveAudio) {
      if (PumpOneFrame(false, streamId, buffer.data(), header)) {
        audioFailed = 0;
      } else {
        Sleep(5);
        ++audioFailed;
      }
    }

    if (GetTickCount() - lastFailLog >= 10000) {
      WriteLog(3, "RTSPDataPollThread Read Frame data failed. streamId=%ld,  ReadVideoFailedCount=%d ,ReadAudioFailedCount=%d, bHaveAudio=%d",
               streamId, videoFailed, audioFailed, m_bHaveAudio ? 1 : 0);
      videoFailed = 0;
      audioFailed = 0;
      lastFailLog = GetTickCount();
    }
  }

  if (m_pStrevaCtrl) m_pStrevaCtrl->UnregisterReader(streamId, streamId);
  WriteLog(6, "RTSPDataPollThread: StrevaCtrl Unregister reader, StreamId=ReaderId=%ld", streamId);
  m_bPollFinished = true;
  WriteLog(6, "RTSPDataPollThread finish.");
}

bool CRtspEvents::PumpOneFrame(bool video, long streamId, BYTE* buffer, BYTE* header) {
  long length = kFrameBufferSize;
  long headerLength = kFrameHeaderLength;
  const long ret = video ? m_pStrevaCtrl->ReadVideo(streamId, streamId, buffer, &length, header, &headerLength)
                         : m_pStrevaCtrl->ReadAudio(streamId, streamId, buffer, &length, header, &headerLength);
  if (ret != 0 || length < 1) return false;
  const long type = video ? CTessalyCtrl::kVideo : CTessalyCtrl::kAudio;
  {
    CsLock lock(m_csLock);
    if (m_pRelaySession && m_bRelayActive) {
      if (!m_pRelaySession->IsAnswered()) {
        m_pRelaySession->Answer(Bytes(&m_VideoParam), Bytes(&m_AudioParam));
      }
      if (video) {
        m_pRelaySession->ReportVideo(buffer, length, header);
      } else {
        m_pRelaySession->ReportAudio(buffer, length, header);
      }
    }
    FeedPlayers(type, buffer, length, header, kFrameHeaderLength);
  }
  // The recorder has its own lock: it is fed outside ours.
  if (m_bRecordRequested || m_nRecBufTime >= 1) {
    if (video) {
      m_pCliptaCtrl->InputVideo(streamId, buffer, length, header, kFrameHeaderLength);
    } else if (m_bRecordAudio) {
      m_pCliptaCtrl->InputAudio(streamId, buffer, length, header, kFrameHeaderLength);
    }
  }
  return true;
}

// Under m_csLock.
void CRtspEvents::FeedPlayers(long type, const BYTE* data, long length, const BYTE* header, long headerLength) {
  if (m_pTessalyCtrl1 && m_bRenderMedia) m_pTessalyCtrl1->InputData(type, m_lRenderId1, data, length, header, headerLength);
  if (m_pTessalyCtrl2) m_pTessalyCtrl2->InputData(type, m_lRenderId2, data, length, header, headerLength);
  if (m_pTessalyCtrl3) m_pTessalyCtrl3->InputData(type, m_lRenderId3, data, length, header, headerLength);
}

// Frames raised as events reach the object only while no pump reads the stream.
long CRtspEvents::OnVideoFrame(long streamId, const BYTE* data, long length, const BYTE* header, long headerLength) {
  if (streamId == 0 || streamId != m_lStreamId || !data || length < 1) return 0;
  {
    CsLock lock(m_csLock);
    FeedPlayers(CTessalyCtrl::kVideo, data, length, header, headerLength);
    // A view with a window but no player is repainted.
    if (!m_pTessalyCtrl1 && m_pOwnerWnd1) m_pOwnerWnd1->update();
    if (!m_pTessalyCtrl2 && m_pOwnerWnd2) m_pOwnerWnd2->update();
    if (!m_pTessalyCtrl3 && m_pOwnerWnd3) m_pOwnerWnd3->update();
  }
  if (m_bRecordRequested) m_pCliptaCtrl->InputVideo(streamId, data, length, header, headerLength);
  return 0;
}

long CRtspEvents::OnAudioFrame(long streamId, const BYTE* data, long length, const BYTE* header, long headerLength) {
  if (streamId == 0 || streamId != m_lStreamId || !data || length < 1) return 0;
  {
    CsLock lock(m_csLock);
    FeedPlayers(CTessalyCtrl::kAudio, data, length, header, headerLength);
  }
  if (m_bRecordRequested && m_bRecordAudio) m_pCliptaCtrl->InputAudio(streamId, data, length, header, headerLength);
  return 0;
}
