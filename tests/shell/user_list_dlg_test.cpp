#include "shell/user_list_dlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeWidget>

#include "core/user_info_store.h"
#include "settings/fake_config_host.h"
#include "settings/settings_test_env.h"
#include "shell/dev_tree.h"
#include "tests/shell/tree_texts.h"

namespace {

QTreeWidgetItem* Find(QTreeWidget* tree, const char* text) {
  const auto items = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
  return items.isEmpty() ? nullptr : items.front();
}

void Click(QWidget* widget, QPoint pos) {
  const QPointF global = widget->mapToGlobal(QPointF(pos));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

void PressKey(QWidget* widget, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
}

class UserListTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    InstallFixture("user_info.xml", "UserInfo.xml");
    ASSERT_EQ(LoadUserInfo(), 0);
    parent_.resize(300, 600);
    dlg_.SetHost(&host_);
    ASSERT_TRUE(dlg_.Create(CUserListDlg::IDD, &parent_));
    dlg_.resize(220, 601);
    dlg_.show();
    parent_.show();
  }

  QWidget parent_;
  FakeConfigHost host_;
  CUserListDlg dlg_;
};

}  // namespace

TEST_F(UserListTest, ShowsGroupsWithTheirUsersAndTheRoles) {
  ASSERT_EQ(dlg_.UserTree()->topLevelItemCount(), 1);
  EXPECT_EQ(TreeTexts(dlg_.UserTree()->topLevelItem(0), false),
            "User List[default[admin] duty[op1 op2] night visitors[guest]]");
  EXPECT_EQ(TreeTexts(dlg_.RoleTree()->topLevelItem(0), false), "Role List[default operator viewer]");
  EXPECT_EQ(CDevTree::ItemData(Find(dlg_.UserTree(), "op2")), &*std::next(g_lstUserInfo.begin(), 2));
  EXPECT_EQ(CDevTree::ItemData(Find(dlg_.RoleTree(), "viewer")), &g_lstRoleInfo.back());
}

TEST_F(UserListTest, ClicksHandTheUserGroupOrRoleToTheMainWindow) {
  const struct {
    bool roleTree;
    const char* item;
    std::vector<std::string> calls;
  } cases[] = {
      {false, "User List", {"ShowUserInfo none", "ShowGroupInfo none"}},
      {false, "duty", {"ShowGroupInfo"}},
      {false, "night", {"ShowGroupInfo"}},  // a group without users is a leaf, still a group
      {false, "op1", {"ShowUserInfo"}},
      {true, "Role List", {"ShowRoleInfo none"}},
      {true, "operator", {"ShowRoleInfo"}},
  };
  for (const auto& c : cases) {
    host_.calls.clear();
    QTreeWidget* tree = c.roleTree ? dlg_.RoleTree() : dlg_.UserTree();
    QTreeWidgetItem* item = Find(tree, c.item);
    ASSERT_NE(item, nullptr) << c.item;
    const QRect rect = tree->visualItemRect(item);
    ASSERT_TRUE(rect.isValid()) << c.item;
    Click(tree->viewport(), rect.center());
    EXPECT_EQ(host_.calls, c.calls) << c.item;
  }
  EXPECT_STREQ(host_.group->GroupName, "night");
  EXPECT_STREQ(host_.user->UserName, "op1");
  EXPECT_STREQ(host_.role->RoleName, "operator");
}

TEST_F(UserListTest, RefillsATreeWhenAsked) {
  g_lstUserInfo.pop_back();  // "guest" removed by the user page
  dlg_.RefreshUserList();
  EXPECT_EQ(TreeTexts(dlg_.UserTree()->topLevelItem(0), false), "User List[default[admin] duty[op1 op2] night visitors]");
  g_lstRoleInfo.pop_back();
  dlg_.RefreshRoleList();
  EXPECT_EQ(TreeTexts(dlg_.RoleTree()->topLevelItem(0), false), "Role List[default operator]");
}

TEST_F(UserListTest, TreesShareTheHeightAndEnterOrEscapeDoNotCloseThePanel) {
  EXPECT_EQ(dlg_.UserTree()->geometry(), QRect(1, 1, 218, 300 - 12));
  EXPECT_EQ(dlg_.RoleTree()->geometry(), QRect(1, 310, 218, 300 - 12));
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    PressKey(dlg_.UserTree(), key);
    EXPECT_TRUE(dlg_.isVisible());
  }
}
