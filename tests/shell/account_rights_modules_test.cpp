// The rights of the role an account gets on the users page decide which
// modules the user reaches after the login.
#include <gtest/gtest.h>

#include "core/fixed_text.h"
#include "core/login_logic.h"
#include "settings/users/account_edit.h"
#include "shell/module_rights.h"
#include "shell/nav_tabs.h"

namespace {

// The modules whose navigation tab opens for the logged-in user's rights.
std::string ReachableModules() {
  std::string out;
  for (const NavTab& tab : NavTabs()) {
    if (HasTabRight(tab, g_nCurRights)) out += std::to_string(tab.module);
  }
  return out;
}

}  // namespace

TEST(AccountRightsModules, TheRoleOfANewAccountDecidesItsModules) {
  std::list<UserInfo> users;
  std::list<GroupInfo> groups;
  std::list<RoleInfo> roles;
  const AccountLists lists{users, groups, roles};
  const struct {
    const char* name;
    RoleRights rights;  // SurPTZ, Record, Alarm, PTZ, UserManager, HighLeve
    MainModule first;
    const char* modules;  // 0 live, 1 record query, 2 alarm, 3 configuration (4, 5 wall and map)
  } cases[] = {
      {"viewer", {1, 0, 0, 0, 0, 0}, kModuleLive, "0"},
      {"archivist", {0, 1, 1, 0, 0, 0}, kModuleRecord, "12"},
      {"guard", {0, 0, 1, 1, 0, 0}, kModuleAlarm, "2"},
      {"keeper", {0, 0, 0, 0, 1, 1}, kModuleCfg, "3"},
      {"all", {1, 1, 1, 1, 1, 1}, kModuleLive, "0123"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(AddRole(lists, c.name, c.rights).done);
    ASSERT_TRUE(AddGroup(lists, std::string(c.name) + "s", c.name).done);
    ASSERT_TRUE(AddUser(lists, {std::string("u-") + c.name, std::string(c.name) + "s", "pw", "pw"}).done);
  }
  ASSERT_TRUE(AddRole(lists, "none", {}).done);
  ASSERT_TRUE(AddGroup(lists, "nobodies", "none").done);
  ASSERT_TRUE(AddUser(lists, {"u-none", "nobodies", "pw", "pw"}).done);
  g_lstUserInfo = users;
  g_lstRoleInfo = roles;

  for (const auto& c : cases) {
    const std::string user = std::string("u-") + c.name;
    ASSERT_EQ(CheckLocalLogin(user, AttemptDigest(user, "pw", false)), 0) << user;
    EXPECT_EQ(FirstModuleForRights(g_nCurRights), c.first) << user;
    EXPECT_EQ(ReachableModules(), c.modules) << user;
  }
  EXPECT_EQ(CheckLocalLogin("u-none", AttemptDigest("u-none", "pw", false)), kMsgNoRights);

  // Only "admin" reaches the TV wall and the e-map.
  UserInfo admin;
  CopyFixedText(admin.UserName, "admin");
  CopyFixedText(admin.Password, AttemptDigest("admin", "pw", false).c_str());
  g_lstUserInfo.push_back(admin);
  ASSERT_EQ(CheckLocalLogin("admin", AttemptDigest("admin", "pw", false)), 0);
  EXPECT_EQ(ReachableModules(), "012345");
  g_lstUserInfo.clear();
  g_lstRoleInfo.clear();
}
