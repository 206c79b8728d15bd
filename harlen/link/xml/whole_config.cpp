#include "harlen/link/xml/whole_config.h"

#include <tinyxml.h>

#include "harlen/link/xml/section_xml.h"

bool SplitWholeConfig(std::string_view text, TiXmlDocument& doc, WholeConfigParts& parts) {
  parts = WholeConfigParts{};
  if (!ParseXmlText(text, doc)) return false;
  const TiXmlElement* root = doc.RootElement();
  parts.channelcfg = root->FirstChildElement("channelcfg");
  parts.networkparam = root->FirstChildElement("networkparam");
  parts.systemparam = root->FirstChildElement("systemparam");
  parts.systemmanage = root->FirstChildElement("systemmanage");
  parts.usercfg = root->FirstChildElement("usercfg");
  parts.common = root->FirstChildElement("common");
  parts.alarmLinkage = root->FirstChildElement("AlarmLinkage");
  return true;
}
