#include "harlen/link/main/dlg_main.h"

#include <QWidget>
#include <cstring>

#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/controls/tab_ctrl_ex.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/main/config_transfer.h"
#include "harlen/link/main/nvr_reply_relay.h"
#include "harlen/link/main/upgrade_session.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/link/sections/nvr_ctrl_loader.h"
#include "harlen/link/xml/field_text.h"

namespace {

constexpr size_t kHostWidth = 260;

}  // namespace

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
}

void CDlgMain::ConnectNvr() {
  if (m_pLink != nullptr && (m_strLinkHost != m_szHost || m_nLinkPort != m_nPort)) DeleteLink();
  if (m_pLink == nullptr) {
    m_pLink = new CNVRMCInf;
    m_pRelay = std::make_unique<NvrReplyRelay>(GetSafeHwnd(), ++m_nLinkGeneration);
    m_strLinkHost = m_szHost;
    m_nLinkPort = m_nPort;
  }
  m_pLink->Init();
  if (!m_pLink->HasSendBuffer()) m_pLink->GiveSendBuffer(NVRMC_SEND_BUFFER_SIZE);
  if (m_pLink->Connect(m_szHost, m_nPort) != 0) HarlenMessage(this, IDS_MSG_CONNECT_FAILED);
  if (!m_pLink->HasReplyCallback()) m_pLink->SetReplyCallback(&NvrReplyRelay::Callback, m_pRelay.get());
  m_pLink->GetConfig(NVR_SECTION_ALL);
  m_pLink->QueryStatus(NVRMC_STATUS_DISK);
  m_pLink->QueryStatus(NVRMC_STATUS_ONLINEUSER);
  m_pLink->QueryStatus(NVRMC_STATUS_CODERATE);
  m_pLink->QueryStatus(NVRMC_STATUS_TIME);
  m_bClosing = false;
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

void CDlgMain::HandleReply(const NvrReply& reply) {
  if (m_bClosing) return;
  if (reply.command == NVRMC_CMD_GET_CONFIG_REPLY) {
    if (reply.argument != NVR_SECTION_ALL || !reply.hasData || reply.data.empty()) return;
    if (m_bExportPending) {
      m_bExportPending = false;
      if (!WriteExportFile(m_strExportPath, reply.data)) HarlenMessage(this, IDS_MSG_EXPORT_FAILED);
      return;
    }
    if (!LoadWholeConfig(reply.data, GlobalNvrConfig())) return;
    m_channelPage.FillFromConfig();
    m_netPage.FillFromConfig();
    m_paramPage.FillFromConfig();
    m_devPage.FillFromConfig();
    m_sysPage.SelectMaintainMode(g_SystemManage.mode);
    m_userPage.FillFromConfig();
    m_recPage.FillFromConfig();
    m_holidayPage.FillFromConfig();
    m_alarmPage.FillFromConfig();
    return;
  }
  if (reply.command != NVRMC_CMD_CONTROL_REPLY || !reply.hasData) return;
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

void CDlgMain::OnOK() {
  // Every section goes out even when one fails; the user hears of any that did not.
  const int failed = SendAllSections(m_pLink, GlobalNvrConfig());
  if (failed > 0) {
    HarlenMessage(this, IDS_MSG_SAVE_FAILED);
    return;  // a popup stays open, so nothing edited is lost
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
