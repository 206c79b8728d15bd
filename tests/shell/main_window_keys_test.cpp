// Keys typed into the main window and its pages go through the main window's
// key filter: Space and Enter reach every edit box (a name, a search text or
// a path may hold blanks; Enter in the device search box searches), and what
// an edit box leaves of them never closes a page.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <map>
#include <optional>
#include <set>

#include "common/wait_for.h"
#include "core/res_msg_dlg.h"
#include "platform/control_id.h"
#include "platform/dialog_controls.h"
#include "shell/cfg_manager_dlg.h"
#include "shell/device_list_dlg.h"
#include "shell/page_dlg.h"
#include "ui/image_button.h"
#include "tests/shell/dev_records.h"
#include "tests/shell/main_window_fixture.h"
#include "tests/shell/main_window_pages.h"

namespace {

// Counts the Space and Enter presses that reach a widget past the
// application's filters.
class KeyRecorder : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) ++reached[watched][key];
    }
    return false;
  }
  std::map<QObject*, std::map<int, int>> reached;
};

std::string Name(const QWidget* w) {
  return std::string(w->metaObject()->className()) + "#" + std::to_string(ctrlid::Of(w));
}

// The direct children of the main window that are shown: the module windows and panels.
std::set<QWidget*> ShownPanels(const QWidget& dlg) {
  std::set<QWidget*> shown;
  for (QWidget* child : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child->isVisible()) shown.insert(child);
  return shown;
}

TEST_F(MainWindowTest, SpaceAndEnterReachEveryEditBoxAndCloseNoPage) {
  g_lstDevGroupInfo = {Group("Entrance")};
  g_lstDevInfo = {Dev("Front Door", "Front Door", 1, "Entrance", 1)};
  CVistarelDlg& dlg = Open();
  ASSERT_TRUE(WaitFor([&] { return dlg.m_pRecSchemeManager != nullptr; }));
  KeyRecorder recorder;
  std::set<std::string> kinds;  // the kinds of edit box met
  int boxes = 0;
  for (const MainWindowPage& page : MainWindowPages()) {
    SCOPED_TRACE(page.name);
    page.show(dlg);
    QCoreApplication::processEvents();
    for (QWidget* box : dlg.findChildren<QWidget*>()) {
      if (!IsTextBox(box) || !box->isVisible() || !box->isEnabled() || box->window() != &dlg) continue;
      if (IsTextBox(box->parentWidget())) continue;  // the line edit inside a combo or spin box: keys go to its box
      SCOPED_TRACE(Name(box));
      ++boxes;
      kinds.insert(box->metaObject()->className());
      recorder.reached[box].clear();  // the device list's search box is on several pages
      box->installEventFilter(&recorder);
      box->setFocus();
      const std::set<QWidget*> panels = ShownPanels(dlg);
      auto* edit = qobject_cast<QLineEdit*>(box);
      if (auto* combo = qobject_cast<QComboBox*>(box)) edit = combo->lineEdit();
      if (edit != nullptr && !edit->isReadOnly() && edit->validator() == nullptr && edit->inputMask().isEmpty()) {
        edit->clear();
        QTest::keyClicks(box, "a b");
        EXPECT_EQ(edit->text(), "a b");
      } else {
        QTest::keyClick(box, Qt::Key_Space);
        EXPECT_EQ(recorder.reached[box][Qt::Key_Space], 1);
      }
      auto* list = qobject_cast<QComboBox*>(box);
      const int items = list != nullptr ? list->count() : 0;
      auto* plain = qobject_cast<QLineEdit*>(box);
      std::optional<QSignalSpy> entered;
      if (plain != nullptr) entered.emplace(plain, &QLineEdit::returnPressed);
      QTest::keyClick(box, Qt::Key_Return);
      QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
      EXPECT_EQ(recorder.reached[box][Qt::Key_Return], 1);
      EXPECT_EQ(recorder.reached[box][Qt::Key_Enter], 1);
      if (entered) {
        EXPECT_EQ(entered->count(), 2);
      }
      EXPECT_EQ(ShownPanels(dlg), panels) << "Enter changed the shown panels";
      if (list != nullptr) {
        EXPECT_EQ(list->count(), items) << "Enter added the typed text to the list";
      }
      EXPECT_TRUE(dlg.isVisible());
      box->removeEventFilter(&recorder);
    }
  }
  EXPECT_GT(boxes, 10);
  for (const char* kind : {"QLineEdit", "QComboBox", "QDateTimeEdit"}) EXPECT_TRUE(kinds.count(kind)) << kind;

  // Enter in the device list's search box searches ("Search result is null!" for a name that is not there).
  dlg.m_pPageDlg->OnBnClickedVideo();
  auto* find = qobject_cast<QLineEdit*>(dlg.m_pDeviceListDlg->GetDlgItem(CDeviceListDlg::IDC_EDIT_FIND));
  ASSERT_NE(find, nullptr);
  find->setText("Back Door");
  QTest::keyClick(find, Qt::Key_Return);
  EXPECT_TRUE(dlg.m_pDeviceListDlg->GetMsgDlg()->isVisible());
}

// Outside an edit box the keys stay swallowed: Space presses no focused button.
TEST_F(MainWindowTest, SpaceOnAButtonOfThePagePressesNothing) {
  CVistarelDlg& dlg = Open();
  dlg.m_pPageDlg->OnBnClickedConfig();
  dlg.ShowCfgPage(2);
  QAbstractButton* detail = dlg.m_pCfgManagerDlg->GetDetailButton();
  ASSERT_TRUE(detail->isVisible());
  QSignalSpy clicked(detail, &QAbstractButton::clicked);
  detail->setFocus();
  QTest::keyClick(detail, Qt::Key_Space);
  QTest::keyClick(detail, Qt::Key_Return);
  EXPECT_EQ(clicked.count(), 0);
}

}  // namespace
