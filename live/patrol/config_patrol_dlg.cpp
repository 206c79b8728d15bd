#include "live/patrol/config_patrol_dlg.h"

#include <QItemSelectionModel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTabBar>

#include "core/fixed_text.h"
#include "core/res_msg_dlg.h"
#include "live/patrol/patrol_edit.h"
#include "live/patrol/patrol_point_dlg.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "ui/sort_list_ctrl.h"

namespace {

enum : UINT {
  IDS_STAY_TIME = 882,
  IDS_DEVICE_NAME = 883,
  IDS_DISPLAY_MODE = 881,
  IDS_ADD = 884,
  IDS_DELETE = 885,
  IDS_MODIFY = 886,
  IDS_SAVE = 887,
  IDS_SAVE_SUCCESS = 888,
  IDS_DECODER_LIST = 889,
  IDS_PLAYER_PATROL = 890,
  IDS_TV_PATROL = 891,
  IDS_PLAYER_LIST = 892,
  IDS_SCREEN_EX1 = 1426,
  IDS_SCREEN_EX2 = 1427,
  IDS_SCREEN_EX3 = 1428,
  IDS_SCREEN = 1429,
};

constexpr int kColumnWidth = 110;

}  // namespace

CConfigPatrol::CConfigPatrol(QWidget* parent) : CDialog(IDD, parent) {}

CConfigPatrol::~CConfigPatrol() = default;

BOOL CConfigPatrol::OnInitDialog() {
  CDialog::OnInitDialog();
  const std::pair<int, UINT> texts[] = {
      {IDC_PATROL_ADD, IDS_ADD},       {IDC_PATROL_DELETE, IDS_DELETE}, {IDC_PATROL_MODIFY, IDS_MODIFY},
      {IDC_PATROL_SAVE, IDS_SAVE},     {IDC_SCREEN, IDS_SCREEN},        {IDC_SCREEN_EX1, IDS_SCREEN_EX1},
      {IDC_SCREEN_EX2, IDS_SCREEN_EX2}, {IDC_SCREEN_EX3, IDS_SCREEN_EX3},
  };
  for (const auto& [id, text] : texts) SetWindowTextW(GetDlgItem(id), LoadStringW(text));

  m_pTab = qobject_cast<QTabBar*>(GetDlgItem(IDC_PATROL_TAB));
  m_pNames = qobject_cast<QListWidget*>(GetDlgItem(IDC_PATROL_NAMES));
  m_pPointList = ReplaceDlgItem(IDC_PATROL_POINTS, new CSortListCtrl(this));
  m_pMsgDlg = new CResMsgDlg(this);
  if (m_pTab) {
    m_pTab->addTab(LoadStringW(IDS_PLAYER_PATROL));
    m_pTab->addTab(LoadStringW(IDS_TV_PATROL));
    QObject::connect(m_pTab, &QTabBar::currentChanged, this, [this](int tab) { SelectTab(tab); });
  }
  if (m_pNames) {
    QObject::connect(m_pNames, &QListWidget::currentRowChanged, this, [this](int row) { SelectName(row); });
  }
  QObject::connect(m_pPointList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                   [this] { UpdateRowButtons(); });

  OnClicked(IDC_PATROL_ADD, [this] { OnBnClickedAdd(); });
  OnClicked(IDC_PATROL_DELETE, [this] { OnBnClickedDelete(); });
  OnClicked(IDC_PATROL_MODIFY, [this] { OnBnClickedModify(); });
  OnClicked(IDC_PATROL_SAVE, [this] { OnBnClickedSave(); });
  const std::pair<int, int> screens[] = {{IDC_SCREEN, 0}, {IDC_SCREEN_EX1, 1}, {IDC_SCREEN_EX2, 2}, {IDC_SCREEN_EX3, 3}};
  for (const auto& [id, ext] : screens) {
    OnClicked(id, [this, ext = ext] { FillNames(PatrolPaneNames(PatrolPlanPrefix(ext))); });
  }

  LoadPatrolInfo();
  SelectTab(kPatrolTabPlayer);
  return TRUE;
}

int CConfigPatrol::LoadPatrolInfo() { return ::LoadPatrolInfo(m_plans); }

int CConfigPatrol::SavePatrolInfo() {
  PatrolPlan plan;
  CopyFixedText(plan.DecodeName, m_strCurName.c_str());
  const int columns = m_pPointList->GetColumnCount();
  for (int row = 0; row < m_pPointList->GetItemCount(); ++row) {
    PatrolRow cells;
    for (int c = 0; c < columns; ++c) cells.push_back(m_pPointList->GetItemText(row, c));
    plan.points.push_back(PatrolPointOf(cells));
  }
  return SavePatrolPlan(m_plans, plan);
}

void CConfigPatrol::SelectTab(int tab) {
  m_nCurTab = tab == kPatrolTabTv ? kPatrolTabTv : kPatrolTabPlayer;
  if (m_pTab && m_pTab->currentIndex() != m_nCurTab) {
    const QSignalBlocker block(m_pTab);
    m_pTab->setCurrentIndex(m_nCurTab);
  }
  const bool player = m_nCurTab == kPatrolTabPlayer;
  SetWindowTextW(GetDlgItem(IDC_PATROL_LIST_LABEL), LoadStringW(player ? IDS_PLAYER_LIST : IDS_DECODER_LIST));
  for (int id : {IDC_SCREEN, IDC_SCREEN_EX1, IDC_SCREEN_EX2, IDC_SCREEN_EX3}) {
    if (QWidget* button = GetDlgItem(id)) button->setVisible(player);
  }
  m_strCurName.clear();
  SetPointColumns();
  FillNames(player ? PatrolPaneNames(PatrolPlanPrefix(0)) : PatrolDecoderNames());
}

void CConfigPatrol::FillNames(const std::vector<std::string>& names) {
  if (!m_pNames) return;
  const QSignalBlocker block(m_pNames);
  m_pNames->clear();
  for (const std::string& name : names) {
    // The list shows the name in the interface language and keeps the plan's name.
    const std::string shown = m_nCurTab == kPatrolTabPlayer ? PatrolNameLabel(name) : name;
    auto* item = new QListWidgetItem(codepage::ToQString(shown), m_pNames);
    item->setData(Qt::UserRole, codepage::ToQString(name));
  }
}

void CConfigPatrol::SelectName(int index) {
  if (!m_pNames || index < 0 || index >= m_pNames->count()) return;
  if (m_pNames->currentRow() != index) {
    const QSignalBlocker block(m_pNames);
    m_pNames->setCurrentRow(index);
  }
  m_strCurName = codepage::FromQString(m_pNames->item(index)->data(Qt::UserRole).toString());
  FillPoints();
}

void CConfigPatrol::SetPointColumns() {
  m_pPointList->DeleteAllItems();
  m_pPointList->DeleteAllColumns();
  std::vector<UINT> titles = {IDS_DEVICE_NAME, IDS_STAY_TIME};
  if (m_nCurTab == kPatrolTabTv) {
    titles = {IDS_DISPLAY_MODE, IDS_STAY_TIME, IDS_DEVICE_NAME, IDS_DEVICE_NAME, IDS_DEVICE_NAME, IDS_DEVICE_NAME};
  }
  for (size_t i = 0; i < titles.size(); ++i) {
    const int width = m_nCurTab == kPatrolTabPlayer ? 2 * kColumnWidth : kColumnWidth - 35;
    m_pPointList->InsertColumn(static_cast<int>(i), LoadStringA(titles[i]), ColumnAlign::Left, width);
  }
  UpdateRowButtons();
}

void CConfigPatrol::FillPoints() {
  SetPointColumns();
  for (const PatrolPlan& plan : m_plans) {
    if (FixedTextView(plan.DecodeName) != m_strCurName) continue;
    for (const PatrolPoint& point : plan.points) {
      const PatrolRow cells = PatrolRowOf(point, m_nCurTab);
      const int row = m_pPointList->InsertItem(m_pPointList->GetItemCount(), cells[0]);
      for (size_t c = 1; c < cells.size(); ++c) m_pPointList->SetItemText(row, static_cast<int>(c), cells[c]);
    }
  }
  UpdateRowButtons();
}

void CConfigPatrol::UpdateRowButtons() {
  const bool selected = m_pPointList && m_pPointList->GetItemCount(RLS_SELECTED) > 0;
  for (int id : {IDC_PATROL_DELETE, IDC_PATROL_MODIFY}) {
    if (QWidget* button = GetDlgItem(id)) button->setEnabled(selected);
  }
}

void CConfigPatrol::OpenPointDialog(bool modify) {
  int row = -1;
  for (int r = 0; r < m_pPointList->GetItemCount() && row < 0; ++r) {
    if (m_pPointList->GetItemStates(r) & RLS_SELECTED) row = r;
  }
  if (modify && row < 0) return;
  CAddPatrolDlg dlg(m_nCurTab == kPatrolTabTv, modify, row, m_pPointList, m_plans, this);
  dlg.DoModal();
}

void CConfigPatrol::OnBnClickedAdd() { OpenPointDialog(false); }

void CConfigPatrol::OnBnClickedModify() { OpenPointDialog(true); }

void CConfigPatrol::OnBnClickedDelete() {
  for (int row = 0; row < m_pPointList->GetItemCount(); ++row) {
    if (!(m_pPointList->GetItemStates(row) & RLS_SELECTED)) continue;
    m_pPointList->DeleteItem(row);
    if (m_pPointList->GetItemCount() > 0) {
      m_pPointList->SetAllItemStates(RLS_ALL, RLS_UNSELECTED);
      m_pPointList->SetItemStates(0, RLS_SELECTED | RLS_FOCUSED);
    }
    break;
  }
  UpdateRowButtons();
}

void CConfigPatrol::OnBnClickedSave() {
  if (m_strCurName.empty()) return;
  if (SavePatrolInfo() == 0) m_pMsgDlg->ShowMsg(LoadStringW(IDS_SAVE_SUCCESS).toStdWString(), 2);
}
