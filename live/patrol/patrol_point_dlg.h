// CAddPatrolDlg: the modal dialog that adds a point to the patrol settings
// page's point list or changes one of its rows. The device tree on the left
// writes the key of a clicked camera into a device edit.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "live/patrol/patrol_edit.h"
#include "platform/dialog.h"

class CResMsgDlg;
class CSortListCtrl;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

class CAddPatrolDlg : public CDialog {
 public:
  enum { IDD = 237 };
  enum {
    IDC_STAY_TIME = 1048,
    IDC_DEV_NAME1 = 1049,  // .. 1052
    IDC_ADD = 1144,
    IDC_CANCEL = 1001,
    IDC_STAY_LABEL = 1297,
    IDC_DEV_LABEL1 = 1298,  // .. 1301
    IDC_DEV_TREE = 1318,
    IDC_ONE_VIDEO = 1319,
    IDC_FOUR_VIDEO = 1320,
  };

  // The relay devices offered in the tree: (label, device key) pairs. Set by
  // the relay service; none without it.
  using RelayKeysFn = std::function<std::vector<std::pair<std::string, std::string>>()>;
  static void SetRelayKeys(RelayKeysFn keys);

  // fourMode: the "TV Patrol" tab; modifyMode: edits row `row` of `pointList`.
  // `plans`: the page's plans as loaded or last saved.
  CAddPatrolDlg(bool fourMode, bool modifyMode, int row, CSortListCtrl* pointList,
                const std::vector<PatrolPlan>& plans, QWidget* parent = nullptr);
  ~CAddPatrolDlg() override;

  BOOL OnInitDialog() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  // A click on a tree item: its key goes into a device edit.
  void OnTreeItemClicked(QTreeWidgetItem* item);
  // The Add/Modify button.
  void OnBnClickedAdd();

 private:
  void FillDeviceTree();
  QLineEdit* DevEdit(int index) const;
  PatrolPointInput ReadInput() const;

  bool m_bFourMode;
  bool m_bModifyMode;
  int m_nRow;
  CSortListCtrl* m_pPointList;
  const std::vector<PatrolPlan>& m_plans;
  int m_nLastFocus = -1;  // device edit (0-3) that had the focus last, until used
  int m_nNextEdit = 0;    // next device edit in turn
  CResMsgDlg* m_pMsgDlg = nullptr;
};
