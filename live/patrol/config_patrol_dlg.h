// CConfigPatrol: the patrol settings page, a child dialog hosted as a tab page
// of the system settings window. Tab "Player Patrol" edits the plans of the
// live-view grids' panes, tab "TV Patrol" those of the decoders; the plans
// are kept in "PatrolInfo.xml" (live/patrol_info.h).
#pragma once

#include <string>
#include <vector>

#include "live/patrol/patrol_info.h"
#include "platform/dialog.h"

class CResMsgDlg;
class CSortListCtrl;
class QListWidget;
class QTabBar;

class CConfigPatrol : public CDialog {
 public:
  enum { IDD = 236 };
  enum {
    IDC_PATROL_ADD = 1140,
    IDC_PATROL_DELETE = 1141,
    IDC_PATROL_MODIFY = 1142,
    IDC_PATROL_SAVE = 1143,
    IDC_PATROL_LIST_LABEL = 1296,
    IDC_PATROL_TAB = 1315,
    IDC_PATROL_NAMES = 1316,
    IDC_PATROL_POINTS = 1317,
    IDC_SCREEN_EX1 = 1385,
    IDC_SCREEN = 1386,
    IDC_SCREEN_EX2 = 1387,
    IDC_SCREEN_EX3 = 1388,
  };

  explicit CConfigPatrol(QWidget* parent = nullptr);
  ~CConfigPatrol() override;

  BOOL OnInitDialog() override;

  // Reads the file into the plan list; -1 when it had to be created.
  int LoadPatrolInfo();
  // Saves the plan of the current name from the point list; 0 when written.
  int SavePatrolInfo();

  // The plans as loaded or last saved (the grids' patrol buttons and the TV
  // wall read them).
  const std::vector<PatrolPlan>& GetPlans() const { return m_plans; }
  int GetCurTab() const { return m_nCurTab; }
  const std::string& GetCurName() const { return m_strCurName; }  // GBK

  void SelectTab(int tab);
  void SelectName(int index);  // a row of the name list
  void OnBnClickedAdd();
  void OnBnClickedDelete();
  void OnBnClickedModify();
  void OnBnClickedSave();

  CSortListCtrl* GetPointList() const { return m_pPointList; }

  // Enter and Escape do not close a hosted page.
  void OnOK() override {}
  void OnCancel() override {}

 private:
  void FillNames(const std::vector<std::string>& names);
  void SetPointColumns();
  void FillPoints();
  void UpdateRowButtons();
  void OpenPointDialog(bool modify);

  std::vector<PatrolPlan> m_plans;
  std::string m_strCurName;
  int m_nCurTab = 0;
  QTabBar* m_pTab = nullptr;
  QListWidget* m_pNames = nullptr;
  CSortListCtrl* m_pPointList = nullptr;
  CResMsgDlg* m_pMsgDlg = nullptr;
};
