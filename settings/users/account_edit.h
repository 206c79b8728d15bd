// Adding and changing users, user groups and roles in the account lists, with
// every check of the users page. Each operation checks all of its input first
// and changes nothing unless every check passed; the result names the message
// the page shows (a string id) and, on success, the record as it now stands in
// the list, so that the page's copy is never stale.
//
// Texts are the program's GBK text, as typed (each operation trims what it
// trims itself). Names are refused when they are longer than their record
// fields hold, or hold '#' or control characters; a user name longer than the
// login accepts (32 bytes) is refused too. New passwords are kept as their
// Md5UpperHex digest from the start, so a new user logs in at once; a typed
// password of 32 characters or more is refused, since the login takes such a
// text for a digest (or refuses it).
#pragma once

#include <list>
#include <string>

#include "core/user_info.h"
#include "platform/win_types.h"

// Messages of the checks this program adds to the page's own.
enum AccountMessage : UINT {
  kMsgAccountUserTooLong = 54001,
  kMsgAccountNameTooLong = 54002,
  kMsgNameBadCharacter = 54003,
  kMsgTextNotGbk = 54004,
  kMsgPasswordTooLongForLogin = 54005,
  kMsgPasswordBadCharacter = 54006,
  kMsgNameBlanksAround = 54008,
};

struct AccountLists {
  std::list<UserInfo>& users;
  std::list<GroupInfo>& groups;
  std::list<RoleInfo>& roles;
};

// The six rights of the page's check boxes (the seventh stays as it is).
struct RoleRights {
  int SurPTZ = 0;
  int Record = 0;
  int Alarm = 0;
  int PTZ = 0;
  int UserManager = 0;
  int HighLeve = 0;
};

// What the user part of the page holds.
struct UserForm {
  std::string name;
  std::string group;
  std::string password;
  std::string confirm;
};

template <class Record>
struct AccountResult {
  UINT message = 0;
  bool done = false;
  Record record{};  // the list's record after a success
};

AccountResult<GroupInfo> AddGroup(AccountLists lists, const std::string& name, const std::string& role);
// Renames `current` (the group last shown) and sets its role; its users follow.
AccountResult<GroupInfo> ModifyGroup(AccountLists lists, const GroupInfo& current, const std::string& newName,
                                     const std::string& role);

AccountResult<UserInfo> AddUser(AccountLists lists, const UserForm& form);
// Changes `current` (the user last shown). `loggedIn` is the logged-in user's
// name. Password boxes left showing the stored digest keep it.
AccountResult<UserInfo> ModifyUser(AccountLists lists, const UserInfo& current, const UserForm& form,
                                   const std::string& loggedIn);

AccountResult<RoleInfo> AddRole(AccountLists lists, const std::string& name, const RoleRights& rights);
// Renames `current` (the role last shown) and sets its rights; groups and
// users naming the role follow.
AccountResult<RoleInfo> ModifyRole(AccountLists lists, const RoleInfo& current, const std::string& newName,
                                   const RoleRights& rights);

// The role of the first group of that name, or "".
std::string GetGroupRoleName(const std::list<GroupInfo>& groups, const std::string& group);
