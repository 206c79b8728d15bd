#include "core/xml_fields.h"

#include <tinyxml.h>

#include <cstring>
#include <string>

#include "core/config_xml.h"
#include "core/fixed_text.h"
#include "core/text_convert.h"

bool ReadXmlField(const TiXmlElement* element, void* record, std::span<const XmlField> fields) {
  char* base = static_cast<char*>(record);
  for (const XmlField& f : fields) {
    if (std::strcmp(element->Value(), f.name) != 0) continue;
    if (f.size) {
      CopyFixedText(base + f.offset, f.size, GetNodeText(element));
    } else {
      *reinterpret_cast<int*>(base + f.offset) = ElementInt(element);
    }
    return true;
  }
  return false;
}

void ReadXmlFields(const TiXmlElement* parent, void* record, std::span<const XmlField> fields) {
  for (const TiXmlElement* e = parent->FirstChildElement(); e; e = e->NextSiblingElement()) {
    ReadXmlField(e, record, fields);
  }
}

void WriteXmlFields(TiXmlElement* parent, const void* record, std::span<const XmlField> fields) {
  const char* base = static_cast<const char*>(record);
  for (const XmlField& f : fields) {
    if (f.size) {
      // A field filled to the brim without its zero is never read past its end.
      const char* text = base + f.offset;
      AppendTextElement(parent, f.name, std::string(text, strnlen(text, f.size)).c_str());
    } else {
      AppendIntElement(parent, f.name, *reinterpret_cast<const int*>(base + f.offset));
    }
  }
}
