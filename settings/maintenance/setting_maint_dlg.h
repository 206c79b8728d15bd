// CSettingMaintDlg: the remote maintenance page of the configuration manager.
//
// Its list holds the maker's devices that answered a version query (name,
// address, the status of the last operation, file-system version). For the
// ticked rows it uploads a firmware image or a configuration file, downloads
// the configuration file ("<save folder>/<DevName>.xml"), restarts the device,
// resets it to factory settings (a restart follows the device's yes) and sets
// its clock to this computer's. For the device last chosen in the device tree
// it shows the three storage devices (SD card 1, SD card 2, USB) and formats or
// unmounts them. Requests and answer decoding: maint_messages.h; the rows'
// states and the busy flags: maint_rows.h. Answers come as the messages that
// the control's event sink posts here (live/live_messages.h).
//
// Timers: 100, 200, 300 (1 s) follow the firmware upload, configuration upload
// and configuration download; 400 (300 s, once) releases a format or unmount
// that is never answered. Messages go to the page's own message box.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/dev_info.h"
#include "settings/config_panel.h"
#include "settings/maintenance/maint_messages.h"
#include "settings/maintenance/maint_rows.h"

class CResMsgDlg;
class CSortListCtrl;

class CSettingMaintDlg : public CConfigPanel {
 public:
  enum { IDD = 215 };
  enum {
    IDC_CAPTION = 1000, IDC_LIST_TITLE = 1001, IDC_DEV_LIST = 1002, IDC_CHECK_ALL = 1003, IDC_CHECK_INVERT = 1004,
    IDC_GROUP_UPGRADE = 1010, IDC_FIRMWARE_LABEL = 1011, IDC_FIRMWARE_PATH = 1012, IDC_FIRMWARE_BROWSE = 1013,
    IDC_UPGRADE = 1014,
    IDC_GROUP_CONFIG = 1020, IDC_CONFIG_LABEL = 1021, IDC_CONFIG_PATH = 1022, IDC_CONFIG_BROWSE = 1023,
    IDC_CONFIG_UPLOAD = 1024, IDC_SAVE_LABEL = 1025, IDC_SAVE_PATH = 1026, IDC_SAVE_BROWSE = 1027,
    IDC_CONFIG_DOWNLOAD = 1028,
    IDC_GROUP_RESTART = 1030, IDC_REBOOT = 1031, IDC_DEFAULT_CONFIG = 1032, IDC_SYNC_TIME = 1033,
    // Storage panel p (0 SD card 1, 1 SD card 2, 2 USB): its group, four labels, Format and Uninstall.
    IDC_PANEL_BASE = 1040, kPanelStep = 10,
    kPanelLabel = 1, kPanelFormat = 5, kPanelUnmount = 6,
  };
  enum { TIMER_UPGRADE = 100, TIMER_CONFIG_UPLOAD = 200, TIMER_CONFIG_DOWNLOAD = 300, TIMER_STORAGE = 400 };
  static constexpr UINT kProgressMs = 1000;
  static constexpr UINT kStorageTimeoutMs = 300000;

  // The question before a format, an unmount or a clock setting: true goes on.
  enum class Question { kFormat, kUnmount, kSyncTime };
  using Confirm = std::function<bool(Question, const QString& text)>;

  explicit CSettingMaintDlg(QWidget* parent = nullptr);
  ~CSettingMaintDlg() override;

  BOOL OnInitDialog() override;

  // By default a question box (Yes/No for format and unmount, OK/Cancel with
  // a warning for the clock).
  void SetConfirm(Confirm confirm) { m_confirm = std::move(confirm); }
  // While this says true (the main window closes) the clock is not set.
  void SetClosingCheck(std::function<bool()> closing) { m_closing = std::move(closing); }

  // The device chosen in the device tree (null: nothing): asks its version
  // and, unless a format or unmount runs, its storage devices.
  void DisplayDevInfo(const DevInfo* dev);
  // A device went offline, was deleted or changed: its row leaves the list.
  void RemoveDevice(const char* ipAddr);
  // The device chosen last (an empty record before any).
  const DevInfo& CurDevInfo() const { return m_curDev; }

  // The buttons.
  void OnBnClickedUpgrade();
  void OnBnClickedConfigUpload();
  void OnBnClickedConfigDownload();
  void OnBnClickedReboot();
  void OnBnClickedDefaultConfig();
  void OnBnClickedSyncTime();
  void OnBnClickedAll();
  void OnBnClickedInvert();
  void OnBnClickedFormat(int panel);
  void OnBnClickedUnmount(int panel);

  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnTimer(UINT_PTR id) override;

  // For the tests and the main window.
  const std::vector<maint::Row>& Rows() const { return m_rows; }
  const maint::BusyFlags& Busy() const { return m_busy; }
  CSortListCtrl* List() const { return m_pList; }
  CResMsgDlg* GetMsgDlg() const { return m_pMsgDlg; }
  // The status text a row shows, as in the list.
  QString StatusText(const maint::Row& row) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Layout();
  void LoadCaptions();
  void ShowMsg(UINT id);
  bool Ask(Question question, UINT textId);
  // The first busy check's message (transfers), or 0 when nothing runs.
  UINT TransferBusyText() const;
  UINT CommandBusyText() const;

  // Rows and the list.
  maint::Row* RowOfIp(const std::string& ip);
  int ListIndexOfIp(const std::string& ip) const;
  void ShowRow(const maint::Row& row);
  // The ticked rows' addresses, in list order.
  std::vector<std::string> TickedIps() const;
  // Runs `fn` for every ticked row whose device is known; false when none was.
  bool ForTickedDevices(const std::function<void(const DevInfo&, maint::Row&)>& fn);
  // Reboot and Default Config: the busy check, then the message to every ticked device.
  void RunCommand(LONG code);

  // Devices.
  static DevInfo* DeviceOfIp(const std::string& ip);
  static DevInfo* OnlineDeviceOfId(LONG gimbroId);
  static DevInfo* DeviceOfId(LONG gimbroId);
  static void Send(const DevInfo& dev, LONG code, const std::string& body = std::string());

  // Transfers. MayStartTransfer: the path and busy checks; true when the
  // transfer may start (the progress timers are then stopped).
  bool MayStartTransfer(bool pathGiven, UINT emptyPathText);
  void MarkRunning(maint::Row& row, maint::Transfer transfer);
  void StartUpload(maint::Transfer transfer, const std::string& path, UINT emptyPathText);
  void StopProgressTimers();
  void OnProgressTick(maint::Transfer transfer);
  int& FlagOf(maint::Transfer transfer);

  // Storage.
  void StartStorageCommand(int panel, bool format);
  void ResetPanels();
  void ShowPanels(const std::vector<maint::Disk>& disks);
  void EnableStorageButtons(bool on);
  void SetCaption(const std::string& text);
  void RestoreCaption();
  void AskStorage();

  // Answers.
  void OnVersion(LONG gimbroId, const std::string& text);
  void OnStorageList(LONG gimbroId, LONG result, const std::string& text);
  void OnRestoreAnswer(LONG gimbroId);
  void OnUpgradeFailed(LONG gimbroId);
  void OnStorageAnswer(bool format, LONG result);
  void OnTransferFailed(LONG gimbroId, LONG code);

  CSortListCtrl* m_pList = nullptr;
  CResMsgDlg* m_pMsgDlg = nullptr;
  std::vector<maint::Row> m_rows;
  maint::BusyFlags m_busy;
  // A copy of the current device's record; the record itself is looked up by
  // its address whenever it is needed (it may have been removed meanwhile).
  bool m_bHasCurDev = false;
  DevInfo m_curDev;
  BOOL m_bInited = FALSE;
  Confirm m_confirm;
  std::function<bool()> m_closing;
  maint::PanelCaptions m_panelCaptions;
  // Version questions asked again per address since its last good answer.
  static constexpr int kMaxVersionRetries = 3;
  std::map<std::string, int> m_versionRetries;
};
