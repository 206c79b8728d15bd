// CDlgArmingTime: the modal window "布防时间" that edits one weekly arming
// schedule (8 days of 24 hours) on the schedule grid, painting 1.
//
// The caller copies the record's cells in (ArmingToEditor, arming_cells.h),
// runs the window and copies them back (EditorToArming) only when it returned
// IDOK; the record itself is never touched here.
#pragma once

#include "harlen/link/controls/rgb_dialog.h"
#include "harlen/pages/alarm/arming_cells.h"

class CSchedGridCtrl;

class CDlgArmingTime : public CRgbDialog {
 public:
  enum { IDD = 109 };
  enum { IDC_GRID = 1068 };

  explicit CDlgArmingTime(QWidget* parent = nullptr);

  ArmingEditorCells& Cells() { return m_cells; }
  CSchedGridCtrl* GetGrid() const { return m_pGrid; }

  BOOL OnInitDialog() override;
  void OnOK() override;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ReadGrid();

  CSchedGridCtrl* m_pGrid = nullptr;
  ArmingEditorCells m_cells = {};
};

// Runs the arming time editor on a record schedule: true, and the schedule
// changed as painted, when the user ended it with OK; else the schedule is left
// exactly as it was.
bool EditArmingTime(QWidget* parent, SchedCell (&schedule)[kSchedDays][kSchedHours]);
