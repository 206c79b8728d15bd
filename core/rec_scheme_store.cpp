#include "core/rec_scheme_store.h"

#include <tinyxml.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/config_xml.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/text_convert.h"
#include "core/xml_fields.h"

std::list<RecSchemeInfo*> g_lstRecSchemeInfo;

namespace {

constexpr size_t kDefaultBlockSize = 2048;
constexpr const char* kDefaultDocument = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<RecInfo />";

// The scheme's own fields in the writer's order (the devices and spans follow).
constexpr XmlField kSchemeFields[] = {
    VEMO_XML_TEXT(RecSchemeSettings, SchemeName),   VEMO_XML_TEXT(RecSchemeSettings, StoragePath1),
    VEMO_XML_TEXT(RecSchemeSettings, StoragePath2), VEMO_XML_TEXT(RecSchemeSettings, StoragePath3),
    VEMO_XML_INT(RecSchemeSettings, SaveDate),      VEMO_XML_INT(RecSchemeSettings, StorageScheme),
    VEMO_XML_INT(RecSchemeSettings, StartType),     VEMO_XML_INT(RecSchemeSettings, OnOff),
    VEMO_XML_INT(RecSchemeSettings, PreRecTime),    VEMO_XML_INT(RecSchemeSettings, RecFileTime),
    VEMO_XML_INT(RecSchemeSettings, DetRecTime),    VEMO_XML_INT(RecSchemeSettings, RecAudio),
    VEMO_XML_INT(RecSchemeSettings, RecStreamType),
};

// The device of g_lstDevInfo that a scheme's <DevName> names, or null.
const DevInfo* FindSchemeDevice(const char* name, const char* devId) {
  for (const DevInfo& dev : g_lstDevInfo) {
    if (FixedTextView(dev.DevName) != name) continue;
    if (devId ? FixedTextView(dev.DevId) == devId : dev.DevType != kDevTypeNvr) return &dev;
  }
  return nullptr;
}

void ReadDevices(const TiXmlElement* parent, RecSchemeInfo& scheme) {
  for (const TiXmlElement* e = parent->FirstChildElement("DevName"); e;
       e = e->NextSiblingElement("DevName")) {
    if (const DevInfo* dev = FindSchemeDevice(GetNodeText(e), e->Attribute("DevId"))) {
      scheme.lstDev.push_back(*dev);
    }
  }
}

void ReadTimes(const TiXmlElement* parent, RecSchemeInfo& scheme) {
  for (const TiXmlElement* r = parent->FirstChildElement("RecTime"); r;
       r = r->NextSiblingElement("RecTime")) {
    RecTime span;
    for (const TiXmlElement* e = r->FirstChildElement(); e; e = e->NextSiblingElement()) {
      if (IsElement(e, "TimeDuration")) span.TimeDuration = ElementInt(e);
      else if (IsElement(e, "DayOfWeek")) span.DayOfWeek = ElementInt(e);
      else if (IsElement(e, "StartTime")) ParseTimeOfDay(GetNodeText(e), span.StartTime);
      else if (IsElement(e, "EndTime")) ParseTimeOfDay(GetNodeText(e), span.EndTime);
    }
    scheme.lstRecTime.push_back(span);
  }
}

void ReadScheme(const TiXmlElement* element, RecSchemeInfo& scheme) {
  for (const TiXmlElement* e = element->FirstChildElement(); e; e = e->NextSiblingElement()) {
    if (IsElement(e, "Dev")) ReadDevices(e, scheme);
    else if (IsElement(e, "RecTimeList")) ReadTimes(e, scheme);
    else ReadXmlField(e, static_cast<RecSchemeSettings*>(&scheme), kSchemeFields);
  }
}

void WriteScheme(TiXmlElement* root, const RecSchemeInfo& scheme) {
  auto* element = new TiXmlElement("RecScheme");
  root->LinkEndChild(element);
  WriteXmlFields(element, static_cast<const RecSchemeSettings*>(&scheme), kSchemeFields);
  auto* devices = new TiXmlElement("Dev");
  element->LinkEndChild(devices);
  for (const DevInfo& dev : scheme.lstDev) {
    AppendTextElement(devices, "DevName", FixedText(dev.DevName).c_str())
        ->SetAttribute("DevId", FixedText(dev.DevId).c_str());
  }
  auto* times = new TiXmlElement("RecTimeList");
  element->LinkEndChild(times);
  for (const RecTime& span : scheme.lstRecTime) {
    auto* time = new TiXmlElement("RecTime");
    times->LinkEndChild(time);
    AppendIntElement(time, "TimeDuration", span.TimeDuration);
    AppendIntElement(time, "DayOfWeek", span.DayOfWeek);
    AppendTextElement(time, "StartTime", FormatTimeOfDay(span.StartTime).c_str());
    AppendTextElement(time, "EndTime", FormatTimeOfDay(span.EndTime).c_str());
  }
}

}  // namespace

void LoadRecInfo() {
  WriteLog(6, "AppInit: Get record info...");
  const std::string path = ConfigFilePath("RecInfo.xml");
  TiXmlDocument doc;
  if (!LoadConfigOrWriteDefault(path, doc, kDefaultDocument, kDefaultBlockSize)) return;
  const TiXmlElement* root = doc.RootElement();
  if (!root) return;
  CsLock lock(&g_csAppData);
  for (const TiXmlElement* e = root->FirstChildElement("RecScheme"); e;
       e = e->NextSiblingElement("RecScheme")) {
    auto scheme = std::make_unique<RecSchemeInfo>();
    ReadScheme(e, *scheme);
    g_lstRecSchemeInfo.push_back(scheme.release());
  }
}

void SaveRecInfo() {
  const std::string path = ConfigFilePath("RecInfo.xml");
  TiXmlDocument doc;
  if (!LoadConfigForSave(path, doc)) return;
  if (TiXmlElement* root = doc.RootElement()) {
    root->Clear();
    CsLock lock(&g_csAppData);
    for (const RecSchemeInfo* scheme : g_lstRecSchemeInfo) {
      if (scheme) WriteScheme(root, *scheme);
    }
  }
  SaveConfigXml(doc, path);
}

void FreeRecSchemeList() {
  CsLock lock(&g_csAppData);
  for (RecSchemeInfo* scheme : g_lstRecSchemeInfo) delete scheme;
  g_lstRecSchemeInfo.clear();
}
