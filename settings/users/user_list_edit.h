// Removing users, user groups and roles from the account lists, with the
// rules the rest of the program relies on: the user "admin" and the group and
// role "default" are never removed, and no user is left in a removed group.
#pragma once

#include <list>
#include <string>

#include "core/user_info.h"

enum class AccountRemoval {
  kRemoved,
  kEmptyName,
  kProtected,   // "admin" or "default", or a role that holds the group "default"
  kHoldsAdmin,  // the group (or a group of the role) holds the user "admin"
  kNotFound,
};

// Removes the first user of that name.
AccountRemoval RemoveUser(std::list<UserInfo>& users, const std::string& name);

// Removes the first group of that name and every user of that group; a group
// that holds "admin" stays.
AccountRemoval RemoveUserGroup(std::list<GroupInfo>& groups, std::list<UserInfo>& users, const std::string& name);

// Removes the first role of that name, every group of that role and their
// users. Users of other groups keep their copy of the role's name. A role that
// holds the group "default" or the group of "admin" stays.
AccountRemoval RemoveRole(std::list<RoleInfo>& roles, std::list<GroupInfo>& groups, std::list<UserInfo>& users,
                          const std::string& name);

// The checks of a removal without removing anything (for a confirmation first).
AccountRemoval CheckUserGroupRemoval(const std::list<GroupInfo>& groups, const std::list<UserInfo>& users,
                                     const std::string& name);
AccountRemoval CheckRoleRemoval(const std::list<RoleInfo>& roles, const std::list<GroupInfo>& groups,
                                const std::list<UserInfo>& users, const std::string& name);
