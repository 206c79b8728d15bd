// The weekly schedule block of the video parameter page (record schedule) and
// the record parameter page (picture-grab schedule): the schedule grid, its
// enable box, the all-day box with its kind list, the five legend buttons that
// choose the paint value, and copy-to of the whole schedule to other channels.
//
// The page owns the panel and tells it which channel is shown (-1 when none);
// the panel shows that channel's row of the schedule list, reads the grid back
// into it after every change, and runs the enable rules.
#pragma once

#include <array>
#include <QStringList>
#include <functional>

#include "harlen/link/sections/channel_cfg.h"

class CRgbPage;
class CSchedGridCtrl;

struct SchedulePanelIds {
  int grid;
  int enable;             // the schedule's enable box
  int allDay;             // fills every cell with the kind of `allDayKind`
  int allDayKind;         // drop list: kind index + 1 is the cell value
  std::array<int, 5> legend;  // the buttons of cell values 1 to 5
  int copyTo;
  int alsoEnabled;        // a control of the page that follows the enable box (0: none)
};

class SchedulePanel {
 public:
  // `current` gives the channel shown (-1: none), `channels` how many channels
  // copy-to may write.
  SchedulePanel(CRgbPage* page, const SchedulePanelIds& ids, SchedList& list, std::function<int()> current,
                std::function<int()> channels);

  // Replaces the grid control, fills the all-day list with `kindTexts` and
  // colours the legend (OnInitDialog).
  void SetUp(const QStringList& kindTexts);
  // Shows the current row: its enable box (then a posted click) and its cells.
  void Show();
  // The grid changed: enable flag and cells back into the current row.
  void ReadBack();

  CSchedGridCtrl* Grid() const { return m_pGrid; }

 private:
  void OnEnable();
  void OnAllDay();
  void FillAllDay();
  void OnLegend(int index);
  void OnCopyTo();
  void EnableLegendAndGrid();
  SchedTable* Row() const;

  CRgbPage* m_pPage;
  SchedulePanelIds m_ids;
  SchedList& m_list;
  std::function<int()> m_current;
  std::function<int()> m_channels;
  CSchedGridCtrl* m_pGrid = nullptr;
};
