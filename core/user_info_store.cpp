#include "core/user_info_store.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/client_log.h"
#include "core/config_xml.h"
#include "core/fixed_text.h"
#include "core/md5.h"
#include "core/module_path.h"
#include "core/text_convert.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "core/xml_fields.h"

std::list<LoginInfo> g_lstLoginInfo;
std::list<UserInfo> g_lstUserInfo;
std::list<GroupInfo> g_lstGroupInfo;
std::list<RoleInfo> g_lstRoleInfo;
char g_szCurPassword[100];
int g_nCurRights[kRightCount];

namespace {

constexpr size_t kDefaultBlockSize = 3072;
constexpr const char* kDefaultDocument =
    "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n"
    "<UserInfo>\n"
    "\t<DispInfoSetting>\n"
    "\t\t<DispInfo></DispInfo>\n"
    "\t\t<Title>Vemo</Title>\n"
    "\t\t<Version></Version>\n"
    "\t\t<AutoSwitchStream>1</AutoSwitchStream>\n"
    "\t\t<ShowLastFrame>0</ShowLastFrame>\n"
    "\t\t<BufferTick>500</BufferTick>\n"
    "\t</DispInfoSetting>\n"
    "\t<mlog>1</mlog>\n"
    "\t<LoginSetting>\n"
    "\t\t<AutoLogin>0</AutoLogin>\n"
    "\t</LoginSetting>\n"
    "\t<LoginList />\n"
    "\t<UserList>\n"
    "\t\t<User>\n"
    "\t\t\t<UserName>admin</UserName>\n"
    "\t\t\t<Password>7C1E9A04B3D25F86E0A47B19C3D8F265</Password>\n"
    "\t\t\t<GroupName>default</GroupName>\n"
    "\t\t\t<RoleName>default</RoleName>\n"
    "\t\t\t<Desc></Desc>\n"
    "\t\t</User>\n"
    "\t</UserList>\n"
    "\t<GroupList>\n"
    "\t\t<Group>\n"
    "\t\t\t<GroupName>default</GroupName>\n"
    "\t\t\t<RoleName>default</RoleName>\n"
    "\t\t\t<Desc></Desc>\n"
    "\t\t</Group>\n"
    "\t</GroupList>\n"
    "\t<RoleList>\n"
    "\t\t<Role>\n"
    "\t\t\t<RoleName>default</RoleName>\n"
    "\t\t\t<SurPTZ>1</SurPTZ>\n"
    "\t\t\t<Record>1</Record>\n"
    "\t\t\t<Alarm>1</Alarm>\n"
    "\t\t\t<PTZ>1</PTZ>\n"
    "\t\t\t<UserManager>1</UserManager>\n"
    "\t\t\t<HighLeve>0</HighLeve>\n"
    "\t\t\t<Desc></Desc>\n"
    "\t\t</Role>\n"
    "\t</RoleList>\n"
    "</UserInfo>";

// The settings of "DispInfoSetting" in the writer's order ("SyncTime" follows).
struct TextSetting {
  const char* name;
  CString* value;
};
struct IntSetting {
  const char* name;
  int* value;
};
const TextSetting kTextSettings[] = {
    {"DispInfo", &g_strDispInfo}, {"Title", &g_strTitle}, {"Version", &g_strVersion}};
const IntSetting kIntSettings[] = {
    {"AutoSwitchStream", &g_bAutoSwitchStream}, {"ShowLastFrame", &g_bShowLastFrame},
    {"CapturePicFmt", &g_nCapturePicFmt},       {"DefDisplayMode", &g_nDefDisplayMode},
    {"KbConfigMode", &g_nKbConfigMode},         {"MonitorMode", &g_nMonitorMode},
    {"FilpMode", &g_nFullDisp},                 {"FilterAlarm", &g_bFilterAlarm},
    {"LoginType", &g_nLoginType}};

constexpr XmlField kLoginFields[] = {
    VEMO_XML_TEXT(LoginInfo, UserName), VEMO_XML_TEXT(LoginInfo, Password),
    VEMO_XML_TEXT(LoginInfo, SvrIp),    VEMO_XML_TEXT(LoginInfo, SvrPort),
    VEMO_XML_INT(LoginInfo, LoginSvrFlg), VEMO_XML_INT(LoginInfo, SaveFlg),
    VEMO_XML_INT(LoginInfo, LastUsingFlg), VEMO_XML_TEXT(LoginInfo, SavePath)};
constexpr XmlField kUserFields[] = {
    VEMO_XML_TEXT(UserInfo, UserName), VEMO_XML_TEXT(UserInfo, Password),
    VEMO_XML_TEXT(UserInfo, GroupName), VEMO_XML_TEXT(UserInfo, RoleName),
    VEMO_XML_TEXT(UserInfo, Desc)};
constexpr XmlField kGroupFields[] = {VEMO_XML_TEXT(GroupInfo, GroupName),
                                     VEMO_XML_TEXT(GroupInfo, RoleName),
                                     VEMO_XML_TEXT(GroupInfo, Desc)};
constexpr XmlField kRoleFields[] = {
    VEMO_XML_TEXT(RoleInfo, RoleName), VEMO_XML_INT(RoleInfo, SurPTZ),
    VEMO_XML_INT(RoleInfo, Record),    VEMO_XML_INT(RoleInfo, Alarm),
    VEMO_XML_INT(RoleInfo, PTZ),       VEMO_XML_INT(RoleInfo, UserManager),
    VEMO_XML_INT(RoleInfo, HighLeve),  VEMO_XML_TEXT(RoleInfo, Desc)};

void ReadSyncTime(const TiXmlElement* e) {
  if (const char* v = e->Attribute("enable")) g_SyncTime.enable = std::atoi(v);
  if (const char* v = e->Attribute("interval")) g_SyncTime.interval = std::atoi(v);
  if (const char* v = e->Attribute("diff")) g_SyncTime.diff = std::atoi(v);
}

void ReadDispInfoSetting(const TiXmlElement* parent) {
  for (const TiXmlElement* e = parent->FirstChildElement(); e; e = e->NextSiblingElement()) {
    if (IsElement(e, "SyncTime")) {
      ReadSyncTime(e);
      continue;
    }
    for (const TextSetting& s : kTextSettings) {
      if (IsElement(e, s.name)) *s.value = GetNodeText(e);
    }
    for (const IntSetting& s : kIntSettings) {
      if (IsElement(e, s.name)) *s.value = ElementInt(e);
    }
  }
}

void WriteDispInfoSetting(TiXmlElement* parent) {
  parent->Clear();
  for (const TextSetting& s : kTextSettings) AppendTextElement(parent, s.name, s.value->c_str());
  for (const IntSetting& s : kIntSettings) AppendIntElement(parent, s.name, *s.value);
  auto* sync = new TiXmlElement("SyncTime");
  sync->SetAttribute("enable", g_SyncTime.enable);
  sync->SetAttribute("interval", g_SyncTime.interval);
  sync->SetAttribute("diff", g_SyncTime.diff);
  parent->LinkEndChild(sync);
}

// The client log's file in "D:\\<title>-Log", its folder created first.
void SwitchFileLogOn() {
  const std::string folder = "D:\\" + g_strTitle + "-Log";
  CreateDirectoryTree(folder);
  OpenLogFile((folder + "\\clientlog.txt").c_str());
}

void ReadLogins(const TiXmlElement* list) {
  g_lstLoginInfo.clear();
  for (const TiXmlElement* l = list->FirstChildElement("Login"); l;
       l = l->NextSiblingElement("Login")) {
    LoginInfo login;
    for (const TiXmlElement* e = l->FirstChildElement(); e; e = e->NextSiblingElement()) {
      if (IsElement(e, "FullDisp")) {
        g_nFullDisp = ElementInt(e);  // one setting for all: the last one read wins
      } else {
        ReadXmlField(e, &login, kLoginFields);
      }
    }
    g_lstLoginInfo.push_back(login);
  }
}

template <class Record>
void ReadList(const TiXmlElement* list, const char* itemName, std::span<const XmlField> fields,
              std::list<Record>& out) {
  out.clear();
  for (const TiXmlElement* e = list->FirstChildElement(itemName); e;
       e = e->NextSiblingElement(itemName)) {
    Record record;
    ReadXmlFields(e, &record, fields);
    out.push_back(record);
  }
}

template <class Record>
void WriteList(TiXmlElement* list, const char* itemName, std::span<const XmlField> fields,
               const std::list<Record>& records) {
  list->Clear();
  for (const Record& record : records) {
    auto* element = new TiXmlElement(itemName);
    list->LinkEndChild(element);
    WriteXmlFields(element, &record, fields);
  }
}

void WriteLogins(TiXmlElement* list) {
  list->Clear();
  for (const LoginInfo& login : g_lstLoginInfo) {
    auto* element = new TiXmlElement("Login");
    list->LinkEndChild(element);
    // Writer's order: ... LastUsingFlg, FullDisp, SavePath.
    WriteXmlFields(element, &login, std::span(kLoginFields).first(7));
    AppendIntElement(element, "FullDisp", g_nFullDisp);
    WriteXmlFields(element, &login, std::span(kLoginFields).subspan(7));
  }
}

// A password that is not yet a 32-character digest is stored as its digest.
UserInfo StoredUser(const UserInfo& user) {
  UserInfo stored = user;
  const std::string password = FixedText(user.Password);
  if (password.size() != 32) Md5UpperHex(password.c_str(), stored.Password);
  return stored;
}

void WriteLoginSetting(TiXmlElement* parent) {
  TiXmlElement* autoLogin = parent->FirstChildElement("AutoLogin");
  if (autoLogin) {
    autoLogin->Clear();
    char text[16];
    std::snprintf(text, sizeof text, "%d", g_bAutoLogin);
    autoLogin->LinkEndChild(new TiXmlText(text));
  } else {
    AppendIntElement(parent, "AutoLogin", g_bAutoLogin);
  }
}

}  // namespace

int LoadUserInfo() {
  const std::string path = ConfigFilePath("UserInfo.xml");
  TiXmlDocument doc;
  if (!LoadConfigOrWriteDefault(path, doc, kDefaultDocument, kDefaultBlockSize)) return -1;
  const TiXmlElement* root = doc.RootElement();
  if (!root) return -1;
  // Elements take effect in document order ("mlog" uses the title read so far).
  for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
    if (IsElement(e, "DispInfoSetting")) {
      ReadDispInfoSetting(e);
    } else if (IsElement(e, "BufferCount")) {
      g_nBufferCount = ElementInt(e);
    } else if (IsElement(e, "BufferTick")) {
      g_nBufferTick = ElementInt(e);
    } else if (IsElement(e, "mlog")) {
      if (ElementInt(e) != 0) SwitchFileLogOn();
    } else if (IsElement(e, "LoginSetting")) {
      if (const TiXmlElement* a = e->FirstChildElement("AutoLogin")) g_bAutoLogin = ElementInt(a);
    } else if (IsElement(e, "LoginList")) {
      ReadLogins(e);
    } else if (IsElement(e, "UserList")) {
      ReadList(e, "User", kUserFields, g_lstUserInfo);
    } else if (IsElement(e, "GroupList")) {
      ReadList(e, "Group", kGroupFields, g_lstGroupInfo);
    } else if (IsElement(e, "RoleList")) {
      ReadList(e, "Role", kRoleFields, g_lstRoleInfo);
    }
  }
  return 0;
}

void SaveUserInfo() {
  const std::string path = ConfigFilePath("UserInfo.xml");
  TiXmlDocument doc;
  if (!LoadConfigForSave(path, doc)) return;
  if (TiXmlElement* root = doc.RootElement()) {
    std::list<UserInfo> users;
    for (const UserInfo& user : g_lstUserInfo) users.push_back(StoredUser(user));
    for (TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
      if (IsElement(e, "DispInfoSetting")) WriteDispInfoSetting(e);
      else if (IsElement(e, "LoginSetting")) WriteLoginSetting(e);
      else if (IsElement(e, "LoginList")) WriteLogins(e);
      else if (IsElement(e, "UserList")) WriteList(e, "User", kUserFields, users);
      else if (IsElement(e, "GroupList")) WriteList(e, "Group", kGroupFields, g_lstGroupInfo);
      else if (IsElement(e, "RoleList")) WriteList(e, "Role", kRoleFields, g_lstRoleInfo);
    }
  }
  SaveConfigXml(doc, path);
}
