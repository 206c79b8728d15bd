// What every configuration section's XML shares: the section and control
// texts, reading and writing attributes, and the IPv4 and MAC elements.
//
// A section text is a document with the declaration version "1.0", encoding
// "gb2312", then the section's root element, printed with a tab indent.
#pragma once

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The section text of a root element (the text takes ownership of it).
std::string PrintSectionText(TiXmlElement* root);
// A control text: the element alone, without a declaration, printed the same way.
std::string PrintControlText(TiXmlElement* element);

// Parses a text whose encoding the document declares (GBK texts declare
// "gb2312"). False when it does not parse; doc.ErrorDesc() says why.
bool ParseXmlText(std::string_view text, TiXmlDocument& doc);

// A decimal number as a 32-bit integer (a longer number keeps its low 32
// bits): `fallback` for text that is not a number.
int32_t ParseInt32(const char* text, int32_t fallback = 0);

// An integer attribute as a 32-bit integer (a longer number keeps its low 32
// bits): `fallback` when missing or not a number.
int32_t AttrInt(const TiXmlElement* element, const char* name, int32_t fallback = 0);
// An integer attribute as a 64-bit integer: 0 when missing or not a number.
int64_t AttrInt64(const TiXmlElement* element, const char* name);
// A text attribute copied into a field of `width` bytes (the field's
// rule: at most width - 1 bytes, whole characters); missing leaves it empty.
void AttrText(const TiXmlElement* element, const char* name, char* field, size_t width);

template <size_t N>
void AttrText(const TiXmlElement* element, const char* name, char (&field)[N]) {
  AttrText(element, name, field, N);
}

// Writes an unsigned 32-bit value, so that values above 2^31 go back as they came.
void SetAttrUint(TiXmlElement* element, const char* name, uint32_t value);

// Writes a field's text as an attribute.
void SetAttrText(TiXmlElement* element, const char* name, const char* field, size_t width);

template <size_t N>
void SetAttrText(TiXmlElement* element, const char* name, const char (&field)[N]) {
  SetAttrText(element, name, field, N);
}

// An IPv4 element: attributes ipv4 and ipv6, both the dotted address.
TiXmlElement* GenIpv4Element(const char* name, uint32_t address);
// Reads its ipv4 attribute: 0, or -1 with the trace "IPV4 %s error." for
// text that is not an address (the all-ones address included).
int LoadIpv4Element(const TiXmlElement* element, uint32_t& address);

// The MAC element HW with attributes a0 to a5.
TiXmlElement* GenHwElement(const uint8_t mac[6]);
// 0, or -1 with the trace "a%d %d error." for a value outside 0 to 255.
int LoadHwElement(const TiXmlElement* element, uint8_t mac[6]);

// Adds a child to a parent and returns the child, for building trees in order.
TiXmlElement* AddChild(TiXmlElement* parent, TiXmlElement* child);
TiXmlElement* AddChild(TiXmlElement* parent, const char* name);
