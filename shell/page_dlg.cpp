#include "shell/page_dlg.h"

#include <QMenu>
#include <QMouseEvent>

#include "core/client_log.h"
#include "core/user_info.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "shell/device_list_dlg.h"
#include "shell/module_rights.h"
#include "shell/view_state.h"
#include "ui/image_file_button.h"
#include "ui/picture_resource.h"

namespace {

constexpr int kMapListButton = 1255;
constexpr UINT kMenuTexts[3] = {948, 949, 957};
constexpr int kFirstTab = 1;

}  // namespace

CPageDlg::CPageDlg(CPageHost* host, QWidget* parent) : CDialog(IDD, parent), m_pHost(host) {}

BOOL CPageDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  for (size_t i = 0; i < m_strPictures.size(); ++i)
    m_strPictures[i] = paths::ProgramFolder() + "Images\\tab" + std::to_string(i + 1) + ".png";

  for (const StripPiece& piece : TabStripLayout(kFirstTab)) {
    auto* button = ReplaceDlgItem(piece.id, new CImageFileButton(this));
    m_buttons[piece.id] = button;
    if (piece.opensTab != 0) OnClicked(piece.id, [this, tab = piece.opensTab] { OnTabClicked(tab); });
    if (!piece.isTab) continue;
    const NavTab* tab = FindNavTab(piece.id);
    button->SetCaptionW(LoadStringW(tab->caption).toStdWString());
    button->installEventFilter(this);
    OnClicked(piece.id, [this, id = piece.id] { OnTabClicked(id); });
  }
  ApplyStrip(m_nChosenTab);
  m_buttons[1017]->show();
  m_buttons[1286]->show();

  m_pMonitorMenu = new QMenu(this);
  for (int k = 0; k < 3; ++k) {
    QAction* action = m_pMonitorMenu->addAction(QString());
    action->setCheckable(true);
    action->setData(ID_MOVE_TO_SCREEN1 + k);
    QObject::connect(action, &QAction::triggered, this, [this, k] { m_pHost->MoveModuleToScreen(k + 1); });
  }
  QObject::connect(m_pMonitorMenu, &QMenu::aboutToShow, this, [this] { OnInitMenuPopup(); });

  m_bInited = 1;
  return TRUE;
}

void CPageDlg::ApplyStrip(int chosenTab) {
  for (const StripPiece& piece : TabStripLayout(chosenTab)) {
    auto found = m_buttons.find(piece.id);
    if (found == m_buttons.end()) continue;
    CImageFileButton* button = found->second;
    button->setGeometry(piece.x, 0, piece.width, piece.height);
    const int number = piece.picture[3] - '0';  // "tabN.png"
    button->SetImageFile(m_strPictures[static_cast<size_t>(number - 1)]);
    if (piece.isTab) button->SetTextColor(piece.captionColour);
    button->SetIconFile(piece.icon.empty() ? std::string() : PictureResourcePath(piece.icon, "PNG"));
  }
}

void CPageDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  if (m_bInited) ApplyStrip(m_nChosenTab);
}

void CPageDlg::OnBnClickedVideo() { OnTabClicked(1012); }
void CPageDlg::OnBnClickedRecord() { OnTabClicked(1013); }
void CPageDlg::OnBnClickedAlarm() { OnTabClicked(1014); }
void CPageDlg::OnBnClickedConfig() { OnTabClicked(1015); }
void CPageDlg::OnBnClickedTVWall() { OnTabClicked(1016); }
void CPageDlg::OnBnClickedMap() { OnTabClicked(1017); }

void CPageDlg::SwitchModule(int module) {
  switch (module) {
    case kModuleLive: m_pHost->ShowVideoModule(); break;
    case kModuleRecord: m_pHost->ShowRecordModule(); break;
    case kModuleAlarm: m_pHost->ShowAlarmModule(); break;
    case kModuleCfg: m_pHost->ShowConfigModule(); break;
    case kModuleWall: m_pHost->ShowTVWallModule(); break;
    case kModuleMap: m_pHost->ShowMapModule(); break;
    default: break;
  }
}

void CPageDlg::OnTabClicked(int tabId) {
  const NavTab* tab = FindNavTab(tabId);
  if (tab == nullptr) return;
  if (!HasTabRight(*tab, g_nCurRights)) {
    m_pHost->ShowResMsg(LoadStringW(tab->refusal).toStdWString(), 2);
    return;
  }
  if (tab->module != kModuleLive && m_pHost->GetModuleMonitor(tab->module) != 0) return;  // on an extension monitor
  if (m_bInited) SwitchModule(tab->module);
  m_nChosenTab = tab->number;
  ApplyStrip(m_nChosenTab);
  if (CDeviceListDlg* panel = m_pHost->GetDeviceListDlg()) {
    if (QWidget* mapList = panel->GetDlgItem(kMapListButton)) mapList->setEnabled(g_nCurModule == kModuleMap);
  }
  m_pHost->RedrawCaptionBackground();
}

bool CPageDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    for (const auto& [id, button] : m_buttons) {
      if (button != watched) continue;
      OnTabRButtonDown(id, static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
      return true;
    }
  }
  return CDialog::eventFilter(watched, event);
}

void CPageDlg::OnTabRButtonDown(int tabId, QPoint globalPos) {
  if (m_pHost->GetExtScreenCount() < 1 || !m_pHost->IsMultiScreen()) return;
  const NavTab* tab = FindNavTab(tabId);
  if (tab == nullptr || tab->menuLog == nullptr) return;  // the video view tab has no menu
  if (tab->module == g_nCurModule || !HasTabRight(*tab, g_nCurRights)) return;
  m_hMenuTab = m_buttons[tabId];
  m_pMonitorMenu->popup(globalPos);
}

void CPageDlg::OnInitMenuPopup() {
  const NavTab* tab = nullptr;
  for (const auto& [id, button] : m_buttons)
    if (button == m_hMenuTab) tab = FindNavTab(id);
  if (tab == nullptr || tab->menuLog == nullptr) return;
  const int monitor = m_pHost->GetModuleMonitor(tab->module);
  const QList<QAction*> actions = m_pMonitorMenu->actions();
  for (int k = 0; k < actions.size(); ++k) {
    actions[k]->setText(LoadStringW(kMenuTexts[k]));
    actions[k]->setChecked(monitor == k + 1);
  }
  WriteLog(6, tab->menuLog, monitor);
}
