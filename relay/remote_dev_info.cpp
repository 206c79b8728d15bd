#include "relay/remote_dev_info.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/client_log.h"
#include "core/config_xml.h"
#include "core/fixed_text.h"
#include "pelk/pelk.h"
#include "platform/file_api.h"
#include "relay/login/vss_info.h"

const char kRemoteDevInfoEmpty[] = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<DevList>\n</DevList>";

namespace {

std::string RemoteDevInfoPath() { return ConfigFilePath("RemoteDevInfo.xml"); }

template <size_t N>
void ReadAttribute(const TiXmlElement* element, const char* name, char (&field)[N]) {
  CopyFixedText(field, element->Attribute(name));
}

const Vemo2Node* FindServer(const char* ip, int port) {
  for (const Vemo2Node& server : g_lstVssInfo) {
    if (std::strcmp(server.IPAddr, ip) == 0 && server.nPort == port) return &server;
  }
  return nullptr;
}

void AppendEntry(TiXmlElement* root, const char* parentIp, int parentPort, const char* myIp, const char* mac,
                 const char* devName) {
  auto* element = new TiXmlElement("RemodeDev");
  element->SetAttribute("ParentIp", parentIp);
  element->SetAttribute("ParentPort", parentPort);
  element->SetAttribute("MyIp", myIp);
  element->SetAttribute("Mac", mac);
  element->SetAttribute("DevName", devName);
  root->LinkEndChild(element);
}

}  // namespace

BOOL LoadRemoteDevInfo(const std::function<void(const RemoteDevEntry&)>& onEntry) {
  const std::string path = RemoteDevInfoPath();
  if (!fileapi::Exists(path)) {
    fileapi::WriteWhole(path, kRemoteDevInfoEmpty, std::strlen(kRemoteDevInfoEmpty));
    return FALSE;
  }
  TiXmlDocument doc;
  if (!LoadConfigDocument(path, doc) || !doc.RootElement()) {
    // Kept: the devices it lists are not thrown away for a damaged byte.
    WriteLog(6, "LoadRemoteDevInfo: cannot parse %s", path.c_str());
    return FALSE;
  }
  for (const TiXmlElement* child = doc.RootElement()->FirstChildElement(); child;
       child = child->NextSiblingElement()) {
    RemoteDevEntry entry;
    ReadAttribute(child, "ParentIp", entry.ParentIp);
    ReadAttribute(child, "MyIp", entry.MyIp);
    ReadAttribute(child, "Mac", entry.Mac);
    ReadAttribute(child, "DevName", entry.DevName);
    child->QueryIntAttribute("ParentPort", &entry.ParentPort);
    if (onEntry) onEntry(entry);
  }
  return TRUE;
}

BOOL SaveRemoteDevInfo() {
  // Entries of relay servers not logged in now are kept: a server that was
  // unreachable this session does not lose its cascade devices.
  std::vector<RemoteDevEntry> kept;
  if (fileapi::Exists(RemoteDevInfoPath())) {
    LoadRemoteDevInfo([&](const RemoteDevEntry& entry) {
      if (!FindServer(entry.ParentIp, entry.ParentPort)) kept.push_back(entry);
    });
  }
  TiXmlDocument doc;
  doc.LinkEndChild(new TiXmlDeclaration("1.0", "gb2312", ""));
  auto* root = new TiXmlElement("DevList");
  doc.LinkEndChild(root);
  for (const RemoteDevEntry& entry : kept) {
    AppendEntry(root, entry.ParentIp, entry.ParentPort, entry.MyIp, entry.Mac, entry.DevName);
  }
  for (const Vemo2Node& server : g_lstVssInfo) {
    for (const RelayDevice& dev : server.lstRelayDevice) {
      if (dev.nType != 2 && dev.nType != kRelayKindNvr) continue;
      AppendEntry(root, server.IPAddr, server.nPort, dev.IPAddr, dev.MACAddr, dev.DevName);
    }
  }
  return SaveConfigXml(doc, RemoteDevInfoPath()) ? TRUE : FALSE;
}

BOOL InviteRemoteDevVideo(const char* parentIp, int parentPort, const char* myIp, const char* mac,
                          const char* devName) {
  if (!parentIp || !myIp || !mac || !devName) return FALSE;
  if (const Vemo2Node* server = FindServer(parentIp, parentPort)) {
    for (const RelayDevice& dev : server->lstRelayDevice) {
      if (std::strcmp(dev.IPAddr, myIp) != 0 || std::strcmp(dev.MACAddr, mac) != 0 ||
          std::strcmp(dev.DevName, devName) != 0)
        continue;
      if (dev.nState != 1) return FALSE;
      const std::string key = std::string(dev.MACAddr) + ":" + dev.IPAddr;
      return Pelk_InviteDeviceVideo(server->nLoginHandle, key.c_str(), dev.nStream, 0) == 0 ? TRUE : FALSE;
    }
  }
  return FALSE;
}
