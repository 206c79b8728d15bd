#include "live/patrol/patrol_info.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>

#include "core/config_xml.h"
#include "core/fixed_text.h"
#include "core/text_convert.h"
#include "core/xml_fields.h"

namespace {

constexpr size_t kDefaultBlockSize = 2048;
constexpr const char* kDefaultDocument =
    "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<PatrolList>\n</PatrolList>";

// The children of a Point element, in the order they are written.
const XmlField kPointFields[] = {
    VEMO_XML_TEXT(PatrolPoint, StayTime), VEMO_XML_TEXT(PatrolPoint, DevName1),
    VEMO_XML_TEXT(PatrolPoint, DispMode), VEMO_XML_TEXT(PatrolPoint, DevName2),
    VEMO_XML_TEXT(PatrolPoint, DevName3), VEMO_XML_TEXT(PatrolPoint, DevName4),
};

std::string PatrolFilePath() { return ConfigFilePath("PatrolInfo.xml"); }

PatrolPlan ReadPlan(const TiXmlElement* patrol) {
  PatrolPlan plan;
  for (const TiXmlElement* e = patrol->FirstChildElement(); e; e = e->NextSiblingElement()) {
    if (IsElement(e, "DecodeName")) {
      CopyFixedText(plan.DecodeName, GetNodeText(e));
    } else if (IsElement(e, "Point")) {
      PatrolPoint point;
      ReadXmlFields(e, &point, kPointFields);
      plan.points.push_back(point);
    }
  }
  return plan;
}

bool HasDecodeName(const TiXmlElement* patrol, std::string_view name) {
  for (const TiXmlElement* e = patrol->FirstChildElement("DecodeName"); e;
       e = e->NextSiblingElement("DecodeName")) {
    if (name == GetNodeText(e)) return true;
  }
  return false;
}

}  // namespace

int LoadPatrolInfo(std::vector<PatrolPlan>& plans) {
  plans.clear();
  TiXmlDocument doc;
  if (!LoadConfigOrWriteDefault(PatrolFilePath(), doc, kDefaultDocument, kDefaultBlockSize)) return -1;
  const TiXmlElement* root = doc.RootElement();
  if (!root) return 0;
  for (const TiXmlElement* e = root->FirstChildElement("Patrol"); e; e = e->NextSiblingElement("Patrol")) {
    plans.push_back(ReadPlan(e));
  }
  return 0;
}

int SavePatrolPlan(std::vector<PatrolPlan>& plans, const PatrolPlan& plan) {
  const std::string_view name = FixedTextView(plan.DecodeName);
  std::erase_if(plans, [&](const PatrolPlan& p) { return FixedTextView(p.DecodeName) == name; });
  plans.push_back(plan);

  const std::string path = PatrolFilePath();
  TiXmlDocument doc;
  if (!LoadConfigForSave(path, doc)) return -1;
  TiXmlElement* root = doc.RootElement();
  if (!root) return -1;
  for (TiXmlElement* e = root->FirstChildElement("Patrol"); e;) {
    TiXmlElement* next = e->NextSiblingElement("Patrol");
    if (HasDecodeName(e, name)) root->RemoveChild(e);
    e = next;
  }
  auto* patrol = new TiXmlElement("Patrol");
  AppendTextElement(patrol, "DecodeName", std::string(name).c_str());
  for (const PatrolPoint& point : plan.points) {
    auto* element = new TiXmlElement("Point");
    WriteXmlFields(element, &point, kPointFields);
    patrol->LinkEndChild(element);
  }
  root->LinkEndChild(patrol);
  return SaveConfigXml(doc, path) ? 0 : -1;
}

std::string PatrolPlanPrefix(int extIndex) {
  if (extIndex <= 0) return "Player";
  return "PlayerEx" + std::to_string(extIndex);
}

std::string PatrolPlanName(const std::string& prefix, int paneNumber) {
  return prefix + "-" + std::to_string(paneNumber);
}

bool PatrolPlanIsForPane(const char* decodeName, const std::string& prefix, int paneNumber) {
  const std::string_view name(decodeName);
  const size_t dash = name.find('-');
  if (dash == std::string_view::npos || name.substr(0, dash) != prefix) return false;
  const std::string number(name.substr(dash + 1));
  return !number.empty() && std::atoi(number.c_str()) == paneNumber;
}
