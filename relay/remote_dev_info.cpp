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
#include "core/user_settings.h"
#include "relay/login/vss_info.h"
#include "relay/relay_names.h"

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
  const std::string path = RemoteDevInfoPath();
  // A file that cannot be read is left as it is: nothing is written over it.
  TiXmlDocument doc;
  if (!fileapi::Exists(path) || !LoadConfigDocument(path, doc)) {
    WriteLog(6, "CVistarelDlg::SaveRemoteDevInfo(): cannot load %s, nothing written", path.c_str());
    return TRUE;
  }
  TiXmlElement* root = doc.RootElement();
  if (root == nullptr) return TRUE;
  // Entries of relay servers not logged in now are kept: a server that was
  // unreachable this session does not lose its cascade devices.
  std::vector<RemoteDevEntry> kept;
  LoadRemoteDevInfo([&](const RemoteDevEntry& entry) {
    if (!FindServer(entry.ParentIp, entry.ParentPort)) kept.push_back(entry);
  });
  root->Clear();
  for (const RemoteDevEntry& entry : kept) {
    AppendEntry(root, entry.ParentIp, entry.ParentPort, entry.MyIp, entry.Mac, entry.DevName);
  }
  // The devices shown here now (states 2 and 4) are asked for again at the next start.
  for (const Vemo2Node& server : g_lstVssInfo) {
    if (!server.bHasDeviceList) continue;
    for (const RelayDevice& dev : server.lstRelayDevice) {
      if (dev.nState != 2 && dev.nState != 4) continue;
      AppendEntry(root, server.IPAddr, server.nPort, dev.IPAddr, dev.MACAddr, dev.DevName);
    }
  }
  // Written to a new file that replaces the old one only when it is whole.
  return SaveConfigXml(doc, path) ? TRUE : FALSE;
}

int RemoteDevChannel(const RelayDevice& device) {
  return device.nType == kRelayKindVideoServer ? LastCharNumber(device.DevName) : 0;
}

BOOL InviteRemoteDevVideo(const char* parentIp, int parentPort, const char* myIp, const char* mac,
                          const char* devName, int mainLayout) {
  if (!parentIp || !myIp || !mac || !devName) return FALSE;
  const Vemo2Node* server = nullptr;
  for (const Vemo2Node& each : g_lstVssInfo) {
    if (std::strcmp(each.IPAddr, parentIp) == 0 && each.nPort == parentPort && each.bHasDeviceList) {
      server = &each;
      break;
    }
  }
  if (server == nullptr) return FALSE;
  for (const RelayDevice& dev : server->lstRelayDevice) {
    if (std::strcmp(dev.IPAddr, myIp) != 0 || std::strcmp(dev.MACAddr, mac) != 0 ||
        std::strcmp(dev.DevName, devName) != 0)
      continue;
    // The search ends at the device: only an online one is asked for.
    if (dev.nState != 1) return FALSE;
    int stream = dev.nStream;
    if ((mainLayout == 1 || mainLayout == 4 || mainLayout == 6) && g_bAutoSwitchStream) stream = 1;
    const std::string key = FormatDeviceKey(dev.MACAddr, dev.IPAddr);
    Pelk_InviteDeviceVideo(server->nLoginHandle, key.c_str(), stream, RemoteDevChannel(dev));
    return TRUE;
  }
  return FALSE;
}

namespace {

bool ServerHasList(const char* ip, int port) {
  for (const Vemo2Node& server : g_lstVssInfo) {
    if (std::strcmp(server.IPAddr, ip) == 0 && server.nPort == port && server.bHasDeviceList) return true;
  }
  return false;
}

}  // namespace

void CCascadeInvites::Start(int mainLayout) {
  m_waiting.clear();
  LoadRemoteDevInfo([&](const RemoteDevEntry& entry) {
    if (!ServerHasList(entry.ParentIp, entry.ParentPort)) {
      m_waiting.push_back(entry);
      return;
    }
    InviteRemoteDevVideo(entry.ParentIp, entry.ParentPort, entry.MyIp, entry.Mac, entry.DevName, mainLayout);
  });
}

void CCascadeInvites::OnFirstDeviceList(const char* serverIp, int serverPort, int mainLayout) {
  if (serverIp == nullptr) return;
  std::vector<RemoteDevEntry> due;
  for (auto it = m_waiting.begin(); it != m_waiting.end();) {
    if (std::strcmp(it->ParentIp, serverIp) == 0 && it->ParentPort == serverPort) {
      due.push_back(*it);
      it = m_waiting.erase(it);
    } else {
      ++it;
    }
  }
  for (const RemoteDevEntry& entry : due) {
    InviteRemoteDevVideo(entry.ParentIp, entry.ParentPort, entry.MyIp, entry.Mac, entry.DevName, mainLayout);
  }
}
