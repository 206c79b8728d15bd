#include "core/dev_info_store.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/config_xml.h"
#include "core/fixed_text.h"
#include "core/text_convert.h"
#include "core/xml_fields.h"

std::list<DevInfo> g_lstDevInfo;
std::list<DevGroupInfo> g_lstDevGroupInfo;
int g_bAlarmAudio = 0;

namespace {

constexpr size_t kDefaultBlockSize = 2048;
constexpr const char* kDefaultDocument =
    "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<DevInfo>\n\t<DevList />\n\t<GroupList>\n"
    "\t\t<Group>\n\t\t\t<GroupName nType=\"1\" >Default</GroupName>\n\t\t</Group>\n"
    "\t</GroupList>\n\t<AlarmAudio/>\n</DevInfo>";

#define DEV_TEXT(f) VEMO_XML_TEXT(DevInfo, f)
#define DEV_INT(f) VEMO_XML_INT(DevInfo, f)

// The stored fields in the order the writer emits them (the alarm links follow).
constexpr XmlField kFields[] = {
    DEV_INT(DevType),      DEV_TEXT(DevSN),       DEV_TEXT(DevId),         DEV_TEXT(DevName),    DEV_TEXT(GroupName),
    DEV_TEXT(LoginName),   DEV_TEXT(LoginPsw),    DEV_TEXT(MACAddr),       DEV_TEXT(IPAddr),     DEV_TEXT(NetMask),
    DEV_TEXT(GateWay),     DEV_TEXT(DNS1),        DEV_TEXT(DNS2),          DEV_TEXT(ProtocolType), DEV_TEXT(Resolution),
    DEV_TEXT(DefRes),      DEV_TEXT(Status),      DEV_INT(VisitMod),       DEV_INT(Auth),        DEV_INT(EnableDHCP),
    DEV_INT(PtzPort),      DEV_INT(CfgPort),      DEV_INT(NVRChannels),    DEV_INT(CurNVRChannel), DEV_INT(PtzAddr),
    DEV_INT(RtpOverRtsp),  DEV_INT(nPltDev),      DEV_TEXT(DevDomainName), DEV_INT(VideoPort),   DEV_INT(WebPort),
    DEV_INT(CurStoragePath),
};

constexpr XmlField kLinkFields[] = {
    VEMO_XML_INT(AlarmLinkInfo, AlarmType), VEMO_XML_INT(AlarmLinkInfo, OnOff),
    VEMO_XML_INT(AlarmLinkInfo, CauseType), VEMO_XML_INT(AlarmLinkInfo, AlarmTime),
    VEMO_XML_TEXT(AlarmLinkInfo, VoiceFilePath),
};

#undef DEV_TEXT
#undef DEV_INT

// "AlarmLink0" .. "AlarmLink8": the entry index, or -1 for any other name.
int AlarmLinkIndex(const char* name) {
  char expected[16];
  for (int i = 0; i < kAlarmLinkCount; ++i) {
    std::snprintf(expected, sizeof expected, "AlarmLink%d", i);
    if (std::strcmp(name, expected) == 0) return i;
  }
  return -1;
}

void ReadDev(const TiXmlElement* element, DevInfo& dev) {
  for (const TiXmlElement* e = element->FirstChildElement(); e; e = e->NextSiblingElement()) {
    const int link = AlarmLinkIndex(e->Value());
    if (link >= 0) {
      ReadXmlFields(e, &dev.AlarmLink[link], kLinkFields);
    } else {
      ReadXmlField(e, &dev, kFields);
    }
  }
}

void ReadDevList(const TiXmlElement* list, std::list<DevInfo>& out) {
  out.clear();
  for (const TiXmlElement* e = list->FirstChildElement("Dev"); e; e = e->NextSiblingElement("Dev")) {
    out.emplace_back();
    ReadDev(e, out.back());
  }
}

void ReadGroupList(const TiXmlElement* list, std::list<DevGroupInfo>& out) {
  out.clear();
  for (const TiXmlElement* g = list->FirstChildElement("Group"); g;
       g = g->NextSiblingElement("Group")) {
    DevGroupInfo group;
    for (const TiXmlElement* n = g->FirstChildElement("GroupName"); n;
         n = n->NextSiblingElement("GroupName")) {
      CopyFixedText(group.GroupName, GetNodeText(n));
      if (const char* type = n->Attribute("nType")) group.nType = std::atoi(type);
    }
    out.push_back(group);
  }
}

// Exactly one group carries the default mark: the first marked one, or the
// first group when none is.
void MarkDefaultGroup(std::list<DevGroupInfo>& groups) {
  bool marked = false;
  for (DevGroupInfo& g : groups) {
    if (g.nType != 1) continue;
    if (marked) g.nType = 0;
    marked = true;
  }
  if (!marked && !groups.empty()) groups.front().nType = 1;
}

void WriteDev(TiXmlElement* list, const DevInfo& dev) {
  auto* element = new TiXmlElement("Dev");
  list->LinkEndChild(element);
  WriteXmlFields(element, &dev, kFields);
  for (int i = 0; i < kAlarmLinkCount; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "AlarmLink%d", i);
    auto* link = new TiXmlElement(name);
    element->LinkEndChild(link);
    WriteXmlFields(link, &dev.AlarmLink[i], kLinkFields);
  }
}

// Channels beyond the NVR's present channel count are not kept in the file.
bool IsStored(const DevInfo& dev) {
  return !(dev.DevType == kDevTypeNvr && dev.CurNVRChannel > dev.NVRChannels);
}

}  // namespace

int LoadDevInfo() {
  WriteLog(6, "AppInit: Get device info...");
  const std::string path = ConfigFilePath("DevInfo.xml");
  TiXmlDocument doc;
  if (!LoadConfigOrWriteDefault(path, doc, kDefaultDocument, kDefaultBlockSize)) return -1;
  WriteLog(6, "AppInit: Get Device Info, load xml file OK, parse filed.");
  const TiXmlElement* root = doc.RootElement();
  if (!root) return -1;

  std::list<DevInfo> devices;
  std::list<DevGroupInfo> groups;
  bool haveDevices = false;
  bool haveGroups = false;
  std::optional<int> alarmAudio;
  for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
    if (IsElement(e, "DevList")) {
      ReadDevList(e, devices);
      haveDevices = true;
    } else if (IsElement(e, "GroupList")) {
      ReadGroupList(e, groups);
      haveGroups = true;
    } else if (IsElement(e, "AlarmAudio")) {
      if (const char* value = e->Attribute("AudioInfo")) alarmAudio = std::atoi(value);
    }
  }

  CsLock lock(&g_csAppData);
  if (haveDevices) g_lstDevInfo.swap(devices);
  if (haveGroups) g_lstDevGroupInfo.swap(groups);
  if (alarmAudio) g_bAlarmAudio = *alarmAudio;
  MarkDefaultGroup(g_lstDevGroupInfo);
  return 0;
}

void SaveDevInfo() {
  const std::string path = ConfigFilePath("DevInfo.xml");
  TiXmlDocument doc;
  if (!LoadConfigForSave(path, doc)) return;
  if (TiXmlElement* root = doc.RootElement()) {
    CsLock lock(&g_csAppData);
    for (TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
      if (IsElement(e, "DevList")) {
        e->Clear();
        for (const DevInfo& dev : g_lstDevInfo) {
          if (IsStored(dev)) WriteDev(e, dev);
        }
      } else if (IsElement(e, "GroupList")) {
        e->Clear();
        for (const DevGroupInfo& group : g_lstDevGroupInfo) {
          auto* element = new TiXmlElement("Group");
          e->LinkEndChild(element);
          AppendTextElement(element, "GroupName", FixedText(group.GroupName).c_str())
              ->SetAttribute("nType", group.nType);
        }
      } else if (IsElement(e, "AlarmAudio")) {
        e->SetAttribute("AudioInfo", g_bAlarmAudio);
      }
    }
  }
  SaveConfigXml(doc, path);
}

bool IsDevSNExist(const char* sn) {
  if (!sn) return false;
  CsLock lock(&g_csAppData);
  for (const DevInfo& dev : g_lstDevInfo) {
    if (FixedTextView(dev.DevSN) == sn) return true;
  }
  return false;
}

DevInfo* FindDevInfo(const char* devName, const char* devId) {
  if (!devName || !devId) return nullptr;
  for (DevInfo& dev : g_lstDevInfo) {
    if (std::strcmp(dev.DevName, devName) == 0 && std::strcmp(dev.DevId, devId) == 0) return &dev;
  }
  return nullptr;
}
