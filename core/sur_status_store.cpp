#include "core/sur_status_store.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/client_log.h"
#include "core/config_xml.h"
#include "core/fixed_text.h"

std::list<SurStatus> g_lstSurStatus;

namespace {

constexpr size_t kDefaultBlockSize = 2048;
constexpr const char* kDefaultDocument =
    "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<RecoverInfo>\n"
    "\t<DispStatus UserName=\"admin\" DispMode=\"4\" />\n</RecoverInfo>";

const char* TextAttribute(const TiXmlElement* e, const char* name) {
  const char* value = e->Attribute(name);
  return value ? value : "";
}

int IntAttribute(const TiXmlElement* e, const char* name) {
  return std::atoi(TextAttribute(e, name));
}

bool IsCurrentUsers(const TiXmlElement* e) {
  return (IsElement(e, "SurStauts") || IsElement(e, "DispStatus")) &&
         FixedTextView(g_szCurUser) == TextAttribute(e, "UserName");
}

}  // namespace

void LoadRecoverInfo() {
  WriteLog(6, "AppInit: Get surveillance status.");
  const std::string path = ConfigFilePath("Recover.xml");
  TiXmlDocument doc;
  if (!LoadConfigOrWriteDefault(path, doc, kDefaultDocument, kDefaultBlockSize)) return;
  const TiXmlElement* root = doc.RootElement();
  if (!root) return;
  for (const TiXmlElement* e = root->FirstChildElement("SurStauts"); e;
       e = e->NextSiblingElement("SurStauts")) {
    if (FixedTextView(g_szCurUser) != TextAttribute(e, "UserName")) continue;
    SurStatus status;
    CopyFixedText(status.DevId, TextAttribute(e, "DevId"));
    CopyFixedText(status.DevName, TextAttribute(e, "DevName"));
    status.WndNo = IntAttribute(e, "WndNo");
    status.MonitorNum = IntAttribute(e, "MonitorNum");
    status.DispMode = IntAttribute(e, "DispMode");
    g_lstSurStatus.push_back(status);
  }
}

void SaveRecoverInfo() {
  const std::string path = ConfigFilePath("Recover.xml");
  TiXmlDocument doc;
  if (!LoadConfigForSave(path, doc)) return;
  if (TiXmlElement* root = doc.RootElement()) {
    for (TiXmlElement* e = root->FirstChildElement(); e;) {
      TiXmlElement* next = e->NextSiblingElement();
      if (IsCurrentUsers(e)) root->RemoveChild(e);
      e = next;
    }
    const std::string user = FixedText(g_szCurUser);
    for (const SurStatus& status : g_lstSurStatus) {
      auto* element = new TiXmlElement("SurStauts");
      element->SetAttribute("UserName", user.c_str());
      element->SetAttribute("DevId", FixedText(status.DevId).c_str());
      element->SetAttribute("DevName", FixedText(status.DevName).c_str());
      element->SetAttribute("WndNo", status.WndNo);
      element->SetAttribute("MonitorNum", status.MonitorNum);
      element->SetAttribute("DispMode", status.DispMode);
      root->LinkEndChild(element);
    }
  }
  SaveConfigXml(doc, path);
}
