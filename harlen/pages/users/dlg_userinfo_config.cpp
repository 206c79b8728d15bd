#include "harlen/pages/users/dlg_userinfo_config.h"

#include <QTreeWidget>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/entry/harlen_module.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/main/dlg_main.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/text_codec.h"
#include "harlen/pages/common/page_text.h"
#include "harlen/pages/users/dlg_user_add.h"
#include "harlen/pages/users/dlg_user_right.h"
#include "harlen/pages/users/user_rules.h"

namespace {

QString Dotted(uint32_t address) { return QString::fromStdString(IpToString(address)); }

QString UserType(uint32_t type) {
  return type <= 1 ? harlenres::LoadString(IDS_USER_ADMIN + type) : QString::number(type);
}

}  // namespace

BOOL CDlgUserinfoConfig::OnInitDialog() {
  CRgbPage::OnInitDialog();
  const QStringList titles = LoadStrings(IDS_USER_COL_NAME, IDS_USER_COL_IP);
  m_pUsers = DlgItem<QTreeWidget>(this, IDC_LIST_USERS);
  if (m_pUsers != nullptr) SetUpReportList(m_pUsers, titles.mid(0, 3), {120, 110, 130});
  m_pOnline = DlgItem<QTreeWidget>(this, IDC_LIST_ONLINE);
  if (m_pOnline != nullptr) SetUpReportList(m_pOnline, QStringList{titles.value(0)} + titles.mid(3), {120, 100, 160, 130});
  OnClicked(IDC_BTN_RIGHTS, [this] { OnRights(); });
  OnClicked(IDC_BTN_DELETE, [this] { OnDelete(); });
  OnClicked(IDC_BTN_ADD, [this] { OnAdd(); });
  OnClicked(IDC_BTN_MODIFY, [this] { OnModify(); });
  OnClicked(IDC_BTN_REFRESH, [] {
    if (g_pDlgMain != nullptr && g_pDlgMain->GetLink() != nullptr) g_pDlgMain->GetLink()->QueryStatus(NVRMC_STATUS_ONLINEUSER);
  });
  return TRUE;
}

void CDlgUserinfoConfig::FillFromConfig() {
  if (m_pUsers == nullptr) return;
  m_pUsers->clear();
  const uint32_t count = std::min<uint32_t>(g_UserCfg.count, kNvrUsers);
  for (uint32_t i = 0; i < count; ++i) {
    const NvrUser& user = g_UserCfg.users[i];
    auto* row = new QTreeWidgetItem(m_pUsers);
    row->setText(0, FieldQText(user.username));
    row->setText(1, UserType(user.priority));
    row->setText(2, Dotted(user.iplimit));
  }
}

void CDlgUserinfoConfig::FillOnlineUsers(const OnlineUsers& users) {
  if (m_pOnline == nullptr) return;
  m_pOnline->clear();
  const uint32_t count = std::min<uint32_t>(users.count, kNvrUsers);
  for (uint32_t i = 0; i < count; ++i) {
    const OnlineUser& user = users.users[i];
    auto* row = new QTreeWidgetItem(m_pOnline);
    row->setText(0, FieldQText(user.name));
    row->setText(1, harlenres::LoadString(user.mode == 0 ? IDS_LOCAL : IDS_REMOTE));
    row->setText(2, LoginTimeText(user.time));
    row->setText(3, Dotted(user.ip));
  }
}

int CDlgUserinfoConfig::SelectedRow() const {
  if (m_pUsers == nullptr) return -1;
  QTreeWidgetItem* item = m_pUsers->currentItem();
  if (item == nullptr || !item->isSelected()) return -1;
  const int row = m_pUsers->indexOfTopLevelItem(item);
  return row < static_cast<int>(std::min<uint32_t>(g_UserCfg.count, kNvrUsers)) ? row : -1;
}

void CDlgUserinfoConfig::OnRights() {
  const int row = SelectedRow();
  if (row < 0 || !MayActOn(UserAction::kRights, FieldText(g_UserCfg.users[row].username), FieldText(g_szLoginUser))) {
    return;
  }
  CDlgUserRight dlg(this);
  dlg.SetUser(&g_UserCfg.users[row]);
  dlg.DoModal();
}

void CDlgUserinfoConfig::OnDelete() {
  const int row = SelectedRow();
  if (row < 0 || !MayActOn(UserAction::kDelete, FieldText(g_UserCfg.users[row].username), FieldText(g_szLoginUser))) {
    return;
  }
  if (!HarlenAskYesNo(this, IDS_MSG_USER_DELETE, IDS_CAPTION_CONFIG)) return;
  if (DeleteUser(g_UserCfg, row)) FillFromConfig();
}

void CDlgUserinfoConfig::OnAdd() {
  CDlgUserAdd dlg(this);
  dlg.SetUsers(&g_UserCfg);
  if (dlg.DoModal() == IDOK) FillFromConfig();
}

void CDlgUserinfoConfig::OnModify() {
  const int row = SelectedRow();
  if (row < 0 || !MayActOn(UserAction::kModify, FieldText(g_UserCfg.users[row].username), FieldText(g_szLoginUser))) {
    return;
  }
  CDlgUserAdd dlg(this);
  dlg.SetUsers(&g_UserCfg, row);
  if (dlg.DoModal() == IDOK) FillFromConfig();
}
