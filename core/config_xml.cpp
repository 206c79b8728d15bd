#include "core/config_xml.h"

#include <sys/stat.h>
#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/client_log.h"
#include "core/module_path.h"
#include "core/text_convert.h"
#include "platform/codepage.h"
#include "platform/file_api.h"

namespace {

// What a load found. A file is read as the program writes it (GBK, every byte
// standing for itself) or, when it starts with the UTF-8 byte-order mark that
// editors of other systems put there, as UTF-8 turned into GBK.
struct LoadResult {
  enum Kind { Loaded, Missing, Unreadable, Malformed } kind;
  bool wasUtf8 = false;
};

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Texts and attribute values of the tree from UTF-8 to GBK; the declaration
// then names the program's encoding.
void TreeToGbk(TiXmlNode* node) {
  for (TiXmlNode* child = node->FirstChild(); child != nullptr;) {
    TiXmlNode* next = child->NextSibling();
    if (TiXmlDeclaration* declaration = child->ToDeclaration()) {
      TiXmlDeclaration gbk(declaration->Version(), "gb2312", declaration->Standalone());
      node->ReplaceChild(child, gbk);
    } else if (child->ToText() != nullptr || child->ToComment() != nullptr) {
      child->SetValue(codepage::Utf8ToGbk(child->ValueStr()));
    } else if (TiXmlElement* element = child->ToElement()) {
      for (TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
        a->SetValue(codepage::Utf8ToGbk(a->ValueStr()));
      }
      TreeToGbk(element);
    }
    child = next;
  }
}

LoadResult LoadDocument(const std::string& path, TiXmlDocument& doc) {
  FILE* file = fileapi::Open(path, "rb");
  if (!file) return {fileapi::Exists(path) ? LoadResult::Unreadable : LoadResult::Missing};
  // Only a regular file holds a document: a folder of the file's name opens for
  // reading here but reports a senseless size, which the parser would allocate.
  struct stat st {};
  if (::fstat(::fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) {
    std::fclose(file);
    return {LoadResult::Unreadable};
  }
  std::string text;
  const bool readFailed = !fileapi::ReadRest(file, text);
  std::fclose(file);
  if (readFailed) return {LoadResult::Unreadable};
  const bool utf8 = text.compare(0, 3, kUtf8Bom) == 0;
  // Line ends as the parser's own file reader makes them: CR LF and a lone CR become LF.
  std::string::size_type out = 0;
  for (std::string::size_type in = 0; in < text.size(); ++in) {
    if (text[in] == '\r') {
      text[out++] = '\n';
      if (in + 1 < text.size() && text[in + 1] == '\n') ++in;
    } else {
      text[out++] = text[in];
    }
  }
  text.resize(out);
  // In UTF-8 the parser steps over a character's bytes by its lead byte: a
  // sequence cut off at the end steps over the end mark. The zeros after the
  // text stop it there instead of past the buffer.
  text.append(4, '\0');
  // Legacy encoding: every byte stands for itself, so GBK text is kept as it is
  // (its trail bytes never take the values of '<', '>', '&' or quotes).
  doc.Clear();
  doc.Parse(text.c_str(), nullptr, utf8 ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY);
  if (doc.Error()) return {LoadResult::Malformed};
  if (utf8) TreeToGbk(&doc);
  return {LoadResult::Loaded, utf8};
}

// Writes a configuration file whole (fileapi::WriteWhole). A save that was cut
// off (the program killed mid-write) leaves its temporary beside the file: the
// next write of the file clears such leftovers first.
bool WriteConfigFile(const std::string& path, const char* data, size_t size) {
  for (const std::string& name : fileapi::RemoveStaleWriteTemporaries(path)) {
    WriteLog(6, "Config file %s: removed %s, left by a save that was cut off", path.c_str(), name.c_str());
  }
  return fileapi::WriteWhole(path, data, size);
}

}  // namespace

std::string ConfigFilePath(const char* fileName) {
  return GetModuleDir() + "Config\\" + fileName;
}

bool LoadConfigOrWriteDefault(const std::string& path, TiXmlDocument& doc,
                              const char* defaultText, size_t blockSize) {
  const LoadResult result = LoadDocument(path, doc);
  if (result.kind == LoadResult::Loaded) {
    if (result.wasUtf8) {
      WriteLog(6, "Config file %s is UTF-8 with a byte-order mark: read as such, written back as GBK", path.c_str());
      SaveConfigXml(doc, path);
    }
    return true;
  }
  if (result.kind == LoadResult::Unreadable) {
    WriteLog(6, "Config file %s cannot be read (a folder, or no right to read it): left as it is", path.c_str());
    return false;
  }
  if (result.kind == LoadResult::Malformed) {
    // The default replaces the file only once its records are safe in the copy.
    std::string old;
    if (!fileapi::ReadWhole(path, old) || !WriteConfigFile(path + ".bad", old.data(), old.size())) {
      WriteLog(6, "Config file cannot be parsed (%s) and no copy %s.bad can be made: left as it is",
               doc.ErrorDesc(), path.c_str());
      return false;
    }
    WriteLog(6, "Config file cannot be parsed (%s), kept as %s.bad", doc.ErrorDesc(), path.c_str());
  }
  std::vector<char> block(blockSize, '\0');
  std::strncpy(block.data(), defaultText, blockSize > 0 ? blockSize - 1 : 0);
  WriteConfigFile(path, block.data(), block.size());
  return false;
}

bool LoadConfigDocument(const std::string& path, TiXmlDocument& doc) {
  return LoadDocument(path, doc).kind == LoadResult::Loaded;
}

bool LoadConfigForSave(const std::string& path, TiXmlDocument& doc) {
  if (LoadDocument(path, doc).kind == LoadResult::Loaded) return true;
  WriteLog(static_cast<unsigned>(-2), "Failed to load file, %s", path.c_str());
  return false;
}

bool SaveConfigXml(const TiXmlDocument& doc, const std::string& path) {
  TiXmlPrinter printer;
  doc.Accept(&printer);
  return WriteConfigFile(path, printer.CStr(), printer.Size());
}

TiXmlElement* AppendTextElement(TiXmlNode* parent, const char* name, const char* text) {
  auto* element = new TiXmlElement(name);
  element->LinkEndChild(new TiXmlText(text ? text : ""));
  parent->LinkEndChild(element);
  return element;
}

TiXmlElement* AppendIntElement(TiXmlNode* parent, const char* name, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  return AppendTextElement(parent, name, text);
}

int ElementInt(const TiXmlElement* element) { return std::atoi(GetNodeText(element)); }

bool IsElement(const TiXmlElement* element, const char* name) {
  return element && std::strcmp(element->Value(), name) == 0;
}
