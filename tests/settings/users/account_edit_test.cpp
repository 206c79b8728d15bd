#include "settings/users/account_edit.h"

#include <gtest/gtest.h>

#include <string>

#include "core/fixed_text.h"
#include "core/login_logic.h"
#include "core/md5.h"

namespace {

std::string Digest(const char* text) {
  char out[33];
  Md5UpperHex(text, out);
  return out;
}

// admin in "default"; op1 and op2 in "duty" (operator); guest in "visitors"
// (viewer); "night" is an empty group of operator.
class AccountEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddRoleRecord("default", 1);
    AddRoleRecord("operator", 1);
    AddRoleRecord("viewer", 0);
    AddGroupRecord("default", "default");
    AddGroupRecord("duty", "operator");
    AddGroupRecord("night", "operator");
    AddGroupRecord("visitors", "viewer");
    AddUserRecord("admin", "default", "default");
    AddUserRecord("op1", "duty", "operator");
    AddUserRecord("op2", "duty", "operator");
    AddUserRecord("guest", "visitors", "viewer");
  }

  void AddRoleRecord(const char* name, int record) {
    RoleInfo role;
    CopyFixedText(role.RoleName, name);
    role.SurPTZ = 1;
    role.Record = record;
    role.Reserved = 0;
    roles.push_back(role);
  }
  void AddGroupRecord(const char* name, const char* role) {
    GroupInfo group;
    CopyFixedText(group.GroupName, name);
    CopyFixedText(group.RoleName, role);
    groups.push_back(group);
  }
  void AddUserRecord(const char* name, const char* group, const char* role) {
    UserInfo user;
    CopyFixedText(user.UserName, name);
    CopyFixedText(user.GroupName, group);
    CopyFixedText(user.RoleName, role);
    CopyFixedText(user.Password, Digest("secret").c_str());
    users.push_back(user);
  }
  AccountLists Lists() { return {users, groups, roles}; }
  const UserInfo* User(const std::string& name) const {
    for (const UserInfo& u : users)
      if (name == u.UserName) return &u;
    return nullptr;
  }
  const GroupInfo* Group(const std::string& name) const {
    for (const GroupInfo& g : groups)
      if (name == g.GroupName) return &g;
    return nullptr;
  }
  // "name:group:role" of every user, in list order.
  std::string Users() const {
    std::string out;
    for (const UserInfo& u : users)
      out += std::string(out.empty() ? "" : " ") + u.UserName + ":" + u.GroupName + ":" + u.RoleName;
    return out;
  }
  std::string Groups() const {
    std::string out;
    for (const GroupInfo& g : groups) out += std::string(out.empty() ? "" : " ") + g.GroupName + ":" + g.RoleName;
    return out;
  }

  std::list<UserInfo> users;
  std::list<GroupInfo> groups;
  std::list<RoleInfo> roles;
};

}  // namespace

// Every refusal of add-user, in the order the checks run; nothing changes.
TEST_F(AccountEditTest, AddUserRefusalsLeaveTheListsAlone) {
  const std::string before = Users();
  const struct {
    UserForm form;
    UINT message;
  } cases[] = {
      {{"", "duty", "pw", "pw"}, 689},
      {{"   ", "duty", "pw", "pw"}, 689},
      {{"a-name-of-thirty-three-characters", "duty", "pw", "pw"}, kMsgAccountUserTooLong},
      {{"x#y", "duty", "pw", "pw"}, kMsgNameBadCharacter},
      {{"x\ty", "duty", "pw", "pw"}, kMsgNameBadCharacter},
      {{"bell\x07", "duty", "pw", "pw"}, kMsgNameBadCharacter},
      {{"new", "duty", "", "pw"}, 690},
      {{"new", "duty", "pw", "  "}, 690},
      {{"new", "gone", "pw", "pw"}, 691},
      {{"new", "duty", "pw", "pw2"}, 229},
      {{"new", "duty", "0123456789ABCDEF0123456789ABCDEF", "0123456789ABCDEF0123456789ABCDEF"},
       kMsgPasswordTooLongForLogin},
      {{"new", "duty", std::string(40, 'p'), std::string(40, 'p')}, kMsgPasswordTooLongForLogin},
      {{"new", "duty", "p\x01w", "p\x01w"}, kMsgPasswordBadCharacter},
      {{"op1", "duty", "pw", "pw"}, 692},
      {{" op1 ", "duty", "pw", "pw"}, 692},
  };
  for (const auto& c : cases) {
    const auto result = AddUser(Lists(), c.form);
    EXPECT_FALSE(result.done) << c.form.name;
    EXPECT_EQ(result.message, c.message) << c.form.name << "/" << c.form.password;
  }
  EXPECT_EQ(Users(), before);
}

// A new user keeps its password's digest from the start, so the login finds
// it at once and gives it its group's role; names and passwords lose the
// blanks around them, '#' may stand in a password, and a name differing only
// in letter case is another name.
TEST_F(AccountEditTest, AddedUserLogsInAtOnceWithItsGroupsRole) {
  const auto result = AddUser(Lists(), {"  Op1  ", "visitors", " pa#ss ", " pa#ss "});
  ASSERT_TRUE(result.done);
  EXPECT_EQ(result.message, 693u);
  EXPECT_STREQ(result.record.UserName, "Op1");
  EXPECT_EQ(std::string(result.record.Password), Digest("pa#ss"));
  EXPECT_EQ(Users(), "admin:default:default op1:duty:operator op2:duty:operator guest:visitors:viewer "
                     "Op1:visitors:viewer");

  g_lstUserInfo = users;
  g_lstRoleInfo = roles;
  EXPECT_EQ(CheckLocalLogin("Op1", AttemptDigest("Op1", "pa#ss", false)), 0);
  EXPECT_EQ(CheckLocalLogin("Op1", AttemptDigest("Op1", "other", false)), kMsgWrongPassword);
  g_lstUserInfo.clear();
  g_lstRoleInfo.clear();
}

TEST_F(AccountEditTest, AddGroupAndRoleChecks) {
  const struct {
    const char* name;
    const char* role;
    UINT message;
  } groupCases[] = {
      {"", "viewer", 676},      {" \t", "viewer", 676}, {"a#b", "viewer", kMsgNameBadCharacter},
      {"new", "gone", 677},     {"duty", "viewer", 678}, {" duty ", "viewer", 678},
      {"Duty", "viewer", 679},  // another name by letter case
  };
  for (const auto& c : groupCases) EXPECT_EQ(AddGroup(Lists(), c.name, c.role).message, c.message) << c.name;
  EXPECT_EQ(AddGroup(Lists(), std::string(256, 'g'), "viewer").message, kMsgAccountNameTooLong);
  EXPECT_EQ(AddGroup(Lists(), std::string(255, 'g'), "viewer").message, 679u);

  const struct {
    const char* name;
    UINT message;
  } roleCases[] = {{"", 704}, {"viewer", 705}, {"r\x1f", kMsgNameBadCharacter}, {" Viewer ", 706}};
  for (const auto& c : roleCases) EXPECT_EQ(AddRole(Lists(), c.name, {}).message, c.message) << c.name;
  const auto role = AddRole(Lists(), "watch", {1, 0, 1, 0, 0, 1});
  ASSERT_TRUE(role.done);
  EXPECT_EQ(roles.back().SurPTZ, 1);
  EXPECT_EQ(roles.back().Record, 0);
  EXPECT_EQ(roles.back().Alarm, 1);
  EXPECT_EQ(roles.back().HighLeve, 1);
  EXPECT_EQ(roles.back().Reserved, 0);
}

// Renaming a group moves its users and gives them the group's new role; the
// returned record is the group as it now stands, so a second change works.
TEST_F(AccountEditTest, GroupRenameReachesItsUsersAndASecondModifyWorks) {
  const GroupInfo duty = *Group("duty");
  auto first = ModifyGroup(Lists(), duty, "day", "viewer");
  ASSERT_TRUE(first.done);
  EXPECT_EQ(first.message, 687u);
  EXPECT_EQ(Users(), "admin:default:default op1:day:viewer op2:day:viewer guest:visitors:viewer");
  // With the stale copy the old name is gone.
  EXPECT_EQ(ModifyGroup(Lists(), duty, "dusk", "operator").message, 688u);
  auto second = ModifyGroup(Lists(), first.record, "dusk", "operator");
  ASSERT_TRUE(second.done);
  EXPECT_EQ(Users(), "admin:default:default op1:dusk:operator op2:dusk:operator guest:visitors:viewer");
  EXPECT_EQ(Groups(), "default:default dusk:operator night:operator visitors:viewer");
}

TEST_F(AccountEditTest, GroupModifyRefusals) {
  const std::string before = Groups() + "|" + Users();
  GroupInfo none;
  const struct {
    const GroupInfo* current;
    const char* name;
    const char* role;
    UINT message;
  } cases[] = {
      {&none, "x", "viewer", 684},
      {Group("duty"), "", "viewer", 685},
      {Group("duty"), " day", "viewer", kMsgNameBlanksAround},
      {Group("duty"), "night", "viewer", 678},
      {Group("duty"), "default", "viewer", 678},  // an existing name, first
      {Group("default"), "default", "viewer", 718},
      {Group("default"), "other", "viewer", 718},
      {Group("duty"), "day", "gone", 686},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ModifyGroup(Lists(), *c.current, c.name, c.role).message, c.message) << c.name;
  }
  EXPECT_EQ(Groups() + "|" + Users(), before);
}

// Renaming a role renames it in every group and every user that names it,
// also users whose own copy names it in another group.
TEST_F(AccountEditTest, RoleRenameReachesGroupsAndUsers) {
  CopyFixedText(users.back().RoleName, "operator");  // guest's copy names operator, its group does not
  RoleInfo op;
  for (RoleInfo& r : roles) {
    if (std::string(r.RoleName) != "operator") continue;
    r.Reserved = 1;  // the seventh right, which the page does not show, stays
    op = r;
  }
  const auto result = ModifyRole(Lists(), op, "staff", {0, 1, 0, 0, 0, 0});
  ASSERT_TRUE(result.done);
  EXPECT_EQ(result.message, 713u);
  EXPECT_EQ(Groups(), "default:default duty:staff night:staff visitors:viewer");
  EXPECT_EQ(Users(), "admin:default:default op1:duty:staff op2:duty:staff guest:visitors:staff");
  EXPECT_EQ(result.record.Record, 1);
  EXPECT_EQ(result.record.SurPTZ, 0);
  EXPECT_EQ(result.record.Reserved, 1);
  // The second change starts from the returned record.
  EXPECT_TRUE(ModifyRole(Lists(), result.record, "staff", {1, 1, 1, 1, 1, 1}).done);
  EXPECT_EQ(ModifyRole(Lists(), op, "crew", {}).message, 714u);

  const struct {
    const char* current;
    const char* name;
    UINT message;
  } refusals[] = {
      {"", "x", 711}, {"staff", "", 712}, {"staff", "viewer", 705}, {"staff", "default", 705},
      {"default", "mine", 717}, {"staff", "x#", kMsgNameBadCharacter},
  };
  for (const auto& c : refusals) {
    RoleInfo current;
    CopyFixedText(current.RoleName, c.current);
    EXPECT_EQ(ModifyRole(Lists(), current, c.name, {}).message, c.message) << c.current << "->" << c.name;
  }
}

// The stored digest stays when the boxes still show it; a changed password
// is digested; "admin" is changed only by "admin" and keeps its name and group.
TEST_F(AccountEditTest, ModifyUserPasswordsAndTheAdministrator) {
  const UserInfo op1 = *User("op1");
  const std::string digest = op1.Password;
  auto kept = ModifyUser(Lists(), op1, {"op1", "night", digest, digest}, "op1");
  ASSERT_TRUE(kept.done) << kept.message;
  EXPECT_EQ(std::string(User("op1")->Password), digest);
  EXPECT_STREQ(User("op1")->GroupName, "night");

  auto renamed = ModifyUser(Lists(), kept.record, {" boss ", "visitors", " new ", "new"}, "op1");
  ASSERT_TRUE(renamed.done) << renamed.message;
  EXPECT_EQ(std::string(User("boss")->Password), Digest("new"));
  EXPECT_STREQ(User("boss")->RoleName, "viewer");
  EXPECT_EQ(ModifyUser(Lists(), op1, {"op1", "duty", "x", "x"}, "op1").message, 703u);  // stale copy

  const UserInfo admin = *User("admin");
  const struct {
    UserForm form;
    const char* loggedIn;
    UINT message;
  } cases[] = {
      {{"admin", "default", "pw", "pw"}, "boss", 715},
      {{"root", "default", "pw", "pw"}, "admin", 715},
      {{"admin", "duty", "pw", "pw"}, "admin", 715},
      {{"admin", "default", "pw", "pw2"}, "admin", 229},
      {{"admin", "default", std::string(32, 'A'), std::string(32, 'A')}, "admin", kMsgPasswordTooLongForLogin},
      {{"admin", "default", "pw", "pw"}, "admin", 702},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ModifyUser(Lists(), admin, c.form, c.loggedIn).message, c.message) << c.form.name << " " << c.loggedIn;
  }
  EXPECT_EQ(std::string(User("admin")->Password), Digest("pw"));
  UserInfo none;
  EXPECT_EQ(ModifyUser(Lists(), none, {"x", "duty", "p", "p"}, "admin").message, 698u);
  EXPECT_EQ(ModifyUser(Lists(), *User("guest"), {"boss", "duty", "p", "p"}, "admin").message, 692u);
  EXPECT_EQ(ModifyUser(Lists(), *User("guest"), {"guest", "gone", "p", "p"}, "admin").message, 701u);
}
