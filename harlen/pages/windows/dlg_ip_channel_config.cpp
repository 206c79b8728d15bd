#include "harlen/pages/windows/dlg_ip_channel_config.h"

#include <tinyxml.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>
#include <algorithm>
#include <cstring>
#include <iterator>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/main/nvr_reply_relay.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/section_xml.h"
#include "harlen/pages/common/checked_edits.h"
#include "harlen/pages/common/dlg_copy_to.h"
#include "harlen/pages/common/page_text.h"
#include "harlen/pages/windows/ip_channel_rules.h"
#include "platform/post_message.h"

namespace {

using Dlg = CDlgIpChannelConfig;

constexpr int kTcpItem = 1;
constexpr UINT_PTR kSearchTimer = 1;
constexpr int kUserChars = 32;
// The check state a row had before its latest change, kept in the row.
constexpr int kLastCheckRole = Qt::UserRole;

// The edits of the selected camera's network fields, in the record's order.
constexpr int kCameraEdits[] = {1004, 1005, 1006, 1007, 1008};

QTreeWidgetItem* NewCheckRow(const QStringList& texts) {
  auto* item = new QTreeWidgetItem(texts);
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(0, Qt::Unchecked);
  item->setData(0, kLastCheckRole, false);
  return item;
}

// True when the row's check differs from what it was; the new state is kept.
bool CheckChanged(QTreeWidgetItem* item, bool& checked) {
  checked = item->checkState(0) == Qt::Checked;
  if (item->data(0, kLastCheckRole).toBool() == checked) return false;
  item->setData(0, kLastCheckRole, checked);
  return true;
}

void SetRowCheck(QTreeWidgetItem* item, bool checked) {
  if (item != nullptr) item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

QString EditText(const CWnd* wnd, int id) {
  const auto* edit = DlgItem<QLineEdit>(wnd, id);
  return edit != nullptr ? edit->text() : QString();
}

void SetEditText(const CWnd* wnd, int id, const QString& text) {
  if (auto* edit = DlgItem<QLineEdit>(wnd, id)) edit->setText(text);
}

}  // namespace

CDlgIpChannelConfig::CDlgIpChannelConfig(QWidget* parent) : CRgbDialog(IDD, parent) {}

CDlgIpChannelConfig::~CDlgIpChannelConfig() = default;

void CDlgIpChannelConfig::SetNvrAddress(const char* host, uint16_t port) {
  CopyFieldText(m_szHost, host != nullptr ? host : "");
  m_nPort = port;
}

BOOL CDlgIpChannelConfig::OnInitDialog() {
  CRgbDialog::OnInitDialog();
  m_pChannels = DlgItem<QTreeWidget>(this, IDC_LIST_CHANNELS);
  if (m_pChannels != nullptr) {
    SetUpReportList(m_pChannels, {QStringLiteral("CH"), QStringLiteral("IP")}, {56, 150});
    for (int i = 0; i < kIpcChannels; ++i) m_pChannels->addTopLevelItem(NewCheckRow({QString::number(i + 1)}));
    QObject::connect(m_pChannels, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { OnChannelRowChanged(item); });
    QObject::connect(m_pChannels, &QTreeWidget::itemDoubleClicked, this,
                     [this](QTreeWidgetItem* item) { ShowChannelOfRow(m_pChannels->indexOfTopLevelItem(item)); });
  }
  m_pFound = DlgItem<QTreeWidget>(this, IDC_LIST_FOUND);
  if (m_pFound != nullptr) {
    SetUpReportList(m_pFound, QStringList{QStringLiteral("IP")} + LoadStrings(IDS_IPC_COL_PROTOCOL, IDS_IPC_COL_NAME),
                    {110, 64, 50, 120});
    QObject::connect(m_pFound, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { OnFoundRowChanged(item); });
    QObject::connect(m_pFound, &QTreeWidget::itemDoubleClicked, this,
                     [this](QTreeWidgetItem* item) { SelectCamera(m_pFound->indexOfTopLevelItem(item)); });
  }

  QStringList channels;
  const QString channelText = harlenres::LoadString(IDS_CHANNEL_N);
  for (int i = 1; i <= kIpcChannels; ++i) channels << QString(channelText).replace(QStringLiteral("%d"), QString::number(i));
  FillDropList(this, IDC_COMBO_CHANNEL, channels);
  FillDropList(this, IDC_COMBO_MODE, LoadStrings(IDS_MAIN_STREAM, IDS_SUB_STREAM));
  FillDropList(this, IDC_COMBO_NETMODE, {QStringLiteral("UDP"), QStringLiteral("TCP")});
  SetCurSel(this, IDC_COMBO_NETMODE, kTcpItem);
  if (auto* channel = DlgItem<QComboBox>(this, IDC_COMBO_CHANNEL)) {
    QObject::connect(channel, &QComboBox::currentIndexChanged, this, [this] { ShowChannel(); });
  }
  if (auto* mode = DlgItem<QComboBox>(this, IDC_COMBO_MODE)) {
    QObject::connect(mode, &QComboBox::activated, this, [this](int item) {
      if (const int c = CurrentChannel(); c >= 0) m_table.entries[c].streammode = static_cast<uint8_t>(item);
    });
  }
  if (auto* net = DlgItem<QComboBox>(this, IDC_COMBO_NETMODE)) {
    QObject::connect(net, &QComboBox::activated, this, [this](int item) {
      if (const int c = CurrentChannel(); c >= 0) m_table.entries[c].netmode = static_cast<uint8_t>(item);
    });
  }

  if (auto* ip = DlgItem<QLineEdit>(this, IDC_EDIT_IP)) ip->setReadOnly(true);
  if (auto* port = DlgItem<QLineEdit>(this, IDC_EDIT_PORT)) {
    port->setMaxLength(5);
    // The current channel's port; a text that is no port from 1 to 65535 is not stored.
    WatchPortEdit(port, [this]() -> uint16_t* {
      const int c = CurrentChannel();
      return c >= 0 ? &m_table.entries[c].port : nullptr;
    });
  }
  if (auto* user = DlgItem<QLineEdit>(this, IDC_EDIT_USER)) {
    user->setMaxLength(kUserChars);
    QObject::connect(user, &QLineEdit::textEdited, this, [this](const QString& text) {
      if (const int c = CurrentChannel(); c >= 0) StoreFieldQText(m_table.entries[c].username, text);
    });
  }
  if (auto* password = DlgItem<QLineEdit>(this, IDC_EDIT_PASSWORD)) {
    password->setMaxLength(kUserChars);
    QObject::connect(password, &QLineEdit::textEdited, this, [this](const QString& text) {
      if (const int c = CurrentChannel(); c >= 0) StoreFieldQText(m_table.entries[c].passwd, text);
    });
  }

  OnClicked(IDC_BTN_SEARCH, [this] { OnSearch(); });
  OnClicked(IDC_BTN_ALL, [this] { OnAll(); });
  OnClicked(IDC_BTN_DELETE, [this] { OnDelete(); });
  OnClicked(IDC_BTN_MODIFY, [this] { OnModify(); });
  OnClicked(IDC_BTN_COPY_TO, [this] { OnCopyTo(); });
  OnClicked(IDC_CHECK_USED, [this] { OnUsedClicked(); });
  ShowChannel();
  return TRUE;
}

void CDlgIpChannelConfig::DeleteLink() {
  m_link.Drop();
  EndSearch();  // a search of the old link has no result to wait for
  m_bTableLoaded = false;
}

// The next press searches again.
void CDlgIpChannelConfig::EndSearch() {
  m_nSearchSent = 0;
  KillTimer(kSearchTimer);
}

void CDlgIpChannelConfig::ConnectNvr() {
  if (m_link.Get() == nullptr) EndSearch();
  m_bTableLoaded = false;
  m_link.Connect(m_szHost, m_nPort, NVR_SECTION_IPCCHANNEL);
}

LRESULT CDlgIpChannelConfig::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NVR_REPLY:
      if (const NvrReply* reply = m_link.CurrentReply(wParam, lParam)) HandleReply(*reply);
      return 0;
    case WM_IPC_SEARCH_RESULT:
      AddFoundRows();
      return 0;
    case WM_IPC_CHANNEL_CHANGED:
      OnChannelChanged(wParam == 1, static_cast<int>(lParam));
      return 0;
    default:
      return CRgbDialog::OnMessage(msg, wParam, lParam);
  }
}

void CDlgIpChannelConfig::HandleReply(const NvrReply& reply) {
  const bool table = reply.command == NVRMC_CMD_GET_CONFIG_REPLY && reply.argument == NVR_SECTION_IPCCHANNEL;
  const bool search = reply.command == NVRMC_CMD_SEARCH_IPC_REPLY;
  if (search) EndSearch();  // a result came, even an empty one
  if ((!table && !search) || reply.data.empty()) return;
  TiXmlDocument doc;
  if (!ParseXmlText(reply.data, doc) || doc.RootElement() == nullptr) return;
  if (table) {
    IpcChannelTable loaded = {};
    if (CHarlenLoader().LoadConfIPCChannel(doc.RootElement(), loaded) != 0) return;
    m_table = loaded;
    m_table.count = kIpcChannels;
    m_bTableLoaded = true;
    FillChannelList();
    ShowChannel();
    return;
  }
  IpcSearchList result = {};
  if (CHarlenLoader().LoadAllFindroHeadInfo(doc.RootElement(), result) != 0) return;
  if (AppendFoundCameras(m_found, result) > 0) PostMessage(GetSafeHwnd(), WM_IPC_SEARCH_RESULT, 0, 0);
}

void CDlgIpChannelConfig::FillChannelList() {
  if (m_pChannels == nullptr) return;
  for (int i = 0; i < kIpcChannels && i < m_pChannels->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = m_pChannels->topLevelItem(i);
    row->setText(1, FieldQText(m_table.entries[i].ip));
    SetRowCheck(row, m_table.entries[i].used != 0);
  }
}

void CDlgIpChannelConfig::AddFoundRows() {
  if (m_pFound == nullptr) return;
  for (int i = m_pFound->topLevelItemCount(); i < static_cast<int>(m_found.count); ++i) {
    const IpcHeadInfo& camera = m_found.cameras[i];
    m_pFound->addTopLevelItem(NewCheckRow({DottedQText(camera.ip),
                                           camera.rtpoverrtsp != 0 ? QStringLiteral("Rtp") : QStringLiteral("Rtsp"),
                                           QString::number(camera.ptzport), FieldQText(camera.serial)}));
  }
  // The cameras that a ticked channel carries are shown ticked.
  if (m_pChannels == nullptr) return;
  for (int c = 0; c < kIpcChannels && c < m_pChannels->topLevelItemCount(); ++c) {
    if (m_pChannels->topLevelItem(c)->checkState(0) != Qt::Checked) continue;
    const uint32_t address = ChannelAddress(m_table.entries[c]);
    for (int r = 0; r < m_pFound->topLevelItemCount() && r < static_cast<int>(m_found.count); ++r) {
      if (address != 0 && m_found.cameras[r].ip == address) SetRowCheck(m_pFound->topLevelItem(r), true);
    }
  }
}

void CDlgIpChannelConfig::OnFoundRowChanged(QTreeWidgetItem* item) {
  bool checked = false;
  if (m_pFound == nullptr || !CheckChanged(item, checked)) return;
  const int row = m_pFound->indexOfTopLevelItem(item);
  if (row < 0 || row >= static_cast<int>(m_found.count)) return;
  const IpcHeadInfo& camera = m_found.cameras[row];
  if (checked) {
    const CameraAssignment result = AssignCamera(m_table, camera);
    if (result.kind == CameraAssignment::kAssigned) {
      PostMessage(GetSafeHwnd(), WM_IPC_CHANNEL_CHANGED, 1, result.channel);
    } else if (result.kind == CameraAssignment::kFull) {
      SetRowCheck(item, false);  // no free channel: the camera stays unassigned
    }
  } else {
    const int channel = ReleaseCamera(m_table, camera);
    if (channel >= 0) PostMessage(GetSafeHwnd(), WM_IPC_CHANNEL_CHANGED, 0, channel);
  }
}

void CDlgIpChannelConfig::OnChannelChanged(bool assigned, int channel) {
  if (m_pChannels == nullptr || channel < 0 || channel >= kIpcChannels) return;
  QTreeWidgetItem* row = m_pChannels->topLevelItem(channel);
  if (row == nullptr) return;
  row->setText(1, assigned ? FieldQText(m_table.entries[channel].ip) : QString());
  SetRowCheck(row, assigned);
  ShowChannel();
}

void CDlgIpChannelConfig::OnChannelRowChanged(QTreeWidgetItem* item) {
  bool checked = false;
  if (m_pChannels == nullptr || !CheckChanged(item, checked)) return;
  const int channel = m_pChannels->indexOfTopLevelItem(item);
  if (channel < 0 || channel >= kIpcChannels) return;
  m_table.entries[channel].used = checked ? 1 : 0;
  ShowChannel();
}

void CDlgIpChannelConfig::OnSearch() {
  if (m_nSearchSent != 0 || m_link.Get() == nullptr) return;
  // Set until the result comes or the NVR has been silent for too long; a
  // search that could not be sent leaves it clear.
  if (m_link.Get()->SearchCameras() != 0) return;
  m_nSearchSent = 1;
  SetTimer(kSearchTimer, kSearchTimeoutMs);
}

void CDlgIpChannelConfig::OnTimer(UINT_PTR id) {
  if (id != kSearchTimer) {
    CRgbDialog::OnTimer(id);
    return;
  }
  // No answer came: the search is given up, and a late result is still taken.
  EndSearch();
}

void CDlgIpChannelConfig::OnAll() {
  if (m_pFound == nullptr) return;
  const int rows = std::min(m_pFound->topLevelItemCount(), kIpcSearchResults);
  for (int r = 0; r < rows; ++r) SetRowCheck(m_pFound->topLevelItem(r), true);
}

void CDlgIpChannelConfig::OnDelete() {
  if (m_pChannels == nullptr) return;
  for (QTreeWidgetItem* row : m_pChannels->selectedItems()) {
    const int channel = m_pChannels->indexOfTopLevelItem(row);
    if (channel < 0 || channel >= kIpcChannels) continue;
    row->setText(1, QString());
    std::memset(&m_table.entries[channel], 0, sizeof m_table.entries[channel]);
    SetRowCheck(row, false);
  }
  ShowChannel();
}

void CDlgIpChannelConfig::SelectCamera(int row) {
  if (row < 0 || row >= static_cast<int>(m_found.count)) return;
  const IpcHeadInfo& camera = m_found.cameras[row];
  const uint32_t addresses[] = {camera.ip, camera.mask, camera.gateway, camera.dns1, camera.dns2};
  for (size_t i = 0; i < std::size(kCameraEdits); ++i) SetEditText(this, kCameraEdits[i], DottedQText(addresses[i]));
  m_selected = camera;
}

void CDlgIpChannelConfig::OnModify() {
  if (m_selected.serial[0] == '\0') return;  // no camera chosen yet
  // A text that is no address would be sent as all ones and cut the camera
  // off the network: it is refused and the user asked to mend it.
  if (RefuseBadAddress(this, {1004, 1005, 1006, 1007, 1008}) != 0) return;
  uint32_t addresses[std::size(kCameraEdits)] = {};
  for (size_t i = 0; i < std::size(kCameraEdits); ++i) AddressFromQText(EditText(this, kCameraEdits[i]), addresses[i]);
  m_selected.ip = addresses[0];
  m_selected.mask = addresses[1];
  m_selected.gateway = addresses[2];
  m_selected.dns1 = addresses[3];
  m_selected.dns2 = addresses[4];
  // The NVR's acknowledgement is not waited for; a request that could not be
  // sent is said to have failed rather than to be done.
  const bool sent = m_link.Get() != nullptr && m_link.Get()->SetIpcNetParam(m_selected) == 0;
  HarlenMessage(this, sent ? IDS_MSG_OPERATION_DONE : IDS_MSG_CONNECT_FAILED);
}

void CDlgIpChannelConfig::OnCopyTo() {
  const int source = CurrentChannel();
  if (source < 0) return;
  int32_t flags[CDlgCopyTo::kBoxes] = {};
  CDlgCopyTo dlg(this);
  dlg.SetResult(flags);
  if (dlg.DoModal() != IDOK) return;
  CopyChannelSettings(m_table, source, flags);
  // The ticks of the channels written follow their copied "usable" state.
  if (m_pChannels == nullptr) return;
  for (int k = 0; k < kIpcChannels && k < m_pChannels->topLevelItemCount(); ++k) {
    if (k != source && flags[k] == 1) SetRowCheck(m_pChannels->topLevelItem(k), m_table.entries[k].used != 0);
  }
}

int CDlgIpChannelConfig::CurrentChannel() const {
  const int channel = GetCurSel(this, IDC_COMBO_CHANNEL);
  return channel >= 0 && channel < kIpcChannels ? channel : -1;
}

void CDlgIpChannelConfig::ShowChannelOfRow(int row) {
  if (row < 0 || row >= kIpcChannels) return;
  if (GetCurSel(this, IDC_COMBO_CHANNEL) == row) {
    ShowChannel();
  } else {
    SetCurSel(this, IDC_COMBO_CHANNEL, row);  // shows it
  }
}

void CDlgIpChannelConfig::ShowChannel() {
  const int c = CurrentChannel();
  if (c < 0) return;
  const IpcChannelEntry& entry = m_table.entries[c];
  CheckDlgButton(this, IDC_CHECK_USED, entry.used != 0);
  SetEditText(this, IDC_EDIT_IP, FieldQText(entry.ip));
  SetEditText(this, IDC_EDIT_PORT, QString::number(entry.port));
  SetEditText(this, IDC_EDIT_USER, FieldQText(entry.username));
  SetEditText(this, IDC_EDIT_PASSWORD, FieldQText(entry.passwd));
  SetCurSel(this, IDC_COMBO_MODE, entry.streammode);
  SetCurSel(this, IDC_COMBO_NETMODE, entry.netmode);
  OnUsedClicked();
}

void CDlgIpChannelConfig::OnUsedClicked() {
  const bool used = IsDlgButtonChecked(this, IDC_CHECK_USED);
  EnableDlgItems(this, {IDC_EDIT_IP, IDC_EDIT_PORT, IDC_COMBO_MODE, IDC_COMBO_NETMODE, IDC_EDIT_USER, IDC_EDIT_PASSWORD},
                 used);
  const int c = CurrentChannel();
  if (c < 0) return;
  m_table.entries[c].used = used ? 1 : 0;
  if (m_pChannels != nullptr) SetRowCheck(m_pChannels->topLevelItem(c), used);
}

void CDlgIpChannelConfig::OnOK() {
  // Only a table read from the NVR over this showing's link is sent back: a
  // window whose connection failed must not overwrite the NVR's channels
  // with what an earlier showing held.
  if (m_link.Get() != nullptr && m_bTableLoaded) {
    std::string text;
    CHarlenSaveString().SaveConfIPCChannel(m_table, text);
    if (!text.empty()) m_link.Get()->SetConfig(NVR_SECTION_IPCCHANNEL, text.data(), static_cast<int>(text.size()));
  }
  DeleteLink();
  hide();
}

void CDlgIpChannelConfig::OnCancel() {
  DeleteLink();
  hide();
}
