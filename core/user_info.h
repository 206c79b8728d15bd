// The local accounts: saved logins, users, user groups and roles with their
// rights, and the logged-in user. Plain records, every member starting at zero;
// texts are zero-terminated GBK strings of the fixed sizes given.
#pragma once

#include <list>

#include "core/client_log.h"  // g_szCurUser

struct LoginInfo {  // a saved login of the login dialog
  char UserName[256] = {};
  char Password[100] = {};
  char SvrIp[64] = {};
  char SvrPort[10] = {};
  char SavePath[1024] = {};
  int SaveFlg = 0;
  int LoginSvrFlg = 0;
  int LastUsingFlg = 0;
};

struct UserInfo {
  char UserName[256] = {};
  char Password[100] = {};  // Md5UpperHex digest: 32 upper-case hexadecimal digits
  char RoleName[256] = {};
  char GroupName[256] = {};
  char Desc[512] = {};
};

struct GroupInfo {  // a user group
  char GroupName[256] = {};
  char RoleName[256] = {};
  char Desc[512] = {};
};

constexpr int kRightCount = 7;

struct RoleInfo {
  char RoleName[256] = {};
  char Desc[512] = {};
  // The rights, 0/1, in this order (g_nCurRights keeps the same order).
  int SurPTZ = 0;
  int Alarm = 0;
  int Record = 0;
  int PTZ = 0;
  int UserManager = 0;
  int HighLeve = 0;
  int Reserved = 0;  // the seventh right, not carried by the file
};

extern std::list<LoginInfo> g_lstLoginInfo;
extern std::list<UserInfo> g_lstUserInfo;
extern std::list<GroupInfo> g_lstGroupInfo;
extern std::list<RoleInfo> g_lstRoleInfo;

// The logged-in user (set by the login dialog): g_szCurUser (client_log.h), the
// password digest and the seven rights in the role record's order.
extern char g_szCurPassword[100];
extern int g_nCurRights[kRightCount];
