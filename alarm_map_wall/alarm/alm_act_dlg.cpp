#include "alarm_map_wall/alarm/alm_act_dlg.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "alarm_map_wall/alarm/alarm_list_columns.h"
#include "core/client_log.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/res_msg_dlg.h"
#include "live/grid/video_wnd.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "ui/sort_list_ctrl.h"

namespace {

constexpr COLORREF kRed = 0x0000FF;   // RGB(255, 0, 0)
constexpr COLORREF kBlack = 0x000000;

DevInfo* ListedDevice(const CString& name) {
  for (DevInfo& dev : g_lstDevInfo) {
    if (name == dev.DevName) return &dev;
  }
  return nullptr;
}

// The alarm list's column titles.
std::vector<CString> ListTitles() { return {LoadStringA(400), LoadStringA(401), LoadStringA(402)}; }

}  // namespace

CAlmActDlg::CAlmActDlg(QWidget* parent) : CDialog(IDD, parent) {}

CAlmActDlg::~CAlmActDlg() {
  m_pVideoWnd.reset();
  m_pMsgDlg.reset();
}

BOOL CAlmActDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  m_pMsgDlg = std::make_unique<CResMsgDlg>(this);
  m_pList = ReplaceDlgItem(IDC_ALARM_LIST, new CSortListCtrl(this));
  LayoutAlarmColumns(m_pList, ListTitles());
  QObject::connect(m_pList, &QAbstractItemView::doubleClicked, this,
                   [this](const QModelIndex& index) { OnDblclkAlarmList(index.row()); });

  m_pVideoWnd = std::make_unique<CVideoWnd>(this, TRUE, FALSE);
  m_pVideoWnd->Create(CVideoWnd::IDD, this);
  m_pVideoWnd->SetIndex(kPaneIndex);
  m_pVideoWnd->SetFullScreenCommand([this] { ToggleFullScreen(); });
  const QRect list = m_pList->geometry();
  const int left = list.right() + 1 + 5;
  m_pVideoWnd->SetWndPos(left, 2, std::max(0, width() - left - 5), std::max(0, height() - 4));
  m_pVideoWnd->show();

  SetWindowTextW(this, LoadStringW(238));
  SetButton(IDC_TALK, 239, true);
  SetButton(IDC_SOUND, 241, true);
  OnClicked(IDC_TALK, [this] { OnBnClickedTalk(); });
  OnClicked(IDC_SOUND, [this] { OnBnClickedSound(); });
  return TRUE;
}

void CAlmActDlg::SetButton(int id, UINT stringId, bool enabled) {
  QWidget* button = GetDlgItem(id);
  if (button == nullptr) return;
  SetWindowTextW(button, LoadStringW(stringId));
  button->setEnabled(enabled);
}

void CAlmActDlg::Notice(UINT stringId) {
  if (m_pMsgDlg) m_pMsgDlg->ShowMsg(LoadStringW(stringId).toStdWString(), 2);
}

bool CAlmActDlg::IsTalking() const { return m_pVideoWnd && m_pVideoWnd->IsTalking(); }

void CAlmActDlg::ShowRow(int row) {
  if (m_pList != nullptr && row >= 0 && row < m_pList->GetItemCount()) m_pList->SetItemTextColor(row, -1, kBlack);
}

void CAlmActDlg::AddAlarm(DevInfo* dev, const CString& text, const CString& time) {
  if (dev == nullptr || m_pList == nullptr) return;
  if (m_pList->GetItemCount() > kMaxRows - 1) m_pList->DeleteItem(m_pList->GetItemCount() - 1);
  m_pList->InsertItem(0, FixedText(dev->DevName));
  m_pList->SetItemText(0, 1, text);
  m_pList->SetItemText(0, 2, time);
  m_pList->SetItemTextColor(0, -1, kRed);
  LayoutAlarmColumns(m_pList, ListTitles());
  if (m_pVideoWnd && !m_pVideoWnd->IsBusy() && m_pVideoWnd->AddWatch(dev, FALSE) == 0) ShowRow(0);
}

void CAlmActDlg::OpenInPane(DevInfo* dev) {
  CVideoWnd* pane = m_pVideoWnd.get();
  if (!pane->IsBusy()) {
    pane->AddWatch(dev, FALSE);
    return;
  }
  if (FixedTextView(pane->WatchedDev().DevName) == FixedTextView(dev->DevName)) return;  // shown already
  if (pane->IsTalking()) pane->RequestSpeak();
  if (pane->IsSoundOn()) pane->OpenSound();
  SetButton(IDC_TALK, 239, true);
  SetButton(IDC_SOUND, 241, true);
  pane->StopWatch(TRUE);
  pane->AddWatch(dev, FALSE);
}

void CAlmActDlg::OnDblclkAlarmList(int row) {
  if (m_pList == nullptr || row < 0 || row >= m_pList->GetItemCount()) return;
  char name[256] = {};
  CopyFixedText(name, m_pList->GetItemText(row, 0).c_str());
  DevInfo* dev = ListedDevice(name);
  if (dev == nullptr || !m_pVideoWnd) return;
  OpenInPane(dev);
  ShowRow(row);
}

void CAlmActDlg::OnBnClickedTalk() {
  CVideoWnd* pane = m_pVideoWnd.get();
  if (pane == nullptr) return;
  if (m_host.Broadcasting()) {
    Notice(1079);  // "Ongoing radio, turn off and then operate"
    return;
  }
  if (pane->IsTalking()) {
    pane->RequestSpeak();
    SetButton(IDC_SOUND, pane->IsSoundOn() ? 242 : 241, true);
    SetButton(IDC_TALK, 239, true);
    return;
  }
  if (m_host.TalkOpen() != 0) {
    Notice(443);  // "There is a device in speaking, please comfirm it's on stop!"
    return;
  }
  if (m_host.CloseAllSound) m_host.CloseAllSound();
  pane->RequestSpeak();
  UpdateTalkButtons();
}

void CAlmActDlg::OnBnClickedSound() {
  CVideoWnd* pane = m_pVideoWnd.get();
  if (pane == nullptr) return;
  if (m_host.Broadcasting()) {
    Notice(1079);
    return;
  }
  if (pane->IsSoundOn()) {
    pane->OpenSound();
  } else {
    if (m_host.TalkOpen() != 0) {
      Notice(443);
      return;
    }
    if (m_host.CloseAllSound) m_host.CloseAllSound();
    pane->OpenSound();
  }
  UpdateSoundButtons();
}

void CAlmActDlg::UpdateSoundButtons() {
  const bool on = m_pVideoWnd && m_pVideoWnd->IsSoundOn();
  if (QWidget* talk = GetDlgItem(IDC_TALK)) talk->setEnabled(!on);
  SetButton(IDC_SOUND, on ? 242 : 241, true);
}

void CAlmActDlg::UpdateTalkButtons() {
  const bool on = IsTalking();
  if (QWidget* sound = GetDlgItem(IDC_SOUND)) sound->setEnabled(!on);
  SetButton(IDC_TALK, on ? 240 : 239, true);
}

bool CAlmActDlg::SetSpeakStatus(const CString& devKey, long value) {
  if (!m_pVideoWnd || !m_pVideoWnd->IsWatching() || m_pVideoWnd->SpeakKey() != devKey) return false;
  WriteLog(6, "CAlmActDlg: set alarm video speak status, nValue=%ld", value);
  m_pVideoWnd->SetSpeakStatus(value);
  UpdateTalkButtons();
  return true;
}

void CAlmActDlg::ToggleFullScreen() {
  if (!m_pVideoWnd) return;
  if (!m_bFullScreen) {
    m_rcSavedPane = m_pVideoWnd->geometry();
    m_rcSavedWindow = geometry();
    if (m_pList) m_pList->hide();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->geometry().size() : QSize(width(), height());
    setGeometry(0, 0, size.width(), size.height());
    m_pVideoWnd->SetWndPos(0, 0, size.width(), size.height());
    m_pVideoWnd->raise();
    m_bFullScreen = TRUE;
  } else {
    if (m_pList) m_pList->show();
    setGeometry(m_rcSavedWindow);
    m_pVideoWnd->SetWndPos(m_rcSavedPane.x(), m_rcSavedPane.y(), m_rcSavedPane.width(), m_rcSavedPane.height());
    m_bFullScreen = FALSE;
  }
}

void CAlmActDlg::OnClose() {
  CVideoWnd* pane = m_pVideoWnd.get();
  if (pane != nullptr) {
    if (pane->IsTalking()) {
      pane->RequestSpeak();
      SetButton(IDC_SOUND, 241, true);
      SetButton(IDC_TALK, 239, true);
    }
    if (pane->IsSoundOn()) {
      pane->OpenSound();
      SetButton(IDC_TALK, 239, true);
      SetButton(IDC_SOUND, 241, true);
    }
  }
  // A window hidden at full screen would come back covering the screen.
  if (m_bFullScreen) ToggleFullScreen();
  hide();
  if (pane != nullptr && pane->IsWatching()) pane->StopWatch(TRUE);
}

LRESULT CAlmActDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ALARM_ACT_SHOW) {
    if (!m_host.Minimized()) {
      show();
      raise();
    }
    return 0;
  }
  if (msg == WM_CLOSE) {
    OnClose();
    return 0;
  }
  return CDialog::OnMessage(msg, wParam, lParam);
}
