#include "harlen/pages/alarm/dlg_arming_time.h"

#include <QHeaderView>

#include "harlen/link/controls/sched_grid_ctrl.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"

namespace {

constexpr int32_t kArmingPaint = 1;
constexpr int kRowHeight = 19;

}  // namespace

CDlgArmingTime::CDlgArmingTime(QWidget* parent) : CRgbDialog(IDD, parent) {}

BOOL CDlgArmingTime::OnInitDialog() {
  CRgbDialog::OnInitDialog();
  m_pGrid = ReplaceDlgItem(IDC_GRID, new CSchedGridCtrl());
  QStringList titles{harlenres::LoadString(IDS_GRID_DAY_HOUR)};
  std::vector<int> widths{80};
  for (int hour = 0; hour < kSchedHours; ++hour) {
    titles << QString::number(hour);
    widths.push_back(29);
  }
  m_pGrid->SetColumns(titles, widths);
  for (int day = 0; day < kSchedDays; ++day) {
    m_cells[day][0] = 0;
    const int row = m_pGrid->InsertRow(harlenres::LoadString(IDS_DAY_SUNDAY + static_cast<UINT>(day)));
    for (int column = 1; column < kArmingColumns; ++column) m_pGrid->SetCell(row, column, m_cells[day][column]);
  }
  m_pGrid->SetRowHeight(kRowHeight);
  m_pGrid->SetPaintValue(kArmingPaint);
  m_pGrid->SetNotifyWindow(GetSafeHwnd());
  m_pGrid->header()->setSectionsClickable(false);
  m_pGrid->header()->setSectionResizeMode(QHeaderView::Fixed);
  m_pGrid->header()->setEnabled(false);
  return TRUE;
}

void CDlgArmingTime::ReadGrid() {
  if (m_pGrid == nullptr) return;
  for (int day = 0; day < kSchedDays; ++day) {
    for (int column = 1; column < kArmingColumns; ++column) m_cells[day][column] = m_pGrid->GetCell(day, column);
  }
}

LRESULT CDlgArmingTime::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SCHEDULE_CHANGED) {
    ReadGrid();
    return 0;
  }
  return CRgbDialog::OnMessage(msg, wParam, lParam);
}

void CDlgArmingTime::OnOK() {
  ReadGrid();
  CRgbDialog::OnOK();
}

bool EditArmingTime(QWidget* parent, SchedCell (&schedule)[kSchedDays][kSchedHours]) {
  CDlgArmingTime dlg(parent);
  ArmingToEditor(schedule, dlg.Cells());
  if (dlg.DoModal() != IDOK) return false;
  EditorToArming(dlg.Cells(), schedule);
  return true;
}
