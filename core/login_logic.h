// The rules of the login dialog, without its window: the password digest of an
// attempt, the input checks, the local and lock-mode checks with the rights of
// the user's role, the saved logins (at most five) and the cloud answer that
// replaces the device list. Failures are string ids of the message to show.
#pragma once

#include <string>

#include "core/user_info.h"

// Values of the login dialog shared with the rest of the program.
extern int g_bCmdAutoLogin;        // the command-line word "autologin"
// g_bUseLoginSvr is the only login-server flag (the relay and recording code
// call it g_bLoginServer in their comments). g_szLoginSvrIp is the only
// resolved login-server address (also known as g_szCloudSvrIp): a local login
// with "Select login server" fills it with that server's address, a cloud
// login with the cloud server's; the UDP login and its device fetches use it.
extern int g_bUseLoginSvr;         // the "Select login server" check
extern char g_szLoginSvrIp[64];    // the login server's address resolved at login, dotted
extern int g_nLoginSvrPort;        // and its port
extern char g_szCloudSvrAddr[260]; // the cloud server address last typed

// Message ids of the login.
enum LoginMessage {
  kMsgLoginOk = 0,
  kMsgNoUserName = 223,
  kMsgNoPassword = 224,
  kMsgNoRights = 225,
  kMsgWrongPassword = 226,
  kMsgNoSuchUser = 227,
  kMsgUserNameTooLong = 233,
  kMsgPasswordTooLong = 234,
  kMsgServerAddressTooLong = 235,
  kMsgResolveFailed = 236,
  kMsgLoginFailed = 1443,
  // The empty server address and port name the missing field.
  kMsgNoServerAddress = 20001,
  kMsgNoServerPort = 20002,
};

// Resolves `host` and keeps its first IPv4 address, dotted, in g_szLoginSvrIp.
// The resolver's error code, 0 when done (g_szLoginSvrIp is left as it was
// on an error).
int ResolveLoginServerAddress(const std::string& host);

// Blanks (spaces, tabs, line ends) trimmed at both ends.
std::string TrimBlanks(const std::string& text);

// The saved login with exactly this user name, or null.
LoginInfo* FindSavedLogin(const std::string& userName);

// The digest of an attempt: the typed text itself when the user has a saved
// login (not in lock mode) and either its password is saved and the text is
// 32 characters long, or the command line asked for automatic login;
// otherwise Md5UpperHex of the text.
std::string AttemptDigest(const std::string& userName, const std::string& password, bool lockMode);

// Cloud login digest: Md5UpperHex of a password shorter than 32 characters,
// else the text as it is.
std::string CloudDigest(const std::string& password);

// Empty name 223, too long (over 32) 233; empty password 224, too long 234.
int CheckLoginInput(const std::string& userName, const std::string& password);

// The login server's address and port: empty address kMsgNoServerAddress,
// empty port kMsgNoServerPort, an address of 64 characters or more 235.
int CheckServerInput(const std::string& address, const std::string& port);

// Lock mode: 227 for another user, 226 for a digest that differs from the
// current one (letter case does not count), else 0.
int CheckLockPassword(const std::string& userName, const std::string& digest);

// Copies the seven rights of the named role into g_nCurRights (all 0 when
// there is no such role).
void SetUserRights(const std::string& roleName);

// Local account check: 227 no such user, 226 wrong digest (exact), 225 no
// rights; on 0 g_nCurRights holds the user's rights ("admin": all seven).
int CheckLocalLogin(const std::string& userName, const std::string& digest);

// Sets the logged-in user: name, digest, and (`allRights`) all seven rights.
void SetCurrentUser(const std::string& userName, const std::string& digest, bool allRights);

// What the dialog's controls hold when a login is remembered.
struct LoginForm {
  std::string userName;
  std::string password;
  std::string svrIp;
  std::string svrPort;
  bool savePassword = false;
  bool autoLogin = false;
  bool loginServer = false;
};
// Remembers a successful login in g_lstLoginInfo (at most five, the oldest
// goes first) as the last used one, and saves "UserInfo.xml".
void SaveLoginInfo(const LoginForm& form);

// The answer of a cloud login. `err` is its "err" value (non-zero: refused;
// -1 when the answer does not parse). Only an accepted answer replaces
// g_lstDevInfo with the account's devices and reloads the record schemes; a
// refused or broken one leaves both as they were.
int ApplyCloudAnswer(const char* answer);

// The whole cloud login against host:port (the dialog uses port 80): the
// exchange, then the answer. 0 when the account accepted the login (the device
// list is then the account's); kMsgLoginFailed with the client's result in
// `cloudResult` when the exchange failed; kMsgLoginFailed with cloudResult 0
// for an answer that does not parse; kMsgWrongPassword when refused.
int RunCloudLogin(const std::string& host, int port, const std::string& userName, const std::string& digest,
                  int* cloudResult);

// "******" for a non-empty secret, "" for an empty one: what log lines show of
// a password.
const char* MaskSecret(const char* secret);
