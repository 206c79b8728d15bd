#include "harlen/link/main/dlg_main.h"

#include <QWidget>
#include <cstring>

#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/controls/tab_ctrl_ex.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/main/config_transfer.h"
#include "harlen/link/main/nvr_reply_relay.h"
#include "harlen/link/main/save_report.h"
#include "harlen/link/main/upgrade_session.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/link/sections/nvr_ctrl_loader.h"
#include "harlen/link/xml/field_text.h"

namespace {

constexpr size_t kHostWidth = 260;

int g_configWaitMs = NVRMC_CONNECT_WAIT_MS;
int g_acksWaitMs = NVRMC_SEND_STALL_MS;

}  // namespace

void CDlgMain::SetReplyWaits(int configMs, int acksMs) {
  g_configWaitMs = configMs > 0 ? configMs : NVRMC_CONNECT_WAIT_MS;
  g_acksWaitMs = acksMs > 0 ? acksMs : NVRMC_SEND_STALL_MS;
}

CDlgMain::CDlgMain() : CRgbDialog(IDD), m_sysPage(this), m_devPage(this), m_diskPage(this) {}

CDlgMain::~CDlgMain() { DeleteLink(); }

CRgbDialog* CDlgMain::GetPage(int index) const {
  CRgbDialog* const pages[kPageCount] = {
      const_cast<CDlgDevParamConfig*>(&m_devPage),    const_cast<CDlgChannelConfig*>(&m_channelPage),
      const_cast<CDlgNetConfig*>(&m_netPage),         const_cast<CDlgParamConfig*>(&m_paramPage),
      const_cast<CDlgSysManageConfig*>(&m_sysPage),   const_cast<CDlgHardwareConfig*>(&m_diskPage),
      const_cast<CDlgAlarmConfig*>(&m_alarmPage),     const_cast<CDlgUserinfoConfig*>(&m_userPage),
      const_cast<CDlgRecParam*>(&m_recPage),          const_cast<CDlgHolidayConfig*>(&m_holidayPage)};
  return index >= 0 && index < kPageCount ? pages[index] : nullptr;
}

BOOL CDlgMain::OnInitDialog() {
  CRgbDialog::OnInitDialog();
  m_pTab = ReplaceDlgItem(IDC_TAB, new CTabCtrlEx());
  m_pTab->SetBkColor(kHarlenDialogColour);
  for (int i = 0; i < kPageCount; ++i) m_pTab->addTab(harlenres::LoadString(IDS_TAB_DEVICE + static_cast<UINT>(i)));

  for (int i = 0; i < kPageCount; ++i) {
    CRgbDialog* page = GetPage(i);
    page->Create(page->GetTemplateId(), m_pTab);
  }
  // The page area: the tab control's client area less a small border, below the row of tabs.
  const QRect client = m_pTab->rect();
  const RECT item = m_pTab->GetItemRect(0);
  const LONG row = item.bottom - item.top;
  RECT area;
  area.left = client.left() + 1;
  area.top = client.top() + 3 + row;
  area.right = client.left() + client.width() - 3;
  area.bottom = client.top() + client.height() - 3;  // kept inside the control rather than moved below it
  for (int i = 0; i < kPageCount; ++i) GetPage(i)->MoveWindow(area);

  m_pTab->setCurrentIndex(0);
  OnSelchangeTab();
  QObject::connect(m_pTab, &QTabBar::currentChanged, this, [this] { OnSelchangeTab(); });
  if (m_bEmbedded) {
    if (QWidget* cancel = GetDlgItem(IDCANCEL)) cancel->hide();
  }
  return TRUE;
}

void CDlgMain::OnSelchangeTab() {
  const int current = m_pTab != nullptr ? m_pTab->currentIndex() : 0;
  for (int i = 0; i < kPageCount; ++i) GetPage(i)->ShowWindow(i == current);
}

void CDlgMain::SetNvrAddress(const char* host, uint16_t port) {
  if (host == nullptr || std::strlen(host) >= kHostWidth) return;
  CopyFieldText(m_szHost, host);
  m_nPort = port;
}

void CDlgMain::SetExportPath(const std::string& path) {
  m_strExportPath = path;
  m_bExportPending = true;
}

void CDlgMain::DeleteLink() {
  m_bClosing = true;
  delete m_pLink;  // stops the receive thread: no callback runs afterwards
  m_pLink = nullptr;
  m_pRelay.reset();
  KillTimer(kConfigTimer);
  KillTimer(kAcksTimer);
  if (m_configRead == ConfigRead::kReading) m_configRead = ConfigRead::kNone;
  m_saveAcks.Reset();
  if (QWidget* ok = GetDlgItem(IDOK)) ok->setEnabled(true);
}

void CDlgMain::ConnectNvr() {
  if (m_pLink != nullptr && (m_strLinkHost != m_szHost || m_nLinkPort != m_nPort)) DeleteLink();
  if (m_pLink == nullptr) {
    m_pLink = new CNVRMCInf;
    m_pRelay = std::make_unique<NvrReplyRelay>(GetSafeHwnd(), ++m_nLinkGeneration);
    m_strLinkHost = m_szHost;
    m_nLinkPort = m_nPort;
    m_loaded.Clear();  // the records may be another NVR's, or stale: nothing is sent until read again
  }
  m_pLink->Init();
  if (!m_pLink->HasSendBuffer()) m_pLink->GiveSendBuffer(NVRMC_SEND_BUFFER_SIZE);
  const bool connected = m_pLink->Connect(m_szHost, m_nPort) == 0;
  if (!connected) HarlenMessage(this, IDS_MSG_CONNECT_FAILED);
  if (!m_pLink->HasReplyCallback()) m_pLink->SetReplyCallback(&NvrReplyRelay::Callback, m_pRelay.get());
  const bool asked = m_pLink->GetConfig(NVR_SECTION_ALL) == 0;
  m_pLink->QueryStatus(NVRMC_STATUS_DISK);
  m_pLink->QueryStatus(NVRMC_STATUS_ONLINEUSER);
  m_pLink->QueryStatus(NVRMC_STATUS_CODERATE);
  m_pLink->QueryStatus(NVRMC_STATUS_TIME);
  m_bClosing = false;
  if (asked) {
    m_configRead = ConfigRead::kReading;
    SetTimer(kConfigTimer, static_cast<UINT>(g_configWaitMs));
  } else {
    m_configRead = ConfigRead::kFailed;
    if (connected) HarlenMessage(this, IDS_MSG_CONFIG_UNREAD);  // else the connect failure said it
  }
}

LRESULT CDlgMain::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NVR_REPLY:
      // Replies of a link that was replaced or deleted are dropped here.
      if (m_pRelay != nullptr && wParam == m_pRelay->Generation()) {
        HandleReply(*reinterpret_cast<const NvrReply*>(lParam));
      }
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    default:
      return CRgbDialog::OnMessage(msg, wParam, lParam);
  }
}

void CDlgMain::OnTimer(UINT_PTR id) {
  if (id == kConfigTimer) {
    ConfigNotRead();
  } else if (id == kAcksTimer) {
    m_saveAcks.Expire();
    FinishSave();
  } else {
    CRgbDialog::OnTimer(id);
  }
}

void CDlgMain::HandleReply(const NvrReply& reply) {
  if (m_bClosing) return;
  if (reply.command == NVRMC_CMD_SET_CONFIG_REPLY) {
    OnSaveAck(reply.status);
    return;
  }
  if (reply.command == NVRMC_CMD_GET_CONFIG_REPLY) {
    if (reply.argument == NVR_SECTION_ALL) LoadWholeConfigReply(reply);
    return;
  }
  if (reply.status != 0 || reply.command != NVRMC_CMD_CONTROL_REPLY || !reply.hasData) return;
  CNvrCtrlLoader loader;
  switch (reply.argument) {
    case NVRMC_CTRL_FORMAT_DISK: {
      FormatProgress progress{};
      if (loader.Load_formatprogress(reply.data, progress) == 0) m_diskPage.ShowFormatProgress(progress);
      break;
    }
    case NVRMC_STATUS_DISK:
      if (loader.Load_status_disk(reply.data, g_DiskStatus) == 0) m_diskPage.FillDiskList();
      break;
    case NVRMC_STATUS_CODERATE: {
      StreamRates rates{};
      if (loader.Load_status_coderate(reply.data, rates) == 0) m_sysPage.ShowStreamRates(rates);
      break;
    }
    case NVRMC_STATUS_ONLINEUSER: {
      OnlineUsers users{};
      if (loader.Load_status_onlineuser(reply.data, users) == 0) m_userPage.FillOnlineUsers(users);
      break;
    }
    case NVRMC_STATUS_TIME: {
      DeviceTime time{};
      if (loader.Load_settime(reply.data, time) == 0) m_devPage.ShowDeviceTime(time);
      break;
    }
    default:
      break;
  }
}

void CDlgMain::LoadWholeConfigReply(const NvrReply& reply) {
  if (m_bExportPending) {
    if (reply.status != 0) {
      m_bExportPending = false;
      HarlenMessage(this, IDS_MSG_EXPORT_FAILED);
    } else if (!reply.data.empty()) {
      m_bExportPending = false;
      if (!WriteExportFile(m_strExportPath, reply.data)) HarlenMessage(this, IDS_MSG_EXPORT_FAILED);
    }
    return;
  }
  if (reply.status != 0) {
    ConfigNotRead();
    return;
  }
  if (reply.data.empty()) return;
  if (!LoadWholeConfig(reply.data, GlobalNvrConfig(), &m_loaded)) {
    ConfigNotRead();
    return;
  }
  if (m_loaded.Any() && m_configRead != ConfigRead::kRead) {
    m_configRead = ConfigRead::kRead;
    KillTimer(kConfigTimer);
  }
  m_channelPage.FillFromConfig();
  m_netPage.FillFromConfig();
  m_paramPage.FillFromConfig();
  m_devPage.FillFromConfig();
  m_sysPage.SelectMaintainMode(g_SystemManage.mode);
  m_userPage.FillFromConfig();
  m_recPage.FillFromConfig();
  m_holidayPage.FillFromConfig();
  m_alarmPage.FillFromConfig();
  if (!m_loaded.Any()) ConfigNotRead();
}

void CDlgMain::ConfigNotRead() {
  if (m_configRead != ConfigRead::kReading) return;
  m_configRead = ConfigRead::kFailed;
  KillTimer(kConfigTimer);
  HarlenMessage(this, IDS_MSG_CONFIG_UNREAD);
}

void CDlgMain::OnOK() {
  if (m_saveAcks.Pending()) return;  // the acknowledgements of the last OK are still awaited
  if (!m_loaded.Any()) {
    HarlenMessage(this, IDS_MSG_SAVE_UNREAD);
    return;
  }
  SaveAllSend send = SendLoadedSections(m_pLink, GlobalNvrConfig(), m_loaded);
  m_saveAcks.Begin(std::move(send.sent), std::move(send.notSent),
                   m_pLink != nullptr ? m_pLink->ConnectionCount() : 0);
  if (!m_saveAcks.Pending()) {
    FinishSave();
    return;
  }
  if (QWidget* ok = GetDlgItem(IDOK)) ok->setEnabled(false);
  SetTimer(kAcksTimer, static_cast<UINT>(g_acksWaitMs));
}

void CDlgMain::OnSaveAck(int status) {
  if (m_saveAcks.OnAck(status, m_pLink != nullptr ? m_pLink->ConnectionCount() : 0)) FinishSave();
}

void CDlgMain::FinishSave() {
  KillTimer(kAcksTimer);
  if (QWidget* ok = GetDlgItem(IDOK)) ok->setEnabled(true);
  const SaveOutcome& outcome = m_saveAcks.Outcome();
  if (!outcome.AllTaken()) {
    // The records keep the user's edits, and a popup stays open: OK can send them again.
    HarlenMessage(this, SaveReportText(outcome));
    return;
  }
  if (m_bEmbedded) {
    HarlenMessage(this, IDS_MSG_SAVED);
    return;
  }
  hide();
  DeleteLink();
}

void CDlgMain::OnCancel() {
  hide();
  DeleteLink();
}

void CDlgMain::OnClose() {
  hide();
  DeleteLink();
}
