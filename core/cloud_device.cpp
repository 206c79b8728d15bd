#include "core/cloud_device.h"

#include <tinyxml.h>

#include <cstdlib>
#include <string>

#include "core/fixed_text.h"
#include "core/md5.h"
#include "core/startup_settings.h"
#include "core/text_convert.h"

namespace {

const char* ChildText(const TiXmlElement* parent, const char* name) {
  return GetNodeText(parent->FirstChildElement(name));
}

}  // namespace

int CloudDeviceType(int cloudType) {
  switch (cloudType) {
    case 100: return 1;
    case 200:
    case 400: return kDevTypeNvr;
    default: return 0;
  }
}

void ReadCloudDeviceFields(const TiXmlElement* node, DevInfo* device) {
  const char* id = ChildText(node, "DevID");
  const char* name = ChildText(node, "devname");
  CopyFixedText(device->DevId, id);
  CopyFixedText(device->DevName, *name != '\0' ? name : id);
  CopyFixedText(device->DevSN, ChildText(node, "devsn"));
  device->DevType = CloudDeviceType(std::atoi(ChildText(node, "devtype")));
  CopyFixedText(device->IPAddr, ChildText(node, "devip"));
  device->PtzPort = std::atoi(ChildText(node, "devptzport"));
  CopyFixedText(device->LoginName, ChildText(node, "devloginuser"));
  const char* password = ChildText(node, "devloginpass");
  if (g_szInstallNumber[0] == '\0') {
    CopyFixedText(device->LoginPsw, password);
  } else {
    char digest[33];
    Md5UpperHex(password, digest);
    CopyFixedText(device->LoginPsw, digest);
  }
}

CloudNetwork ReadCloudNetwork(const char* regInfo) {
  CloudNetwork network;
  TiXmlDocument document;
  document.Parse(regInfo != nullptr ? regInfo : "");
  const TiXmlElement* root = document.RootElement();
  if (document.Error() || root == nullptr) return network;
  const TiXmlElement* element =
      std::string(root->Value()) == "network" ? root : root->FirstChildElement("network");
  if (element == nullptr) return network;
  network.ip = ChildText(element, "ip");
  network.web = std::atoi(ChildText(element, "web"));
  network.ptz = std::atoi(ChildText(element, "ptz"));
  network.ph = std::atoi(ChildText(element, "ph"));
  network.video = std::atoi(ChildText(element, "video"));
  return network;
}
