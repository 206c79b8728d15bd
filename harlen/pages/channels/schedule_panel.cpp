#include "harlen/pages/channels/schedule_panel.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>

#include "harlen/link/controls/colour.h"
#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/rgb_page.h"
#include "harlen/link/controls/sched_grid_ctrl.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/pages/common/copy_to_rule.h"
#include "harlen/pages/common/dlg_copy_to.h"

namespace {

constexpr int kRowHeight = 19;

}  // namespace

SchedulePanel::SchedulePanel(CRgbPage* page, const SchedulePanelIds& ids, SchedList& list, std::function<int()> current,
                             std::function<int()> channels)
    : m_pPage(page), m_ids(ids), m_list(list), m_current(std::move(current)), m_channels(std::move(channels)) {}

SchedTable* SchedulePanel::Row() const {
  const int channel = m_current();
  return channel >= 0 && channel < kNvrChannels ? &m_list.tables[channel] : nullptr;
}

void SchedulePanel::SetUp(const QStringList& kindTexts) {
  m_pGrid = m_pPage->ReplaceDlgItem(m_ids.grid, new CSchedGridCtrl());
  QStringList titles{harlenres::LoadString(IDS_GRID_DAY_HOUR)};
  std::vector<int> widths{80};
  for (int hour = 0; hour < kSchedHours; ++hour) {
    titles << QString::number(hour);
    widths.push_back(28);  // 24 hours and the day column fit the page's width
  }
  m_pGrid->SetColumns(titles, widths);
  for (int day = 0; day < kSchedDays; ++day) m_pGrid->InsertRow(harlenres::LoadString(IDS_DAY_SUNDAY + static_cast<UINT>(day)));
  m_pGrid->SetRowHeight(kRowHeight);
  m_pGrid->SetPaintValue(1);
  m_pGrid->SetNotifyWindow(m_pPage->GetSafeHwnd());
  m_pGrid->header()->setSectionsClickable(false);
  m_pGrid->header()->setSectionResizeMode(QHeaderView::Fixed);
  m_pGrid->header()->setEnabled(false);

  FillDropList(m_pPage, m_ids.allDayKind, kindTexts);
  if (auto* kind = DlgItem<QComboBox>(m_pPage, m_ids.allDayKind)) {
    QObject::connect(kind, &QComboBox::currentIndexChanged, m_pPage, [this] { FillAllDay(); });
  }
  for (int i = 0; i < 5; ++i) {
    if (auto* button = DlgItem<QAbstractButton>(m_pPage, m_ids.legend[i])) {
      button->setCheckable(true);
      button->setAutoExclusive(true);
      button->setChecked(i == 0);
      const QColor colour = ToQColor(SchedCellColour(i + 1, 0));
      button->setStyleSheet(QStringLiteral("QAbstractButton { background-color: %1; }").arg(colour.name()));
    }
    m_pPage->OnClicked(m_ids.legend[i], [this, i] { OnLegend(i); });
  }
  m_pPage->OnClicked(m_ids.enable, [this] { OnEnable(); });
  m_pPage->OnClicked(m_ids.allDay, [this] { OnAllDay(); });
  m_pPage->OnClicked(m_ids.copyTo, [this] { OnCopyTo(); });
}

void SchedulePanel::Show() {
  const SchedTable* row = Row();
  if (row == nullptr || m_pGrid == nullptr) return;
  CheckDlgButton(m_pPage, m_ids.enable, row->enable != 0);
  m_pPage->PostClick(m_ids.enable);
  for (int day = 0; day < kSchedDays; ++day) {
    for (int hour = 0; hour < kSchedHours; ++hour) m_pGrid->SetCell(day, hour + 1, static_cast<int32_t>(row->cells[day][hour]));
  }
  m_pGrid->viewport()->repaint();
}

void SchedulePanel::ReadBack() {
  SchedTable* row = Row();
  if (row == nullptr || m_pGrid == nullptr) return;
  row->enable = IsDlgButtonChecked(m_pPage, m_ids.enable) ? 1 : 0;
  for (int day = 0; day < kSchedDays; ++day) {
    for (int hour = 0; hour < kSchedHours; ++hour) row->cells[day][hour] = static_cast<SchedCell>(m_pGrid->GetCell(day, hour + 1));
  }
}

void SchedulePanel::EnableLegendAndGrid() {
  const bool enabled = IsDlgButtonChecked(m_pPage, m_ids.enable);
  const bool allDay = IsDlgButtonChecked(m_pPage, m_ids.allDay);
  for (int id : m_ids.legend) EnableDlgItems(m_pPage, {id}, enabled && !allDay);
  if (m_pGrid != nullptr) m_pGrid->setEnabled(enabled && !allDay);
  EnableDlgItems(m_pPage, {m_ids.allDayKind}, enabled && allDay);
}

void SchedulePanel::OnEnable() {
  EnableDlgItems(m_pPage, {m_ids.allDay, m_ids.alsoEnabled}, IsDlgButtonChecked(m_pPage, m_ids.enable));
  EnableLegendAndGrid();
  if (SchedTable* row = Row()) row->enable = IsDlgButtonChecked(m_pPage, m_ids.enable) ? 1 : 0;
}

void SchedulePanel::OnAllDay() {
  EnableLegendAndGrid();
  if (IsDlgButtonChecked(m_pPage, m_ids.allDay)) FillAllDay();
}

void SchedulePanel::FillAllDay() {
  const int kind = GetCurSel(m_pPage, m_ids.allDayKind);
  if (m_pGrid == nullptr || kind < 0 || !IsDlgButtonChecked(m_pPage, m_ids.allDay)) return;
  for (int day = 0; day < kSchedDays; ++day) {
    for (int column = 1; column <= kSchedHours; ++column) m_pGrid->SetCell(day, column, kind + 1);
  }
  m_pGrid->viewport()->repaint();
  ReadBack();
}

void SchedulePanel::OnLegend(int index) {
  if (m_pGrid != nullptr) m_pGrid->SetPaintValue(index + 1);
}

void SchedulePanel::OnCopyTo() {
  const int current = m_current();
  if (current < 0 || Row() == nullptr) return;
  int32_t flags[CDlgCopyTo::kBoxes] = {};
  CDlgCopyTo dlg(m_pPage);
  dlg.SetResult(flags);
  if (dlg.DoModal() != IDOK) return;
  CopyToTicked(m_list.tables, std::min(m_channels(), static_cast<int>(kNvrChannels)), current, flags);
}
