#include "relay/forward/forward_info.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <tinyxml.h>
#include <unistd.h>

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/config_xml.h"
#include "platform/file_api.h"

const char kForwardInfoEmpty[] = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<Forwarded>\n</Forwarded>";

namespace {
std::string Text(const TiXmlElement* element, const char* name) {
  const char* value = element->Attribute(name);
  return value ? std::string(value).substr(0, 255) : std::string();
}
}  // namespace

BOOL LoadForwardInfo(ForwardSettings* settings) {
  const std::string path = ConfigFilePath("ForwardInfo.xml");
  TiXmlDocument doc;
  FILE* file = fileapi::Open(path, "rb");
  const bool loaded = file && doc.LoadFile(file, TIXML_ENCODING_LEGACY) && doc.RootElement();
  if (file) std::fclose(file);
  if (!loaded) {
    char block[kForwardInfoBlockSize] = {};
    std::memcpy(block, kForwardInfoEmpty, sizeof kForwardInfoEmpty - 1);
    fileapi::WriteWhole(path, block, sizeof block);
    return FALSE;
  }
  *settings = ForwardSettings{};
  if (const TiXmlElement* forward = doc.RootElement()->FirstChildElement()) {
    settings->ipAddr = Text(forward, "IPAddr");
    settings->port = Text(forward, "Port");
    settings->channelCount = Text(forward, "ChannelCount");
    settings->userCount = Text(forward, "UserCount");
    forward->QueryIntAttribute("Running", &settings->running);
  }
  return TRUE;
}

BOOL SaveForwardInfo(const ForwardSettings& settings) {
  const std::string path = ConfigFilePath("ForwardInfo.xml");
  TiXmlDocument doc;
  if (!LoadConfigForSave(path, doc) || doc.RootElement() == nullptr) return FALSE;
  TiXmlElement* root = doc.RootElement();
  root->Clear();
  auto* forward = new TiXmlElement("Forward");
  forward->SetAttribute("IPAddr", settings.ipAddr.c_str());
  forward->SetAttribute("Port", settings.port.c_str());
  forward->SetAttribute("ChannelCount", settings.channelCount.c_str());
  forward->SetAttribute("UserCount", settings.userCount.c_str());
  forward->SetAttribute("Running", settings.running);
  root->LinkEndChild(forward);
  return SaveConfigXml(doc, path) ? TRUE : FALSE;
}

std::vector<std::string> LocalAddresses() {
  std::vector<std::string> addresses;
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return addresses;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* answer = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &answer) != 0) return addresses;
  for (const addrinfo* item = answer; item; item = item->ai_next) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(item->ai_addr)->sin_addr, text, sizeof text);
    addresses.emplace_back(text);
  }
  freeaddrinfo(answer);
  return addresses;
}

int FindAddressByPrefix(const std::vector<std::string>& items, const std::string& saved) {
  const int count = static_cast<int>(items.size());
  const QString prefix = QString::fromStdString(saved);
  for (int step = 1; step <= count; ++step) {
    const int index = step % count;
    if (QString::fromStdString(items[index]).startsWith(prefix, Qt::CaseInsensitive)) return index;
  }
  return -1;
}
