// CVistarelDlg: the client's main window. A full-screen dialog that creates
// and owns every module window, places them by the screen size, switches the
// modules by the user's rights, runs the start-up timers (device tree, panes,
// recording threads, relay logins, watchdog), takes the messages of the worker
// threads and controls, and leads the exit, which needs the password again.
#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

#include "alarm_map_wall/alarm/alarm_host.h"
#include "live/ptz/ptz_panel_host.h"
#include "live/keyboard/serial_keyboard_host.h"
#include "live/grid/video_host.h"
#include "live/toolbar/video_toolbar_host.h"
#include "platform/dialog.h"
#include "relay/relay_callbacks.h"
#include "relay/relay_record_page.h"
#include "relay/serving/relay_ptz_requests.h"
#include "relay/udp/udp_login_retry.h"
#include "settings/config_host.h"
#include "settings/local/local_settings_host.h"
#include "shell/device_list_host.h"
#include "shell/main_layout.h"
#include "shell/page_host.h"

class CAlarmListDlg;
class CAlmActDlg;
class CCfgManagerDlg;
class CDeviceListDlg;
class CDrawTVwallDlg;
class CImageButton;
class CLogToolDlg;
class CMapManagerDlg;
class CPageDlg;
class CPTZDlg;
class CPTZKeyboardCtrl;
class CRecFileManager;
class CRecSchemeManager;
class CRemoteSessionRegistry;
class CResMsgDlg;
class CSearchAlarmDlg;
class CSearchRecDlg;
class CStartThread;
class CSysSettingDlg;
class CTVWallManager;
class CUdpLogin;
class CLoginServerDevices;
class CVemo2Login;
class CVideoManagerDlg;
class CVideoToolbarDlg;
class CGdiManger;
class CPtzProtocolPlugin;
class CPatrolPlanSource;
class CRelayMessageHandler;
class CRelayViewer;
class CRelayRecordPageAdapter;
class CCascadeInvites;
struct DeviceStateHost;
struct RelayHost;
class CAudioCodec;
struct DevInfo;
struct GimbroAlarmRecord;
struct RelayDevice;
struct RecSchemeInfo;

// One extension monitor: its geometry, what it shows and its own live grid.
struct ScreenInfo {
  DWORD dwFlags = 0;
  RECT rcMonitor{};
  RECT rcWork{};
  int nShowModule = 0;  // 0 its own live grid, 1 record query, 2 alarm info, 3 configuration, 4 TV wall, 5 e-map
  CVideoManagerDlg* pVideoManagerDlg = nullptr;
};

// What the program gives the main window from outside the shell.
struct MainWindowEnv {
  int screenWidth = 1024;
  int screenHeight = 768;
  // Asks the logged-in user's password again (the login dialog's exit mode):
  // true when the exit is confirmed.
  std::function<bool(QWidget* parent)> askExitPassword;
  // The login dialog's unlock mode (the toolbar's lock button): true when confirmed.
  std::function<bool(QWidget* parent)> askUnlockPassword;
  // Hides the splash window shown during the start.
  std::function<void()> hideSplash;
  // The window property by which a second start finds the running window.
  const char* appProperty = "vemo";
};

// The main window is the host of every window it holds: the navigation bar,
// the device list panels, the configuration manager, the PTZ panel, the serial
// keyboard, the live grids and their panes, and the video toolbar.
// A keyboard command text (heap text in lParam) posted from the keyboard's thread.
constexpr UINT WM_KEYBOARD_PTZ = WM_USER + 9100;

// A device's talk answer (heap std::string in lParam), posted from the messaging thread.
constexpr UINT WM_TALK_ANSWER = WM_USER + 9101;

// Host code of the configuration manager's device list panel (drops do nothing there).
constexpr int kCfgDevListHostCode = 3;
// Host code of the alarm search's device list panel (drops do nothing there either).
constexpr int kAlarmSearchHostCode = 2;

class CVistarelDlg : public CDialog,
                     public CPageHost,
                     public CDeviceListHost,
                     public CConfigHost,
                     public CPtzPanelHost,
                     public CKeyboardPtzHost,
                     public IVideoHost,
                     public IRelayCallbackHost,
                     public CVideoToolbarHost,
                     public CLocalSettingsHost {
 public:
  enum { IDD = 102 };
  enum {
    IDC_BTN_CLOSE = 1064,
    IDC_BTN_MIN = 1253,
    IDC_BTN_SETTING = 1254,
    IDC_BTN_PTZ = 1061,
    IDC_BTN_ALARMLIST = 1062,
  };
  enum {
    TIMER_DEVTREE = 200,
    TIMER_ALARM_BLINK = 400,
    TIMER_ALARM_BUTTON = 500,
    TIMER_CAPTION = 600,
    TIMER_EXIT = 800,
    TIMER_RECOVER = 900,
    TIMER_VSS_LOGIN = 1002,
    TIMER_CASCADE = 1003,
    TIMER_UDP_LOGIN = 1004,
    TIMER_START_THREAD = 1005,
    TIMER_ARP = 1100,
  };

  explicit CVistarelDlg(MainWindowEnv env, QWidget* parent = nullptr);
  ~CVistarelDlg() override;

  BOOL OnInitDialog() override;
  void CreateActiveDlg();
  void DestroyActiveDlg();

  // Module switches (the navigation bar's tabs).
  void ShowVideoModule() override;
  void ShowRecordModule() override;
  void ShowAlarmModule() override;
  void ShowConfigModule() override;
  void ShowTVWallModule() override;
  void ShowMapModule() override;
  // The navigation bar's tabs ask the scrolling caption to save its background again.
  void RedrawCaptionBackground() override { m_bRedrawCaptionBk = TRUE; }

  // Extension monitors: menu commands 32866 to 32868 move the module of the
  // navigation bar's remembered tab to monitor 1 to 3, or bring it back.
  void MoveModuleToScreen(int screenNo) override;
  void RestoreModuleWnd(int module);
  void RestoreScreenGrid(int screenNo);
  int GetModuleMonitor(int module) override { return ModuleScreen(module); }
  int ModuleScreen(int module) const { return module >= 0 && module < 6 ? m_nModuleScreen[module] : 0; }
  int GetExtScreenCount() override { return static_cast<int>(m_lstScreenInfo.size()); }
  bool IsMultiScreen() override;

  // Left column.
  void OnBnClickedPtz();
  void OnBnClickedAlarmList();

  // The message box of the main window.
  void ShowResMsg(const CStringW& text, int type) override;
  CDeviceListDlg* GetDeviceListDlg() override { return m_pDeviceListDlg; }

  // Services to the configuration manager and its user list.
  void ShowCfgPage(int code) override;
  void RefreshUserList() override;
  void RefreshRoleList() override;
  void ShowUserInfo(UserInfo* user) override;
  void ShowGroupInfo(GroupInfo* group) override;
  void ShowRoleInfo(RoleInfo* role) override;
  void ShowRecSchemeTree() override;
  void SetAllRecording(int allRecording) override;
  void ReportRecordState(const DevInfo& dev, int state) override;

  // Services to the device list panels.
  void UpdateDevItem(const CString& devName);
  void UpdateDevIcons() override;
  void RefreshDevList();
  void ShowDevInfo(DevGroupInfo* group) override;
  void OnDevSelected(DevInfo* dev) override;
  void OnVssChannelSelected(RelayDevice* channel) override;
  void OnRecSchemeSelected(RecSchemeInfo* scheme) override;
  void DropDevOnVideoWnd(QWidget* dropWnd, DevInfo* dev) override;
  void OpenDevInFreeWnd(DevInfo* dev) override;
  void DropDevOnTVWall(int x, int y, DevInfo* dev) override;
  void DropChannelOnTVWall(int x, int y, DevInfo* dev) override;
  void DropDevOnMap(int x, int y, DevInfo* dev) override;
  int GetLiveGridCount() override;
  int AddWatchInGrid(int grid, int pane, DevInfo* dev) override;
  bool SelectDropPane(QWidget* dropWnd, int* grid) override;
  void StopSelectedPane(int grid) override;
  void CloseMainGridRelay(const RelayDevice& dev) override;
  void StopAllLivePanes() override;
  int MainGridShownCount() override;
  bool IsRecordSearchOnExtScreen() override;
  void SetSearchDevInfo(DevInfo* dev) override;
  std::vector<MapEntry> GetMapList() override;
  CString GetShownMapName() override;
  void ShowMap(const CString& mapName) override;
  std::vector<CString> GetMapsHoldingDevice(const CString& devName) override;

  // Live video: PTZ, keyboard, talk, sound, alarms.
  void OnStopWatch(DevInfo* dev, int arg);
  void SendPtzXml(const std::string& text) override;
  void SendKeyboardPtzData(const CString& text) override;
  int GetSelectedPtzAddr() override;
  void SetRelayPtzDirection(int code, int panSpeed, int tiltSpeed) override;
  void SetRelayPtzAdvance(int code) override;
  bool ActivePaneShowsRelay() override;
  bool MainPaneShowsRelay() override;
  void SetRelayPtzPreset(int operation, const std::string& text) override;
  void RspInvitePreset(LONG gimbroId, const std::string& answer) override;
  const CPtzProtocolPlugin& PtzPlugin() override { return *m_pPtzPlugin; }
  CPtzProtocolPlugin& PtzPluginToLoad() override { return *m_pPtzPlugin; }
  // The local settings pages' calls (vistarel_dlg_local_settings.cpp).
  CPTZDlg* PtzPanel() override { return m_pPTZDlg; }
  void SetSnapPath(int kind, const std::string& folder) override;
  void ApplyKeepLastFrame() override;
  void ApplyMonitorMode(bool on) override;
  void OnDevAlarm(DevInfo* dev, const GimbroAlarmRecord* alarm);
  void FillAllWnd() override;
  int IsTalkOpen() override;
  // Closes the pane sound that is open (a live grid's or the alarm linkage
  // window's): 0 when one was closed, -1 when none was open.
  int CloseAllSound();
  // The alarm windows' hooks into this window.
  AlarmHost MakeAlarmHost();
  void SetZoomMode(int mode) override;
  void SetDispInfo(const CString& text) override;
  void OnDefaultRec() override;
  void PopupTVWallLayout() override;
  // Removes every record of a device that left the cloud account (device id
  // text) and tells the relay; the number of records removed.
  int RemoveCloudDevice(const char* devId);
  // Talk with an NVR: its talk answer makes and opens the talk decoder (0; -1
  // the answer does not parse or cannot be played, the previous decoder
  // stays; -3 no decoder; else the decoder's Open error); its talk audio feeds
  // the decoder (0, also when there is none); ReleaseNVRSpeakCodec (0) deletes
  // the decoder (the talk close that some callers name CloseNvrTalk).
  int OnNVRSpeakParam(LONG gimbroId, const std::string& answer);
  int OnNVRSpeakMediaData(LONG gimbroId, const BYTE* data, long length);
  void ReleaseNVRSpeakCodec(int flag) override;
  // Clears the talk state of the main-grid pane of the first device whose main
  // or sub stream has this id: the grid's SetSpeakStatus result, 0 when no
  // device has the stream. Nothing calls it yet.
  int ClearTalkByStreamId(long streamId);

  // The live grids and their panes.
  void SetActiveVideoManager(CVideoManagerDlg* grid) override { m_pActiveVideoManager = grid; }
  CVideoManagerDlg* GetActiveVideoManager() const { return m_pActiveVideoManager; }
  void SelectDevItem(const DevInfo& dev) override;
  void SelectVssChannelItem(const PaneRelayDevice& dev) override;
  void SetToolButtonPicture(int buttonId, int pictureId, int tipStringId) override;
  void SetExtGridRelayFlag(int flag) override { m_nExtRelayFlag = flag; }
  bool IsLiveModuleShown() override;
  void FocusMainWindow() override;
  std::vector<CVideoManagerDlg*> LiveGrids();  // the main grid, then the extension grids while in use
  int ExtendedPosition(CVideoManagerDlg* grid) override;
  std::string PictureFolder() override;
  std::string VideoFolder() override;
  int KeyboardAllPanes() override;

  // The video toolbar.
  int GetCurModule() override;
  void SetDisplayMode(int mode) override;
  void ToggleFullScreen() override;
  void SwitchCifD1() override;
  void StopSelectedWatch() override;
  void OnSnapShot() override;
  void OnSpeak() override;
  void OnOpenSound() override;
  void OnManualRecord() override;
  void OnPatrol() override;
  void FlipSelectedVideo() override;
  bool IsOtherPaneTalking() override;
  bool IsActiveGridTalkOpen() override;
  bool IsMainGridSoundOpen() override;
  bool IsAlarmActSoundOpen() override;
  bool MainGridHasBusyPane() override;
  void RemoveAllWatchAndSave() override;
  void EnableGrids(BOOL enable) override;
  bool ConfirmUnlock() override;
  void SetAllRecordFlag(int flag) override { m_bAllRecord = flag; }
  int GetAllRecordFlag() override { return m_bAllRecord; }
  int ToggleSoundSwitch() override;
  void ShowFillScreenOnToolbars(BOOL on) override;
  void PlaybackFullScreen() override;
  void PlaybackSetWindowCount(int count) override;
  void PlaybackHideShow() override;
  void PlaybackSetMouseMode(int mode) override;
  void PlaybackSetFillScreen(BOOL on) override;
  void TVWallPatrol() override;
  void SetMapCursorMode(int mode) override;
  const BroadcastSettings* GetBroadcastSettings() override;
  CGimbroCtrl* GetGimbroCtrl() override;

  // Commands of the settings menu and of the navigation bar's monitor menu.
  void OnMenuCommand(UINT id);

  // The exit: close button, then (after the password) ExitClient.
  void OnBnClickedBtnClose();
  void ExitClient();

  int GetExtRelayFlag() const { return m_nExtRelayFlag; }
  BOOL IsClosing() const { return m_bClosing; }

  // The relay: what its library's threads read, and the panes' relay calls.
  bool RelayClosing() const override { return m_bClosing != FALSE; }
  std::string RelayLocalMac() const override { return m_szAdapterAddr; }
  const RelayRecordPageGate* RelayRecordPage() const override { return &m_relayPageGate; }
  long RegisterRelayRealData(const std::string& key, long mainId, long subId,
                             std::shared_ptr<RelayVideoPlayer> player) override;
  long InviteCloseDeviceVideo(const PaneRelayDevice& dev, const std::string& key, long mainId, long subId) override;
  long InviteDeviceVideo(const PaneRelayDevice& dev, const std::string& key, int stream, int channel) override;
  long SetRelayPtzDirection(const PaneRelayDevice& dev, const std::string& key, int channel, int code, int panSpeed,
                            int tiltSpeed) override;
  long SetRelayPtzAdvance(const PaneRelayDevice& dev, const std::string& key, int channel, int command) override;
  long InvitePatrolRelayVideo(CVideoManagerDlg* grid, int pane, const std::string& key) override;
  long InvitePreset(const PaneRelayDevice& dev, const std::string& key, int channel) override;
  const MainLayout& Layout() const { return m_layout; }
  const char* AdapterAddress() const { return m_szAdapterAddr; }
  std::list<ScreenInfo*>& ExtScreens() { return m_lstScreenInfo; }

  // Module windows, for the other windows of the shell.
  CPageDlg* m_pPageDlg = nullptr;
  CVideoToolbarDlg* m_pVideoToolbarDlg = nullptr;
  CDeviceListDlg* m_pDeviceListDlg = nullptr;
  CDeviceListDlg* m_pCfgDevListDlg = nullptr;  // the configuration manager's own panel
  CPTZDlg* m_pPTZDlg = nullptr;
  CAlarmListDlg* m_pAlarmListDlg = nullptr;
  CVideoManagerDlg* m_pVideoManagerDlg = nullptr;
  CLogToolDlg* m_pLogToolDlg = nullptr;
  CCfgManagerDlg* m_pCfgManagerDlg = nullptr;
  CRecSchemeManager* m_pRecSchemeManager = nullptr;
  CRecFileManager* m_pRecFileManager = nullptr;
  CSearchAlarmDlg* m_pSearchAlarmDlg = nullptr;
  CSearchRecDlg* m_pSearchRecDlg = nullptr;
  CResMsgDlg* m_pResMsgDlg = nullptr;
  CAlmActDlg* m_pAlmActDlg = nullptr;
  CPTZKeyboardCtrl* m_pPTZKeyboardCtrl = nullptr;
  CTVWallManager* m_pTVWallManager = nullptr;
  CDrawTVwallDlg* m_pDrawTVwallDlg = nullptr;
  CMapManagerDlg* m_pMapManagerDlg = nullptr;
  CSysSettingDlg* m_pSysSettingDlg = nullptr;

  // The PTZ protocol plug-in, loaded by the PTZ protocol settings page.
  std::unique_ptr<CPtzProtocolPlugin> m_pPtzPlugin;
  // The talk decoder of a talk with an NVR.
  std::unique_ptr<CAudioCodec> m_pAudioCodec;
  std::mutex m_talkLock;  // the decoder is fed on the messaging thread

  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnTimer(UINT_PTR id) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  // Start-up.
  void ReadAdapterAddress();
  void EnumerateMonitors();
  void InitKeyboard();
  void OpenFirstModule();
  void RegisterWithRelay();
  // Module switches.
  bool BeginModuleSwitch(int module);
  void HideModulesExcept(int module);
  bool IsOnExtScreen(int module) const { return ModuleScreen(module) != 0; }
  CVideoManagerDlg* ActiveGrid() const;  // the active grid, else the main grid
  std::vector<CDeviceListDlg*> DevicePanels() const;
  QWidget* ModuleWindow(int module) const;
  void SetModuleScreen(int module, int screenNo);
  ScreenInfo* ScreenAt(int screenNo) const;
  void PlaceLiveColumn();
  void PlaceFullColumn();
  void AttachPatrol(CVideoManagerDlg* grid);
  // Timers.
  void OnDevTreeTimer();
  void OnRecoverTimer();
  void OnAlarmBlinkTimer();
  void OnAlarmButtonTimer();
  void OnCaptionTimer();
  void OnVssLoginTimer();
  void OnCascadeTimer();
  void OnUdpLoginTimer();
  void OnStartThreadTimer();
  void StartTimer(UINT_PTR id, UINT ms);  // SetTimer with the period scaled for tests
  // Messages.
  void OnDevAlarmMessage(WPARAM gimbroId, LPARAM alarm);
  void OnTalkParamChanged(WPARAM streamId);
  // The UDP login at the account's login server (WM_UDP_LOGIN_STATUS,
  // WM_UDP_DEVICE_LIST).
  void OnUdpLoginStatus(int status);
  void OnUdpDeviceList(WPARAM kind, LPARAM block);
  void OnCloudDeviceAnswer(WPARAM fetchId, LPARAM answer);
  CLoginServerDevices& LoginServerDevices();
  void OnRecordStateChanged();
  // The relay servers' answers placed in the grids (relay service hooks).
  // The relay service's hooks into this window.
  void FillRelayHost(RelayHost& host);
  void FillDeviceStateHost(DeviceStateHost& host);
  void PlaceRelayVideo(const std::string& paneKey, const RelayDevice& device, DWORD mainId, DWORD subId,
                       const BYTE* videoParam, const BYTE* audioParam);
  void ClosePanesShowing(const RelayDevice& device, bool byName, bool everyGrid, bool firstOnly);
  // The record search page takes (or, before it is destroyed, no longer takes)
  // the relay's answers and data.
  void ConnectRelayRecordPage(bool connect);
  // What the relay preset requests take of the PTZ-protocol plug-in.
  RelayPtzPlugin RelayPtzPluginOf();
  // Menu and exit.
  void OnBnClickedBtnSetting();
  void OnHelp();
  void CloseWebMessageBoxes();
  void OnClose();
  void StopAllRtspEvents();
  void ReleaseControls();
  void StopWorkerThreads();  // the relay-login, UDP-login, cloud-fetch and start threads, stopped and deleted
  void SetAlarmLinkageOff();

  MainWindowEnv m_env;
  MainLayout m_layout;
  std::unique_ptr<CGdiManger> m_pGdiManager;
  // The record search page as the relay's answers and data reach it; kept
  // before the page is destroyed (vistarel_dlg_relay.cpp).
  RelayRecordPageGate m_relayPageGate;
  std::unique_ptr<CRelayRecordPageAdapter> m_pRelayPage;
  std::unique_ptr<CRemoteSessionRegistry> m_pSessionRegistry;
  std::unique_ptr<CRelayMessageHandler> m_pRelayHandler;
  std::unique_ptr<CRelayViewer> m_pRelayViewer;
  std::unique_ptr<CCascadeInvites> m_pCascade;  // the saved relay devices asked for at start
  std::unique_ptr<CPatrolPlanSource> m_pPatrolPlans;  // outlives the grids that point to it
  std::list<ScreenInfo*> m_lstScreenInfo;
  int m_nModuleScreen[6] = {};  // by module code: the monitor its window is on

  std::atomic<BOOL> m_bClosing{FALSE};  // the relay library's threads read it
  int m_nExtRelayFlag = 0;
  int m_bAllRecord = 0;
  int m_bMinimized = 0;
  int m_bExitPrompt = 0;
  CVideoManagerDlg* m_pActiveVideoManager = nullptr;
  char m_szAdapterAddr[260] = {};

  // Scrolling caption.
  BOOL m_bRedrawCaptionBk = FALSE;
  int m_nCaptionRight = 0;
  // Alarm button caption colour, flipped by timer 500.
  BOOL m_bAlarmButtonRed = FALSE;

  CImageButton* m_btnClose = nullptr;
  CImageButton* m_btnMin = nullptr;
  CImageButton* m_btnSetting = nullptr;
  CImageButton* m_btnPtz = nullptr;
  CImageButton* m_btnAlarmList = nullptr;
  int m_bPtzShown = 0;
  int m_bAlarmListShown = 0;

  CVemo2Login* m_pVemo2Login = nullptr;
  CUdpLogin* m_pUdpLogin = nullptr;
  UdpLoginRetry m_udpLoginRetry;  // the wait before the UDP login starts again
  CLoginServerDevices* m_pLoginServerDevices = nullptr;  // made at the first device notice
  CStartThread* m_pStartThread = nullptr;
};

extern CVistarelDlg* g_pMainDlg;
