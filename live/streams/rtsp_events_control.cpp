// CRtspEvents: the views, recording, sound and talk, relay and stopping.
#include <QCoreApplication>
#include <QCursor>
#include <QPointer>
#include <QThread>
#include <cstring>

#include "core/client_log.h"
#include "core/user_settings.h"
#include "live/streams/relay_video_session.h"
#include "live/streams/rtsp_events.h"
#include "platform/thread_handoff.h"
#include "platform/tick_count.h"
#include "tessaly/tessaly_ctrl.h"

namespace {

constexpr long kVideoBlockLength = sizeof(VideoParamBlock);
constexpr long kAudioBlockLength = sizeof(AudioParamBlock);
constexpr long kManualDuration = 2592000;   // 30 days
constexpr long kManualFileLength = 1800;    // 30-minute files

RECT ClientRect(const QWidget* window) {
  if (!window) return RECT{};
  return RECT{0, 0, window->width(), window->height()};
}

void Place(QWidget* player, const RECT& rect) {
  player->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

const BYTE* Bytes(const void* block) { return static_cast<const BYTE*>(block); }

bool OnUiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return !app || QThread::currentThread() == app->thread();
}

// Runs `work` on the UI thread later.
template <class Work>
void QueueToUi(Work work) {
  if (QCoreApplication* app = QCoreApplication::instance()) QueueCall(app, std::move(work));
}

}  // namespace

// ---------------------------------------------------------------------------
// Views

std::unique_ptr<CTessalyCtrl> CRtspEvents::CreatePlayer(QWidget* window, long* renderId) {
  auto player = std::make_unique<CTessalyCtrl>(window);
  Place(player.get(), ClientRect(window));
  player->setCursor(Qt::ArrowCursor);
  player->show();
  *renderId = player->CreateRender("TEST");
  player->FillScreen(m_bFillScreen);
  player->KeepLastFrame(g_bShowLastFrame);
  if (m_bRecording || m_bManualRecord) player->RecordMark(m_lStreamId, 1);
  return player;
}

void CRtspEvents::CreatMediaRenderCtrl() {
  if (!m_pTessalyCtrl1 && m_pOwnerWnd1) {
    long renderId = 0;
    auto player = CreatePlayer(m_pOwnerWnd1, &renderId);
    player->MouseMode(renderId, m_nMouseMode);
    if (m_nBroadcast == 1) player->Talk(m_lStreamId, 1);
    player->BufferTick(g_nBufferTick);
    player->BufferCount(g_nBufferCount);
    {
      CsLock lock(m_csLock);
      m_pTessalyCtrl1 = std::move(player);
      m_lRenderId1 = renderId;
    }
    WriteLog(6, "CRtspEvents::CreatMediaRenderCtrl(): Create stream player,StreamId=%d, RenderId=%d",
             static_cast<int>(m_lStreamId), static_cast<int>(m_lRenderId1));
  }
  if (m_bPollFinished && m_lStreamId != 0) {
    StartPump();
    WriteLog(6, "CRtspEvents::CreatMediaRenderCtrl(): RTSPDataPollThread create. StreamId=%d, m_hRtspPoll=%x",
             static_cast<int>(m_lStreamId), static_cast<unsigned>(m_hRtspPoll.native_handle()));
  }
}

long CRtspEvents::SetupMpeg4Decoder() {
  if (!m_pTessalyCtrl1) return -1;
  const long ret = m_pTessalyCtrl1->SetupDecoder(CTessalyCtrl::kVideo, m_lRenderId1, Bytes(&m_VideoParam), kVideoBlockLength);
  WriteLog(6, "CRtspEvents::SetupMpeg4Decoder():Setup video decoder, StreamId=%d, RenderId=%d, Ret=%d",
           static_cast<int>(m_lStreamId), static_cast<int>(m_lRenderId1), static_cast<int>(ret));
  return ret;
}

long CRtspEvents::SetupG711Decoder() {
  if (!m_pTessalyCtrl1) return -1;
  const long ret = m_pTessalyCtrl1->SetupDecoder(CTessalyCtrl::kAudio, m_lRenderId1, Bytes(&m_AudioParam), kAudioBlockLength);
  WriteLog(6, "CRtspEvents::SetupG711Decoder():Setup audio decoder, StreamId=%d, RenderId=%d, Ret=%d",
           static_cast<int>(m_lStreamId), static_cast<int>(m_lRenderId1), static_cast<int>(ret));
  return ret;
}

void CRtspEvents::SetupDecoders(CTessalyCtrl* player, long renderId) {
  if (m_lVideoParamLen != 0) {
    const long ret = player->SetupDecoder(CTessalyCtrl::kVideo, renderId, Bytes(&m_VideoParam), kVideoBlockLength);
    WriteLog(6, "Setup video decoder, StreamId=%d, RenderId=%d, Ret=%d", static_cast<int>(m_lStreamId),
             static_cast<int>(renderId), static_cast<int>(ret));
  }
  if (m_lAudioParamLen != 0) {
    const long ret = player->SetupDecoder(CTessalyCtrl::kAudio, renderId, Bytes(&m_AudioParam), kAudioBlockLength);
    WriteLog(6, "Setup audio decoder, StreamId=%d, RenderId=%d, Ret=%d", static_cast<int>(m_lStreamId),
             static_cast<int>(renderId), static_cast<int>(ret));
  }
}

void CRtspEvents::CreateAlarmActPlayer(QWidget* window) {
  if (m_pTessalyCtrl2 || !window) return;
  long renderId = 0;
  auto player = CreatePlayer(window, &renderId);
  WriteLog(6, "StreamId=%d, Create alarm act player, RenderId=%d", static_cast<int>(m_lStreamId), static_cast<int>(renderId));
  SetupDecoders(player.get(), renderId);
  CsLock lock(m_csLock);
  m_pOwnerWnd2 = window;
  m_rcWnd2 = ClientRect(window);
  m_pTessalyCtrl2 = std::move(player);
  m_lRenderId2 = renderId;
}

void CRtspEvents::CreateAlarmActPlayer3(QWidget* window) {
  if (m_pTessalyCtrl3 || !window) return;
  long renderId = 0;
  auto player = CreatePlayer(window, &renderId);
  WriteLog(6, "StreamId=%d, Create alarm act player, RenderId=%d", static_cast<int>(m_lStreamId), static_cast<int>(renderId));
  SetupDecoders(player.get(), renderId);
  CsLock lock(m_csLock);
  m_pOwnerWnd3 = window;
  m_rcWnd3 = ClientRect(window);
  m_pTessalyCtrl3 = std::move(player);
  m_lRenderId3 = renderId;
}

void CRtspEvents::CloseAllDecoder() {
  std::unique_ptr<CTessalyCtrl> player;
  long renderId = 0;
  {
    CsLock lock(m_csLock);
    player = std::move(m_pTessalyCtrl1);
    renderId = m_lRenderId1;
    m_lRenderId1 = 0;
    m_bRenderMedia = false;
  }
  auto close = [renderId](CTessalyCtrl* p) {
    p->CloseDecoder(CTessalyCtrl::kVideo, renderId);
    p->CloseDecoder(CTessalyCtrl::kAudio, renderId);
    p->DeleteRender(renderId);
  };
  if (player && OnUiThread()) {
    close(player.get());
  } else if (player) {
    // A widget is closed on its own thread; its window may take it first.
    QPointer<CTessalyCtrl> later = player.release();
    QueueToUi([later, close] {
      if (!later) return;
      close(later.data());
      delete later.data();
    });
  }
  WriteLog(6, "CRtspEvents: CloseAllDecoder m_bRenderMedia=FALSE, streamid=%ld", m_lStreamId.load());
}

void CRtspEvents::CloseAlarmActPlayer(int view) {
  if (view != 2 && view != 3) return;
  std::unique_ptr<CTessalyCtrl> player;
  CsLock lock(m_csLock);
  std::unique_ptr<CTessalyCtrl>& slot = view == 2 ? m_pTessalyCtrl2 : m_pTessalyCtrl3;
  long& renderId = view == 2 ? m_lRenderId2 : m_lRenderId3;
  if (slot) {
    slot->CloseDecoder(CTessalyCtrl::kVideo, renderId);
    slot->CloseDecoder(CTessalyCtrl::kAudio, renderId);
    slot->DeleteRender(renderId);
  }
  player = std::move(slot);
  renderId = 0;
}

void CRtspEvents::SetMediaRenderMod(QWidget* window, BOOL render) {
  m_bRenderMedia = render != 0;
  if (!render) {
    CloseAllDecoder();
    if (m_pOwnerWnd1 && m_pOwnerWnd1 != window) m_pOwnerWnd1->update();
  }
  m_pOwnerWnd1 = window;
  m_rcWnd1 = ClientRect(window);
  WriteLog(6, "CRtspEvents: SetMediaRenderMod m_bRenderMedia=%d, streamid=%ld", m_bRenderMedia ? 1 : 0, m_lStreamId.load());
}

void CRtspEvents::DisplayMediaStream(QWidget* window, BOOL repaint) {
  if (!window) return;
  m_pOwnerWnd1 = window;
  m_rcWnd1 = ClientRect(window);
  if (m_pTessalyCtrl1) {
    CsLock lock(m_csLock);
    m_pTessalyCtrl1->setParent(window);
    Place(m_pTessalyCtrl1.get(), m_rcWnd1);
    m_pTessalyCtrl1->show();
    if (repaint) window->update();
  } else {
    CreatMediaRenderCtrl();
    SetupMpeg4Decoder();
    if (m_lAudioParamLen != 0) SetupG711Decoder();
  }
  m_bRenderMedia = true;
  WriteLog(6, "CRtspEvents: DisplayMediaStream m_bRenderMedia=TRUE, streamid=%ld", m_lStreamId.load());
}

void CRtspEvents::Resize() {
  CsLock lock(m_csLock);
  struct View { QPointer<QWidget>& window; RECT& rect; std::unique_ptr<CTessalyCtrl>& player; };
  for (View view : {View{m_pOwnerWnd1, m_rcWnd1, m_pTessalyCtrl1}, View{m_pOwnerWnd2, m_rcWnd2, m_pTessalyCtrl2},
                    View{m_pOwnerWnd3, m_rcWnd3, m_pTessalyCtrl3}}) {
    if (!view.window) continue;
    view.rect = ClientRect(view.window);
    if (view.player) Place(view.player.get(), view.rect);
  }
}

void CRtspEvents::SetRecordMark(long on) {
  QPointer<CTessalyCtrl> player;
  {
    CsLock lock(m_csLock);
    player = m_pTessalyCtrl1.get();
  }
  if (!player) return;
  const long streamId = m_lStreamId;
  if (OnUiThread()) {
    player->RecordMark(streamId, on);
  } else {
    QueueToUi([player, streamId, on] {
      if (player) player->RecordMark(streamId, on);
    });
  }
}

// ---------------------------------------------------------------------------
// Recording

void CRtspEvents::BeginRecorderStream(const char* caller) {
  const long streamId = m_lStreamId;
  VideoParamBlock video;
  AudioParamBlock audio;
  {
    CsLock lock(m_csLock);  // MediaRecv writes them on the UI thread
    video = m_VideoParam;
    audio = m_AudioParam;
  }
  m_pCliptaCtrl->BeginStream(streamId);
  m_pCliptaCtrl->SetVideoParam(streamId, Bytes(&video), kVideoBlockLength);
  WriteLog(6, "CRtspEvents::%s(): Clipta set video param and begin stream, streamid=%ld", caller, streamId);
  if (m_bRecordAudio && m_bHaveAudio) {
    m_pCliptaCtrl->SetAudioParam(streamId, Bytes(&audio), kAudioBlockLength);
    WriteLog(6, "CRtspEvents::%s(): Clipta set audio param and begin stream, streamid=%ld", caller, streamId);
  }
}

long CRtspEvents::StartRecord(long streamId, long duration, long fileLength, const CString& path, long preRecSeconds) {
  if (!m_pCliptaCtrl) return 0;
  std::lock_guard<std::recursive_mutex> lock(m_recLock);
  BeginRecorderStream("StartRecord");
  m_lRecDuration = duration;
  m_lRecFileLength = fileLength;
  m_nRecBufTime = preRecSeconds;
  std::snprintf(m_szRecPath, sizeof(m_szRecPath), "%s", path.c_str());
  const long fileId = m_pCliptaCtrl->BeginRecordFile(streamId, m_szRecPath, preRecSeconds, duration, fileLength,
                                                     2 - m_nStreamKind);
  if (fileId >= 1) {
    m_lRecFileId = fileId;
    m_bRecording = true;
    SetRecordMark(1);
  }
  return fileId;
}

void CRtspEvents::StopRecordFile() {
  std::lock_guard<std::recursive_mutex> lock(m_recLock);
  if (m_lRecFileId >= 1) m_pCliptaCtrl->StopRecordFile(m_lRecFileId);
}

void CRtspEvents::StopRecord() {
  std::lock_guard<std::recursive_mutex> lock(m_recLock);
  StopRecordFile();
  m_lRecFileId = 0;
  if (m_nRecBufTime < 1) m_pCliptaCtrl->EndStream(m_lStreamId);
  m_bRecordRequested = false;
  m_bRecordAudio = false;
  m_bRecording = false;
  SetRecordMark(0);
}

long CRtspEvents::StartManualRecord(const CString& path) {
  std::lock_guard<std::recursive_mutex> lock(m_recLock);
  EnableRecord(TRUE);
  BeginRecorderStream("StartManualRecord");
  const long fileId = m_pCliptaCtrl->BeginRecordFile(m_lStreamId, path, 0, kManualDuration, kManualFileLength,
                                                     2 - m_nStreamKind);
  if (fileId >= 1) {
    m_bManualRecord = true;
    m_lManualFileId = fileId;
    SetRecordMark(1);
  }
  return fileId;
}

void CRtspEvents::StopManualRecord() {
  std::lock_guard<std::recursive_mutex> lock(m_recLock);
  if (!m_pCliptaCtrl || m_lManualFileId < 1 || !m_bManualRecord) return;
  m_pCliptaCtrl->StopRecordFile(m_lManualFileId);
  m_pCliptaCtrl->EndStream(m_lStreamId);
  m_bManualRecord = false;
  m_bRecordRequested = false;
  m_bRecordAudio = false;
  if (!m_bRecording) SetRecordMark(0);
}

void CRtspEvents::SetPreRecTime(long seconds, BOOL recordAudio) {
  WriteLog(6, "CRtspEvents::SetPreRecTime(): m_nRecBufTime=%d", static_cast<int>(seconds));
  std::lock_guard<std::recursive_mutex> lock(m_recLock);
  m_nRecBufTime = seconds;
  m_bRecordAudio = recordAudio != 0;
  const long streamId = m_lStreamId;
  if (!m_pCliptaCtrl || seconds < 1 || streamId == 0) return;
  VideoParamBlock video;
  AudioParamBlock audio;
  {
    CsLock blocks(m_csLock);
    video = m_VideoParam;
    audio = m_AudioParam;
  }
  m_pCliptaCtrl->BeginStream(streamId);
  m_pCliptaCtrl->PreRecordSetup(streamId, "", seconds, 0, 0);
  m_pCliptaCtrl->SetVideoParam(streamId, Bytes(&video), kVideoBlockLength);
  if (m_bRecordAudio && m_bHaveAudio) m_pCliptaCtrl->SetAudioParam(streamId, Bytes(&audio), kAudioBlockLength);
}

// ---------------------------------------------------------------------------
// Pictures, sound, talk and display settings

long CRtspEvents::SnapShot(const CString& path) {
  if (!m_pTessalyCtrl1) return -1;
  return m_pTessalyCtrl1->Snapshot(m_lRenderId1, g_nCapturePicFmt, path);
}

long CRtspEvents::Sound(CTessalyCtrl* player, long render, long on) {
  return player ? player->Sound(render, on) : -1;
}

long CRtspEvents::OpenSound() { return Sound(m_pTessalyCtrl1.get(), m_lRenderId1, 1); }
long CRtspEvents::CloseSound() { return Sound(m_pTessalyCtrl1.get(), m_lRenderId1, 0); }

long CRtspEvents::OpenAnySound() {
  if (m_pTessalyCtrl2) return Sound(m_pTessalyCtrl2.get(), m_lRenderId2, 1);
  if (m_pTessalyCtrl1) return Sound(m_pTessalyCtrl1.get(), m_lRenderId1, 1);
  return Sound(m_pTessalyCtrl3.get(), m_lRenderId3, 1);
}

long CRtspEvents::CloseAnySound() {
  if (m_pTessalyCtrl2) return Sound(m_pTessalyCtrl2.get(), m_lRenderId2, 0);
  if (m_pTessalyCtrl1) return Sound(m_pTessalyCtrl1.get(), m_lRenderId1, 0);
  return Sound(m_pTessalyCtrl3.get(), m_lRenderId3, 0);
}

long CRtspEvents::OpenPaneSound(bool mapPane) {
  if (mapPane) return Sound(m_pTessalyCtrl1.get(), m_lRenderId1, 1);
  if (m_pTessalyCtrl2) return Sound(m_pTessalyCtrl2.get(), m_lRenderId2, 1);
  if (m_pTessalyCtrl3) return Sound(m_pTessalyCtrl3.get(), m_lRenderId3, 1);
  return Sound(m_pTessalyCtrl1.get(), m_lRenderId1, 1);
}

long CRtspEvents::ClosePaneSound(bool mapPane) {
  if (mapPane) return Sound(m_pTessalyCtrl1.get(), m_lRenderId1, 0);
  if (m_pTessalyCtrl2) return Sound(m_pTessalyCtrl2.get(), m_lRenderId2, 0);
  return Sound(m_pTessalyCtrl1.get(), m_lRenderId1, 0);
}

void CRtspEvents::SetSpeakStatus(long value) {
  m_nTalkValue = value;
  if (m_nTalkTarget == 1 && m_pTessalyCtrl2) {
    m_nTalkTarget = 2;
    m_pTessalyCtrl2->Talk(m_lStreamId, value);
  } else if (m_pTessalyCtrl1) {
    m_pTessalyCtrl1->Talk(m_lStreamId, value);
  }
}

void CRtspEvents::SetBroadcastStatus(long flag) {
  m_nBroadcast = flag;
  if (m_pTessalyCtrl1) m_pTessalyCtrl1->Talk(m_lStreamId, flag);
}

void CRtspEvents::SetFillScreen(BOOL flag) {
  m_bFillScreen = flag;
  for (CTessalyCtrl* player : {m_pTessalyCtrl1.get(), m_pTessalyCtrl2.get(), m_pTessalyCtrl3.get()}) {
    if (player) player->FillScreen(flag);
  }
}

void CRtspEvents::ApplyKeepLastFrame(BOOL on) {
  for (CTessalyCtrl* player : {m_pTessalyCtrl1.get(), m_pTessalyCtrl2.get(), m_pTessalyCtrl3.get()}) {
    if (player) player->KeepLastFrame(on);
  }
}

void CRtspEvents::SetMouseMode(long mode) {
  m_nMouseMode = mode;
  if (m_pTessalyCtrl1) m_pTessalyCtrl1->MouseMode(m_lRenderId1, mode);
}

long CRtspEvents::VideoFlip() { return m_pTessalyCtrl1 ? m_pTessalyCtrl1->Flip(m_lStreamId, 2) : -1; }

long CRtspEvents::ReleaseWithoutWait() { return m_pTessalyCtrl1 ? m_pTessalyCtrl1->Release() : -1; }

// ---------------------------------------------------------------------------
// Relay and stopping

void CRtspEvents::AttachRelaySession(std::unique_ptr<CRelayVideoSession> session) {
  CsLock lock(m_csLock);
  if (m_pRelaySession) m_pRelaySession->Close();
  m_pRelaySession = std::move(session);
  // A stream that runs already (watched here) is served from its next frame.
  m_bRelayForward = m_pRelaySession != nullptr;
  m_bRelayActive = m_pRelaySession != nullptr;
}

void CRtspEvents::CloseRelayVideo() {
  CsLock lock(m_csLock);
  if (m_pRelaySession) m_pRelaySession->Close();
  m_pRelaySession.reset();
  m_bRelayForward = false;
  m_bRelayActive = false;
}

void CRtspEvents::StopAllThread() {
  std::lock_guard<std::mutex> pumpLock(m_pumpLock);
  const long streamId = m_lStreamId;
  WriteLog(6, "CRtspEvents: Stop all thread, StrevaCtrl delete StreamId=%ld", streamId);
  // The pump reads the stream: stop and join it before the stream goes.
  m_bPollRun = false;
  if (m_hRtspPoll.joinable()) m_hRtspPoll.join();
  m_bPollFinished = true;
  if (m_pCliptaCtrl && streamId != 0) m_pCliptaCtrl->EndStream(streamId);
  if (m_pStrevaCtrl && streamId != 0) m_pStrevaCtrl->DeleteStream(streamId);
  m_bMediaRecv = false;
  {
    CsLock lock(m_csLock);
    m_VideoParam = VideoParamBlock{};
    m_AudioParam = AudioParamBlock{};
  }
  m_lVideoParamLen = 0;
  m_lAudioParamLen = 0;
  m_lStreamId = 0;
  m_nStreamKind = -1;
  m_bRelayActive = false;
  m_bHaveAudio = false;
}
