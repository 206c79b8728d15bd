// The patrol settings page and its point dialog, on real templates and the
// English string table.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTreeWidget>

#include "live/patrol/config_patrol_dlg.h"
#include "live/patrol/patrol_point_dlg.h"
#include "platform/window_text.h"
#include "tests/live/live_config_env.h"
#include "ui/sort_list_ctrl.h"

namespace {

class ConfigPatrolTest : public LiveDialogTest {
 protected:
  static QString Text(QWidget* w) { return GetWindowTextW(w); }
  static std::vector<std::string> Row(CSortListCtrl* list, int row) {
    std::vector<std::string> cells;
    for (int c = 0; c < list->GetColumnCount(); ++c) cells.push_back(list->GetItemText(row, c));
    return cells;
  }
};

using Cells = std::vector<std::string>;

}  // namespace

TEST_F(ConfigPatrolTest, TabsFillTheNameListAndColumns) {
  AddDevice("D1", "Decoder A", 2, 1);
  CConfigPatrol page;
  ASSERT_TRUE(page.Create(CConfigPatrol::IDD, nullptr));
  auto* names = qobject_cast<QListWidget*>(page.GetDlgItem(CConfigPatrol::IDC_PATROL_NAMES));
  auto* tab = qobject_cast<QTabBar*>(page.GetDlgItem(CConfigPatrol::IDC_PATROL_TAB));
  ASSERT_TRUE(names && tab);
  EXPECT_EQ(tab->tabText(0), "Player Patrol");
  EXPECT_EQ(tab->tabText(1), "TV Patrol");
  EXPECT_EQ(Text(page.GetDlgItem(CConfigPatrol::IDC_SCREEN)), "Screen");
  EXPECT_EQ(Text(page.GetDlgItem(CConfigPatrol::IDC_PATROL_LIST_LABEL)), "Player Window List:");
  ASSERT_EQ(names->count(), 64);
  EXPECT_EQ(names->item(63)->text(), "Player-64");
  EXPECT_EQ(page.GetPointList()->GetColumnCount(), 2);

  {
    auto* ex2 = qobject_cast<QPushButton*>(page.GetDlgItem(CConfigPatrol::IDC_SCREEN_EX2));
    ASSERT_TRUE(ex2);
    ex2->click();
    EXPECT_EQ(names->item(0)->text(), "PlayerEx2-1");
  }

  tab->setCurrentIndex(1);
  EXPECT_EQ(page.GetCurTab(), 1);
  EXPECT_EQ(Text(page.GetDlgItem(CConfigPatrol::IDC_PATROL_LIST_LABEL)), "Decoder List :");
  EXPECT_TRUE(page.GetDlgItem(CConfigPatrol::IDC_SCREEN)->isHidden());
  ASSERT_EQ(names->count(), 1);
  EXPECT_EQ(names->item(0)->text(), "Decoder A");
  EXPECT_EQ(page.GetPointList()->GetColumnCount(), 6);
}

TEST_F(ConfigPatrolTest, ChosenPlanIsEditedAndSaved) {
  InstallLiveFixture("patrol_info.xml", "PatrolInfo.xml");
  CConfigPatrol page;
  ASSERT_TRUE(page.Create(CConfigPatrol::IDD, nullptr));
  CSortListCtrl* list = page.GetPointList();
  page.SelectName(2);  // "Player-3"
  EXPECT_EQ(page.GetCurName(), "Player-3");
  ASSERT_EQ(list->GetItemCount(), 2);
  EXPECT_EQ(Row(list, 1), (Cells{"192.168.1.20:Cam-02", "10"}));
  EXPECT_FALSE(page.GetDlgItem(CConfigPatrol::IDC_PATROL_DELETE)->isEnabled());

  list->SetItemStates(1, RLS_SELECTED);
  EXPECT_TRUE(page.GetDlgItem(CConfigPatrol::IDC_PATROL_DELETE)->isEnabled());
  page.OnBnClickedDelete();
  ASSERT_EQ(list->GetItemCount(), 1);
  EXPECT_EQ(list->GetItemStates(0) & RLS_SELECTED, static_cast<DWORD>(RLS_SELECTED));

  page.OnBnClickedSave();
  EXPECT_EQ(ShownMessage(&page), "Save success!");
  std::vector<PatrolPlan> plans;
  ASSERT_EQ(LoadPatrolInfo(plans), 0);
  ASSERT_EQ(plans.size(), 3u);
  EXPECT_STREQ(plans.back().DecodeName, "Player-3");
  ASSERT_EQ(plans.back().points.size(), 1u);
  EXPECT_EQ(plans.back().points[0].DevName1, Gbk("大门"));
}

TEST_F(ConfigPatrolTest, PointDialogAddsCheckedRows) {
  AddDevice("C1", "Gate", 1, 1);
  AddDevice("N1", "NVR", kDevTypeNvr, 1, "10.0.0.5", 0);
  AddDevice("N1", "Ch-1", kDevTypeNvr, 1, "10.0.0.5", 1);
  CSortListCtrl list;
  list.InsertColumn(0, "Device Name", ColumnAlign::Left, 100);
  list.InsertColumn(1, "Stay Time(sec.)", ColumnAlign::Left, 100);
  std::vector<PatrolPlan> plans;

  CAddPatrolDlg dlg(false, false, -1, &list, plans);
  dlg.show();
  EXPECT_EQ(dlg.windowTitle(), "Add Patrol");
  auto* tree = qobject_cast<QTreeWidget*>(dlg.GetDlgItem(CAddPatrolDlg::IDC_DEV_TREE));
  ASSERT_TRUE(tree);
  QTreeWidgetItem* root = tree->topLevelItem(0);
  ASSERT_EQ(root->childCount(), 2);
  dlg.OnTreeItemClicked(root->child(1));  // the NVR itself names nothing
  EXPECT_EQ(Text(dlg.GetDlgItem(CAddPatrolDlg::IDC_DEV_NAME1)), "");
  dlg.OnTreeItemClicked(root->child(1)->child(0));
  EXPECT_EQ(Text(dlg.GetDlgItem(CAddPatrolDlg::IDC_DEV_NAME1)), "10.0.0.5:Ch-1");

  SetWindowTextW(dlg.GetDlgItem(CAddPatrolDlg::IDC_STAY_TIME), "9");
  dlg.OnBnClickedAdd();
  EXPECT_EQ(ShownMessage(&dlg), "The patrol stay time must greater than 10 sec.");
  EXPECT_EQ(list.GetItemCount(), 0);

  SetWindowTextW(dlg.GetDlgItem(CAddPatrolDlg::IDC_STAY_TIME), "10");
  dlg.OnBnClickedAdd();
  ASSERT_EQ(list.GetItemCount(), 1);
  EXPECT_EQ(Row(&list, 0), (Cells{"10.0.0.5:Ch-1", "10"}));
  EXPECT_FALSE(dlg.isVisible());

  for (int i = 1; i < 10; ++i) list.InsertItem(i, "x");
  CAddPatrolDlg eleventh(false, false, -1, &list, plans);
  eleventh.show();
  SetWindowTextW(eleventh.GetDlgItem(CAddPatrolDlg::IDC_STAY_TIME), "10");
  SetWindowTextW(eleventh.GetDlgItem(CAddPatrolDlg::IDC_DEV_NAME1), "Gate");
  eleventh.OnBnClickedAdd();
  EXPECT_EQ(ShownMessage(&eleventh), "Only allowed to  add ten patrol points.");
  EXPECT_EQ(list.GetItemCount(), 10);
}

TEST_F(ConfigPatrolTest, FourVideoPointFillsTheEditsInTurn) {
  AddDevice("C1", "A", 1, 1);
  AddDevice("C2", "B", 1, 1);
  CSortListCtrl list;
  for (int c = 0; c < 6; ++c) list.InsertColumn(c, "c", ColumnAlign::Left, 60);
  std::vector<PatrolPlan> plans;
  CAddPatrolDlg dlg(true, false, -1, &list, plans);
  dlg.show();
  auto* four = qobject_cast<QRadioButton*>(dlg.GetDlgItem(CAddPatrolDlg::IDC_FOUR_VIDEO));
  ASSERT_TRUE(four && four->isEnabled());
  four->setChecked(true);
  QTreeWidgetItem* root = qobject_cast<QTreeWidget*>(dlg.GetDlgItem(CAddPatrolDlg::IDC_DEV_TREE))->topLevelItem(0);
  dlg.OnTreeItemClicked(root->child(0));
  dlg.OnTreeItemClicked(root->child(1));
  dlg.OnTreeItemClicked(root->child(0));
  SetWindowTextW(dlg.GetDlgItem(CAddPatrolDlg::IDC_STAY_TIME), "12");
  dlg.OnBnClickedAdd();
  ASSERT_EQ(list.GetItemCount(), 1);
  EXPECT_EQ(Row(&list, 0), (Cells{"1", "12", "A", "B", "A", ""}));
}

// After a tab change no plan is chosen: Save must not write the emptied point
// list over the plan that was shown before.
TEST_F(ConfigPatrolTest, SaveAfterATabChangeKeepsThePlanShownBefore) {
  InstallLiveFixture("patrol_info.xml", "PatrolInfo.xml");
  const std::string before = ReadBytes(ConfigFile("PatrolInfo.xml"));
  CConfigPatrol page;
  ASSERT_TRUE(page.Create(CConfigPatrol::IDD, nullptr));
  page.SelectName(2);
  page.SelectTab(1);
  EXPECT_EQ(page.GetPointList()->GetItemCount(), 0);
  page.OnBnClickedSave();
  EXPECT_EQ(ReadBytes(ConfigFile("PatrolInfo.xml")), before);
  EXPECT_EQ(ShownMessage(&page), "");
}
