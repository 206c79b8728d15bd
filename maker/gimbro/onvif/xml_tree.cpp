#include "maker/gimbro/onvif/xml_tree.h"

#include <QXmlStreamReader>

namespace onvif {

const XmlNode* XmlNode::Child(const QString& localName) const {
  for (const XmlNode& child : children) {
    if (child.name == localName) return &child;
  }
  return nullptr;
}

const XmlNode* XmlNode::Path(const QString& path) const {
  const XmlNode* node = this;
  for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    node = node->Child(part);
    if (node == nullptr) return nullptr;
  }
  return node;
}

const XmlNode* XmlNode::Find(const QString& localName) const {
  if (name == localName) return this;
  for (const XmlNode& child : children) {
    if (const XmlNode* found = child.Find(localName)) return found;
  }
  return nullptr;
}

void XmlNode::FindAll(const QString& localName, std::vector<const XmlNode*>* out) const {
  if (name == localName) out->push_back(this);
  for (const XmlNode& child : children) child.FindAll(localName, out);
}

std::vector<const XmlNode*> XmlNode::Children(const QString& localName) const {
  std::vector<const XmlNode*> out;
  for (const XmlNode& child : children) {
    if (child.name == localName) out.push_back(&child);
  }
  return out;
}

QString XmlNode::Attribute(const QString& localName) const {
  for (const XmlAttribute& attribute : attributes) {
    if (attribute.name == localName) return attribute.value;
  }
  return {};
}

QString XmlNode::TextAt(const QString& path) const {
  const XmlNode* node = Path(path);
  return node != nullptr ? node->text : QString();
}

bool ParseXml(const QByteArray& data, XmlNode* root, QString* error) {
  QXmlStreamReader reader(data);
  std::vector<XmlNode*> open;
  int nodes = 0;
  bool haveRoot = false;
  *root = XmlNode();
  while (!reader.atEnd()) {
    switch (reader.readNext()) {
      case QXmlStreamReader::DTD:
        *error = QStringLiteral("a document type declaration is not accepted");
        return false;
      case QXmlStreamReader::StartElement: {
        if (++nodes > kMaxNodes) {
          *error = QStringLiteral("more than %1 elements").arg(kMaxNodes);
          return false;
        }
        if (static_cast<int>(open.size()) >= kMaxDepth) {
          *error = QStringLiteral("nested deeper than %1 elements").arg(kMaxDepth);
          return false;
        }
        XmlNode* node;
        if (open.empty()) {
          if (haveRoot) {
            *error = QStringLiteral("more than one root element");
            return false;
          }
          haveRoot = true;
          node = root;
        } else {
          open.back()->children.emplace_back();
          node = &open.back()->children.back();
        }
        node->ns = reader.namespaceUri().toString();
        node->name = reader.name().toString();
        node->prefix = reader.prefix().toString();
        for (const QXmlStreamAttribute& attribute : reader.attributes()) {
          node->attributes.push_back({attribute.namespaceUri().toString(), attribute.name().toString(),
                                      attribute.prefix().toString(), attribute.value().toString()});
        }
        open.push_back(node);
        break;
      }
      case QXmlStreamReader::EndElement:
        if (!open.empty()) {
          open.back()->text = open.back()->text.trimmed();
          open.pop_back();
        }
        break;
      case QXmlStreamReader::Characters:
        if (!open.empty() && !reader.isWhitespace()) open.back()->text += reader.text();
        break;
      default:
        break;
    }
  }
  if (reader.hasError()) {
    *error = QStringLiteral("not XML: %1 (line %2)").arg(reader.errorString()).arg(reader.lineNumber());
    return false;
  }
  if (!haveRoot) {
    *error = QStringLiteral("no element");
    return false;
  }
  return true;
}

QString Escape(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    switch (c.unicode()) {
      case '&': out += QLatin1String("&amp;"); break;
      case '<': out += QLatin1String("&lt;"); break;
      case '>': out += QLatin1String("&gt;"); break;
      case '"': out += QLatin1String("&quot;"); break;
      case '\'': out += QLatin1String("&apos;"); break;
      default: out += c; break;
    }
  }
  return out;
}

namespace {

QString Qualified(const QString& prefix, const QString& name) {
  return prefix.isEmpty() ? name : prefix + QLatin1Char(':') + name;
}

}  // namespace

QString WriteXml(const XmlNode& node) {
  QString out = QLatin1Char('<') + Qualified(node.prefix, node.name);
  // Each element declares the namespaces of its own name and attributes.
  std::vector<std::pair<QString, QString>> declared;
  auto declare = [&](const QString& prefix, const QString& ns) {
    if (ns.isEmpty()) return;
    for (const auto& [p, n] : declared) {
      if (p == prefix) return;
    }
    declared.emplace_back(prefix, ns);
    out += prefix.isEmpty() ? QStringLiteral(" xmlns=\"%1\"").arg(Escape(ns))
                            : QStringLiteral(" xmlns:%1=\"%2\"").arg(prefix, Escape(ns));
  };
  declare(node.prefix, node.ns);
  for (const XmlAttribute& attribute : node.attributes) {
    if (!attribute.prefix.isEmpty()) declare(attribute.prefix, attribute.ns);
  }
  for (const XmlAttribute& attribute : node.attributes) {
    out += QStringLiteral(" %1=\"%2\"").arg(Qualified(attribute.prefix, attribute.name), Escape(attribute.value));
  }
  out += QLatin1Char('>');
  out += Escape(node.text);
  for (const XmlNode& child : node.children) out += WriteXml(child);
  out += QStringLiteral("</%1>").arg(Qualified(node.prefix, node.name));
  return out;
}

}  // namespace onvif
