// CVideoToolbarDlg: the strip of image buttons under a video area, with a
// clock at its right end. The main window holds one for the live view; the
// playback, TV-wall and e-map pages hold their own. Most buttons act on the
// active grid's selected pane through the host (live/video_toolbar_host.h);
// which buttons show where, and their pictures, follow live/video_toolbar_buttons.h.
#pragma once

#include <map>
#include <memory>

#include "live/toolbar/video_toolbar_buttons.h"
#include "platform/dialog.h"
#include "ui/gdi_manager.h"

class CBroadcastRun;
class CImageButton;
class CResMsgDlg;
class CVideoToolbarHost;

class CVideoToolbarDlg : public CDialog {
 public:
  enum { IDD = 134 };
  enum { kClockTimer = 100, kClockPeriodMs = 500 };

  // `pageKind`: vtb::kPageLive, kPagePlayback, kPageTVWall or kPageMap.
  CVideoToolbarDlg(QWidget* parent, int pageKind, CVideoToolbarHost* host);
  ~CVideoToolbarDlg() override;

  BOOL OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;
  BOOL OnCommand(int id) override;
  // Enter and Escape are the main window's keys: the strip never closes on them.
  void OnOK() override {}
  void OnCancel() override {}

  // The visible set: the live buttons (the TV-wall set when `tvWall`; with
  // `hide`, only the mouse-mode buttons stay) and the playback buttons.
  void ShowLiveButtons(BOOL tvWall, BOOL hide);
  void ShowPlaybackButtons(BOOL on);

  // Stops every pane of every grid, saves the screen state ("Recover.xml") and
  // resets the pane buttons. OK on the stop-all question runs it.
  void StopAllWatch();

  // Button states that the grids and the main window set.
  void SetTalkButton(BOOL on);
  void SetSoundButton(BOOL on);
  void SetPatrolButton(BOOL on);
  void SetManualRecordButton(BOOL recording);
  void SetAlarmActionButton(BOOL on);
  void SetFillScreenButton(BOOL on);
  void SetRecordAllButton(BOOL allRecording);

  // The broadcast run by button 1374, made on the first press that reaches the
  // device-messaging control (null before). ResetBroadcast: the broadcast was
  // stopped elsewhere (the broadcast page); the button goes back to idle.
  CBroadcastRun* BroadcastRun() const { return m_pBroadcastRun.get(); }
  BOOL IsBroadcastRunning() const;
  void ResetBroadcast();

  BOOL IsLocked() const { return m_bLocked; }

  // Button handlers (the pane menu runs stop all and fill screen too).
  void OnBnClickedStopAll();
  void OnBnClickedFillScreen();
  void OnBnClickedTalk();
  void OnBnClickedSound();
  void OnBnClickedLock();
  void OnBnClickedRecordAll();
  void OnBnClickedBroadcast();

  int GetPageKind() const { return m_nPageKind; }
  // Set by the toolbar's page: 1 while the page is shown on an extension monitor.
  void SetPageActive(int flag) { m_nPageActive = flag; }
  int GetPageActive() const { return m_nPageActive; }
  CImageButton* Button(int id) const;
  const vtb::CToolbarButtonSet& ButtonSet() const { return m_buttonSet; }
  // The picture number shown by a button with a numbered picture (0 otherwise).
  UINT ButtonPicture(int id) const;
  const CString& GetClockText() const { return m_strClock; }
  CResMsgDlg* GetMsgDlg() const { return m_pMsgDlg; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void ApplyButtonSet();
  void SetFace(int id, const vtb::ButtonFace& face);
  void SetPicture(int id, UINT picture);
  void SetToolTip(int id, UINT stringId);
  void ShowMessage(UINT stringId);
  void OnMouseMode(int mode);
  void OnFullScreen();
  void EnableOtherButtons(bool enable);
  bool TalkOrSoundRefused();
  bool BroadcastRefused();

  int m_nPageKind;
  int m_nPageActive = 0;
  CVideoToolbarHost* m_pHost;
  CResMsgDlg* m_pMsgDlg = nullptr;
  CGdiManger m_skin;
  vtb::CToolbarButtonSet m_buttonSet;
  std::map<int, CImageButton*> m_buttons;
  std::map<int, UINT> m_pictures;
  CString m_strClock;
  std::unique_ptr<CBroadcastRun> m_pBroadcastRun;
  BOOL m_bLocked = FALSE;
};
