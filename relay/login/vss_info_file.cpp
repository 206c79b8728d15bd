#include "relay/login/vss_info_file.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstring>

#include "core/client_log.h"
#include "core/config_xml.h"
#include "core/fixed_text.h"
#include "platform/file_api.h"

const char kVssInfoEmpty[] = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<VssList>\n</VssList>";

std::string VssInfoPath() { return ConfigFilePath("VssInfo.xml"); }

namespace {

bool Load(const std::string& path, TiXmlDocument* doc) {
  FILE* file = fileapi::Open(path, "rb");
  if (!file) return false;
  const bool loaded = doc->LoadFile(file, TIXML_ENCODING_LEGACY);
  std::fclose(file);
  return loaded && doc->RootElement() != nullptr;
}

}  // namespace

bool ReadVssInfoFile(std::vector<VssServerEntry>* servers) {
  servers->clear();
  const std::string path = VssInfoPath();
  TiXmlDocument doc;
  if (!Load(path, &doc)) {
    WriteLog(6, "CVemo2Login::Run(): cannot load %s, it is written empty", path.c_str());
    char block[kVssInfoBlockSize] = {};
    std::memcpy(block, kVssInfoEmpty, sizeof kVssInfoEmpty - 1);
    fileapi::WriteWhole(path, block, sizeof block);
    return false;
  }
  for (const TiXmlElement* child = doc.RootElement()->FirstChildElement(); child;
       child = child->NextSiblingElement()) {
    VssServerEntry entry;
    CopyFixedText(entry.DevName, child->Attribute("DevName"));
    CopyFixedText(entry.IPAddr, child->Attribute("IPAddr"));
    CopyFixedText(entry.LoginName, child->Attribute("LoginName"));
    CopyFixedText(entry.Password, child->Attribute("Password"));
    if (const char* port = child->Attribute("nPort")) entry.nPort = std::atoi(port);
    servers->push_back(entry);
  }
  return true;
}
