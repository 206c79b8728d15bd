// Record fields carried as child elements of an XML element: a table names
// each field's element and place, and the readers and writers walk it.
#pragma once

#include <cstddef>
#include <span>

class TiXmlElement;

struct XmlField {
  const char* name;  // element name, compared exactly
  size_t offset;     // place of the field in its record
  size_t size;       // byte size of a text field; 0 marks an int
};

#define VEMO_XML_TEXT(Record, f) XmlField{#f, offsetof(Record, f), sizeof(Record::f)}
#define VEMO_XML_INT(Record, f) XmlField{#f, offsetof(Record, f), 0}

// Reads `element` into the field of `record` that it names: a text by a bounded
// copy, an int by atoi. False when no field has that name.
bool ReadXmlField(const TiXmlElement* element, void* record, std::span<const XmlField> fields);

// Reads every child element of `parent` that names a field.
void ReadXmlFields(const TiXmlElement* parent, void* record, std::span<const XmlField> fields);

// Appends one child element per field, in table order (texts as stored,
// ints as "%d").
void WriteXmlFields(TiXmlElement* parent, const void* record, std::span<const XmlField> fields);
