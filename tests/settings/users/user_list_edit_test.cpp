#include "settings/users/user_list_edit.h"

#include <gtest/gtest.h>

#include "core/fixed_text.h"

namespace {

struct Accounts {
  std::list<UserInfo> users;
  std::list<GroupInfo> groups;
  std::list<RoleInfo> roles;

  Accounts() {
    User("admin", "default");
    User("op1", "duty");
    User("op2", "duty");
    User("guest", "visitors");
    User("boss", "chiefs");
    Group("default", "default");
    Group("duty", "operator");
    Group("night", "operator");
    Group("visitors", "viewer");
    Group("chiefs", "leaders");
    Role("default");
    Role("operator");
    Role("viewer");
    Role("leaders");
  }
  void User(const char* name, const char* group) {
    users.emplace_back();
    CopyFixedText(users.back().UserName, name);
    CopyFixedText(users.back().GroupName, group);
  }
  void Group(const char* name, const char* role) {
    groups.emplace_back();
    CopyFixedText(groups.back().GroupName, name);
    CopyFixedText(groups.back().RoleName, role);
  }
  void Role(const char* name) {
    roles.emplace_back();
    CopyFixedText(roles.back().RoleName, name);
  }
  template <class T, size_t N>
  static std::string Names(const std::list<T>& list, char (T::*field)[N]) {
    std::string out;
    for (const T& item : list) out += (out.empty() ? "" : " ") + std::string(item.*field);
    return out;
  }
  std::string UserNames() const { return Names(users, &UserInfo::UserName); }
  std::string GroupNames() const { return Names(groups, &GroupInfo::GroupName); }
  std::string RoleNames() const { return Names(roles, &RoleInfo::RoleName); }
};

const std::string kAllUsers = "admin op1 op2 guest boss";
const std::string kAllGroups = "default duty night visitors chiefs";
const std::string kAllRoles = "default operator viewer leaders";

}  // namespace

TEST(RemoveUser, RemovesByNameButNeverTheAdministrator) {
  const struct {
    const char* name;
    AccountRemoval result;
    const char* usersAfter;
  } cases[] = {
      {"op1", AccountRemoval::kRemoved, "admin op2 guest boss"},
      {"admin", AccountRemoval::kProtected, "admin op1 op2 guest boss"},
      {"Admin", AccountRemoval::kNotFound, "admin op1 op2 guest boss"},
      {"", AccountRemoval::kEmptyName, "admin op1 op2 guest boss"},
  };
  for (const auto& c : cases) {
    Accounts accounts;
    EXPECT_EQ(RemoveUser(accounts.users, c.name), c.result) << c.name;
    EXPECT_EQ(accounts.UserNames(), c.usersAfter) << c.name;
  }
}

TEST(RemoveUserGroup, RemovesTheGroupWithItsUsersButNeverDefaultOrTheAdministratorsGroup) {
  const struct {
    const char* name;
    AccountRemoval result;
    const char* usersAfter;
    const char* groupsAfter;
  } cases[] = {
      {"duty", AccountRemoval::kRemoved, "admin guest boss", "default night visitors chiefs"},
      {"night", AccountRemoval::kRemoved, kAllUsers.c_str(), "default duty visitors chiefs"},
      {"default", AccountRemoval::kProtected, kAllUsers.c_str(), kAllGroups.c_str()},
      {"nobody", AccountRemoval::kNotFound, kAllUsers.c_str(), kAllGroups.c_str()},
      {"", AccountRemoval::kEmptyName, kAllUsers.c_str(), kAllGroups.c_str()},
  };
  for (const auto& c : cases) {
    Accounts accounts;
    EXPECT_EQ(RemoveUserGroup(accounts.groups, accounts.users, c.name), c.result) << c.name;
    EXPECT_EQ(accounts.UserNames(), c.usersAfter) << c.name;
    EXPECT_EQ(accounts.GroupNames(), c.groupsAfter) << c.name;
  }
  Accounts moved;  // "admin" moved into another group keeps that group
  CopyFixedText(moved.users.front().GroupName, "duty");
  EXPECT_EQ(RemoveUserGroup(moved.groups, moved.users, "duty"), AccountRemoval::kHoldsAdmin);
  EXPECT_EQ(moved.UserNames(), kAllUsers);
  EXPECT_EQ(moved.GroupNames(), kAllGroups);
}

TEST(RemoveRole, RemovesTheRoleWithItsGroupsAndTheirUsers) {
  const struct {
    const char* name;
    AccountRemoval result;
    const char* usersAfter;
    const char* groupsAfter;
    const char* rolesAfter;
  } cases[] = {
      {"operator", AccountRemoval::kRemoved, "admin guest boss", "default visitors chiefs",
       "default viewer leaders"},
      {"default", AccountRemoval::kProtected, kAllUsers.c_str(), kAllGroups.c_str(), kAllRoles.c_str()},
      {"nobody", AccountRemoval::kNotFound, kAllUsers.c_str(), kAllGroups.c_str(), kAllRoles.c_str()},
  };
  for (const auto& c : cases) {
    Accounts accounts;
    EXPECT_EQ(RemoveRole(accounts.roles, accounts.groups, accounts.users, c.name), c.result) << c.name;
    EXPECT_EQ(accounts.UserNames(), c.usersAfter) << c.name;
    EXPECT_EQ(accounts.GroupNames(), c.groupsAfter) << c.name;
    EXPECT_EQ(accounts.RoleNames(), c.rolesAfter) << c.name;
  }
}

TEST(RemoveRole, NeverTakesTheDefaultGroupOrTheAdministratorWithIt) {
  Accounts holdsDefault;  // the group "default" put under another role
  CopyFixedText(holdsDefault.groups.front().RoleName, "viewer");
  EXPECT_EQ(RemoveRole(holdsDefault.roles, holdsDefault.groups, holdsDefault.users, "viewer"),
            AccountRemoval::kProtected);
  EXPECT_EQ(holdsDefault.GroupNames(), kAllGroups);
  EXPECT_EQ(holdsDefault.RoleNames(), kAllRoles);

  Accounts holdsAdmin;  // "admin" moved into a group of the role
  CopyFixedText(holdsAdmin.users.front().GroupName, "chiefs");
  EXPECT_EQ(RemoveRole(holdsAdmin.roles, holdsAdmin.groups, holdsAdmin.users, "leaders"),
            AccountRemoval::kHoldsAdmin);
  EXPECT_EQ(holdsAdmin.UserNames(), kAllUsers);
}
