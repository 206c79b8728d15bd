// A small read-only XML tree for the answers of ONVIF devices.
//
// Devices choose their own namespace prefixes ("tt:", "tds:", "env:", "SOAP-ENV:"
// ...), so elements are found by their local name, and their namespace URI is
// kept for the few places that must check it (the SOAP envelope). Parsing is
// bounded: a document deeper than kMaxDepth or with more than kMaxNodes elements
// is refused, as is anything that is not well-formed XML.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace onvif {

struct XmlAttribute {
  QString ns;
  QString name;    // local name
  QString prefix;  // as written
  QString value;
};

struct XmlNode {
  QString ns;     // namespace URI
  QString name;   // local name
  QString prefix; // as written, for writing the element back
  std::vector<XmlAttribute> attributes;
  QString text;   // the element's own character data, trimmed
  std::vector<XmlNode> children;

  // The first child with this local name, or null.
  const XmlNode* Child(const QString& localName) const;
  // Follows a path of child names ("Date/Year"), or null.
  const XmlNode* Path(const QString& path) const;
  // The first element with this local name in the subtree (this one included).
  const XmlNode* Find(const QString& localName) const;
  // Every element with this local name in the subtree, in document order.
  void FindAll(const QString& localName, std::vector<const XmlNode*>* out) const;
  std::vector<const XmlNode*> Children(const QString& localName) const;
  // An attribute's value by local name, empty when absent.
  QString Attribute(const QString& localName) const;
  // The text of the child at `path`, empty when absent.
  QString TextAt(const QString& path) const;
};

constexpr int kMaxDepth = 64;
constexpr int kMaxNodes = 200000;

// Parses a whole document. False (with a reason) for anything that is not
// one well-formed element tree within the bounds above.
bool ParseXml(const QByteArray& data, XmlNode* root, QString* error);

// Writes an element and its subtree back as XML, declaring every namespace it
// uses on the element itself, so that it stands alone inside another document.
QString WriteXml(const XmlNode& node);

// Escapes text for use in element content and attribute values.
QString Escape(const QString& text);

}  // namespace onvif
