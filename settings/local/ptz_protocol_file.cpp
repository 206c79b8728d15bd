#include "settings/local/ptz_protocol_file.h"

#include <tinyxml.h>

#include <cstring>
#include <string>

#include "core/config_xml.h"

namespace {

constexpr const char* kFileName = "PtzProtocol.xml";
constexpr const char* kElement = "PtzProtocol";
constexpr const char* kDefaultDocument = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<PtzProtocol>\n</PtzProtocol>";

// Loads the file, empties its root and lets `fill` add the new children.
template <class Fill>
bool Rewrite(Fill fill) {
  const std::string path = ConfigFilePath(kFileName);
  TiXmlDocument doc;
  if (!LoadConfigForSave(path, doc)) return false;
  TiXmlElement* root = doc.RootElement();
  if (root == nullptr) return false;
  root->Clear();
  fill(root);
  return SaveConfigXml(doc, path);
}

}  // namespace

PtzProtocolChoice ReadPtzProtocolChoice() {
  PtzProtocolChoice choice;
  TiXmlDocument doc;
  if (!LoadConfigOrWriteDefault(ConfigFilePath(kFileName), doc, kDefaultDocument, std::strlen(kDefaultDocument) + 1)) {
    return choice;
  }
  const TiXmlElement* root = doc.RootElement();
  const TiXmlElement* first = root != nullptr ? root->FirstChildElement() : nullptr;
  if (first != nullptr && first->QueryIntAttribute("SelIndex", &choice.index) == TIXML_SUCCESS) {
    choice.stored = true;
  } else {
    choice.index = -1;
  }
  return choice;
}

bool WritePtzProtocolChoice(int index) {
  return Rewrite([index](TiXmlElement* root) {
    auto* element = new TiXmlElement(kElement);
    element->SetAttribute("SelIndex", index);
    root->LinkEndChild(element);
  });
}

bool ClearPtzProtocolChoice() {
  return Rewrite([](TiXmlElement*) {});
}
