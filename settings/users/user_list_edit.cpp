#include "settings/users/user_list_edit.h"

#include <algorithm>

#include "core/fixed_text.h"

namespace {

constexpr const char* kAdminUser = "admin";
constexpr const char* kDefaultName = "default";

template <class T, class Name>
typename std::list<T>::iterator FindNamed(std::list<T>& list, const std::string& name, Name field) {
  return std::find_if(list.begin(), list.end(), [&](const T& item) { return FixedTextView(item.*field) == name; });
}

template <class T, class Name>
AccountRemoval Check(const std::list<T>& list, const std::string& name, Name field, const char* fixedName) {
  if (name.empty()) return AccountRemoval::kEmptyName;
  if (name == fixedName) return AccountRemoval::kProtected;
  const bool found = std::any_of(list.begin(), list.end(),
                                 [&](const T& item) { return FixedTextView(item.*field) == name; });
  return found ? AccountRemoval::kRemoved : AccountRemoval::kNotFound;
}

void RemoveUsersOfGroup(std::list<UserInfo>& users, const std::string& group) {
  users.remove_if([&](const UserInfo& user) { return FixedTextView(user.GroupName) == group; });
}

bool GroupHoldsAdmin(const std::list<UserInfo>& users, std::string_view group) {
  return std::any_of(users.begin(), users.end(), [&](const UserInfo& user) {
    return FixedTextView(user.UserName) == kAdminUser && FixedTextView(user.GroupName) == group;
  });
}

}  // namespace

AccountRemoval RemoveUser(std::list<UserInfo>& users, const std::string& name) {
  const AccountRemoval check = Check(users, name, &UserInfo::UserName, kAdminUser);
  if (check != AccountRemoval::kRemoved) return check;
  users.erase(FindNamed(users, name, &UserInfo::UserName));
  return AccountRemoval::kRemoved;
}

AccountRemoval CheckUserGroupRemoval(const std::list<GroupInfo>& groups, const std::list<UserInfo>& users,
                                     const std::string& name) {
  const AccountRemoval check = Check(groups, name, &GroupInfo::GroupName, kDefaultName);
  if (check == AccountRemoval::kRemoved && GroupHoldsAdmin(users, name)) return AccountRemoval::kHoldsAdmin;
  return check;
}

AccountRemoval CheckRoleRemoval(const std::list<RoleInfo>& roles, const std::list<GroupInfo>& groups,
                                const std::list<UserInfo>& users, const std::string& name) {
  const AccountRemoval check = Check(roles, name, &RoleInfo::RoleName, kDefaultName);
  if (check != AccountRemoval::kRemoved) return check;
  for (const GroupInfo& group : groups) {
    if (FixedTextView(group.RoleName) != name) continue;
    if (FixedTextView(group.GroupName) == kDefaultName) return AccountRemoval::kProtected;
    if (GroupHoldsAdmin(users, FixedTextView(group.GroupName))) return AccountRemoval::kHoldsAdmin;
  }
  return check;
}

AccountRemoval RemoveUserGroup(std::list<GroupInfo>& groups, std::list<UserInfo>& users, const std::string& name) {
  const AccountRemoval check = CheckUserGroupRemoval(groups, users, name);
  if (check != AccountRemoval::kRemoved) return check;
  RemoveUsersOfGroup(users, name);
  groups.erase(FindNamed(groups, name, &GroupInfo::GroupName));
  return AccountRemoval::kRemoved;
}

AccountRemoval RemoveRole(std::list<RoleInfo>& roles, std::list<GroupInfo>& groups, std::list<UserInfo>& users,
                          const std::string& name) {
  const AccountRemoval check = CheckRoleRemoval(roles, groups, users, name);
  if (check != AccountRemoval::kRemoved) return check;
  for (auto group = groups.begin(); group != groups.end();) {
    if (FixedTextView(group->RoleName) != name) {
      ++group;
      continue;
    }
    RemoveUsersOfGroup(users, FixedText(group->GroupName));
    group = groups.erase(group);
  }
  roles.erase(FindNamed(roles, name, &RoleInfo::RoleName));
  return AccountRemoval::kRemoved;
}
