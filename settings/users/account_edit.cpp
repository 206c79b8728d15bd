#include "settings/users/account_edit.h"

#include <algorithm>

#include "core/fixed_text.h"
#include "core/login_logic.h"
#include "core/md5.h"

namespace {

constexpr const char* kAdminUser = "admin";
constexpr const char* kDefaultName = "default";
constexpr size_t kMaxAccountName = sizeof(UserInfo::UserName) - 1;  // 255, as the group and role names
constexpr size_t kMaxLoginName = 32;                                // what the login accepts
constexpr size_t kDigestLength = 32;

// The page's messages, by string id.
enum : UINT {
  kGroupNameEmpty = 676, kGroupRoleMissing = 677, kGroupExists = 678, kGroupAdded = 679,
  kGroupNotChosen = 684, kGroupNewNameEmpty = 685, kGroupRoleGone = 686, kGroupModified = 687,
  kGroupToModifyGone = 688, kUserNameEmpty = 689, kUserPasswordEmpty = 690, kUserGroupMissing = 691,
  kUserExists = 692, kUserAdded = 693, kUserNotChosen = 698, kUserNewNameEmpty = 699,
  kUserModPasswordEmpty = 700, kUserModGroupMissing = 701, kUserModified = 702, kUserToModifyGone = 703,
  kRoleNameEmpty = 704, kRoleExists = 705, kRoleAdded = 706, kRoleNotChosen = 711, kRoleNewNameEmpty = 712,
  kRoleModified = 713, kRoleToModifyGone = 714, kAdminNotYours = 715, kDefaultRoleFixed = 717,
  kDefaultGroupFixed = 718, kConfirmDiffers = 229,
};

template <class T, size_t N>
typename std::list<T>::iterator FindNamed(std::list<T>& list, char (T::*field)[N], const std::string& name) {
  return std::find_if(list.begin(), list.end(), [&](const T& item) { return FixedTextView(item.*field) == name; });
}

template <class T, size_t N>
bool Exists(std::list<T>& list, char (T::*field)[N], const std::string& name) {
  return FindNamed(list, field, name) != list.end();
}

bool HasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

// 0 when a (non-empty) name may be stored, else the message.
UINT NameRefusal(const std::string& name, size_t limit, UINT tooLong) {
  if (name.size() > limit) return tooLong;
  if (name.find('#') != std::string::npos || HasControlCharacter(name)) return kMsgNameBadCharacter;
  if (TrimBlanks(name) != name) return kMsgNameBlanksAround;
  return 0;
}

// 0 when a typed (trimmed, non-empty) password may be stored.
UINT PasswordRefusal(const std::string& password) {
  if (password.size() >= kDigestLength) return kMsgPasswordTooLongForLogin;
  if (HasControlCharacter(password)) return kMsgPasswordBadCharacter;
  return 0;
}

std::string Digest(const std::string& password) {
  char digest[kDigestLength + 1] = {};
  Md5UpperHex(password.c_str(), digest);
  return digest;
}

void ApplyRights(RoleInfo& role, const RoleRights& rights) {
  role.SurPTZ = rights.SurPTZ;
  role.Record = rights.Record;
  role.Alarm = rights.Alarm;
  role.PTZ = rights.PTZ;
  role.UserManager = rights.UserManager;
  role.HighLeve = rights.HighLeve;
}

template <class Record>
AccountResult<Record> Refused(UINT message) {
  return AccountResult<Record>{message, false, Record{}};
}

template <class Record>
AccountResult<Record> Done(UINT message, const Record& record) {
  return AccountResult<Record>{message, true, record};
}

}  // namespace

std::string GetGroupRoleName(const std::list<GroupInfo>& groups, const std::string& group) {
  for (const GroupInfo& g : groups) {
    if (FixedTextView(g.GroupName) == group) return FixedText(g.RoleName);
  }
  return {};
}

AccountResult<GroupInfo> AddGroup(AccountLists lists, const std::string& typedName, const std::string& role) {
  const std::string name = TrimBlanks(typedName);
  if (name.empty()) return Refused<GroupInfo>(kGroupNameEmpty);
  if (UINT refusal = NameRefusal(name, kMaxAccountName, kMsgAccountNameTooLong)) return Refused<GroupInfo>(refusal);
  if (!Exists(lists.roles, &RoleInfo::RoleName, role)) return Refused<GroupInfo>(kGroupRoleMissing);
  if (Exists(lists.groups, &GroupInfo::GroupName, name)) return Refused<GroupInfo>(kGroupExists);
  GroupInfo group;
  CopyFixedText(group.GroupName, name.c_str());
  CopyFixedText(group.RoleName, role.c_str());
  lists.groups.push_back(group);
  return Done(kGroupAdded, group);
}

AccountResult<GroupInfo> ModifyGroup(AccountLists lists, const GroupInfo& current, const std::string& newName,
                                     const std::string& role) {
  const std::string oldName = FixedText(current.GroupName);
  if (oldName.empty()) return Refused<GroupInfo>(kGroupNotChosen);
  if (newName.empty()) return Refused<GroupInfo>(kGroupNewNameEmpty);
  if (UINT refusal = NameRefusal(newName, kMaxAccountName, kMsgAccountNameTooLong)) {
    return Refused<GroupInfo>(refusal);
  }
  if (newName != oldName && Exists(lists.groups, &GroupInfo::GroupName, newName)) {
    return Refused<GroupInfo>(kGroupExists);
  }
  if (newName == kDefaultName || oldName == kDefaultName) return Refused<GroupInfo>(kDefaultGroupFixed);
  if (!Exists(lists.roles, &RoleInfo::RoleName, role)) return Refused<GroupInfo>(kGroupRoleGone);
  auto group = FindNamed(lists.groups, &GroupInfo::GroupName, oldName);
  if (group == lists.groups.end()) return Refused<GroupInfo>(kGroupToModifyGone);
  CopyFixedText(group->GroupName, newName.c_str());
  CopyFixedText(group->RoleName, role.c_str());
  for (UserInfo& user : lists.users) {
    if (FixedTextView(user.GroupName) != oldName) continue;
    CopyFixedText(user.GroupName, newName.c_str());
    CopyFixedText(user.RoleName, role.c_str());
  }
  return Done(kGroupModified, *group);
}

AccountResult<UserInfo> AddUser(AccountLists lists, const UserForm& form) {
  const std::string name = TrimBlanks(form.name);
  const std::string password = TrimBlanks(form.password);
  const std::string confirm = TrimBlanks(form.confirm);
  if (name.empty()) return Refused<UserInfo>(kUserNameEmpty);
  if (UINT refusal = NameRefusal(name, kMaxLoginName, kMsgAccountUserTooLong)) return Refused<UserInfo>(refusal);
  if (password.empty() || confirm.empty()) return Refused<UserInfo>(kUserPasswordEmpty);
  if (!Exists(lists.groups, &GroupInfo::GroupName, form.group)) return Refused<UserInfo>(kUserGroupMissing);
  if (password != confirm) return Refused<UserInfo>(kConfirmDiffers);
  if (UINT refusal = PasswordRefusal(password)) return Refused<UserInfo>(refusal);
  if (Exists(lists.users, &UserInfo::UserName, name)) return Refused<UserInfo>(kUserExists);
  UserInfo user;
  CopyFixedText(user.UserName, name.c_str());
  CopyFixedText(user.GroupName, form.group.c_str());
  CopyFixedText(user.Password, Digest(password).c_str());
  CopyFixedText(user.RoleName, GetGroupRoleName(lists.groups, form.group).c_str());
  lists.users.push_back(user);
  return Done(kUserAdded, user);
}

AccountResult<UserInfo> ModifyUser(AccountLists lists, const UserInfo& current, const UserForm& form,
                                   const std::string& loggedIn) {
  const std::string oldName = FixedText(current.UserName);
  if (oldName.empty()) return Refused<UserInfo>(kUserNotChosen);
  const std::string name = TrimBlanks(form.name);
  const std::string password = TrimBlanks(form.password);
  const std::string confirm = TrimBlanks(form.confirm);
  if (name.empty()) return Refused<UserInfo>(kUserNewNameEmpty);
  if (UINT refusal = NameRefusal(name, kMaxLoginName, kMsgAccountUserTooLong)) return Refused<UserInfo>(refusal);
  if (password.empty() || confirm.empty()) return Refused<UserInfo>(kUserModPasswordEmpty);
  if (!Exists(lists.groups, &GroupInfo::GroupName, form.group)) return Refused<UserInfo>(kUserModGroupMissing);
  if (name == kAdminUser && loggedIn != kAdminUser) return Refused<UserInfo>(kAdminNotYours);
  // The administrator keeps its name and its group (the page does not let them be edited).
  if (oldName == kAdminUser && (name != oldName || form.group != FixedTextView(current.GroupName))) {
    return Refused<UserInfo>(kAdminNotYours);
  }
  if (password != confirm) return Refused<UserInfo>(kConfirmDiffers);
  const bool keepsDigest = password == FixedTextView(current.Password);
  if (!keepsDigest) {
    if (UINT refusal = PasswordRefusal(password)) return Refused<UserInfo>(refusal);
  }
  if (name != oldName && Exists(lists.users, &UserInfo::UserName, name)) return Refused<UserInfo>(kUserExists);
  auto user = FindNamed(lists.users, &UserInfo::UserName, oldName);
  if (user == lists.users.end()) return Refused<UserInfo>(kUserToModifyGone);
  CopyFixedText(user->UserName, name.c_str());
  CopyFixedText(user->GroupName, form.group.c_str());
  if (!keepsDigest) CopyFixedText(user->Password, Digest(password).c_str());
  CopyFixedText(user->RoleName, GetGroupRoleName(lists.groups, form.group).c_str());
  return Done(kUserModified, *user);
}

AccountResult<RoleInfo> AddRole(AccountLists lists, const std::string& typedName, const RoleRights& rights) {
  const std::string name = TrimBlanks(typedName);
  if (name.empty()) return Refused<RoleInfo>(kRoleNameEmpty);
  if (UINT refusal = NameRefusal(name, kMaxAccountName, kMsgAccountNameTooLong)) return Refused<RoleInfo>(refusal);
  if (Exists(lists.roles, &RoleInfo::RoleName, name)) return Refused<RoleInfo>(kRoleExists);
  RoleInfo role;
  CopyFixedText(role.RoleName, name.c_str());
  ApplyRights(role, rights);
  lists.roles.push_back(role);
  return Done(kRoleAdded, role);
}

AccountResult<RoleInfo> ModifyRole(AccountLists lists, const RoleInfo& current, const std::string& newName,
                                   const RoleRights& rights) {
  const std::string oldName = FixedText(current.RoleName);
  if (oldName.empty()) return Refused<RoleInfo>(kRoleNotChosen);
  if (newName.empty()) return Refused<RoleInfo>(kRoleNewNameEmpty);
  if (UINT refusal = NameRefusal(newName, kMaxAccountName, kMsgAccountNameTooLong)) {
    return Refused<RoleInfo>(refusal);
  }
  if (newName != oldName && Exists(lists.roles, &RoleInfo::RoleName, newName)) {
    return Refused<RoleInfo>(kRoleExists);
  }
  if (newName == kDefaultName || oldName == kDefaultName) return Refused<RoleInfo>(kDefaultRoleFixed);
  auto role = FindNamed(lists.roles, &RoleInfo::RoleName, oldName);
  if (role == lists.roles.end()) return Refused<RoleInfo>(kRoleToModifyGone);
  CopyFixedText(role->RoleName, newName.c_str());
  ApplyRights(*role, rights);
  for (UserInfo& user : lists.users) {
    if (FixedTextView(user.RoleName) == oldName) CopyFixedText(user.RoleName, newName.c_str());
  }
  for (GroupInfo& group : lists.groups) {
    if (FixedTextView(group.RoleName) == oldName) CopyFixedText(group.RoleName, newName.c_str());
  }
  return Done(kRoleModified, *role);
}
