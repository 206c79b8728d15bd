// CSearchRecDlg: the record query module window (dialog 149), a child of the
// main window. The user picks a device in a device-list panel, searches its
// recordings by file (a paged result list) or by time (one day row per channel
// on the time-line bar), and plays them on up to four players.
//
// Recordings come from the client's own record folders ("Local Record"), from
// an NVR through the device-messaging control ("Front-end Record") and from a
// relay channel. The page feeds the players with what the relay library and
// the device-messaging control deliver (search_rec_dlg_media.cpp).
//
// Threads: the page lives on the UI thread. The media input methods
// (InputReplayData, InputReplayDataByDate, OnMediaParamRecv, OnMediaDataRecv)
// are called from the relay library's and the device-messaging control's
// threads. They read and write the slot tables, the player map and the relay
// file names under m_csFeed, and call the players through their engines, held
// for the call by a shared pointer and never under the lock. Whoever changes
// any of those on the UI thread holds m_csFeed too, and ReleasePlayers takes
// the engines out under it before the windows go: closing the page never
// waits for a feeding thread, and no player is freed under a caller.
#pragma once

#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "core/dev_info.h"
#include "maker/morvik/morvik.h"
#include "pelk/pelk.h"
#include "platform/dialog.h"
#include "records/search/nvr_peer_searches.h"
#include "records/search/playback_slots.h"
#include "records/search/rec_file_search.h"
#include "relay/login/vss_info.h"
#include "ui/gdi_manager.h"

class CDownloadBatch;
class CGimbroEvents;
class GimbroDownloads;
class CPlayBackTollBar;
class IRelayDownloads;
class CResMsgDlg;
class CSortListCtrl;
class CVideoToolbarDlg;
class CVideoToolbarHost;
class QComboBox;
class QDateTimeEdit;

constexpr UINT WM_PLAYER_OPTION_RESET = WM_USER + 6001;

class CSearchRecDlg : public CDialog, public IPlayBackEvents {
 public:
  enum { IDD = 149 };
  static constexpr int kPlayers = 4;
  static constexpr int kFirstPlayerId = 10000;
  static constexpr int kRowsPerPage = 20;
  static constexpr UINT kPlayStatusTimer = 200;
  static constexpr UINT kDownloadTimer = 100;
  // An NVR that never answers a file search (or answers it as failed, which
  // reaches no one) does not leave the page busy: after this wait the search
  // ends with "Network connect timeout,please re-try!".
  static constexpr UINT kSearchWaitTimer = 300;
  static constexpr UINT kSearchWaitMs = 15000;

  // Controls of the template.
  enum : int {
    IDC_GROUP = 1076,
    IDC_SOURCE = 1114, IDC_REC_TYPE = 1054, IDC_MEDIA_TYPE = 1115, IDC_STREAM = 1050,
    IDC_RESULT_LIST = 1239, IDC_FROM = 1234, IDC_SYNC_TIME = 1400, IDC_TO = 1244, IDC_QUERY_DAY = 1370,
    IDC_MIN_SIZE = 1051, IDC_MAX_SIZE = 1052,
    IDC_DEVICE_LABEL = 1126, IDC_DEVICE = 1233, IDC_SOURCE_LABEL = 1240, IDC_TYPE_LABEL = 1241,
    IDC_TIME_LABEL = 1242, IDC_TO_LABEL = 1243, IDC_MEDIA_LABEL = 1245, IDC_STREAM_LABEL = 1246,
    IDC_SIZE_LABEL = 1247, IDC_SIZE_TO_LABEL = 1248, IDC_BYTES_LABEL = 1249, IDC_HINT = 1251, IDC_STATUS = 1250,
    IDC_QUERY = 1218, IDC_PRE_PAGE = 1237, IDC_NEXT_PAGE = 1238, IDC_STOP_DOWNLOAD = 1220,
    IDC_DOWNLOAD = 1219, IDC_FILE_MODE = 1380, IDC_TIME_MODE = 1381,
    IDC_LEGEND_ALARM = 1395, IDC_LEGEND_PLAN = 1396, IDC_LEGEND_NONE = 1397, IDC_TIME_HINT = 1398,
    IDC_SYNC_CHECK = 1399, IDC_SYNC_PLAY = 1401, IDC_QUERY_DAY_LABEL = 1371,
  };

  explicit CSearchRecDlg(QWidget* parent = nullptr);
  ~CSearchRecDlg() override;

  // Set by the main window before Create: the maker of the page's own
  // device-list panel (dialog 135) and the host of its video toolbar. Without
  // them the page has neither (its tests).
  void SetDeviceListMaker(std::function<CDialog*(QWidget*)> maker) { m_makeDeviceList = std::move(maker); }
  void SetToolbarHost(CVideoToolbarHost* host) { m_pToolbarHost = host; }
  // Set by the main window: the login handle of the relay server that lists a
  // device with this IP and MAC text, -1 when none does. Without it no relay
  // server is known and relay replays go to handle -1.
  using RelayLoginFinder = std::function<LONG(const char* ip, const char* mac)>;
  void SetRelayLoginFinder(RelayLoginFinder finder) { m_findRelayLogin = std::move(finder); }
  // Set by the main window: the name of the relay server that lists a device
  // with this IP and MAC text; false when none does.
  using RelayServerNameFinder = std::function<bool(const char* ip, const char* mac, std::string* name)>;
  void SetRelayServerNameFinder(RelayServerNameFinder finder) { m_findRelayServerName = std::move(finder); }
  // Whether the main window's close sequence is under way: while it is, the
  // mouse no longer moves the focus to the players.
  void SetClosingCheck(std::function<bool()> closing) { m_isClosing = std::move(closing); }

  BOOL OnInitDialog() override;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnTimer(UINT_PTR id) override;
  void OnOK() override {}      // Enter and Escape never close the page
  void OnCancel() override {}

  // A local or NVR device (channel) was chosen; FALSE when refused.
  BOOL SetSearchDevInfo(DevInfo* pDevInfo);
  const DevInfo& GetSearchDevInfo() const { return m_devInfo; }
  // --- relay channels (search_rec_dlg_relay.cpp) ---
  // A relay channel was chosen: by time a day row asked of its peer, by file
  // the page's device. FALSE when refused.
  BOOL SearchVssRecByDate(RelayDevice* pRelayDevice);
  const RelayDevice& GetSearchVssDevice() const { return m_vssDevice; }
  BOOL IsVssDevice() const { return m_bVssDevice != 0; }
  // The relay search by file of the form for a 0-based page; false when
  // nothing was sent (not a relay channel, a wrong time range, another source).
  bool SearchVssRecByFile(int page);
  // The peer's answers (UI thread): the by-file result and a day map.
  int OnSearchRecFileResult(const RelayReplaySearchResult* record);
  void OnSearchRecByDateResult(const char* key, int channel, const char* dayMap, int year, int month, int day);
  // Entries "path?size|" into the result records (emptied first).
  void ParseVssRecFileList(const char* text);
  bool FindVssServerName(const RelayDevice& device, std::string* name) const;

  void OnBnClickedBtnSearch();
  void OnBnClickedBtnPrePage();
  void OnBnClickedBtnNextPage();
  void OnBnClickedBtnFileMode();
  void OnBnClickedBtnTimeMode();
  void OnBnClickedChkSyncPlay();
  // Plays every day row with records from the picker's time, one row per free pane.
  void OnBnClickedBtnSyncPlay();
  void OnSelChangeSource();
  void OnSelChangeMediaType();
  // 0 when something was shown, -1 when nothing.
  int ShowResultPage();
  // The local search by file of the form (0 done, -1 refused with a message).
  int SearchLocalRecFile();
  // The NVR search by file for a 0-based page: 0 sent; else nothing was sent
  // (no messaging control for the device, the control's refusal, or
  // kSearchTooLong: the form's texts make a request too long to send).
  static constexpr int kSearchTooLong = -1000;
  int SearchRemoteRecFile(int page);
  // The NVR day query of a channel's day: 0 sent.
  int SearchNVRRecByDate(const DevInfo& dev, const RecDayInfo& day, int channel);
  // The NVR's answers (texts owned by their messages): 0, or -1 for text that is not XML.
  LRESULT OnSearchRemoteRecFileResponse(const std::string& text);
  LRESULT OnQueryNVRRecFileResponse(LONG gimbroId, const std::string& text);
  // A peer's search was forwarded to the NVR: the next file search answer is
  // the peer's (copies the request).
  void AddPendingRelaySearch(const ReplaySearchRequest* request, DWORD word) { m_peerSearches.Add(request, word); }
  NvrPeerSearchQueue& PeerSearches() { return m_peerSearches; }

  // --- downloads (search_rec_dlg_download.cpp) ---
  // The download button 1219: starts the download of the checked rows, or stops it.
  void OnBnClickedDownload();
  // A piece of the relay file in transfer, from the relay library's thread (or
  // any other): received and total are the bytes so far and the file's size.
  // The page takes it on its own thread; pieces of other files are dropped.
  void OnDownloadData(const BYTE* data, long length, uint64_t received, uint64_t total, const char* name);
  // The relay file is complete (after every piece handed over before it).
  void OnDownloadFinish(const char* name);
  // WM_FILE_TRANSFER_EVENT: the control reports that the NVR download
  // `transfer` (its number, GetDownloadTransfer) failed.
  LRESULT OnFileTransferEvent(LONG gimbroId, LONG transfer);
  const CDownloadBatch& Downloads() const { return *m_download; }
  // The relay library's download calls (null: the library itself; tests set their own).
  void SetRelayDownloads(IRelayDownloads* calls) { m_pRelayDownloadsOverride = calls; }

  // --- media input (search_rec_dlg_media.cpp) ---
  // A relay file starts (window thread).
  void OnReplayMediaParam(const VideoParam* video, const AudioParam* audio, int seconds, const char* name,
                          const RelayReplaySession* session, long login);
  // Relay file frames (relay library thread): kind 0 video, 1 audio.
  void InputReplayData(int kind, const BYTE* data, long length, const RelayFrameInfo* info, const char* name);
  // Relay day frames (relay library thread): 1 taken, 0 dropped.
  int InputReplayDataByDate(const char* key, long unused, int channel, int kind, const BYTE* data, long length,
                            const RelayFrameInfo* info, const VideoParam* video, const AudioParam* audio,
                            BOOL attached, int seconds, int start);
  // Aims the device-messaging events of the page at it: the NVR search
  // answers and download failures as messages, NVR replay parameters and
  // frames straight to its players, replay states on the page's thread.
  void ReceiveGimbroEvents(CGimbroEvents& events);
  // NVR media parameters (the text is the page's own copy) and frames.
  void OnMediaParamRecv(LONG gimbroId, std::string text, LONG kind);
  void OnMediaDataRecv(LONG gimbroId, const BYTE* packet, LONG length, const BYTE* header);
  // From now on the NVR device streams into the player (m_map), or into none
  // for -1 (UI thread); `file`: it streams one of its files (not a day).
  void MapNvrPlayer(LONG gimbroId, int player, bool file = false);

  // --- opening recordings (search_rec_dlg_play.cpp) ---
  // NM_DBLCLK of the result list: plays the selected local file.
  void OnDblClkResultList();
  // WM_PLAYBACK_DBLCLICK: a second of a day row (or -100 on the row's name).
  void OnPlaybackDblClick(int row, int second);
  void OpenReplay(int row, int second);
  // A player within the pane count is free.
  BOOL HasFreePlayer() const;
  // NVR file of the result list: 0 started (or nothing to do), -1 the NVR cannot replay.
  int OpenNvrFileReplay(const std::string& path, int row);
  // NVR day from a second: the player it streams into, -1 none started.
  int OnNVRReplay(const PlaybackStatus& slot, int second);
  // A command of a player for the NVR day of a slot.
  void OnCtrolNVRReplay(LONG command, LONG value, PlaybackStatus* slot);
  // The ends of sources (UI thread): a relay file, a relay day, an NVR replay state.
  void OnReplayFileEnd(const char* name);
  void OnReplayByDateEnd(const char* key, int channel);
  void OnNVRReplayStatus(LONG gimbroId, LONG state, LONG value);
  // Login handle of the relay server that lists the device of a key ("MAC:IP"); -1 none.
  LONG FindRelayLogin(const char* key) const;

  // --- player events (search_rec_dlg_events.cpp), with the player's control id ---
  LONG OnPlayerMouse(LONG ctrlId, LONG message, LONG x, LONG y) override;
  LONG OnPlayerNotify(LONG ctrlId, LONG code, const char* text) override;
  LONG OnPlayerEvent3(LONG ctrlId, LONG state, LONG factor, LONG slow) override;
  LONG OnPlayerCommand(LONG ctrlId, LONG command, LONG value) override;

  // --- players and view ---
  // Stops every relay file and day that plays (the window is closing).
  void StopAllReplay();
  // Kills the timers and destroys the players; safe while frames arrive.
  void ReleasePlayers();
  CPlayBackAtl* GetPlayer(int index) const;  // 0..3, else null
  CPlayBackTollBar* GetTimeBar() const { return m_pTimeBar; }
  void SetExtScreen(int bExtScreen);
  int IsExtScreen() const { return m_bExtScreen; }
  void RedrawTimeBar();
  // Full view of the playback area; while it lasts, Escape released over the
  // page leaves it.
  void OnFullScreen();
  BOOL IsFullScreen() const { return m_bFullScreen; }
  CVideoToolbarDlg* GetToolbar() const { return m_pToolbar; }
  void SetFillScreen(int bFill);
  int GetFillScreen() const { return m_bFillScreen; }
  void OnHideShow();
  BOOL IsSearchPanelShown() const { return m_bPanelShown; }
  void SetMouseMode(int nMode);
  int GetMouseMode() const { return m_nMouseMode; }
  // Number of playback panes (1, 2 or 4; other values are ignored).
  void SetWindowCount(int nCount);
  int GetWindowCount() const { return m_nWindowCount; }
  int GetCurWnd() const { return m_nCurWnd; }
  void LayoutPage();
  void UpdateSearchPanel();
  void DrawPlayerFrame(int index, bool selected);

  // State, for the main window and the tests.
  int IsTimeMode() const { return m_bTimeMode; }
  BOOL IsDownloading() const;
  BOOL IsSearching() const { return m_bSearching; }
  const std::vector<RecFileItem>& GetResults() const { return m_lstResult; }
  int GetCurPage() const { return m_nCurPage; }
  int GetPageCount() const { return m_nPageCount; }
  const std::string& GetSaveFolder() const { return m_strSaveFolder; }
  const PlaybackSlots& Slots() const { return m_slots; }
  const std::string& GetReplayFile(int player) const { return m_szReplayFile[player & 3]; }
  bool IsNvrSwitching() const { return m_bNvrSwitching != 0; }
  int NvrPlayerOf(LONG gimbroId) const;  // -1 when the NVR streams into no player
  CSortListCtrl* GetResultList() const { return m_pResultList; }
  CResMsgDlg* GetMsgDlg() const { return m_pMsgDlg; }
  int GetPlayerRow(int player) const { return player >= 0 && player < kPlayers ? m_nPlayerRow[player] : -1; }

  int m_nScreenNo = 0;  // monitor the window is on; 0 in the main window

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void InitTexts();
  void InitCombos();
  void InitPlayers();
  void InitChildWindows();
  void InitDownloads();
  void OnDownloadTimer();
  void OnSearchWaitTimer();
  void ShowMsg(UINT stringId);
  void SetStatusText(const std::string& text);
  std::string PageStatusText() const;
  void ClearResults();
  void FillPage(int firstRecord);
  RecFileQuery ReadForm() const;
  void SetDayRow(const DevInfo& dev);
  // A new device of the form: no played rows, no pages, an empty list.
  void ClearFormForDevice();
  void ShowPlaybackHint();
  void RefillCombo(int id, const std::vector<UINT>& texts, int keep);
  void EnableControl(int id, bool on);
  std::shared_ptr<MorvikEngine> EngineOf(int player) const;  // under m_csFeed
  void ResetPlayerOption(int player);
  const DevInfo* DeviceByGimbroId(LONG gimbroId) const;
  bool AllPlayersExist() const;
  // The selected player when free, else the lowest free one; with skipHeld a
  // player that a day row holds is left out; with inPanes the selection counts
  // only within the pane count. -1 none.
  int ChooseFreePlayer(bool skipHeld, bool inPanes = false) const;
  void PlayLocalFile(const std::string& path, int row);
  // Opens a local record file on player p; a file the player cannot open is
  // named in the page's status (and logged), and false comes back.
  bool OpenOnPlayer(int p, const std::string& path);
  void PlayNvrFile(const std::string& path, int row);
  void PlayRelayFile(const std::string& path);
  // The page's relay channel: its key ("MAC:IP") and channel number.
  std::string VssDeviceKey() const;
  int VssChannel() const;
  void OpenRelayDay(int row, int second);
  void OpenNvrDay(int row, int second);
  void OpenLocalDay(int row, int second);
  // The NVR channel in the device list that a day slot shows; null for a local device.
  const DevInfo* NvrDeviceOf(const PlaybackStatus& slot) const;
  bool IsNvrSlot(const PlaybackStatus& slot) const { return NvrDeviceOf(slot) != nullptr; }
  // A player's command on the slot that it plays, or on its relay file.
  void ControlRelayDay(VssPlaybackStatus& slot, LONG command, LONG value);
  void ControlRelayFile(int player, LONG command, LONG value);
  // A player's command on the NVR file it plays; false when it plays none.
  bool ControlNvrFile(int player, LONG command, LONG value);
  // The NVR replay that streams into a player is over: its play status
  // empties, the player stops and the device streams into none.
  void EndNvrReplay(LONG gimbroId, int player);
  // A player's relay file: its name, login handle and session (a copy).
  struct RelayFile {
    std::string name;
    LONG login = -1;
    RelayReplaySession session;
  };
  RelayFile RelayFileOf(int player) const;
  void FreeLocalSlot(PlaybackStatus& slot);
  void FreeRelaySlot(VssPlaybackStatus& slot);
  void ClearPlayStatus(int player);
  int PlayerOfCtrl(LONG ctrlId) const { return static_cast<int>(ctrlId) - kFirstPlayerId; }
  int SourceIndex() const;

  // The page's message box and device copies.
  CResMsgDlg* m_pMsgDlg = nullptr;
  std::map<int, int> m_map;               // GimbroId -> player of its NVR replay
  std::set<int> m_nvrFiles;               // the GimbroIds of m_map that stream a file
  BYTE m_bVssDevice = 0;
  RelayDevice m_vssDevice;
  DevInfo m_devInfo;
  std::array<CPlayBackAtl*, kPlayers> m_pPlayer{};
  std::array<std::shared_ptr<MorvikEngine>, kPlayers> m_engines;
  CDialog* m_pDeviceList = nullptr;
  CPlayBackTollBar* m_pTimeBar = nullptr;
  CVideoToolbarDlg* m_pToolbar = nullptr;
  std::vector<RecFileItem> m_lstResult;
  std::string m_strSaveFolder;
  int m_nCurPage = 1;
  int m_nPageIndex = 0;
  int m_nPageCount = 0;
  int m_nFirstRecord = 0;
  std::array<int, kPlayers> m_nPlayerRow{{-1, -1, -1, -1}};
  int m_nTotalCount = 0;
  // The downloads of checked rows (the page's side of them is DownloadPage).
  class DownloadPage;
  class RelayDownloads;
  std::unique_ptr<DownloadPage> m_downloadPage;
  std::unique_ptr<RelayDownloads> m_relayDownloads;
  IRelayDownloads* m_pRelayDownloadsOverride = nullptr;
  std::unique_ptr<CDownloadBatch> m_download;
  std::unique_ptr<GimbroDownloads> m_nvrDownloads;
  BOOL m_bChildrenReady = FALSE;
  BOOL m_bSearching = FALSE;  // a search runs: device choices wait (not read from the status text)
  int m_bPlayer1Full = 0;
  CGdiManger m_gdi;
  // The page's background picture drawn at the page's size: the picture file
  // is read and stretched once per size, not at every paint (the time-line
  // cursor and the players' neighbours repaint parts of the page every second).
  QImage m_background;
  RECT m_rcPlayArea{};
  RECT m_rcNormal{};
  BOOL m_bPageMoved = FALSE;  // full view moved the page over the whole main screen
  QPointer<QWidget> m_pAbovePage;  // the sibling that was above the page before full view raised it
  int m_bTimeMode = 0;
  PlaybackSlots m_slots;
  int m_nWindowCount = 4;
  BOOL m_bFullScreen = FALSE;
  int m_nCurWnd = 0;
  int m_bExtScreen = 0;
  BOOL m_bPanelShown = TRUE;
  int m_bFillScreen = 0;
  int m_nMouseMode = 0;
  int m_bNvrSwitching = 0;
  std::array<std::string, kPlayers> m_szReplayFile;
  std::array<LONG, kPlayers> m_nReplayLogin{{-1, -1, -1, -1}};
  std::array<RelayReplaySession, kPlayers> m_replaySession{};
  mutable std::mutex m_csFeed;

  CSortListCtrl* m_pResultList = nullptr;
  std::function<CDialog*(QWidget*)> m_makeDeviceList;
  CVideoToolbarHost* m_pToolbarHost = nullptr;
  RelayLoginFinder m_findRelayLogin;
  RelayServerNameFinder m_findRelayServerName;
  std::function<bool()> m_isClosing;
  NvrPeerSearchQueue m_peerSearches;
  std::map<int, QRect> m_panelPlaces;  // template places of the panel's controls
  bool m_bInited = false;
};
