// CRtspEvents: the stream object of one device and one stream (main or sub).
//
// It sinks the events of the application's RTSP pull control, owns up to three
// players (views 1 to 3, each a child of its window), one AVI recorder with its
// sink, and while a stream is open one pump thread that reads the stream's
// frames and feeds the players, the recorder and an attached relay session.
//
// Threads: the methods run on the UI thread, except those the recording thread
// calls as well (SetStreamInfo, SetDevType, EnableRecord, StartRecord,
// StopRecordFile, StopRecord, SetPreRecTime, StopAllThread, CloseAllDecoder and
// the state getters). The pump thread shares the players and the relay
// session under m_csLock, and the flags it reads are atomic; the record
// settings and the recorder calls that go with them are taken under
// m_recLock; the pump is started and stopped under m_pumpLock. Called from
// another thread, the player work (record mark, closing the view's player) is
// queued to the UI thread. StopAllThread stops and joins the pump before it
// deletes the stream, so the pump never reads a stream that is gone.
#pragma once

#include <QPointer>
#include <QWidget>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "clipta/clipta_ctrl.h"
#include "platform/critical_section.h"
#include "platform/win_types.h"
#include "streva/streva_ctrl.h"

class CTessalyCtrl;
class CCliptaEvents;
class CRelayVideoSession;

// The main window that receives WM_TALKPARAMCHANGED from every stream object.
void SetMainWindowForStreams(HWND hwnd);

class CRtspEvents : public IStrevaEvents {
 public:
  // Size of the pump's frame buffer, reused for every frame.
  static constexpr long kFrameBufferSize = 1048576;

  CRtspEvents(QWidget* owner, CStrevaCtrl* strevaCtrl);
  ~CRtspEvents() override;
  CRtspEvents(const CRtspEvents&) = delete;
  CRtspEvents& operator=(const CRtspEvents&) = delete;

  // Events of the pull control.
  long OnStreamState(long streamId, long state, long detail) override;
  long MediaRecv(long streamId, long mediaType, const BYTE* data, long length) override;
  long OnVideoFrame(long streamId, const BYTE* data, long length, const BYTE* header,
                    long headerLength) override;
  long OnAudioFrame(long streamId, const BYTE* data, long length, const BYTE* header,
                    long headerLength) override;

  void SetStreamInfo(long streamId, long streamKind, long preRecSeconds, BOOL recordAudio);
  void SetDevType(int devType) { m_nDevType = devType; }

  // Views.
  void SetMediaRenderMod(QWidget* window, BOOL render);
  void DisplayMediaStream(QWidget* window, BOOL repaint);
  void CreatMediaRenderCtrl();
  long SetupMpeg4Decoder();
  long SetupG711Decoder();
  void CreateAlarmActPlayer(QWidget* window);   // view 2
  void CreateAlarmActPlayer3(QWidget* window);  // view 3
  void CloseAllDecoder();
  void CloseAlarmActPlayer(int view);  // view 2 or 3
  void Resize();

  // Recording.
  long StartRecord(long streamId, long duration, long fileLength, const CString& path, long preRecSeconds);
  void StopRecordFile();
  void StopRecord();
  long StartManualRecord(const CString& path);
  void StopManualRecord();
  void EnableRecord(BOOL recordAudio) {
    m_bRecordAudio = recordAudio != 0;
    m_bRecordRequested = true;
  }
  void SetPreRecTime(long seconds, BOOL recordAudio);

  long SnapShot(const CString& path);
  long OpenSound();
  long CloseSound();
  long OpenAnySound();
  long CloseAnySound();
  long OpenPaneSound(bool mapPane);
  long ClosePaneSound(bool mapPane);
  void SetTalkTarget(int state) { m_nTalkTarget = state; }
  void SetSpeakStatus(long value);
  void SetBroadcastStatus(long flag);
  void SetFillScreen(BOOL flag);
  void ApplyKeepLastFrame(BOOL on);
  void SetMouseMode(long mode);
  long VideoFlip();
  long ReleaseWithoutWait();

  // Relay: the session is owned once attached. Attaching (under the lock)
  // replaces and closes an earlier session and sets the relay-serving and
  // relay-active flags; CloseRelayVideo closes and deletes the session and
  // clears both.
  void AttachRelaySession(std::unique_ptr<CRelayVideoSession> session);
  void SetRelayForward(BOOL on) { m_bRelayForward = on != 0; }
  void SetRelayActive(BOOL on) { m_bRelayActive = on != 0; }
  bool IsRelayServing() const { return m_bRelayForward; }
  bool IsRelayActive() const { return m_bRelayActive; }
  CRelayVideoSession* RelaySession() const { return m_pRelaySession.get(); }
  void CloseRelayVideo();

  void StopAllThread();

  // State, for callers and tests.
  CStrevaCtrl* StrevaCtrl() const { return m_pStrevaCtrl; }  // the pull control streams are opened on
  long GetStreamId() const { return m_lStreamId; }
  long GetStreamKind() const { return m_nStreamKind; }
  bool HasAudio() const { return m_bHaveAudio; }
  bool IsRecording() const { return m_bRecording; }
  bool IsRendering() const { return m_bRenderMedia; }
  bool HasMediaParam() const { return m_bMediaRecv; }
  bool IsManualRecording() const { return m_bManualRecord; }
  bool IsPumpRunning() const { return !m_bPollFinished; }
  long GetManualFileId() const { return m_lManualFileId; }
  long GetRecordFileId() const { return m_lRecFileId; }
  CTessalyCtrl* Player(int view) const;
  CCliptaCtrl* Recorder() const { return m_pCliptaCtrl.get(); }
  const VideoParamBlock& VideoParam() const { return m_VideoParam; }
  const AudioParamBlock& AudioParam() const { return m_AudioParam; }

 private:
  void StartPump();
  void RTSPDataPollThread();
  // Reads one frame of the medium and hands it on; false when there was none.
  bool PumpOneFrame(bool video, long streamId, BYTE* buffer, BYTE* header);
  void FeedPlayers(long type, const BYTE* data, long length, const BYTE* header, long headerLength);
  void SetRecordMark(long on);
  std::unique_ptr<CTessalyCtrl> CreatePlayer(QWidget* window, long* renderId);
  void SetupDecoders(CTessalyCtrl* player, long renderId);
  void BeginRecorderStream(const char* caller);
  long Sound(CTessalyCtrl* player, long render, long on);

  QPointer<QWidget> m_pOwnerWnd1;
  QPointer<QWidget> m_pOwnerWnd2;
  QPointer<QWidget> m_pOwnerWnd3;
  CStrevaCtrl* m_pStrevaCtrl;
  std::unique_ptr<CCliptaCtrl> m_pCliptaCtrl;
  std::unique_ptr<CCliptaEvents> m_pCliptaEvents;
  std::unique_ptr<CTessalyCtrl> m_pTessalyCtrl1;
  std::unique_ptr<CTessalyCtrl> m_pTessalyCtrl2;
  std::unique_ptr<CTessalyCtrl> m_pTessalyCtrl3;
  std::unique_ptr<CRelayVideoSession> m_pRelaySession;
  std::atomic<bool> m_bRelayActive{false};
  std::atomic<bool> m_bRelayForward{false};
  VideoParamBlock m_VideoParam{};
  AudioParamBlock m_AudioParam{};
  char m_szRecPath[1024] = {};
  RECT m_rcWnd1{}, m_rcWnd2{}, m_rcWnd3{};
  std::atomic<bool> m_bRenderMedia{false};
  std::atomic<bool> m_bPollRun{false};
  std::atomic<bool> m_bHaveAudio{false};
  std::atomic<bool> m_bRecording{false};
  std::atomic<bool> m_bMediaRecv{false};  // the open stream's media parameters arrived
  std::atomic<bool> m_bPollFinished{true};
  std::atomic<bool> m_bManualRecord{false};
  std::thread m_hRtspPoll;
  std::atomic<bool> m_bRecordAudio{false};
  std::atomic<bool> m_bRecordRequested{false};
  std::atomic<long> m_nRecBufTime{0};
  std::atomic<long> m_nStreamKind{-1};
  long m_nMouseMode = 0;
  long m_nTalkValue = 0;
  long m_nBroadcast = 0;
  long m_lRenderId3 = 0, m_lRenderId2 = 0, m_lRenderId1 = 0;
  std::atomic<long> m_lStreamId{0};
  long m_lRecDuration = 0;
  long m_lRecFileLength = 0;
  long m_lRecFileId = 0;
  long m_lManualFileId = 0;
  long m_lVideoParamLen = 0;
  long m_lAudioParamLen = 0;
  int m_nTalkTarget = 2;
  int m_nDevType = 1;
  BOOL m_bFillScreen = FALSE;
  CCriticalSection m_csLock;
  std::recursive_mutex m_recLock;
  std::mutex m_pumpLock;
};
