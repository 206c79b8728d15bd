// CVideoWnd: one video pane. A borderless child dialog with one picture
// control on which the players draw; it shows one device channel at a time,
// from the device's two stream objects or from the relay, and offers talk,
// sound, snapshot, manual recording, PTZ commands and stream switching.
//
// Panes live in a live-view grid (grid mode), in the alarm linkage window
// (alarm mode) or in the map's video window (map mode). The main window and
// the relay service are reached through the video host (live/video_host.h).
//
// Results: 0 done, -1 refused (logged), unless said.
#pragma once

#include <QCursor>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/dev_info.h"
#include "live/grid/stream_address.h"
#include "live/grid/video_host.h"
#include "platform/dialog.h"

class CResMsgDlg;
class CRtspEvents;
class CVideoManagerDlg;
class RelayVideoPlayer;

class CVideoWnd : public CDialog {
 public:
  enum { IDD = 139, IDC_PICTURE = 1063 };
  enum { kDragTimer = 100, kDragDelayMs = 500 };

  CVideoWnd(QWidget* parent, BOOL alarmWnd, BOOL mapWnd);
  ~CVideoWnd() override;

  // Grid panes: the owner grid and the pane's index in it.
  void SetOwnerGrid(CVideoManagerDlg* grid, int index);
  CVideoManagerDlg* OwnerGrid() const { return m_pGrid; }
  int GetIndex() const { return m_nIndex; }
  // Stores the pane's index (panes of the alarm and map windows); nothing else.
  void SetIndex(int index) { m_nIndex = index; }
  // Panes of the alarm and map windows: the owner's full-screen switch, run by
  // a double click on the pane.
  void SetFullScreenCommand(std::function<void()> toggle) { m_fullScreen = std::move(toggle); }

  BOOL OnInitDialog() override;

  void SetWndPos(int x, int y, int width, int height);
  RECT GetWndPos() const { return m_rcWnd; }
  void DrawSelectFrame(BOOL selected);

  // Watching a local device.
  long AddWatch(DevInfo* dev, BOOL keepTalk = FALSE);
  long StopWatch(BOOL flag = TRUE);
  long ClearWatchInfo();
  long ReleaseWithoutWait();

  // Waiting for a device that went offline (video_wnd_waiting.cpp): the
  // pane stops, and keeps what it showed (the device and its stream) until
  // it opens it again or the user changes the pane (any watch, relay video
  // or stop forgets it).
  struct WaitingDevice {
    std::string devId;
    std::string devName;
    std::string resolution;  // the pane's stream text
  };
  long StopWatchUntilOnline();
  const std::optional<WaitingDevice>& Waiting() const { return m_waiting; }
  // Waits for this device (same id and name).
  bool WaitsFor(const DevInfo& dev) const;
  // Opens the device waited for again on the stream it showed: AddWatch's
  // result; -1 when the pane waits for nothing or the device is gone.
  long ReopenWaiting();
  void ForgetWaiting() { m_waiting.reset(); }

  long RequestSpeak();
  void SetSpeakStatus(long value);
  long OpenSound();
  // Writes a picture of what the pane shows into the file path given.
  long SnapShot(const CString& path);
  // Starts a manual recording into the folder; -> file id (>= 1), -1 refused.
  long StartManualRec(const CString& folder);
  long StopManualRec();
  long SendPtzCommand(const CString& text);
  long SetRelayPtzDirection(int code, int panSpeed, int tiltSpeed);
  long SetRelayPtzAdvance(int command);
  long RequestPresetList();

  // Stream switches.
  long SwitchCifD1();
  long AutoSwitchCIF();
  long RecoverFromAutoSwitch();
  long AutoSwitchMainStream();
  long AutoSwitchMainStreamTemporary();
  long OnRecoverSubStream();

  void OnVideoFlip();
  void SetMouseMode(long mode);
  void SetFillScreen(BOOL flag);
  void ApplyKeepLastFrame(BOOL on);

  // Relay video.
  long OpenRelayVideo(const PaneRelayDevice& dev, long mainSessionId, long subSessionId, const BYTE* videoBlock,
                      long videoLength, const BYTE* audioBlock, long audioLength);
  void ResetRelayVideoInfo();
  void CloseRelayVideo();
  long InviteRelayMainStream();
  long InviteRelaySubStream();
  // The relay key "%s:%s" of MAC and IP, and the relay channel.
  static std::string RelayKey(const PaneRelayDevice& dev);
  // Moving relay video to another pane: the player, the record and the
  // sessions leave this pane without closing anything at the relay.
  struct RelayHandOver {
    std::shared_ptr<RelayVideoPlayer> player;
    PaneRelayDevice dev;
    long mainId = -1;
    long subId = -1;
    bool sound = false;
  };
  RelayHandOver DetachRelayVideo();
  void AttachRelayVideo(RelayHandOver relay);
  // The channel a relay device's requests name: a video server channel's last
  // digit, an NVR channel's number after the last '-' of its name, else 0.
  static int RelayChannel(const PaneRelayDevice& dev);

  // State.
  bool IsWatching() const { return m_bWatching; }
  bool IsRelaying() const { return m_bRelay; }
  bool IsBusy() const { return m_bWatching || m_bRelay; }
  bool IsTalking() const { return m_bTalking; }
  bool IsTalkRequested() const { return m_bTalkRequested; }
  bool IsSoundOn() const { return m_bSoundOn || m_bRelaySound; }
  bool IsManualRecording() const { return m_bManualRec; }
  bool IsSelected() const { return m_bSelected; }
  bool IsAlarmPane() const { return m_bAlarmWnd; }
  bool IsMapPane() const { return m_bMapWnd; }
  bool IsAutoSwitched() const { return m_bAutoSwitch; }
  bool IsTempMainStream() const { return m_bTempMain; }
  bool IsDragging() const { return m_bDragging; }
  // Shows the sub-stream: the pane's stream text is "cif".
  bool ShowsSubStream() const;
  const DevInfo& WatchedDev() const { return m_DevInfo; }
  const PaneRelayDevice& RelayDev() const { return m_RelayDev; }
  long RelayMainSession() const { return m_lRelayMainId; }
  long RelaySubSession() const { return m_lRelaySubId; }
  const std::string& ManualRecordFolder() const { return m_strManualFolder; }
  CRtspEvents* RenderingStream() const { return m_pRendering; }
  RelayVideoPlayer* RelayPlayer() const { return m_pRelayPlayer.get(); }
  QWidget* Picture() const { return m_pPicture; }
  long MouseMode() const { return m_nMouseMode; }
  // Marked visible in the grid's current layout.
  bool m_bVisible = false;

  // The pane's device key: "%s-%s" of IP address and name for an NVR channel, else the name.
  std::string SpeakKey() const;

  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnTimer(UINT_PTR id) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  long OpenOn(CRtspEvents* events, bool mainObject, DevInfo& listDev, const DevInfo& dev, const StreamAddress& address,
              bool leadingBlank);
  void Render(CRtspEvents* events, bool mainObject, const char* prefix);
  void TakeOverFrom(CRtspEvents* events);
  long SwitchTo(const char* resolution, bool keepTalk);
  long StopStreams(const char* caller);
  void EndTalkAndSound();
  void ForgetStream();
  void ResetWatchState();  // the pane shows nothing
  void ShowContextMenu(const QPoint& globalPos);
  void OnMouse(QEvent* event);
  void UpdateCursor();
  bool CanSwitch(const char* refusal) const;

  const bool m_bAlarmWnd;
  const bool m_bMapWnd;
  CVideoManagerDlg* m_pGrid = nullptr;
  int m_nIndex = 0;
  std::function<void()> m_fullScreen;
  QWidget* m_pPicture = nullptr;
  std::unique_ptr<CResMsgDlg> m_pMsgDlg;

  bool m_bSoundOn = false;
  bool m_bTalking = false;
  bool m_bWatching = false;
  std::optional<WaitingDevice> m_waiting;
  std::string m_strDevId;
  std::string m_strDevName;
  DevInfo m_DevInfo;
  CRtspEvents* m_pRendering = nullptr;  // the stream object whose view 1 draws here

  std::string m_strManualFolder;
  bool m_bManualRec = false;
  CRtspEvents* m_pManualStream = nullptr;

  std::shared_ptr<RelayVideoPlayer> m_pRelayPlayer;  // shared with the relay callback's registration
  PaneRelayDevice m_RelayDev;
  long m_lRelayMainId = -1;
  long m_lRelaySubId = -1;
  bool m_bRelay = false;
  bool m_bRelaySound = false;
  bool m_bRelayOnSub = false;

  RECT m_rcWnd{};
  bool m_bSelected = false;
  bool m_bTempMain = false;
  bool m_bAutoSwitch = false;
  bool m_bDragging = false;
  bool m_bTalkRequested = false;
  long m_nMouseMode = 0;
  QCursor m_Cursors[4];
};
