#include "live/audio/broadcast_info.h"

#include <tinyxml.h>

#include "core/app_data.h"
#include "core/config_xml.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"

namespace {

constexpr size_t kDefaultBlockSize = 2048;
constexpr const char* kDefaultDocument =
    "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<BroadcastList audio=\"0\">\n</BroadcastList>";

std::string BroadcastFilePath() { return ConfigFilePath("BroadcastInfo.xml"); }

const char* TextAttribute(const TiXmlElement* e, const char* name) {
  const char* value = e->Attribute(name);
  return value ? value : "";
}

}  // namespace

std::string BroadcastLabel(const DevInfo& dev) { return BroadcastLabel(ToBroadcastDevice(dev)); }

std::string BroadcastLabel(const BroadcastDevice& dev) {
  if (dev.devType == kDevTypeNvr) return dev.devId + "-" + dev.devName;
  return dev.devName;
}

BroadcastDevice ToBroadcastDevice(const DevInfo& dev) {
  return BroadcastDevice{FixedText(dev.DevId), FixedText(dev.DevName), dev.DevType};
}

int LoadBroadcastInfo(BroadcastSettings& settings) {
  settings.devices.clear();
  const std::string path = BroadcastFilePath();
  TiXmlDocument doc;
  if (!LoadConfigOrWriteDefault(path, doc, kDefaultDocument, kDefaultBlockSize) &&
      !LoadConfigOrWriteDefault(path, doc, kDefaultDocument, kDefaultBlockSize)) {
    return -1;
  }
  const TiXmlElement* root = doc.RootElement();
  if (!root) return -1;
  int audio = 0;
  root->QueryIntAttribute("audio", &audio);
  settings.audio = audio != 0 ? kBroadcastG711 : kBroadcastAac;

  CsLock lock(&g_csAppData);
  for (const TiXmlElement* e = root->FirstChildElement("DevInfo"); e; e = e->NextSiblingElement("DevInfo")) {
    const std::string_view devId = TextAttribute(e, "DevId");
    const std::string_view devName = TextAttribute(e, "DevName");
    for (const DevInfo& dev : g_lstDevInfo) {
      if (FixedTextView(dev.DevId) != devId || FixedTextView(dev.DevName) != devName) continue;
      if (dev.DevType == kDevTypeNvr && dev.CurNVRChannel < 1) continue;
      settings.devices.push_back(ToBroadcastDevice(dev));
      break;
    }
  }
  return 0;
}

int SaveBroadcastInfo(const BroadcastSettings& settings) {
  const std::string path = BroadcastFilePath();
  TiXmlDocument doc;
  if (!LoadConfigForSave(path, doc)) return -1;
  TiXmlElement* root = doc.RootElement();
  if (!root) return -1;
  root->Clear();
  root->SetAttribute("audio", settings.audio == kBroadcastG711 ? 1 : 0);
  for (const BroadcastDevice& dev : settings.devices) {
    auto* element = new TiXmlElement("DevInfo");
    element->SetAttribute("DevId", dev.devId.c_str());
    element->SetAttribute("DevName", dev.devName.c_str());
    root->LinkEndChild(element);
  }
  return SaveConfigXml(doc, path) ? 0 : -1;
}
