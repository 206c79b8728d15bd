// The whole configuration (section 0): one document whose root element (nvr)
// holds the sections as children. Splitting finds each child; a missing child
// is null and leaves its record as it was.
#pragma once

#include <string_view>

class TiXmlDocument;
class TiXmlElement;

struct WholeConfigParts {
  const TiXmlElement* channelcfg = nullptr;
  const TiXmlElement* networkparam = nullptr;
  const TiXmlElement* systemparam = nullptr;
  const TiXmlElement* systemmanage = nullptr;
  const TiXmlElement* usercfg = nullptr;
  const TiXmlElement* common = nullptr;
  const TiXmlElement* alarmLinkage = nullptr;
};

// The root element's name of a whole configuration, checked only when a
// configuration file is imported.
constexpr const char* kWholeConfigRoot = "nvr";

// Parses the text into doc and finds the sections under its root element,
// whatever its name: false when the text does not parse.
bool SplitWholeConfig(std::string_view text, TiXmlDocument& doc, WholeConfigParts& parts);
