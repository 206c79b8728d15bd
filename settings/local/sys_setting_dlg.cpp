#include "settings/local/sys_setting_dlg.h"

#include <QKeyEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/user_settings.h"
#include "live/audio/broadcast_dlg.h"
#include "live/keyboard/kb_config_dlg.h"
#include "live/patrol/config_patrol_dlg.h"
#include "platform/string_table.h"
#include "relay/forward/forward_dlg.h"
#include "settings/local/set_switch_stream_dlg.h"
#include "settings/local/setting_alarm_audio.h"
#include "settings/local/setting_ptz_protocol.h"
#include "settings/local/setting_save_path.h"

namespace {

// Makes a page once, as a hidden child of the tab control.
template <class Page, class Make>
void MakePage(Page*& page, QWidget* parent, Make make) {
  if (page != nullptr) return;
  page = make();
  page->Create(Page::IDD, parent);
  page->hide();
}

// Tab texts by index (string ids).
constexpr UINT kTabTexts[] = {1052, 1053, 1054, 1055, 1056, 294, 1069, 1059};

}  // namespace

CSysSettingDlg::CSysSettingDlg(std::function<CPTZKeyboardCtrl*()> keyboard, QWidget* parent)
    : CDialog(IDD, parent), m_keyboard(std::move(keyboard)) {}

CSysSettingDlg::~CSysSettingDlg() = default;

BOOL CSysSettingDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pTab = new QTabWidget(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pTab);
  CreatePages();
  QWidget* const pages[] = {m_pSavePathPage, m_pPatrolPage, m_pPtzPage,       m_pKbPage,
                            m_pSwitchStreamPage, m_pAlarmAudioPage, m_pBroadcastPage};
  for (int i = 0; i < kTabForward; ++i) m_pTab->addTab(pages[i], LoadStringW(kTabTexts[i]));
  if (g_nLoginType == 0) m_pTab->addTab(m_pForwardPage, LoadStringW(kTabTexts[kTabForward]));
  m_pTab->setCurrentIndex(kTabStorage);
  QObject::connect(m_pTab, &QTabWidget::currentChanged, this, [this](int index) { OnTcnSelchangeTab(index); });
  setWindowTitle(LoadStringW(kCaptionText));
  return TRUE;
}

void CSysSettingDlg::CreatePages() {
  QWidget* parent = m_pTab != nullptr ? static_cast<QWidget*>(m_pTab) : this;
  MakePage(m_pSavePathPage, parent, [&] {
    auto* page = new CSettingSavePath(parent);
    page->SetHost(m_pHost);
    return page;
  });
  MakePage(m_pPatrolPage, parent, [&] { return new CConfigPatrol(parent); });
  MakePage(m_pPtzPage, parent, [&] {
    auto* page = new CSettingPtzProtocol(parent);
    page->SetHost(m_pHost);
    return page;
  });
  MakePage(m_pKbPage, parent, [&] { return new CKbConfig(m_keyboard, parent); });
  MakePage(m_pSwitchStreamPage, parent, [&] {
    auto* page = new CSetSwitchStreamDlg(parent);
    page->SetHost(m_pHost);
    return page;
  });
  MakePage(m_pForwardPage, parent, [&] { return new CForwardDlg(parent); });
  MakePage(m_pBroadcastPage, parent, [&] { return new CDlgBroadcast(parent); });
  MakePage(m_pAlarmAudioPage, parent, [&] {
    auto* page = new CSettingAlarmAudio(parent);
    page->SetHost(m_pHost);
    return page;
  });
}

void CSysSettingDlg::OnTcnSelchangeTab(int index) {
  if (index == kTabStorage && m_pSavePathPage != nullptr) m_pSavePathPage->ShowSavedPath();
  if (index == kTabBroadcast && m_pBroadcastPage != nullptr) m_pBroadcastPage->InitBroadcastDevTree();
}

void CSysSettingDlg::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: event->accept(); return;
    default: CDialog::keyPressEvent(event);
  }
}

void CSysSettingDlg::RebuildBroadcastTrees() {
  if (m_pBroadcastPage == nullptr) return;
  m_pBroadcastPage->InitSourceDevTree();
  m_pBroadcastPage->InitBroadcastDevTree();
}
