// Harlen's dialog base, tab control, in-place editing list, table list and
// shaded button, driven as a user drives them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>

#include "common/temp_folder.h"
#include "harlen/link/controls/ex_list_ctrl.h"
#include "harlen/link/controls/rgb_dialog.h"
#include "harlen/link/controls/shade_button.h"
#include "harlen/link/controls/tab_ctrl_ex.h"
#include "harlen/link/controls/table_list_ctrl.h"
#include "harlen/link/entry/harlen_resources.h"
#include "platform/control_id.h"

namespace {

void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons held = Qt::LeftButton) {
  QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

QPoint CellCentre(QTreeWidget& list, int row, int column) {
  const QRect line = list.visualItemRect(list.topLevelItem(row));
  return QPoint(list.columnViewportPosition(column) + list.columnWidth(column) / 2, line.center().y());
}

void FillList(QTreeWidget& list, int rows) {
  list.setColumnCount(3);
  for (int i = 0; i < 3; ++i) list.setColumnWidth(i, 90);
  for (int r = 0; r < rows; ++r) {
    auto* item = new QTreeWidgetItem(&list);
    for (int c = 0; c < 3; ++c) item->setText(c, QStringLiteral("r%1c%2").arg(r).arg(c));
  }
}

void Show(QWidget& widget) {
  widget.show();
  widget.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
}

class ExListEditing : public ::testing::Test {
 protected:
  void SetUp() override {
    FillList(list, 4);
    list.resize(300, 160);
    list.SetEditedHandler([this](int row, int column) { edits.push_back({row, column}); });
    Show(list);
  }
  void DoubleClick(int row, int column) {
    SendMouse(list.viewport(), QEvent::MouseButtonDblClick, CellCentre(list, row, column));
  }

  CExListCtrl list{true};
  std::vector<std::pair<int, int>> edits;
};

}  // namespace

TEST_F(ExListEditing, EditLabelsStyleEditsColumnZeroOnly) {
  DoubleClick(1, 1);
  EXPECT_FALSE(list.IsEditing()) << "column 1 of an edit-labels list";
  DoubleClick(1, 0);
  ASSERT_TRUE(list.IsEditing());
  EXPECT_EQ(list.GetEditBox()->text(), QStringLiteral("r1c0"));
  EXPECT_EQ(list.GetEditBox()->selectedText(), QStringLiteral("r1c0")) << "all of it selected";
  const QRect cell(list.columnViewportPosition(0), list.visualItemRect(list.topLevelItem(1)).top(),
                   list.columnWidth(0), list.visualItemRect(list.topLevelItem(1)).height());
  EXPECT_EQ(list.GetEditBox()->geometry(), cell.adjusted(0, -2, 0, 2));
}

TEST_F(ExListEditing, EnterWritesTheTextOnlyWhenItChanged) {
  DoubleClick(2, 0);
  ASSERT_TRUE(list.IsEditing());
  QTest::keyClick(list.GetEditBox(), Qt::Key_Return);
  EXPECT_FALSE(list.IsEditing());
  EXPECT_TRUE(edits.empty()) << "unchanged text is not written";

  DoubleClick(2, 0);
  list.GetEditBox()->setText(QStringLiteral("摄像机 2"));
  QTest::keyClick(list.GetEditBox(), Qt::Key_Enter);
  EXPECT_FALSE(list.IsEditing());
  EXPECT_EQ(list.GetItemText(2, 0), QStringLiteral("摄像机 2"));
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0], std::make_pair(2, 0));
}

TEST_F(ExListEditing, ClickScrollAndFocusLossEndTheEdit) {
  struct Case {
    const char* name;
    std::function<void()> end;
  } cases[] = {
      {"click", [&] { SendMouse(list.viewport(), QEvent::MouseButtonPress, CellCentre(list, 3, 2)); }},
      {"resize", [&] { list.resize(list.width() + 20, list.height()); }},
      {"focus", [&] { list.setFocus(); }},
  };
  int expected = 0;
  for (const Case& c : cases) {
    DoubleClick(0, 0);
    ASSERT_TRUE(list.IsEditing()) << c.name;
    list.GetEditBox()->setText(QString::fromLatin1(c.name));
    c.end();
    EXPECT_FALSE(list.IsEditing()) << c.name;
    EXPECT_EQ(list.GetItemText(0, 0), QString::fromLatin1(c.name));
    EXPECT_EQ(static_cast<int>(edits.size()), ++expected) << c.name;
  }
}

TEST(ExListCtrl, RestrictionsOfRowAndColumns) {
  CExListCtrl list;
  FillList(list, 3);
  list.resize(300, 120);
  Show(list);
  EXPECT_FALSE(list.BeginEdit(0, 0)) << "editing is off until allowed";
  list.SetEditable(true);
  list.SetEditRow(1);
  list.SetNoEditColumn(2);
  EXPECT_FALSE(list.BeginEdit(0, 1));
  EXPECT_FALSE(list.BeginEdit(1, 2));
  EXPECT_TRUE(list.BeginEdit(1, 1));
  list.EndEdit();
}

TEST(TableListCtrl, KeysAndMouseMoveTheOneSelectedRow) {
  CTableListCtrl list;
  FillList(list, 6);
  list.resize(300, 200);
  Show(list);
  std::vector<int> changes;
  list.SetSelChangedHandler([&](int row) { changes.push_back(row); });

  SendMouse(list.viewport(), QEvent::MouseButtonPress, CellCentre(list, 1, 1));
  EXPECT_EQ(list.GetSelectedRow(), 1);
  SendMouse(list.viewport(), QEvent::MouseMove, CellCentre(list, 3, 0));
  EXPECT_EQ(list.GetSelectedRow(), 3) << "the drag moves the selection";
  SendMouse(list.viewport(), QEvent::MouseButtonRelease, CellCentre(list, 3, 0), Qt::NoButton);
  SendMouse(list.viewport(), QEvent::MouseMove, CellCentre(list, 4, 0), Qt::NoButton);
  EXPECT_EQ(list.GetSelectedRow(), 3) << "no drag after the release";

  struct Step {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int row;
  } steps[] = {
      {Qt::Key_Down, Qt::NoModifier, 4},     {Qt::Key_PageDown, Qt::NoModifier, 5},
      {Qt::Key_Down, Qt::NoModifier, 5},     {Qt::Key_PageUp, Qt::NoModifier, 0},
      {Qt::Key_Up, Qt::NoModifier, 0},       {Qt::Key_End, Qt::ControlModifier, 5},
      {Qt::Key_Home, Qt::NoModifier, 5},     {Qt::Key_Home, Qt::ControlModifier, 0},
  };
  for (const Step& s : steps) {
    QTest::keyClick(&list, s.key, s.mods);
    EXPECT_EQ(list.GetSelectedRow(), s.row) << s.key;
  }
  EXPECT_EQ(list.currentItem(), list.topLevelItem(0)) << "Home gives the selected row the focus";
  EXPECT_EQ(changes, (std::vector<int>{1, 3, 4, 5, 0, 5, 0}));

  const QImage image = list.viewport()->grab().toImage();
  EXPECT_EQ(image.pixelColor(list.visualItemRect(list.topLevelItem(0)).topLeft() + QPoint(3, 2)),
            QColor(215, 129, 190));
  EXPECT_EQ(image.pixelColor(list.visualItemRect(list.topLevelItem(2)).topLeft() + QPoint(3, 2)),
            QColor(32, 109, 223));
}

TEST(RgbDialog, StaticTextIsDrawnOnTheDialogColour) {
  TempFolder folder;
  std::ofstream(folder.File("strings.xml")) << "<StringTable />";
  std::filesystem::create_directory(folder.File("dialogs"));
  std::ofstream(folder.File("dialogs/probe.xml"))
      << "<Dialog id=\"900\" width=\"200\" height=\"80\" style=\"child\">"
         "<Control id=\"1200\" class=\"Static\" x=\"10\" y=\"10\" width=\"180\" height=\"30\" text=\"维护模式\" />"
         "</Dialog>";
  harlenres::SetFolder(folder.Path());
  {
    QWidget host;
    host.resize(200, 80);
    CRgbDialog dialog(900);
    ASSERT_TRUE(dialog.Create(900, &host));
    Show(host);
    dialog.show();
    QWidget* label = dialog.GetDlgItem(1200);
    ASSERT_NE(qobject_cast<QLabel*>(label), nullptr);
    const QImage image = dialog.grab().toImage();
    const QColor grey(230, 229, 227);
    EXPECT_EQ(image.pixelColor(5, 5), grey);
    EXPECT_EQ(image.pixelColor(label->geometry().right() - 3, label->geometry().top() + 3), grey)
        << "the label paints no background of its own";
  }
  harlenres::SetFolder("");
}

TEST(TabCtrlEx, TabsAreFilledWithTheBackgroundAndOnlyTheirRowTakesTheWheel) {
  CTabCtrlEx tab;
  tab.SetBkColor(RGB(230, 229, 227));
  for (const char* label : {"设备参数", "通道配置", "网络参数"}) tab.addTab(QString::fromUtf8(label));
  tab.resize(400, 200);
  Show(tab);
  const RECT item = tab.GetItemRect(1);
  EXPECT_GT(item.right - item.left, 0);
  const QImage image = tab.grab().toImage();
  EXPECT_EQ(image.pixelColor(item.left + 2, item.bottom - 2), QColor(230, 229, 227));
  EXPECT_EQ(image.pixelColor(200, 150), QColor(230, 229, 227)) << "the area below the tabs";

  tab.setCurrentIndex(0);
  QWheelEvent below(QPointF(200, 150), tab.mapToGlobal(QPointF(200, 150)), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&tab, &below);
  EXPECT_EQ(tab.currentIndex(), 0) << "a wheel over a page does not turn the tabs";
  EXPECT_EQ(tab.GetItemRect(7).right, 0) << "no such tab";
}

TEST(ShadeButton, KindsHoverAndIcons) {
  QWidget host;
  host.resize(300, 60);
  auto* push = new CShadeButton(CShadeButton::kPush, &host);
  auto* check = new CShadeButton(CShadeButton::KindOf(new QCheckBox(&host)), &host);
  auto* radioA = new CShadeButton(CShadeButton::kRadio, &host);
  auto* radioB = new CShadeButton(CShadeButton::kRadio, &host);
  push->setGeometry(0, 0, 100, 30);
  check->setGeometry(100, 0, 60, 30);
  radioA->setGeometry(160, 0, 60, 30);
  radioB->setGeometry(220, 0, 60, 30);
  push->setText(QStringLiteral("刷新"));
  Show(host);

  EXPECT_EQ(check->GetKind(), CShadeButton::kCheck);
  QTest::mouseClick(check, Qt::LeftButton);
  EXPECT_TRUE(check->isChecked());
  QTest::keyClick(check, Qt::Key_Space);
  EXPECT_FALSE(check->isChecked()) << "the space key toggles a check box too";
  QTest::mouseClick(radioA, Qt::LeftButton);
  QTest::mouseClick(radioB, Qt::LeftButton);
  EXPECT_FALSE(radioA->isChecked());
  EXPECT_TRUE(radioB->isChecked());
  QTest::mouseClick(push, Qt::LeftButton);
  EXPECT_FALSE(push->isChecked()) << "a push button does not stay down";

  EXPECT_EQ(push->GetIconAlign(), CShadeButton::kIconAbove);
  push->SetIcons();
  EXPECT_EQ(push->GetIconAlign(), CShadeButton::kIconLeft);
  const QImage normal = push->grab().toImage();
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), push->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(push, &enter);
  EXPECT_TRUE(push->IsHover());
  EXPECT_NE(push->grab().toImage(), normal) << "hover has its own look";
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(push, &leave);
  EXPECT_FALSE(push->IsHover());
  EXPECT_EQ(push->grab().toImage(), normal);
  push->setEnabled(false);
  EXPECT_NE(push->grab().toImage(), normal) << "disabled has its own look";
}
