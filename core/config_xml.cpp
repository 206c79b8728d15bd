#include "core/config_xml.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/client_log.h"
#include "core/module_path.h"
#include "core/text_convert.h"
#include "platform/file_api.h"

namespace {

enum class LoadResult { Loaded, Missing, Unreadable, Malformed };

LoadResult LoadDocument(const std::string& path, TiXmlDocument& doc) {
  FILE* file = fileapi::Open(path, "rb");
  if (!file) return fileapi::Exists(path) ? LoadResult::Unreadable : LoadResult::Missing;
  // Legacy encoding: every byte stands for itself, so GBK text is kept as it is
  // (its trail bytes never take the values of '<', '>', '&' or quotes).
  const bool ok = doc.LoadFile(file, TIXML_ENCODING_LEGACY);
  std::fclose(file);
  return ok ? LoadResult::Loaded : LoadResult::Malformed;
}

}  // namespace

std::string ConfigFilePath(const char* fileName) {
  return GetModuleDir() + "Config\\" + fileName;
}

bool LoadConfigOrWriteDefault(const std::string& path, TiXmlDocument& doc,
                              const char* defaultText, size_t blockSize) {
  const LoadResult result = LoadDocument(path, doc);
  if (result == LoadResult::Loaded) return true;
  if (result == LoadResult::Unreadable) return false;
  if (result == LoadResult::Malformed) {
    WriteLog(6, "Config file cannot be parsed (%s), kept as %s.bad", doc.ErrorDesc(), path.c_str());
    std::string old;
    if (fileapi::ReadWhole(path, old)) fileapi::WriteWhole(path + ".bad", old.data(), old.size());
  }
  std::vector<char> block(blockSize, '\0');
  std::strncpy(block.data(), defaultText, blockSize > 0 ? blockSize - 1 : 0);
  fileapi::WriteWhole(path, block.data(), block.size());
  return false;
}

bool LoadConfigForSave(const std::string& path, TiXmlDocument& doc) {
  if (LoadDocument(path, doc) == LoadResult::Loaded) return true;
  WriteLog(static_cast<unsigned>(-2), "Failed to load file, %s", path.c_str());
  return false;
}

bool SaveConfigXml(const TiXmlDocument& doc, const std::string& path) {
  TiXmlPrinter printer;
  doc.Accept(&printer);
  return fileapi::WriteWhole(path, printer.CStr(), printer.Size());
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
