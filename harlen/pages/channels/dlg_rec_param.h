// CDlgRecParam: the record parameter page "录像参数". For the channel chosen
// in the tree (always sixteen) it edits the channel's record parameters, its
// picture-grab parameters and its weekly picture-grab schedule, in place in
// the channel record; save-all sends them.
#pragma once

#include <memory>

#include "harlen/link/controls/rgb_page.h"

class QTreeWidget;
class SchedulePanel;

class CDlgRecParam : public CRgbPage {
 public:
  enum { IDD = 122 };
  enum {
    IDC_TREE = 1001,
    IDC_CHECK_RECORD = 1130,
    IDC_COMBO_REC_STREAM = 1005,
    IDC_EDIT_PRERECORD = 1004,
    IDC_EDIT_DURATION = 1006,
    IDC_EDIT_EXPIRY = 1007,
    IDC_CHECK_AUDIO = 1003,
    IDC_CHECK_GRAB = 1131,
    IDC_COMBO_GRAB_STREAM = 1008,
    IDC_COMBO_QUALITY = 1010,
    IDC_EDIT_INTERVAL = 1009,
    IDC_GRID = 1132,
    IDC_CHECK_SCHEDULE = 1133,
    IDC_CHECK_ALLDAY = 1134,
    IDC_COMBO_ALLDAY = 1135,
    IDC_BTN_COPY = 1141,
  };

  explicit CDlgRecParam(QWidget* parent = nullptr);
  ~CDlgRecParam() override;

  BOOL OnInitDialog() override;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Lists the sixteen channels and shows the first.
  void FillFromConfig();

  QTreeWidget* GetTree() const { return m_pTree; }
  SchedulePanel& Schedule() { return *m_pSchedule; }

 private:
  int CurrentChannel() const;  // -1 when none
  void ShowChannel();
  void OnCheck(int id);
  void OnList(int id);
  void OnEdit(int id);

  QTreeWidget* m_pTree = nullptr;
  std::unique_ptr<SchedulePanel> m_pSchedule;
};
