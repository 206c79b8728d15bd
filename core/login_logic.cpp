#include "core/login_logic.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/app_data.h"
#include "core/cloud_client.h"
#include "core/cloud_device.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/md5.h"
#include "core/rec_scheme_store.h"
#include "core/startup_settings.h"
#include "core/text_convert.h"
#include "core/user_info_store.h"
#include "core/user_settings.h"

int g_bCmdAutoLogin = 0;
int g_bUseLoginSvr = 0;
char g_szLoginSvrIp[64] = {};
int g_nLoginSvrPort = 0;
char g_szCloudSvrAddr[260] = {};

namespace {

constexpr size_t kMaxNameLength = 32;
constexpr size_t kDigestLength = 32;
constexpr size_t kMaxSavedLogins = 5;

std::string Md5Upper(const std::string& text) {
  char out[33];
  Md5UpperHex(text.c_str(), out);
  return out;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

const char* ChildText(const TiXmlElement* parent, const char* name) {
  return GetNodeText(parent->FirstChildElement(name));
}

// One device of the account's list into `device`; false when it has no address.
bool ReadCloudDevice(const TiXmlElement* node, DevInfo* device) {
  if (*ChildText(node, "devip") == '\0') return false;
  ReadCloudDeviceFields(node, device);
  device->WebPort = std::atoi(ChildText(node, "devwebport"));
  device->VideoPort = std::atoi(ChildText(node, "devvideoport"));
  CopyFixedText(device->DefRes, "cif");
  CopyFixedText(device->Resolution, "cif");
  CopyFixedText(device->GroupName, "Default");
  return true;
}

}  // namespace

int ResolveLoginServerAddress(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* list = nullptr;
  const int error = getaddrinfo(host.c_str(), nullptr, &hints, &list);
  if (error != 0 || list == nullptr) {
    if (list != nullptr) freeaddrinfo(list);
    return error != 0 ? error : EAI_NONAME;
  }
  inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr, g_szLoginSvrIp, sizeof g_szLoginSvrIp);
  freeaddrinfo(list);
  return 0;
}

std::string TrimBlanks(const std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

LoginInfo* FindSavedLogin(const std::string& userName) {
  for (LoginInfo& login : g_lstLoginInfo) {
    if (userName == login.UserName) return &login;
  }
  return nullptr;
}

std::string AttemptDigest(const std::string& userName, const std::string& password, bool lockMode) {
  const LoginInfo* saved = FindSavedLogin(userName);
  if (saved != nullptr && !lockMode &&
      ((saved->SaveFlg != 0 && password.size() == kDigestLength) || g_bCmdAutoLogin != 0)) {
    return password;
  }
  return Md5Upper(password);
}

std::string CloudDigest(const std::string& password) {
  return password.size() < kDigestLength ? Md5Upper(password) : password;
}

int CheckLoginInput(const std::string& userName, const std::string& password) {
  if (userName.empty()) return kMsgNoUserName;
  if (userName.size() > kMaxNameLength) return kMsgUserNameTooLong;
  if (password.empty()) return kMsgNoPassword;
  if (password.size() > kMaxNameLength) return kMsgPasswordTooLong;
  return kMsgLoginOk;
}

int CheckServerInput(const std::string& address, const std::string& port) {
  if (address.empty()) return kMsgNoServerAddress;
  if (port.empty()) return kMsgNoServerPort;
  if (address.size() >= sizeof g_szLoginSvrIp) return kMsgServerAddressTooLong;
  return kMsgLoginOk;
}

int CheckLockPassword(const std::string& userName, const std::string& digest) {
  if (userName != g_szCurUser) return kMsgNoSuchUser;
  return Upper(g_szCurPassword) == Upper(digest) ? kMsgLoginOk : kMsgWrongPassword;
}

void SetUserRights(const std::string& roleName) {
  std::fill(std::begin(g_nCurRights), std::end(g_nCurRights), 0);
  for (const RoleInfo& role : g_lstRoleInfo) {
    if (roleName != role.RoleName) continue;
    const int rights[kRightCount] = {role.SurPTZ, role.Alarm, role.Record, role.PTZ,
                                     role.UserManager, role.HighLeve, role.Reserved};
    std::copy(std::begin(rights), std::end(rights), g_nCurRights);
    return;
  }
}

int CheckLocalLogin(const std::string& userName, const std::string& digest) {
  for (const UserInfo& user : g_lstUserInfo) {
    if (userName != user.UserName) continue;
    if (digest != user.Password) return kMsgWrongPassword;
    if (userName == "admin") {
      std::fill(std::begin(g_nCurRights), std::end(g_nCurRights), 1);
      return kMsgLoginOk;
    }
    SetUserRights(user.RoleName);
    const bool any = std::any_of(std::begin(g_nCurRights), std::end(g_nCurRights), [](int r) { return r != 0; });
    return any ? kMsgLoginOk : kMsgNoRights;
  }
  return kMsgNoSuchUser;
}

void SetCurrentUser(const std::string& userName, const std::string& digest, bool allRights) {
  CopyFixedText(g_szCurUser, userName.c_str());
  CopyFixedText(g_szCurPassword, digest.c_str());
  if (allRights) std::fill(std::begin(g_nCurRights), std::end(g_nCurRights), 1);
}

void SaveLoginInfo(const LoginForm& form) {
  const std::string name = TrimBlanks(form.userName);
  const std::string password = TrimBlanks(form.password);
  const int saveFlag = g_bAutoRun != 0 ? 1 : (form.savePassword ? 1 : 0);
  if (g_bAutoRun == 0) g_bAutoLogin = form.autoLogin ? 1 : 0;
  const std::string digest = password.size() == kDigestLength ? password : Md5Upper(password);

  LoginInfo* match = FindSavedLogin(name);
  if (match != nullptr) {
    for (LoginInfo& login : g_lstLoginInfo) {
      if (&login == match) break;
      login.LastUsingFlg = 0;
    }
    match->SaveFlg = saveFlag;
    match->LastUsingFlg = 1;
    CopyFixedText(match->SvrIp, form.svrIp.c_str());
    CopyFixedText(match->SvrPort, form.svrPort.c_str());
    CopyFixedText(match->Password, digest.c_str());
    match->LoginSvrFlg = form.loginServer ? 1 : 0;
  } else {
    // Only one saved login is the last used one.
    for (LoginInfo& login : g_lstLoginInfo) login.LastUsingFlg = 0;
    LoginInfo added;
    CopyFixedText(added.UserName, name.c_str());
    if (saveFlag != 0) CopyFixedText(added.Password, digest.c_str());
    CopyFixedText(added.SvrIp, form.svrIp.c_str());
    CopyFixedText(added.SvrPort, form.svrPort.c_str());
    added.LoginSvrFlg = form.loginServer ? 1 : 0;
    added.SaveFlg = saveFlag;
    added.LastUsingFlg = 1;
    while (g_lstLoginInfo.size() >= kMaxSavedLogins) g_lstLoginInfo.pop_front();
    g_lstLoginInfo.push_back(added);
  }
  SaveUserInfo();
}

int ApplyCloudAnswer(const char* answer) {
  TiXmlDocument document;
  document.Parse(answer != nullptr ? answer : "");
  const TiXmlElement* root = document.RootElement();
  if (document.Error() || root == nullptr) return -1;
  const TiXmlElement* err = root->FirstChildElement("err");
  const int result = err != nullptr ? std::atoi(GetNodeText(err)) : 0;
  if (result != 0) return result;  // a refusal keeps the device list as it was

  std::list<DevInfo> devices;
  if (const TiXmlElement* list = root->FirstChildElement("ls")) {
    for (const TiXmlElement* node = list->FirstChildElement(); node != nullptr; node = node->NextSiblingElement()) {
      DevInfo device;
      if (!ReadCloudDevice(node, &device)) continue;
      const bool known = std::any_of(devices.begin(), devices.end(),
                                     [&](const DevInfo& d) { return std::strcmp(d.DevSN, device.DevSN) == 0; });
      if (known) continue;
      WriteLog(6,
               "CSettingDevInfoDlg::OnBnClickedBtnIpcAdd():Add a device channel, DevName=%s, GimbroId=%ld, ip=%s, "
               "port=%d, name=%s, psw=%s",
               device.DevName, static_cast<long>(device.GimbroId), device.IPAddr, device.VideoPort,
               device.LoginName, MaskSecret(device.LoginPsw));
      devices.push_back(device);
    }
  }
  {
    CsLock lock(&g_csAppData);
    g_lstDevInfo.swap(devices);
  }
  FreeRecSchemeList();
  CsLock lock(&g_csAppData);
  LoadRecInfo();
  return 0;
}

int RunCloudLogin(const std::string& host, int port, const std::string& userName, const std::string& digest,
                  int* cloudResult) {
  auto answer = std::make_unique<char[]>(kCloudAnswerBufferSize);
  answer[0] = '\0';
  int size = kCloudAnswerBufferSize;
  *cloudResult = CloudLogin(host.c_str(), port, userName.c_str(), digest.c_str(), answer.get(), &size);
  if (*cloudResult != kCloudOk) return kMsgLoginFailed;
  if (size == 0) answer[0] = '\0';  // an incomplete answer is no answer
  const int err = ApplyCloudAnswer(answer.get());
  if (err < 0) return kMsgLoginFailed;
  return err == 0 ? kMsgLoginOk : kMsgWrongPassword;
}

const char* MaskSecret(const char* secret) { return secret != nullptr && *secret != '\0' ? "******" : ""; }
