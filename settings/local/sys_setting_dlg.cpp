#include "settings/local/sys_setting_dlg.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "core/user_settings.h"
#include "live/audio/broadcast_dlg.h"
#include "live/patrol/config_patrol_dlg.h"
#include "live/keyboard/kb_config_dlg.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "relay/forward/forward_dlg.h"

CSysSettingDlg::CSysSettingDlg(std::function<CPTZKeyboardCtrl*()> keyboard, QWidget* parent)
    : CDialog(IDD, parent), m_keyboard(std::move(keyboard)) {}

CSysSettingDlg::~CSysSettingDlg() = default;

BOOL CSysSettingDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pTab = new QTabWidget(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pTab);
  m_pPatrolPage = new CConfigPatrol(m_pTab);
  m_pPatrolPage->Create(CConfigPatrol::IDD, m_pTab);
  m_pTab->addTab(m_pPatrolPage, LoadStringW(kPatrolTabText));
  m_pKbPage = new CKbConfig(m_keyboard, m_pTab);
  m_pKbPage->Create(CKbConfig::IDD, m_pTab);
  m_pTab->addTab(m_pKbPage, LoadStringW(kKeyboardTabText));
  m_pBroadcastPage = new CDlgBroadcast(m_pTab);
  m_pBroadcastPage->Create(CDlgBroadcast::IDD, m_pTab);
  m_pTab->addTab(m_pBroadcastPage, LoadStringW(kBroadcastTabText));
  m_pForwardPage = new CForwardDlg(m_pTab);
  m_pForwardPage->Create(CForwardDlg::IDD, m_pTab);
  if (g_nLoginType == 0) {
    m_pTab->addTab(m_pForwardPage, LoadStringW(kForwardTabText));
  } else {
    m_pForwardPage->hide();
  }
  return TRUE;
}

void CSysSettingDlg::RebuildBroadcastTrees() {
  if (m_pBroadcastPage == nullptr) return;
  m_pBroadcastPage->InitSourceDevTree();
  m_pBroadcastPage->InitBroadcastDevTree();
}
