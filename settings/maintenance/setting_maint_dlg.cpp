#include "settings/maintenance/setting_maint_dlg.h"

#include <QCheckBox>
#include <QColor>
#include <QPalette>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/res_msg_dlg.h"
#include "gimbro/gimbro.h"
#include "live/live_messages.h"
#include "live/streams/gimbro_events.h"
#include "platform/codepage.h"
#include "platform/file_api.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "ui/sort_list_ctrl.h"

using maint::Row;
using maint::Status;
using maint::Transfer;

namespace {

// Texts of the string table.
enum : UINT {
  kTextOffline = 821,
  kTextListTitle = 2150, kTextAll, kTextInvert, kTextDeviceName, kTextIpAddress, kTextStatus, kTextVersion,
  kTextGroupUpgrade, kTextFirmware, kTextBrowse, kTextUpgrade, kTextGroupConfig, kTextConfigFile, kTextSavePath,
  kTextDownload, kTextGroupRestart, kTextReboot, kTextDefaultConfig, kTextSyncTime, kTextSdCard1, kTextSdCard2,
  kTextUsb, kTextTotal, kTextUsed, kTextFree, kTextPercent, kTextFormat, kTextUninstall, kTextUnmountMark,
  kTextBusyUpgrading, kTextBusyConfigUpload, kTextBusyDownload, kTextBusyFirmware, kTextSelectDevice,
  kTextSelectFirmware, kTextFileMissing, kTextSelectConfig, kTextSelectSavePath,
  kTextFirmwareUploading, kTextUploadFailed, kTextConfigUploading, kTextConfigUploadSuccess, kTextConfigUploadFailed,
  kTextConfigDownloading, kTextConfigDownloadSuccess, kTextConfigDownloadFailed, kTextRebooting, kTextUpgradeFailed,
  kTextAskSyncTime, kTextAskFormat, kTextAskUnmount, kTextFormatting, kTextUnmounting, kTextFormatSuccess,
  kTextFormatFailed, kTextUnmountSuccess, kTextUnmountFailed, kTextSelectedPath, kTextRefused,
};
// The busy text of a running upgrade is also the status of a device that upgrades.
constexpr UINT kTextUpgrading = kTextBusyUpgrading;

constexpr UINT kPanelTitles[maint::kStoragePanels] = {kTextSdCard1, kTextSdCard2, kTextUsb};

// Columns of the device list.
enum { kColName, kColIp, kColStatus, kColVersion };

// Layout, in pixels.
constexpr int kMargin = 10;
constexpr int kListTop = 34;
constexpr int kListHeight = 200;
constexpr int kRowHeight = 26;
constexpr int kButtonWidth = 110;
constexpr int kLabelWidth = 130;
constexpr int kPanelWidth = 200;
constexpr int kPanelHeight = 150;

QString Text(UINT id) { return LoadStringW(id); }
std::string TextA(UINT id) { return LoadStringA(id); }

QString Qt8(const std::string& text) { return codepage::ToQString(text.c_str()); }

struct TransferTexts {
  UINT running;  // shown with the per cent
  UINT finished;
  UINT failed;
  int timer;
};

TransferTexts TextsOf(Transfer t) {
  switch (t) {
    case Transfer::kFirmware:
      return {kTextFirmwareUploading, kTextUpgrading, kTextUploadFailed, CSettingMaintDlg::TIMER_UPGRADE};
    case Transfer::kConfigUpload:
      return {kTextConfigUploading, kTextConfigUploadSuccess, kTextConfigUploadFailed,
              CSettingMaintDlg::TIMER_CONFIG_UPLOAD};
    case Transfer::kConfigDownload:
      return {kTextConfigDownloading, kTextConfigDownloadSuccess, kTextConfigDownloadFailed,
              CSettingMaintDlg::TIMER_CONFIG_DOWNLOAD};
  }
  return {};
}

// The file of an upload, in the program's form: nothing when it is missing,
// is a folder or holds no byte.
bool UploadableFile(const std::string& path) {
  return !fileapi::IsDirectory(path) && fileapi::Size(path) > 0;
}

}  // namespace

CSettingMaintDlg::CSettingMaintDlg(QWidget* parent) : CConfigPanel(IDD, parent, "Images\\Pagebk.jpg") {
  // The labels are drawn on the page's own colour where its picture is missing.
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(0xE6, 0xE5, 0xE3));  // COLORREF 0xE3E5E6
  setPalette(palette);
  setAutoFillBackground(true);
  m_confirm = [this](Question question, const QString& text) {
    if (question == Question::kSyncTime) {
      return QMessageBox::warning(this, QStringLiteral("Vemo"), text, QMessageBox::Ok | QMessageBox::Cancel) ==
             QMessageBox::Ok;
    }
    return QMessageBox::question(this, QStringLiteral("Vemo"), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
  };
}

CSettingMaintDlg::~CSettingMaintDlg() = default;  // the message box goes with the widget

BOOL CSettingMaintDlg::OnInitDialog() {
  CConfigPanel::OnInitDialog();
  m_pMsgDlg = new CResMsgDlg(this);
  m_pMsgDlg->Create(CResMsgDlg::IDD, this);
  m_pList = ReplaceDlgItem(IDC_DEV_LIST, new CSortListCtrl(this));
  m_pList->SetCheckboxes(1);
  m_pList->SetGridLines(TRUE);
  for (UINT id : {kTextDeviceName, kTextIpAddress, kTextStatus, kTextVersion}) {
    m_pList->InsertColumn(m_pList->GetColumnCount(), TextA(id), ColumnAlign::Left, 100);
  }
  LoadCaptions();
  OnClicked(IDC_UPGRADE, [this] { OnBnClickedUpgrade(); });
  OnClicked(IDC_CONFIG_UPLOAD, [this] { OnBnClickedConfigUpload(); });
  OnClicked(IDC_CONFIG_DOWNLOAD, [this] { OnBnClickedConfigDownload(); });
  OnClicked(IDC_REBOOT, [this] { OnBnClickedReboot(); });
  OnClicked(IDC_DEFAULT_CONFIG, [this] { OnBnClickedDefaultConfig(); });
  OnClicked(IDC_SYNC_TIME, [this] { OnBnClickedSyncTime(); });
  OnClicked(IDC_CHECK_ALL, [this] { OnBnClickedAll(); });
  OnClicked(IDC_CHECK_INVERT, [this] { OnBnClickedInvert(); });
  auto browseFile = [this](int edit, const char* filter) {
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(), QString::fromLatin1(filter));
    if (!path.isEmpty()) SetWindowTextW(GetDlgItem(edit), path);
  };
  OnClicked(IDC_FIRMWARE_BROWSE,
            [browseFile] { browseFile(IDC_FIRMWARE_PATH, "File(*.bin) (*.bin);;All Files(*.*) (*)"); });
  OnClicked(IDC_CONFIG_BROWSE, [browseFile] { browseFile(IDC_CONFIG_PATH, "File(*.xml) (*.xml);;All Files(*.*) (*)"); });
  OnClicked(IDC_SAVE_BROWSE, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, Text(kTextSelectedPath), QString());
    if (!folder.isEmpty()) SetWindowTextW(GetDlgItem(IDC_SAVE_PATH), folder);
  });
  for (int p = 0; p < maint::kStoragePanels; ++p) {
    OnClicked(IDC_PANEL_BASE + p * kPanelStep + kPanelFormat, [this, p] { OnBnClickedFormat(p); });
    OnClicked(IDC_PANEL_BASE + p * kPanelStep + kPanelUnmount, [this, p] { OnBnClickedUnmount(p); });
  }
  ResetPanels();
  EnableStorageButtons(false);
  m_bInited = TRUE;
  Layout();
  return TRUE;
}

void CSettingMaintDlg::LoadCaptions() {
  const std::pair<int, UINT> captions[] = {
      {IDC_LIST_TITLE, kTextListTitle}, {IDC_CHECK_ALL, kTextAll}, {IDC_CHECK_INVERT, kTextInvert},
      {IDC_GROUP_UPGRADE, kTextGroupUpgrade}, {IDC_FIRMWARE_LABEL, kTextFirmware},
      {IDC_FIRMWARE_BROWSE, kTextBrowse}, {IDC_UPGRADE, kTextUpgrade}, {IDC_GROUP_CONFIG, kTextGroupConfig},
      {IDC_CONFIG_LABEL, kTextConfigFile}, {IDC_CONFIG_BROWSE, kTextBrowse}, {IDC_CONFIG_UPLOAD, kTextUpgrade},
      {IDC_SAVE_LABEL, kTextSavePath}, {IDC_SAVE_BROWSE, kTextBrowse}, {IDC_CONFIG_DOWNLOAD, kTextDownload},
      {IDC_GROUP_RESTART, kTextGroupRestart}, {IDC_REBOOT, kTextReboot}, {IDC_DEFAULT_CONFIG, kTextDefaultConfig},
      {IDC_SYNC_TIME, kTextSyncTime},
  };
  for (const auto& [id, text] : captions) SetWindowTextW(GetDlgItem(id), Text(text));
  for (int p = 0; p < maint::kStoragePanels; ++p) {
    const int base = IDC_PANEL_BASE + p * kPanelStep;
    SetWindowTextW(GetDlgItem(base), Text(kPanelTitles[p]));
    SetWindowTextW(GetDlgItem(base + kPanelFormat), Text(kTextFormat));
    SetWindowTextW(GetDlgItem(base + kPanelUnmount), Text(kTextUninstall));
  }
  m_panelCaptions = {TextA(kTextTotal), TextA(kTextUsed), TextA(kTextFree), TextA(kTextPercent),
                     TextA(kTextUnmountMark)};
}

void CSettingMaintDlg::resizeEvent(QResizeEvent* event) {
  CConfigPanel::resizeEvent(event);
  Layout();
}

void CSettingMaintDlg::Layout() {
  if (!m_bInited) return;
  const int w = std::max(width(), 3 * kPanelWidth + 4 * kMargin);
  auto place = [this](int id, int x, int y, int cx, int cy) {
    if (QWidget* control = GetDlgItem(id)) control->setGeometry(x, y, cx, cy);
  };
  // The list with its title and the two tick boxes.
  place(IDC_LIST_TITLE, kMargin, 8, w - 2 * kMargin - 2 * kButtonWidth, 22);
  place(IDC_CHECK_ALL, w - kMargin - 2 * kButtonWidth, 8, kButtonWidth, 22);
  place(IDC_CHECK_INVERT, w - kMargin - kButtonWidth, 8, kButtonWidth, 22);
  place(IDC_DEV_LIST, kMargin, kListTop, w - 2 * kMargin, kListHeight);
  const int listWidth = w - 2 * kMargin;
  if (m_pList != nullptr && m_pList->GetColumnCount() == 4) {
    for (int c = 0; c < 4; ++c) m_pList->setColumnWidth(c, listWidth / 4 + (c == kColVersion ? 150 : 0));
  }
  // The three groups of buttons, one under the other.
  const int groupWidth = w - 2 * kMargin;
  const int editLeft = kMargin + 10 + kLabelWidth;
  const int editWidth = std::max(80, groupWidth - kLabelWidth - 2 * kButtonWidth - 40);
  const int browseLeft = editLeft + editWidth + 5;
  const int actionLeft = browseLeft + kButtonWidth + 5;
  int y = kListTop + kListHeight + 8;
  place(IDC_GROUP_UPGRADE, kMargin, y, groupWidth, 22 + kRowHeight + 8);
  place(IDC_FIRMWARE_LABEL, kMargin + 10, y + 24, kLabelWidth - 5, 22);
  place(IDC_FIRMWARE_PATH, editLeft, y + 24, editWidth, 22);
  place(IDC_FIRMWARE_BROWSE, browseLeft, y + 22, kButtonWidth, kRowHeight);
  place(IDC_UPGRADE, actionLeft, y + 22, kButtonWidth, kRowHeight);
  y += 22 + kRowHeight + 16;
  place(IDC_GROUP_CONFIG, kMargin, y, groupWidth, 22 + 2 * kRowHeight + 14);
  place(IDC_CONFIG_LABEL, kMargin + 10, y + 24, kLabelWidth - 5, 22);
  place(IDC_CONFIG_PATH, editLeft, y + 24, editWidth, 22);
  place(IDC_CONFIG_BROWSE, browseLeft, y + 22, kButtonWidth, kRowHeight);
  place(IDC_CONFIG_UPLOAD, actionLeft, y + 22, kButtonWidth, kRowHeight);
  place(IDC_SAVE_LABEL, kMargin + 10, y + 24 + kRowHeight + 4, kLabelWidth - 5, 22);
  place(IDC_SAVE_PATH, editLeft, y + 24 + kRowHeight + 4, editWidth, 22);
  place(IDC_SAVE_BROWSE, browseLeft, y + 22 + kRowHeight + 4, kButtonWidth, kRowHeight);
  place(IDC_CONFIG_DOWNLOAD, actionLeft, y + 22 + kRowHeight + 4, kButtonWidth, kRowHeight);
  y += 22 + 2 * kRowHeight + 22;
  place(IDC_GROUP_RESTART, kMargin, y, groupWidth, 22 + kRowHeight + 8);
  const int commandWidth = 160;
  place(IDC_REBOOT, kMargin + 10, y + 22, commandWidth, kRowHeight);
  place(IDC_DEFAULT_CONFIG, kMargin + 20 + commandWidth, y + 22, commandWidth, kRowHeight);
  place(IDC_SYNC_TIME, kMargin + 30 + 2 * commandWidth, y + 22, commandWidth, kRowHeight);
  y += 22 + kRowHeight + 16;
  // The caption line and the storage panels side by side.
  place(IDC_CAPTION, kMargin, y, groupWidth, 22);
  y += 26;
  // At least 200 pixels each; wider when the page is, so that the sizes of
  // large disks fit.
  const int panelWidth = std::max(kPanelWidth, (w - (maint::kStoragePanels + 1) * kMargin) / maint::kStoragePanels);
  for (int p = 0; p < maint::kStoragePanels; ++p) {
    const int base = IDC_PANEL_BASE + p * kPanelStep;
    const int x = kMargin + p * (panelWidth + kMargin);
    place(base, x, y, panelWidth, kPanelHeight);
    for (int l = 0; l < 4; ++l) place(base + kPanelLabel + l, x + 8, y + 22 + l * 22, panelWidth - 16, 20);
    place(base + kPanelFormat, x + 8, y + kPanelHeight - kRowHeight - 8, (panelWidth - 24) / 2, kRowHeight);
    place(base + kPanelUnmount, x + 16 + (panelWidth - 24) / 2, y + kPanelHeight - kRowHeight - 8,
          (panelWidth - 24) / 2, kRowHeight);
  }
}

// ---- messages and questions

void CSettingMaintDlg::ShowMsg(UINT id) {
  if (m_pMsgDlg != nullptr) m_pMsgDlg->ShowMsg(Text(id).toStdWString(), 2);
}

bool CSettingMaintDlg::Ask(Question question, UINT textId) { return m_confirm && m_confirm(question, Text(textId)); }

UINT CSettingMaintDlg::TransferBusyText() const {
  if (m_busy.upgrade) return kTextBusyUpgrading;
  if (m_busy.configUpload) return kTextBusyConfigUpload;
  if (m_busy.download) return kTextBusyDownload;
  return 0;
}

UINT CSettingMaintDlg::CommandBusyText() const {
  if (m_busy.upgrade) return kTextBusyFirmware;
  if (m_busy.configUpload) return kTextBusyConfigUpload;
  if (m_busy.download) return kTextBusyDownload;
  return 0;
}

// ---- rows

Row* CSettingMaintDlg::RowOfIp(const std::string& ip) {
  for (Row& row : m_rows) {
    if (row.ip == ip) return &row;
  }
  return nullptr;
}

int CSettingMaintDlg::ListIndexOfIp(const std::string& ip) const {
  if (m_pList == nullptr) return -1;
  for (int i = 0; i < m_pList->GetItemCount(); ++i) {
    if (m_pList->GetItemText(i, kColIp) == ip) return i;
  }
  return -1;
}

QString CSettingMaintDlg::StatusText(const Row& row) const {
  switch (row.status) {
    case Status::kNone: return QString();
    case Status::kFirmwareUploading:
    case Status::kConfigUploading:
    case Status::kConfigDownloading: {
      const Transfer t = row.status == Status::kFirmwareUploading ? Transfer::kFirmware
                         : row.status == Status::kConfigUploading  ? Transfer::kConfigUpload
                                                                   : Transfer::kConfigDownload;
      const QString running = Text(TextsOf(t).running);
      return row.percent < 0 ? running + QStringLiteral("...")
                             : QStringLiteral("%1(%2%)").arg(running).arg(row.percent);
    }
    case Status::kUpgrading: return Text(kTextUpgrading);
    case Status::kUploadFailed: return Text(kTextUploadFailed);
    case Status::kUpgradeFailed: return Text(kTextUpgradeFailed);
    case Status::kConfigUploadSuccess: return Text(kTextConfigUploadSuccess);
    case Status::kConfigUploadFailed: return Text(kTextConfigUploadFailed);
    case Status::kConfigDownloadSuccess: return Text(kTextConfigDownloadSuccess);
    case Status::kConfigDownloadFailed: return Text(kTextConfigDownloadFailed);
    case Status::kRebooting: return Text(kTextRebooting);
    case Status::kRefused: return Text(kTextRefused);
  }
  return QString();
}

void CSettingMaintDlg::ShowRow(const Row& row) {
  const int index = ListIndexOfIp(row.ip);
  if (index < 0) return;
  m_pList->SetItemText(index, kColStatus, codepage::FromQString(StatusText(row)));
  m_pList->SetItemText(index, kColVersion, row.version);
}

std::vector<std::string> CSettingMaintDlg::TickedIps() const {
  std::vector<std::string> ips;
  if (m_pList == nullptr) return ips;
  for (int i = 0; i < m_pList->GetItemCount(); ++i) {
    if (m_pList->GetCheck(i)) ips.push_back(m_pList->GetItemText(i, kColIp));
  }
  return ips;
}

// ---- devices

DevInfo* CSettingMaintDlg::DeviceOfIp(const std::string& ip) {
  for (DevInfo& dev : g_lstDevInfo) {
    if (ip == dev.IPAddr) return &dev;
  }
  return nullptr;
}

DevInfo* CSettingMaintDlg::OnlineDeviceOfId(LONG gimbroId) {
  for (DevInfo& dev : g_lstDevInfo) {
    if (dev.GimbroId == gimbroId && dev.nOnline) return &dev;
  }
  return nullptr;
}

DevInfo* CSettingMaintDlg::DeviceOfId(LONG gimbroId) {
  for (DevInfo& dev : g_lstDevInfo) {
    if (dev.GimbroId == gimbroId) return &dev;
  }
  return nullptr;
}

void CSettingMaintDlg::Send(const DevInfo& dev, LONG code, const std::string& body) {
  if (dev.pGimbroCtrl == nullptr) return;
  dev.pGimbroCtrl->WriteAUXStringEx(dev.GimbroId, maint::kMessageType, code, 0, body.c_str());
}

// ---- the device tree's choice

void CSettingMaintDlg::DisplayDevInfo(const DevInfo* dev) {
  if (dev == nullptr) return;
  if (!dev->nOnline) {
    ShowMsg(kTextOffline);
    return;
  }
  m_bHasCurDev = true;
  m_curDev = *dev;
  WriteLog(6, "CSettingMaintDlg::DisplayDevInfo(): get system version, DevName=%s", dev->DevName);
  Send(*dev, maint::kSystemVersionGet);
  if (m_busy.format || m_busy.unmount) return;
  Send(*dev, maint::kStorageInfo);
  RestoreCaption();
  ResetPanels();
  EnableStorageButtons(false);
}

void CSettingMaintDlg::RemoveDevice(const char* ipAddr) {
  if (ipAddr == nullptr) return;
  const std::string ip = ipAddr;
  auto it = std::find_if(m_rows.begin(), m_rows.end(), [&](const Row& row) { return row.ip == ip; });
  if (it == m_rows.end()) return;
  if (it->status == Status::kUpgrading) m_busy.upgrade = 0;
  if (it->status == Status::kConfigUploadSuccess) m_busy.configUpload = 0;
  const int index = ListIndexOfIp(ip);
  if (index >= 0) m_pList->DeleteItem(index);
  m_rows.erase(it);
  m_versionRetries.erase(ip);
  // A transfer whose last row left no longer runs.
  if (!maint::StillRunning(m_rows, Transfer::kFirmware)) m_busy.upgrade = 0;
  if (!maint::StillRunning(m_rows, Transfer::kConfigUpload)) m_busy.configUpload = 0;
  if (!maint::StillRunning(m_rows, Transfer::kConfigDownload)) m_busy.download = 0;
}

// ---- tick boxes

void CSettingMaintDlg::OnBnClickedAll() {
  auto* all = qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_ALL));
  auto* invert = qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_INVERT));
  if (all == nullptr || m_pList == nullptr) return;
  if (invert != nullptr) invert->setChecked(false);
  for (int i = 0; i < m_pList->GetItemCount(); ++i) m_pList->SetCheck(i, all->isChecked());
}

void CSettingMaintDlg::OnBnClickedInvert() {
  auto* all = qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_ALL));
  auto* invert = qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_INVERT));
  if (invert == nullptr || m_pList == nullptr || !invert->isChecked()) return;
  if (all != nullptr) all->setChecked(false);
  for (int i = 0; i < m_pList->GetItemCount(); ++i) m_pList->SetCheck(i, !m_pList->GetCheck(i));
}

// ---- transfers

int& CSettingMaintDlg::FlagOf(Transfer transfer) {
  switch (transfer) {
    case Transfer::kFirmware: return m_busy.upgrade;
    case Transfer::kConfigUpload: return m_busy.configUpload;
    case Transfer::kConfigDownload: break;
  }
  return m_busy.download;
}

void CSettingMaintDlg::StopProgressTimers() {
  KillTimer(TIMER_UPGRADE);
  KillTimer(TIMER_CONFIG_UPLOAD);
  KillTimer(TIMER_CONFIG_DOWNLOAD);
}

void CSettingMaintDlg::OnBnClickedUpgrade() {
  StartUpload(Transfer::kFirmware, codepage::FromQString(GetWindowTextW(GetDlgItem(IDC_FIRMWARE_PATH)).trimmed()),
              kTextSelectFirmware);
}

void CSettingMaintDlg::OnBnClickedConfigUpload() {
  StartUpload(Transfer::kConfigUpload, codepage::FromQString(GetWindowTextW(GetDlgItem(IDC_CONFIG_PATH)).trimmed()),
              kTextSelectConfig);
}

bool CSettingMaintDlg::MayStartTransfer(bool pathGiven, UINT emptyPathText) {
  if (!pathGiven) {
    ShowMsg(emptyPathText);
    return false;
  }
  if (const UINT busy = TransferBusyText()) {
    ShowMsg(busy);
    return false;
  }
  StopProgressTimers();
  return true;
}

void CSettingMaintDlg::MarkRunning(Row& row, Transfer transfer) {
  row.status = maint::RunningStatus(transfer);
  row.percent = -1;
  row.quietTicks = 0;
  ShowRow(row);
}

void CSettingMaintDlg::StartUpload(Transfer transfer, const std::string& path, UINT emptyPathText) {
  if (!MayStartTransfer(!path.empty(), emptyPathText)) return;
  const LONG kind = transfer == Transfer::kFirmware ? 1 : 0;
  const bool fileOk = UploadableFile(path);
  bool started = false;
  UINT failure = 0;
  for (const std::string& ip : TickedIps()) {
    const DevInfo* dev = DeviceOfIp(ip);
    Row* row = RowOfIp(ip);
    if (dev == nullptr || row == nullptr) continue;
    WriteLog(6, "CSettingMaintDlg: upload %s to DevName=%s, kind=%ld", path.c_str(), dev->DevName,
             static_cast<long>(kind));
    const LONG result = !fileOk ? GIMBRO_ERR_ARGUMENT
                        : dev->pGimbroCtrl != nullptr ? dev->pGimbroCtrl->UploadFile(dev->GimbroId, kind, path.c_str())
                                                      : GIMBRO_ERR_UNKNOWN_DEVICE;
    if (result != 0) {
      // Reported on the row; the rows already started go on and are followed.
      WriteLog(3, "CSettingMaintDlg: upload to DevName=%s could not start, code=%ld", dev->DevName,
               static_cast<long>(result));
      row->status = maint::FailedStatus(transfer);
      row->percent = -1;
      ShowRow(*row);
      if (failure == 0) failure = result == GIMBRO_ERR_OFFLINE ? kTextOffline : kTextFileMissing;
      continue;
    }
    MarkRunning(*row, transfer);
    started = true;
  }
  if (started) {
    FlagOf(transfer) = 1;
    SetTimer(TextsOf(transfer).timer, kProgressMs);
  }
  if (failure != 0) {
    ShowMsg(failure);
  } else if (!started) {
    ShowMsg(kTextSelectDevice);
  }
}

void CSettingMaintDlg::OnBnClickedConfigDownload() {
  const QString folder = GetWindowTextW(GetDlgItem(IDC_SAVE_PATH)).trimmed();
  if (!MayStartTransfer(!folder.isEmpty(), kTextSelectSavePath)) return;
  const std::string save = codepage::FromQString(folder);
  bool started = false;
  for (const std::string& ip : TickedIps()) {
    const DevInfo* dev = DeviceOfIp(ip);
    Row* row = RowOfIp(ip);
    if (dev == nullptr || row == nullptr) continue;
    const std::string local = save + "\\" + dev->DevName + ".xml";
    WriteLog(6, "CSettingMaintDlg: download the config file of DevName=%s to %s", dev->DevName, local.c_str());
    if (dev->pGimbroCtrl != nullptr) {
      dev->pGimbroCtrl->DownloadFile(dev->GimbroId, 0, maint::kConfigFilePath, local.c_str());
    }
    MarkRunning(*row, Transfer::kConfigDownload);
    started = true;
  }
  if (!started) {
    ShowMsg(kTextSelectDevice);
    return;
  }
  m_busy.download = 1;
  SetTimer(TIMER_CONFIG_DOWNLOAD, kProgressMs);
}

void CSettingMaintDlg::OnProgressTick(Transfer transfer) {
  for (Row& row : m_rows) {
    if (row.status != maint::RunningStatus(transfer)) continue;
    const DevInfo* dev = DeviceOfIp(row.ip);
    if (dev == nullptr || dev->pGimbroCtrl == nullptr) continue;
    const LONG progress = transfer == Transfer::kConfigDownload ? dev->pGimbroCtrl->GetDownloadProgress(dev->GimbroId)
                                                                : dev->pGimbroCtrl->GetUploadProgress(dev->GimbroId);
    maint::TakeProgress(row, transfer, progress);
    ShowRow(row);
  }
  FlagOf(transfer) = maint::StillRunning(m_rows, transfer) ? 1 : 0;
}

// ---- commands

bool CSettingMaintDlg::ForTickedDevices(const std::function<void(const DevInfo&, Row&)>& fn) {
  bool any = false;
  for (const std::string& ip : TickedIps()) {
    const DevInfo* dev = DeviceOfIp(ip);
    Row* row = RowOfIp(ip);
    if (dev == nullptr || row == nullptr) continue;
    fn(*dev, *row);
    any = true;
  }
  return any;
}

void CSettingMaintDlg::RunCommand(LONG code) {
  if (const UINT busy = CommandBusyText()) {
    ShowMsg(busy);
    return;
  }
  const bool any = ForTickedDevices([this, code](const DevInfo& dev, Row& row) {
    WriteLog(6, "CSettingMaintDlg: send %ld to DevName=%s", static_cast<long>(code), dev.DevName);
    Send(dev, code);
    // A factory reset shows nothing until the device says yes (a restart follows).
    if (code == maint::kSystemReboot) {
      row.status = Status::kRebooting;
      ShowRow(row);
    }
  });
  if (!any) ShowMsg(kTextSelectDevice);
}

void CSettingMaintDlg::OnBnClickedReboot() { RunCommand(maint::kSystemReboot); }

void CSettingMaintDlg::OnBnClickedDefaultConfig() { RunCommand(maint::kConfigRestore); }

void CSettingMaintDlg::OnBnClickedSyncTime() {
  if (!Ask(Question::kSyncTime, kTextAskSyncTime)) return;
  if (m_closing && m_closing()) return;
  const std::vector<std::string> ticked = TickedIps();
  if (ticked.empty()) {
    ShowMsg(kTextSelectDevice);
    return;
  }
  if (const UINT busy = CommandBusyText()) {
    ShowMsg(busy);
    return;
  }
  const std::string body = maint::TimeBody(maint::ClockAt(std::time(nullptr)));
  for (const std::string& ip : ticked) {
    if (const DevInfo* dev = DeviceOfIp(ip)) {
      WriteLog(6, "CSettingMaintDlg::OnBnClickedSyncTime(): DevName=%s, %s", dev->DevName, body.c_str());
      Send(*dev, maint::kSystemTimeSet, body);
    }
  }
}

// ---- storage

void CSettingMaintDlg::SetCaption(const std::string& text) { SetWindowTextW(GetDlgItem(IDC_CAPTION), Qt8(text)); }

void CSettingMaintDlg::RestoreCaption() {
  if (!m_bHasCurDev) return;
  SetCaption(TextA(kTextDeviceName) + ":" + m_curDev.DevName);
}

void CSettingMaintDlg::AskStorage() {
  if (!m_bHasCurDev) return;
  if (const DevInfo* dev = DeviceOfIp(m_curDev.IPAddr)) Send(*dev, maint::kStorageInfo);
}

void CSettingMaintDlg::ResetPanels() {
  const maint::PanelView empty = maint::EmptyPanel(m_panelCaptions);
  for (int p = 0; p < maint::kStoragePanels; ++p) {
    for (int l = 0; l < 4; ++l) SetWindowTextW(GetDlgItem(IDC_PANEL_BASE + p * kPanelStep + kPanelLabel + l), Qt8(empty.labels[l]));
  }
}

void CSettingMaintDlg::EnableStorageButtons(bool on) {
  for (int p = 0; p < maint::kStoragePanels; ++p) {
    for (int b : {kPanelFormat, kPanelUnmount}) {
      if (QWidget* button = GetDlgItem(IDC_PANEL_BASE + p * kPanelStep + b)) button->setEnabled(on);
    }
  }
}

void CSettingMaintDlg::ShowPanels(const std::vector<maint::Disk>& disks) {
  const size_t shown = std::min<size_t>(disks.size(), maint::kStoragePanels);
  for (size_t p = 0; p < shown; ++p) {
    const maint::PanelView view = maint::ViewOfDisk(disks[p], m_panelCaptions);
    const int base = IDC_PANEL_BASE + static_cast<int>(p) * kPanelStep;
    for (int l = 0; l < 4; ++l) SetWindowTextW(GetDlgItem(base + kPanelLabel + l), Qt8(view.labels[l]));
    GetDlgItem(base + kPanelFormat)->setEnabled(view.formatEnabled);
    GetDlgItem(base + kPanelUnmount)->setEnabled(view.unmountEnabled);
  }
  for (int p = 0; p < maint::kStoragePanels; ++p) GetDlgItem(IDC_PANEL_BASE + p * kPanelStep)->update();
}

void CSettingMaintDlg::OnBnClickedFormat(int panel) { StartStorageCommand(panel, true); }

void CSettingMaintDlg::OnBnClickedUnmount(int panel) { StartStorageCommand(panel, false); }

void CSettingMaintDlg::StartStorageCommand(int panel, bool format) {
  if (!m_bHasCurDev || maint::StorageName(panel) == nullptr) return;
  if (!Ask(format ? Question::kFormat : Question::kUnmount, format ? kTextAskFormat : kTextAskUnmount)) return;
  const DevInfo* dev = DeviceOfIp(m_curDev.IPAddr);
  if (dev == nullptr) return;
  WriteLog(6, "CSettingMaintDlg: %s %s of DevName=%s", format ? "format" : "unmount", maint::StorageName(panel),
           dev->DevName);
  Send(*dev, format ? maint::kStorageFormat : maint::kStorageUnmount, maint::StorageBody(panel));
  SetCaption(TextA(kTextDeviceName) + ":" + m_curDev.DevName + "   " + TextA(format ? kTextFormatting : kTextUnmounting));
  (format ? m_busy.format : m_busy.unmount) = 1;
  EnableStorageButtons(false);
  SetTimer(TIMER_STORAGE, kStorageTimeoutMs);
}

void CSettingMaintDlg::OnStorageAnswer(bool format, LONG result) {
  AskStorage();
  RestoreCaption();
  if (format) {
    ShowMsg(result == 0 ? kTextFormatSuccess : kTextFormatFailed);
    m_busy.format = 0;
  } else {
    ShowMsg(result == 0 ? kTextUnmountSuccess : kTextUnmountFailed);
    m_busy.unmount = 0;
  }
  if (!m_busy.format && !m_busy.unmount) KillTimer(TIMER_STORAGE);
}

void CSettingMaintDlg::OnStorageList(LONG gimbroId, LONG result, const std::string& text) {
  if (result != 0) {
    // The device does not list its disks (a camera spoken to in ONVIF has
    // none to show): said on the caption line of the device it answered for.
    WriteLog(3, "CSettingMaintDlg: storage list refused, GimbroId=%ld, result=%ld", static_cast<long>(gimbroId),
             static_cast<long>(result));
    const DevInfo* dev = DeviceOfId(gimbroId);
    if (m_bHasCurDev && dev != nullptr && std::strcmp(dev->IPAddr, m_curDev.IPAddr) == 0 && !m_busy.format &&
        !m_busy.unmount) {
      SetCaption(TextA(kTextDeviceName) + ":" + m_curDev.DevName + "   " + TextA(kTextRefused));
    }
    return;
  }
  const auto disks = maint::ParseStorage(text);
  if (!disks) {
    WriteLog(3, "CSettingMaintDlg::OnMaintResponse(): Parse remote rec file failed.");
    return;
  }
  ShowPanels(*disks);
}

// ---- answers

void CSettingMaintDlg::OnVersion(LONG gimbroId, const std::string& text) {
  DevInfo* dev = OnlineDeviceOfId(gimbroId);
  if (dev == nullptr) return;
  Row* row = nullptr;
  for (Row& r : m_rows) {
    if (r.devId == dev->DevId) {
      row = &r;
      break;
    }
  }
  if (row != nullptr) {
    if (row->status == Status::kRebooting) row->status = Status::kNone;  // the device is back
  } else {
    Row fresh;
    fresh.devId = dev->DevId;
    fresh.ip = dev->IPAddr;
    m_rows.push_back(fresh);
    row = &m_rows.back();
    m_pList->InsertItem(0, fresh.devId);
    m_pList->SetItemText(0, kColIp, fresh.ip);
  }
  const std::optional<std::string> version = maint::ParseVersion(text);
  if (version) row->version = *version;
  ShowRow(*row);
  int& retries = m_versionRetries[row->ip];
  if (version) {
    retries = 0;
    return;
  }
  // A device that keeps answering nonsense is asked a few times, not forever.
  if (retries >= kMaxVersionRetries) {
    WriteLog(3, "CSettingMaintDlg: no file-system version from DevName=%s; not asked again", dev->DevName);
    return;
  }
  ++retries;
  WriteLog(3, "CSettingMaintDlg: no file-system version from DevName=%s; asked again", dev->DevName);
  Send(*dev, maint::kSystemVersionGet);
}

void CSettingMaintDlg::OnRestoreAnswer(LONG gimbroId) {
  const DevInfo* dev = DeviceOfId(gimbroId);
  if (dev == nullptr) return;
  Row* row = RowOfIp(dev->IPAddr);
  if (row == nullptr) return;
  WriteLog(6, "CSettingMaintDlg: DevName=%s restored its defaults; reboot", dev->DevName);
  Send(*dev, maint::kSystemReboot);
  row->status = Status::kRebooting;
  ShowRow(*row);
}

void CSettingMaintDlg::OnUpgradeFailed(LONG gimbroId) {
  const DevInfo* dev = DeviceOfId(gimbroId);
  if (dev == nullptr) return;
  Row* row = RowOfIp(dev->IPAddr);
  if (row == nullptr) return;
  row->status = Status::kUpgradeFailed;
  ShowRow(*row);
  m_busy.upgrade = maint::StillRunning(m_rows, Transfer::kFirmware) ? 1 : 0;
}

void CSettingMaintDlg::OnTransferFailed(LONG gimbroId, LONG code) {
  constexpr LONG kUploadFailed = 15, kDownloadFailed = 17;
  for (Row& row : m_rows) {
    const DevInfo* dev = DeviceOfIp(row.ip);
    if (dev == nullptr || dev->GimbroId != gimbroId) continue;
    if (code == kUploadFailed) {
      // The upload that failed is the one the row runs.
      row.status = row.status == Status::kConfigUploading ? Status::kConfigUploadFailed : Status::kUploadFailed;
    } else if (code == kDownloadFailed && m_busy.download) {
      row.status = Status::kConfigDownloadFailed;
    } else {
      continue;
    }
    row.percent = -1;
    ShowRow(row);
  }
  m_busy.upgrade = maint::StillRunning(m_rows, Transfer::kFirmware) ? 1 : 0;
  m_busy.configUpload = maint::StillRunning(m_rows, Transfer::kConfigUpload) ? 1 : 0;
  m_busy.download = maint::StillRunning(m_rows, Transfer::kConfigDownload) ? 1 : 0;
}

LRESULT CSettingMaintDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MAINT_RESPONSE:
      if (!m_bInited) return 0;
      if (wParam == maint::kSystemVersionGet || wParam == maint::kStorageInfo) {
        const auto* reply = reinterpret_cast<const MaintResponse*>(lParam);
        if (reply == nullptr) return 0;
        if (wParam == maint::kSystemVersionGet) {
          OnVersion(reply->gimbroId, reply->text);
        } else {
          OnStorageList(reply->gimbroId, maint::SplitReply(reply->response).result, reply->text);
        }
      } else if (wParam == maint::kConfigRestore) {
        OnRestoreAnswer(static_cast<LONG>(lParam));
      } else if (wParam == kMaintRebootFailed) {
        OnUpgradeFailed(static_cast<LONG>(lParam));
      }
      return 0;
    case WM_STORAGE_FORMAT_RESPONSE:
      if (m_bInited) OnStorageAnswer(true, static_cast<LONG>(wParam));
      return 0;
    case WM_STORAGE_UNMOUNT_RESPONSE:
      if (m_bInited) OnStorageAnswer(false, static_cast<LONG>(wParam));
      return 0;
    case WM_FILE_TRANSFER_EVENT:
      if (m_bInited) OnTransferFailed(static_cast<LONG>(wParam), static_cast<LONG>(lParam));
      return 0;
    default:
      return CConfigPanel::OnMessage(msg, wParam, lParam);
  }
}

void CSettingMaintDlg::OnTimer(UINT_PTR id) {
  switch (id) {
    case TIMER_UPGRADE: OnProgressTick(Transfer::kFirmware); break;
    case TIMER_CONFIG_UPLOAD: OnProgressTick(Transfer::kConfigUpload); break;
    case TIMER_CONFIG_DOWNLOAD: OnProgressTick(Transfer::kConfigDownload); break;
    case TIMER_STORAGE:
      KillTimer(TIMER_STORAGE);
      m_busy.format = 0;
      m_busy.unmount = 0;
      AskStorage();
      RestoreCaption();
      break;
    default: CConfigPanel::OnTimer(id); break;
  }
}
