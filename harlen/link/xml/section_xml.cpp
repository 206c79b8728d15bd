#include "harlen/link/xml/section_xml.h"

#include <netinet/in.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/harlen_trace.h"
#include "harlen/link/xml/text_codec.h"

namespace {

std::string Print(TiXmlDocument& doc) {
  TiXmlPrinter printer;
  printer.SetIndent("\t");
  doc.Accept(&printer);
  return printer.Str();
}

constexpr size_t kIpv4TextWidth = 32;  // an address text holds at most 31 characters

}  // namespace

std::string PrintSectionText(TiXmlElement* root) {
  TiXmlDocument doc;
  doc.LinkEndChild(new TiXmlDeclaration("1.0", "gb2312", ""));
  doc.LinkEndChild(root);
  return Print(doc);
}

std::string PrintControlText(TiXmlElement* element) {
  TiXmlDocument doc;
  doc.LinkEndChild(element);
  return Print(doc);
}

bool ParseXmlText(std::string_view text, TiXmlDocument& doc) {
  const std::string copy(text);  // the parser reads up to a zero
  doc.Clear();
  doc.Parse(copy.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
  return !doc.Error() && doc.RootElement() != nullptr;
}

int32_t ParseInt32(const char* text, int32_t fallback) {
  if (text == nullptr) return fallback;
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text) return fallback;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long long>(value)));
}

int32_t AttrInt(const TiXmlElement* element, const char* name, int32_t fallback) {
  return ParseInt32(element != nullptr ? element->Attribute(name) : nullptr, fallback);
}

int64_t AttrInt64(const TiXmlElement* element, const char* name) {
  const char* text = element != nullptr ? element->Attribute(name) : nullptr;
  if (text == nullptr) return 0;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text, &end, 10);
  return end == text || errno == ERANGE ? 0 : static_cast<int64_t>(value);
}

void SetAttrUint(TiXmlElement* element, const char* name, uint32_t value) {
  element->SetAttribute(name, std::to_string(value).c_str());
}

void AttrText(const TiXmlElement* element, const char* name, char* field, size_t width) {
  const char* text = element != nullptr ? element->Attribute(name) : nullptr;
  CopyFieldText(field, width, text != nullptr ? std::string_view(text) : std::string_view());
}

void SetAttrText(TiXmlElement* element, const char* name, const char* field, size_t width) {
  element->SetAttribute(name, std::string(FieldText(field, width)).c_str());
}

TiXmlElement* GenIpv4Element(const char* name, uint32_t address) {
  auto* element = new TiXmlElement(name);
  const std::string text = IpToString(address);
  element->SetAttribute("ipv4", text.c_str());
  element->SetAttribute("ipv6", text.c_str());
  return element;
}

int LoadIpv4Element(const TiXmlElement* element, uint32_t& address) {
  char text[kIpv4TextWidth];
  AttrText(element, "ipv4", text);
  const uint32_t value = StringToIp(FieldText(text));
  if (value == INADDR_NONE) {
    HarlenTrace("IPV4 %s error.", text);
    return -1;
  }
  address = value;
  return 0;
}

TiXmlElement* GenHwElement(const uint8_t mac[6]) {
  auto* element = new TiXmlElement("HW");
  for (int i = 0; i < 6; ++i) {
    const std::string name = "a" + std::to_string(i);
    element->SetAttribute(name.c_str(), mac[i]);
  }
  return element;
}

int LoadHwElement(const TiXmlElement* element, uint8_t mac[6]) {
  for (int i = 0; i < 6; ++i) {
    const std::string name = "a" + std::to_string(i);
    const int32_t value = AttrInt(element, name.c_str());
    if (value < 0 || value > 255) {
      HarlenTrace("a%d %d error.", i, value);
      return -1;
    }
    mac[i] = static_cast<uint8_t>(value);
  }
  return 0;
}

TiXmlElement* AddChild(TiXmlElement* parent, TiXmlElement* child) {
  parent->LinkEndChild(child);
  return child;
}

TiXmlElement* AddChild(TiXmlElement* parent, const char* name) { return AddChild(parent, new TiXmlElement(name)); }
