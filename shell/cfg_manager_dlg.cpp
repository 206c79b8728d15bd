#include "shell/cfg_manager_dlg.h"

#include <QHideEvent>
#include <QShowEvent>

#include "core/app_data.h"
#include "core/rec_scheme.h"
#include "platform/string_table.h"
#include "settings/config_host.h"
#include "settings/record/default_rec_scheme.h"
#include "settings/hosts/dlg_remote_config.h"
#include "settings/devices/setting_dev_info_dlg.h"
#include "settings/local/setting_long_dlg.h"
#include "settings/maintenance/setting_maint_dlg.h"
#include "settings/record/setting_record_dlg.h"
#include "settings/users/setting_user_info_dlg.h"
#include "shell/config_tool_dlg.h"
#include "shell/user_list_dlg.h"
#include "shell/view_state.h"
#include "ui/image_button.h"

namespace {

constexpr int kToolHeight = 40;
constexpr int kColumnWidth = 220;
constexpr int kPageLeft = 225;
constexpr int kButtonWidth = 77;
constexpr int kButtonHeight = 28;

enum CfgPage { kPageDevices = 0, kPageUsers = 1, kPageRecord = 2, kPageRemote = 3, kPageMaint = 4 };

void Place(QWidget* widget, const RECT& rect) {
  if (widget) widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
}

void Show(QWidget* widget, bool show) {
  if (widget) widget->setVisible(show);
}

// The caption drawn over the button's picture, also its window text.
void SetCaption(CImageButton* button, UINT stringId) {
  if (button == nullptr) return;
  const QString caption = LoadStringW(stringId);
  button->SetCaptionW(caption.toStdWString());
  button->setText(caption);
}

template <class Page>
Page* CreatePage(QWidget* parent) {
  auto* page = new Page(parent);
  page->Create(Page::IDD, parent);
  return page;
}

}  // namespace

CCfgManagerDlg::CCfgManagerDlg(const RECT& rect, CConfigHost* host, QWidget* parent)
    : CConfigPanel(IDD, parent, "Images\\Pagebk.jpg"), m_rcCreate(rect), m_pHost(host) {}

CCfgManagerDlg::~CCfgManagerDlg() = default;  // the children go with the widget

CImageButton* CCfgManagerDlg::GetDefaultRecButton() const {
  return dynamic_cast<CImageButton*>(GetDlgItem(IDC_DEFAULT_REC));
}

CImageButton* CCfgManagerDlg::GetDetailButton() const { return dynamic_cast<CImageButton*>(GetDlgItem(IDC_DETAIL)); }

BOOL CCfgManagerDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pToolDlg = new CConfigToolDlg(this);
  m_pToolDlg->SetHost(m_pHost);
  m_pToolDlg->Create(CConfigToolDlg::IDD, this);
  m_pToolDlg->show();
  m_pToolDlg->SelectButton(CConfigToolDlg::IDC_DEV_CONFIG);

  // Slot of the device list panel (CDeviceListDlg, template 135): a placeholder
  // until SetDeviceListPanel puts the panel here.
  m_devList.widget = new QWidget(this);
  m_devList.widget->hide();

  m_pUserListDlg = new CUserListDlg(this);
  m_pUserListDlg->SetHost(m_pHost);
  m_pUserListDlg->Create(CUserListDlg::IDD, this);
  m_pUserInfoDlg = new CSettingUserInfoDlg(this);
  m_pUserInfoDlg->SetHost(m_pHost);
  m_pUserInfoDlg->Create(CSettingUserInfoDlg::IDD, this);
  m_pDevInfoDlg = CreatePage<CSettingDevInfoDlg>(this);
  m_pRecordDlg = new CSettingRecordDlg(this);
  m_pRecordDlg->SetHost(m_pHost);
  m_pRecordDlg->Create(CSettingRecordDlg::IDD, this);
  m_pLongDlg = CreatePage<CSettingLongDlg>(this);
  m_pRemoteConfigDlg = CreatePage<CDlgRemoteConfig>(this);
  m_pMaintDlg = CreatePage<CSettingMaintDlg>(this);

  for (int id : {IDC_DEFAULT_REC, IDC_DETAIL}) {
    CImageButton* button = ReplaceDlgItem(id, new CImageButton());
    button->SetImageResource(190, "PNG");
    button->hide();
  }
  {
    CsLock lock(&g_csAppData);
    const RecSchemeInfo* scheme = FindRecScheme(g_lstRecSchemeInfo, DefaultSchemeName());
    SetRecordButtonCaption(scheme != nullptr && scheme->OnOff != 0);
  }
  SetCaption(GetDetailButton(), 254);
  OnClicked(IDC_DEFAULT_REC, [this] { OnBnClickedDefaultRec(); });
  OnClicked(IDC_DETAIL, [this] { OnBnClickedDetail(); });

  m_bInited = 1;
  MoveWindow(m_rcCreate);
  ShowPage();
  return TRUE;
}

void CCfgManagerDlg::SetDeviceListPanel(CfgDeviceListPanel panel) {
  const bool shown = m_devList.widget != nullptr && !m_devList.widget->isHidden();
  delete m_devList.widget;
  m_devList = std::move(panel);
  if (m_devList.widget != nullptr) {
    m_devList.widget->setParent(this);
    m_devList.widget->setVisible(shown);
  }
  ShowPage();
}

RECT CCfgManagerDlg::RecordPageRect() const {
  return RECT{m_rcPage.left, m_rcPage.top + kToolHeight, m_rcPage.right, m_rcPage.bottom};
}

void CCfgManagerDlg::ShowPage() {
  if (!m_bInited) return;
  const LONG w = width(), h = height();
  Place(m_pToolDlg, RECT{0, 0, w, kToolHeight});
  const RECT column{0, kToolHeight, kColumnWidth, h};
  Place(m_devList.widget, column);
  Place(m_pUserListDlg, column);
  m_rcPage = RECT{kPageLeft, kToolHeight, w, h};
  Place(GetDlgItem(IDC_DEFAULT_REC),
        RECT{m_rcPage.left, m_rcPage.top, m_rcPage.left + kButtonWidth, m_rcPage.top + kButtonHeight});
  Place(GetDlgItem(IDC_DETAIL), RECT{m_rcPage.left + kButtonWidth, m_rcPage.top, m_rcPage.left + 2 * kButtonWidth,
                                     m_rcPage.top + kButtonHeight});
  Place(m_pRecordDlg, RecordPageRect());
  for (QWidget* page : std::initializer_list<QWidget*>{m_pDevInfoDlg, m_pUserInfoDlg, m_pLongDlg, m_pMaintDlg,
                                                       m_pRemoteConfigDlg})
    Place(page, m_rcPage);
}

void CCfgManagerDlg::HideDevicePage() {
  if (m_pDevInfoDlg == nullptr) return;
  m_pDevInfoDlg->OnStopSearch();
  m_pDevInfoDlg->hide();
}

void CCfgManagerDlg::HideRemoteConfigPage() {
  if (m_pRemoteConfigDlg == nullptr) return;
  m_pRemoteConfigDlg->HideRemoteConfig(0);
  m_pRemoteConfigDlg->hide();
}

void CCfgManagerDlg::ShowCfgPage(int code) {
  if (!m_bInited || code < kPageDevices || code > kPageMaint) return;
  g_nCfgPage = code;
  if (code == kPageDevices) ShowPage();
  const bool record = code == kPageRecord;
  // Hide what the other pages show.
  if (code != kPageDevices) HideDevicePage();
  if (code != kPageRemote) HideRemoteConfigPage();
  Show(m_pUserListDlg, code == kPageUsers);
  Show(m_pUserInfoDlg, code == kPageUsers);
  Show(m_pMaintDlg, code == kPageMaint);
  Show(m_pLongDlg, false);
  Show(m_pRecordDlg, false);  // shown by "Detail"
  Show(GetDlgItem(IDC_DEFAULT_REC), record);
  Show(GetDlgItem(IDC_DETAIL), record);
  Show(m_devList.widget, code != kPageUsers);

  if (m_pToolDlg != nullptr) m_pToolDlg->SelectButton(CConfigToolDlg::ButtonOfPage(code));
  switch (code) {
    case kPageDevices:
      if (m_devList.ShowOriginalGroup) m_devList.ShowOriginalGroup();
      Show(m_pDevInfoDlg, true);
      break;
    case kPageRecord:
      m_pRecordDlg->CreateDefaultScheme();
      if (m_devList.ShowRecSchemeTree) m_devList.ShowRecSchemeTree();
      m_pRecordDlg->InitDevTree();
      break;
    case kPageRemote:
      if (m_devList.RefreshDevTree) m_devList.RefreshDevTree();
      Show(m_pRemoteConfigDlg, true);
      break;
    case kPageMaint:
      if (m_devList.RefreshDevTree) m_devList.RefreshDevTree();
      break;
    default:
      break;
  }
}

void CCfgManagerDlg::SetRecordButtonCaption(int on) {
  SetCaption(GetDefaultRecButton(), on ? 253 : 252);
}

void CCfgManagerDlg::OnBnClickedDefaultRec() {
  int allRecording = 1;
  {
    CsLock lock(&g_csAppData);
    const DefaultRecSwitch result = SwitchDefaultScheme(g_lstRecSchemeInfo, DefaultSchemeName());
    if (result.scheme != nullptr) {
      m_pRecordDlg->ShowSchemeInfo(result.scheme);
      SetRecordButtonCaption(result.scheme->OnOff);
    }
    allRecording = result.allRecording;
  }
  if (m_pHost) m_pHost->SetAllRecording(allRecording);
}

void CCfgManagerDlg::OnBnClickedDetail() {
  Place(m_pRecordDlg, RecordPageRect());
  m_pRecordDlg->show();
}

void CCfgManagerDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  ShowPage();
}


void CCfgManagerDlg::showEvent(QShowEvent* event) {
  CDialog::showEvent(event);
  // The remote configuration page went with the manager when it was hidden.
  if (m_bInited && !event->spontaneous() && g_nCfgPage == kPageRemote) Show(m_pRemoteConfigDlg, true);
}

void CCfgManagerDlg::hideEvent(QHideEvent* event) {
  // A manager hidden by a module switch stops the LAN search of its device page
  // and lets go of the remote configuration; a minimised main window keeps them.
  if (!event->spontaneous()) {
    if (m_pDevInfoDlg != nullptr) m_pDevInfoDlg->OnStopSearch();
    HideRemoteConfigPage();
  }
  CDialog::hideEvent(event);
}
