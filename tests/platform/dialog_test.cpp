#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "platform/dialog.h"
#include "platform/dialog_template.h"
#include "platform/post_message.h"
#include "platform/window_text.h"
#include "tests/platform/event_wait.h"

namespace {

constexpr UINT kControls = 900;
constexpr UINT kChild = 901;
constexpr UINT WM_TEST_END = WM_USER + 100;

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { dlgtemplate::SetFolder(VEMO_TEST_SOURCE_DIR "/platform/fixtures/dialogs"); }
  void TearDown() override { dlgtemplate::SetFolder(""); }
};

// A dialog that records what reaches it and can end itself from a message or timer.
class ProbeDialog : public CDialog {
 public:
  explicit ProbeDialog(UINT id = kControls, QWidget* parent = nullptr) : CDialog(id, parent) {}
  BOOL OnInitDialog() override {
    ++initCount;
    if (endInInit) EndDialog(77);
    return TRUE;
  }
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_TEST_END) EndDialog(static_cast<int>(wParam));
    if (msg == WM_CLOSE) {
      ++closeCount;
      if (ignoreClose) return 0;
    }
    return CDialog::OnMessage(msg, wParam, lParam);
  }
  void OnTimer(UINT_PTR id) override {
    KillTimer(id);
    EndDialog(static_cast<int>(id));
  }
  BOOL OnCommand(int id) override {
    lastCommand = id;
    return CDialog::OnCommand(id);
  }
  int initCount = 0;
  int closeCount = 0;
  int lastCommand = 0;
  bool endInInit = false;
  bool ignoreClose = false;
};

QRect Geometry(QWidget* w) { return w ? w->geometry() : QRect(); }

}  // namespace

TEST_F(DialogTest, ParseRejectsWhatIsNotATemplate) {
  DialogTemplate t;
  t.id = 5;
  EXPECT_FALSE(dlgtemplate::Parse("", t));
  EXPECT_FALSE(dlgtemplate::Parse("<Dialog width=\"1\"/>", t));
  EXPECT_FALSE(dlgtemplate::Parse("<Other id=\"3\"/>", t));
  EXPECT_FALSE(dlgtemplate::Parse("<Dialog id=\"3\"><Control", t));
  EXPECT_EQ(t.id, 5u);
  ASSERT_TRUE(dlgtemplate::Parse("<Dialog id=\"3\"><Control class=\"Static\"/></Dialog>", t));
  EXPECT_EQ(t.id, 3u);
  ASSERT_EQ(t.controls.size(), 1u);
  EXPECT_EQ(t.controls[0].id, 0);
}

TEST_F(DialogTest, BuildsControlsWithClassGeometryTextAndState) {
  ProbeDialog dlg;
  ASSERT_TRUE(dlg.Create(kControls));
  EXPECT_TRUE(dlg.HasTemplate());
  EXPECT_EQ(dlg.initCount, 1);
  EXPECT_EQ(dlg.size(), QSize(320, 200));
  EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("测试 dialog"));
  EXPECT_FALSE(dlg.isVisible());  // no "visible" style

  auto* ok = qobject_cast<QPushButton*>(dlg.GetDlgItem(IDOK));
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), QString::fromUtf8("确定"));
  EXPECT_EQ(ok->geometry(), QRect(10, 160, 60, 24));

  auto* label = qobject_cast<QLabel*>(dlg.GetDlgItem(1000));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "two  blanks\nline");
  auto* edit = qobject_cast<QLineEdit*>(dlg.GetDlgItem(1001));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->text(), QString::fromUtf8("用户"));
  auto* password = qobject_cast<QLineEdit*>(dlg.GetDlgItem(1002));
  ASSERT_NE(password, nullptr);
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  auto* check = qobject_cast<QCheckBox*>(dlg.GetDlgItem(1003));
  ASSERT_NE(check, nullptr);
  EXPECT_FALSE(check->isEnabled());
  EXPECT_NE(qobject_cast<QComboBox*>(dlg.GetDlgItem(1004)), nullptr);
  auto* tree = qobject_cast<QTreeWidget*>(dlg.GetDlgItem(1005));
  ASSERT_NE(tree, nullptr);
  EXPECT_TRUE(tree->isHidden());
  QWidget* placeholder = dlg.GetDlgItem(1006);
  ASSERT_NE(placeholder, nullptr);
  EXPECT_STREQ(placeholder->metaObject()->className(), "QWidget");
  EXPECT_EQ(Geometry(placeholder), QRect(260, 10, 50, 50));
  EXPECT_EQ(dlg.GetDlgItem(4242), nullptr);
}

TEST_F(DialogTest, ReplaceDlgItemTakesOverTheTemplateControl) {
  class MyButton : public QPushButton {};
  ProbeDialog dlg;
  dlg.Create(kControls);
  QWidget* old = dlg.GetDlgItem(1007);
  ASSERT_NE(old, nullptr);
  QPointer<QWidget> oldGuard(old);
  MyButton* mine = dlg.ReplaceDlgItem(1007, new MyButton);
  EXPECT_TRUE(oldGuard.isNull());
  EXPECT_EQ(dlg.GetDlgItem(1007), mine);
  EXPECT_EQ(mine->parentWidget(), &dlg);
  EXPECT_EQ(mine->geometry(), QRect(260, 160, 50, 24));
  EXPECT_EQ(mine->text(), "Run");
  mine->click();
  EXPECT_EQ(dlg.lastCommand, 1007);

  auto* fresh = dlg.ReplaceDlgItem(5555, new QLabel("x"));
  EXPECT_EQ(dlg.GetDlgItem(5555), fresh);
}

TEST_F(DialogTest, ButtonClicksReachOnCommandAndOnClicked) {
  ProbeDialog dlg;
  dlg.Create(kControls);
  int runs = 0;
  dlg.OnClicked(1007, [&] { ++runs; });
  qobject_cast<QPushButton*>(dlg.GetDlgItem(1007))->click();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(dlg.lastCommand, 1007);
}

TEST_F(DialogTest, DoModalEndsWithTheCodeOfEndDialogFromAPostedMessage) {
  ProbeDialog dlg;
  PostMessage(dlg.GetSafeHwnd(), WM_TEST_END, 42);
  EXPECT_EQ(dlg.DoModal(), 42);
  EXPECT_EQ(dlg.initCount, 1);
}

TEST_F(DialogTest, DoModalEndsFromATimer) {
  ProbeDialog dlg;
  dlg.SetTimer(31, 5);
  EXPECT_EQ(dlg.DoModal(), 31);
}

TEST_F(DialogTest, DoModalEndedInOnInitDialogReturnsWithoutRunning) {
  ProbeDialog dlg;
  dlg.endInInit = true;
  EXPECT_EQ(dlg.DoModal(), 77);
  EXPECT_FALSE(dlg.isVisible());
}

TEST_F(DialogTest, OkCancelButtonsAndKeysEndTheDialog) {
  struct Case {
    const char* how;
    std::function<void(ProbeDialog&)> act;
    INT_PTR expected;
  };
  const Case cases[] = {
      {"OK button", [](ProbeDialog& d) { qobject_cast<QPushButton*>(d.GetDlgItem(IDOK))->click(); },
       IDOK},
      {"Cancel button",
       [](ProbeDialog& d) { qobject_cast<QPushButton*>(d.GetDlgItem(IDCANCEL))->click(); }, IDCANCEL},
      {"Escape",
       [](ProbeDialog& d) {
         QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
         QApplication::sendEvent(&d, &key);
       },
       IDCANCEL},
      {"Enter",
       [](ProbeDialog& d) {
         QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
         QApplication::sendEvent(&d, &key);
       },
       IDOK},
      {"posted WM_CLOSE", [](ProbeDialog& d) { PostMessage(d.GetSafeHwnd(), WM_CLOSE); }, IDCANCEL},
  };
  for (const Case& c : cases) {
    ProbeDialog dlg;
    auto act = c.act;
    QTimer::singleShot(0, &dlg, [&dlg, act] { act(dlg); });  // once the modal loop runs
    EXPECT_EQ(dlg.DoModal(), c.expected) << c.how;
  }
}

TEST_F(DialogTest, ADialogMayIgnoreWmClose) {
  ProbeDialog dlg;
  dlg.ignoreClose = true;
  PostMessage(dlg.GetSafeHwnd(), WM_CLOSE);
  dlg.SetTimer(9, 30);
  EXPECT_EQ(dlg.DoModal(), 9);
  EXPECT_EQ(dlg.closeCount, 1);
}

TEST_F(DialogTest, ModelessChildDialogIsABorderlessChildOfItsParent) {
  QWidget host;
  host.resize(400, 300);
  host.show();
  ProbeDialog child(kChild);
  ASSERT_TRUE(child.Create(kChild, &host));
  EXPECT_EQ(child.parentWidget(), &host);
  EXPECT_FALSE(child.isWindow());
  EXPECT_TRUE(child.isVisible());  // "visible" style
  child.MoveWindow(RECT{10, 20, 210, 60});
  EXPECT_EQ(child.geometry(), QRect(10, 20, 200, 40));
  EXPECT_EQ(child.GetClientRect(), (RECT{0, 0, 200, 40}));
  child.ShowWindow(false);
  EXPECT_FALSE(child.isVisible());
  EXPECT_EQ(GetWindowTextW(child.GetDlgItem(1071)), QString::fromUtf8("一"));

  // A popup template with a parent stays a window of its own.
  ProbeDialog popup;
  ASSERT_TRUE(popup.Create(kControls, &host));
  EXPECT_TRUE(popup.isWindow());
}

TEST_F(DialogTest, MissingTemplateGivesAnEmptyDialogAndAClearResult) {
  ProbeDialog dlg(4711);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_FALSE(dlg.HasTemplate());
  EXPECT_FALSE(dlg.Create(4711));
  EXPECT_EQ(dlg.GetDlgItem(1), nullptr);
  DialogTemplate t;
  EXPECT_FALSE(dlgtemplate::Find(4711, t));
}
