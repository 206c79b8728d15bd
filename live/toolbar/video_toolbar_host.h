// What the video toolbar asks of the window that holds it. The main window
// implements it for its live-view toolbar; the playback, TV-wall and e-map
// pages implement the members their toolbars use (the rest may do nothing).
//
// "The active grid" is the live grid whose pane was selected last, as the main
// window records it (the main grid while none is recorded); its operations act
// on its selected pane.
#pragma once

#include "platform/win_types.h"

struct BroadcastSettings;
class CGimbroCtrl;

class CVideoToolbarHost {
 public:
  virtual ~CVideoToolbarHost() = default;

  // The main window's current module (0 live view, 1 record query, ... 5 e-map).
  virtual int GetCurModule() = 0;

  // The active grid (CVideoManagerDlg).
  virtual void SetDisplayMode(int mode) = 0;  // layout with its current full-screen state
  virtual void ToggleFullScreen() = 0;
  virtual void SwitchCifD1() = 0;
  virtual void StopSelectedWatch() = 0;
  virtual void OnSnapShot() = 0;
  virtual void OnSpeak() = 0;
  virtual void OnOpenSound() = 0;
  virtual void OnManualRecord() = 0;
  virtual void OnPatrol() = 0;
  virtual void FlipSelectedVideo() = 0;

  // Talk and sound anywhere in the program.
  // True when a pane other than the active grid's selected pane talks (any
  // grid, the e-map's video pop-up, the alarm linkage window).
  virtual bool IsOtherPaneTalking() = 0;
  // CVistarelDlg::IsTalkOpen: -1 when a talk is open (main grid, an extension
  // grid other than the active one, the e-map pop-up, the alarm linkage window), else 0.
  virtual int IsTalkOpen() = 0;
  // Talk open in the active grid (which IsTalkOpen leaves out).
  virtual bool IsActiveGridTalkOpen() = 0;
  // Sound on in the main grid / on the alarm linkage window's pane.
  virtual bool IsMainGridSoundOpen() = 0;
  virtual bool IsAlarmActSoundOpen() = 0;

  // Every grid: the main one and every extension monitor's.
  // True when any of the 64 panes of the main grid watches or shows relay video.
  virtual bool MainGridHasBusyPane() = 0;
  // RemoveAllWatch on every grid, then each grid saves its screen state
  // (SaveSurveillanceStatus) into the screen-state list.
  virtual void RemoveAllWatchAndSave() = 0;
  // Enables or disables the main grid and every extension grid (lock screen).
  virtual void EnableGrids(BOOL enable) = 0;
  // The login dialog in unlock mode; true when it was confirmed with OK.
  virtual bool ConfirmUnlock() = 0;

  // Members of the main window.
  virtual void SetZoomMode(int mode) = 0;        // CVistarelDlg::SetZoomMode: mouse mode of the grids
  virtual void FillAllWnd() = 0;                 // CVistarelDlg::FillAllWnd
  virtual void OnDefaultRec() = 0;               // CVistarelDlg::OnDefaultRec: every scheme on or off
  virtual void SetAllRecordFlag(int flag) = 0;   // the all-recording flag
  virtual int GetAllRecordFlag() = 0;
  virtual void PopupTVWallLayout() = 0;          // CVistarelDlg::PopupTVWallLayout
  virtual int ToggleSoundSwitch() = 0;           // CAlarmListDlg::ToggleSoundSwitch: the new state
  // The other video toolbars show the fill-screen setting (the playback page's
  // toolbar when the main one was pressed, and the other way round).
  virtual void ShowFillScreenOnToolbars(BOOL on) = 0;

  // The record search page (CSearchRecDlg).
  virtual void PlaybackFullScreen() = 0;              // OnFullScreen
  virtual void PlaybackSetWindowCount(int count) = 0;  // SetWindowCount (1, 2, 4)
  virtual void PlaybackHideShow() = 0;                 // OnHideShow
  virtual void PlaybackSetMouseMode(int mode) = 0;     // SetMouseMode on the four players
  virtual void PlaybackSetFillScreen(BOOL on) = 0;     // SetFillScreen on the four players

  // The TV-wall manager's patrol (CTVWallManager::Patrol) and the map's cursor
  // mode (CMapDlg::SetCursorMode).
  virtual void TVWallPatrol() = 0;
  virtual void SetMapCursorMode(int mode) = 0;

  // The broadcast page held by the settings window: its device list and audio
  // selection. Null when there is no such page.
  virtual const BroadcastSettings* GetBroadcastSettings() = 0;
  // The application's device-messaging control, or null.
  virtual CGimbroCtrl* GetGimbroCtrl() = 0;
};
