// CVideoManagerDlg: the live-view grid of one screen. It owns 64 video panes,
// lays out a chosen number of them, keeps one selected, maximises a pane or
// covers the whole screen, puts cameras into panes (drop, double click,
// screen-state recovery, patrol), stops them, and remembers which camera each
// pane shows ("Recover.xml", core/sur_status_store.h).
//
// It also keeps the patrol slots of its panes with their lock and runs the
// 1000 ms patrol timer; the plans come through IPatrolPlanSource and the step
// of a running patrol through PatrolTick (live/grid_patrol.h).
//
// The main window and the toolbar are reached through the video host.
#pragma once

#include <QPoint>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "live/patrol/grid_patrol.h"
#include "live/grid/video_host.h"
#include "platform/dialog.h"

class CResMsgDlg;
class CVideoWnd;
struct DevInfo;

// Mouse and key messages that the panes and the main window forward.
constexpr UINT kWmKeyDown = 0x0100;
constexpr UINT kWmLButtonDown = 0x0201;
constexpr UINT kWmLButtonDblClk = 0x0203;
constexpr UINT kWmRButtonDown = 0x0204;
constexpr WPARAM kVkEscape = 0x1B;

class CVideoManagerDlg : public CDialog {
 public:
  enum { IDD = 138, IDD_MSG = 209 };
  static constexpr int kPaneCount = kGridPaneCount;
  static constexpr int kRangeError = -100;

  CVideoManagerDlg(int left, int top, int right, int bottom, QWidget* parent);
  ~CVideoManagerDlg() override;

  BOOL OnInitDialog() override;
  void SetMonitorNum(int number) { m_nMonitorNum = number; }
  int GetMonitorNum() const { return m_nMonitorNum; }

  int SetDisplayMode(int mode, BOOL fullScreen);
  int AddWatch(int index, DevInfo* dev, BOOL save, BOOL findFree, int streamKind, int unused, BOOL rangeCheck,
               BOOL layoutStream);
  int StopWatch(int index, BOOL flag);
  // The device went offline: the panes that show it (by name) stop and wait
  // for it; the screen state keeps them.
  void StopWatchUntilOnline(const DevInfo& dev);
  // The device is back online: the panes that wait for it open it again,
  // unless the user opened it in a pane meanwhile (`shownElsewhere`): then
  // they forget it and stay as they are.
  void ReopenWaitingPanes(const DevInfo& dev, bool shownElsewhere);
  // A pane of this grid shows the device (same id and name).
  bool ShowsDevice(const DevInfo& dev) const;
  int StopSelectedWatch();
  int RemoveAllWatch();
  int RecoverSurveillanceStatus();
  int SaveSurveillanceStatus();
  int SetSelectWnd(int index);
  bool HasFreeWnd() const;
  int OpenRelayVideoInWnd(int index, const PaneRelayDevice& dev, long mainId, long subId, const BYTE* video,
                          long videoLength, const BYTE* audio, long audioLength);
  int AddRelayWatch(int index, const PaneRelayDevice& dev, long mainId, long subId, const BYTE* video,
                    long videoLength, const BYTE* audio, long audioLength);
  int OnSpeak();
  int OnStopSpeak(const char* devName);
  int SetSpeakStatus(const char* devKey, BOOL on);
  int OnOpenSound();
  int SwitchCifD1();
  void OnSnapShot();
  void OnManualRecord();
  int SendPtzCommand(const CString& text);
  void SetRelayPtzDirection(int code, int panSpeed, int tiltSpeed);
  int SetRelayPtzAdvance(int command);
  int SendKeyboardPtz(const CString& text);
  int GetSelectedPtzAddr() const;
  int SetMouseMode(int mode);
  int FlipSelectedVideo();
  int ApplyFillScreen(BOOL fill);
  int ApplyKeepLastFrame(BOOL on);
  int PreTranslateKeyDown(UINT msg, WPARAM key);
  int OnWndMouseMsg(UINT msg, int index);
  void ChangeDispWnd(CVideoWnd* target, CVideoWnd* source);
  void ToggleFullScreen();
  // A pane's context-menu command (grid panes act on the selected pane).
  void OnPaneCommand(int command);

  // Patrol.
  void SetPatrolPlanSource(IPatrolPlanSource* source) { m_pPlanSource = source; }
  void SetPatrolTick(PatrolTick tick);
  void OnPatrol();
  int StartPatrol(int pane);
  int StopPatrol(int pane);
  bool FindPatrolWnd(const char* devKey, int* pane);
  bool IsPatrolActive(int pane);
  // Adds a point to a pane's slot (for the patrol button and the patrol run).
  void AddPatrolPoint(int pane, const PatrolRunPoint& point);
  void OnPatrolPoint(int pane, const char* devKey);

  // State.
  CVideoWnd* Pane(int index) const;
  int GetSelectedIndex() const { return m_nSelectWnd; }
  CVideoWnd* SelectedPane() const { return Pane(m_nSelectWnd); }
  int GetDisplayMode() const { return m_nDisplayMode; }
  int GetShownCount() const { return m_nShownCount; }
  bool IsFullScreen() const { return m_bFullScreen; }
  bool IsPaneMaximised() const { return m_bMaximised; }
  bool IsSoundOpen() const { return m_bSoundOpen; }
  bool IsTalkOpen() const { return m_bTalkOpen; }
  CResMsgDlg* MessageBox() const { return m_pMsgDlg.get(); }
  // The file or folder named in the last "Save path:" message.
  const std::string& LastSavedPath() const { return m_strLastSaved; }

  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 protected:
  // The grid keeps to its current rectangle: moved or resized, it moves back.
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void LayOut(int count);
  // Puts the shown panes at their places for the grid's present size.
  void Relayout();
  void SwitchStreamsAfterLayout(int count, int previousShown);
  void StopPaneExtras(CVideoWnd* pane);
  void MakeSelected(int index);
  void FollowToolbar(CVideoWnd* pane);
  void ToggleSoundOff();
  void StopTalkIfOpen();
  void SetTalkButton(bool on);
  void SetSoundButton(bool on);
  void SetRecordButton(bool on);
  void SetPatrolButton(bool on);
  void ShowSaved(const std::string& path);
  void SaveScreenState();  // this grid's entries of the list, then "Recover.xml"
  // The slot of a pane for a patrol change, under the patrol lock; null (logged) before initialisation.
  PatrolSlot* SlotForChange(int pane);
  int IndexOf(const CVideoWnd* pane) const;
  void PatrolTimerLoop();
  void StopPatrolTimer();

  std::unique_ptr<CResMsgDlg> m_pMsgDlg;
  RECT m_rcNormal{};
  RECT m_rcCurrent{};
  CVideoWnd* m_pWnds[kPaneCount] = {};
  bool m_bFullScreen = false;
  int m_nSelectWnd = 0;
  bool m_bSoundOpen = false;
  bool m_bTalkOpen = false;
  bool m_bInited = false;
  bool m_bLayoutChanging = false;
  int m_nShownCount = 0;
  std::vector<PatrolSlot> m_PatrolSlots;
  std::mutex m_PatrolLock;
  int m_nMonitorNum = 0;
  int m_nDisplayMode = 0;
  RECT m_rcMaximised{};
  bool m_bMaximised = false;
  std::string m_strLastSaved;

  IPatrolPlanSource* m_pPlanSource = nullptr;
  PatrolTick m_PatrolTick;
  std::thread m_PatrolTimer;
  std::mutex m_TimerMutex;
  std::condition_variable m_TimerWake;
  bool m_bTimerStop = false;
};
