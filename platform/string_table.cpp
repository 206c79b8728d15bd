#include "platform/string_table.h"

#include <tinyxml.h>

#include <map>
#include <mutex>

#include "platform/codepage.h"
#include "platform/file_api.h"
#include "platform/paths.h"
#include "platform/resource_folder.h"
#include "platform/toolkit_texts.h"

namespace {

ResourceFolder g_folder("Lang/");
std::mutex g_mutex;
std::map<UINT, std::string> g_strings;  // UTF-8
std::set<UINT> g_asked;

// The text of `id` (UTF-8), empty when missing; notes the id as asked. Called
// with g_mutex held.
std::string Lookup(UINT id) {
  g_asked.insert(id);
  auto it = g_strings.find(id);
  return it == g_strings.end() ? std::string() : it->second;
}

// "LangEn.dll" (any folder, any case of the extension) -> "LangEn".
std::string BaseName(std::string name) {
  size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string ElementText(const TiXmlElement* e) {
  std::string text;
  for (const TiXmlNode* node = e->FirstChild(); node; node = node->NextSibling()) {
    if (const TiXmlText* piece = node->ToText()) text += piece->ValueStr();
  }
  return text;
}

}  // namespace

namespace stringtable {

std::string Folder() { return g_folder.Get(); }

void SetFolder(const std::string& nativeFolder) { g_folder.Set(nativeFolder); }

std::set<UINT> AskedIds() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_asked;
}

bool Parse(const std::string& xml, std::map<UINT, std::string>& out) {
  TiXmlDocument doc;
  doc.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  const TiXmlElement* root = doc.RootElement();
  if (doc.Error() || !root || root->ValueStr() != "StringTable") return false;
  std::map<UINT, std::string> strings;
  for (const TiXmlElement* e = root->FirstChildElement("String"); e;
       e = e->NextSiblingElement("String")) {
    int id = 0;
    if (e->QueryIntAttribute("id", &id) != TIXML_SUCCESS || id < 0) continue;
    strings[static_cast<UINT>(id)] = ElementText(e);
  }
  out = std::move(strings);
  return true;
}

}  // namespace stringtable

BOOL LoadLanguageLibrary(const char* dllName) {
  FreeLanguageLibrary();
  std::string base = dllName ? BaseName(dllName) : std::string();
  if (base.empty()) return FALSE;
  std::string xml;
  if (!fileapi::ReadWhole(paths::FromNativePath(stringtable::Folder() + base + ".xml"), xml)) {
    return FALSE;
  }
  std::map<UINT, std::string> strings;
  if (!stringtable::Parse(xml, strings)) return FALSE;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_strings = std::move(strings);
    g_asked.clear();
  }
  toolkittexts::Use(base);
  return TRUE;
}

void FreeLanguageLibrary() {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_strings.clear();
  }
  toolkittexts::Use(std::string());
}

QString LoadStringW(UINT id) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return QString::fromStdString(Lookup(id));
}

CString LoadStringA(UINT id) {
  std::string utf8;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    utf8 = Lookup(id);
  }
  return codepage::Utf8ToGbk(utf8);
}

CString FormatStringA(UINT id, const char* fallback, std::initializer_list<long> numbers) {
  CString text = LoadStringA(id);
  if (text.empty()) text = fallback;
  size_t from = 0;
  for (long number : numbers) {
    const size_t at = text.find("%d", from);
    if (at == CString::npos) break;
    const std::string digits = std::to_string(number);
    text.replace(at, 2, digits);
    from = at + digits.size();
  }
  return text;
}
