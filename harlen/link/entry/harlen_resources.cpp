#include "harlen/link/entry/harlen_resources.h"

#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/codepage.h"
#include "platform/string_table.h"

namespace harlenres {
namespace {

// One set of resources: a string table and dialog templates from one folder.
struct ResourceModule {
  std::map<UINT, std::string> strings;  // UTF-8
  std::map<UINT, DialogTemplate> dialogs;
};

bool ReadFile(const std::filesystem::path& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  out = bytes.str();
  return true;
}

// False when the folder has no readable string table.
bool LoadModule(const std::string& folder, ResourceModule& module) {
  std::string xml;
  if (!ReadFile(folder + "strings.xml", xml) || !stringtable::Parse(xml, module.strings)) return false;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder + "dialogs", ec)) {
    if (entry.path().extension() != ".xml") continue;
    DialogTemplate dialog;
    if (ReadFile(entry.path(), xml) && dlgtemplate::Parse(xml, dialog)) {
      module.dialogs.emplace(dialog.id, std::move(dialog));
    }
  }
  return true;
}

// "Lorvan_En.dll" (any folder, any extension) -> "Lorvan_En".
std::string BaseName(std::string name) {
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

// The folder of the binary that holds this code, with a trailing '/'.
std::string BinaryFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&BinaryFolder), &info) == 0 || info.dli_fname == nullptr) return "./";
  std::filesystem::path path = std::filesystem::absolute(info.dli_fname).parent_path();
  return path.string() + "/";
}

std::mutex g_mutex;
std::string g_folder;  // empty: the default
bool g_ownLoaded = false;
ResourceModule g_own;
bool g_hasLanguage = false;
ResourceModule g_language;

std::string FolderLocked() { return g_folder.empty() ? BinaryFolder() + "Harlen/" : g_folder; }

const ResourceModule& OwnLocked() {
  if (!g_ownLoaded) {
    g_own = ResourceModule{};
    LoadModule(FolderLocked(), g_own);
    g_ownLoaded = true;
  }
  return g_own;
}

const std::string* FindString(UINT id) {
  if (g_hasLanguage) {
    auto it = g_language.strings.find(id);
    if (it != g_language.strings.end()) return &it->second;
  }
  const ResourceModule& own = OwnLocked();
  auto it = own.strings.find(id);
  return it != own.strings.end() ? &it->second : nullptr;
}

}  // namespace

std::string Folder() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return FolderLocked();
}

void SetFolder(const std::string& nativeFolder) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_folder = nativeFolder;
  if (!g_folder.empty() && g_folder.back() != '/') g_folder += '/';
  g_ownLoaded = false;
  g_hasLanguage = false;
  g_language = ResourceModule{};
}

bool FindDialog(UINT id, DialogTemplate& out) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_hasLanguage) {
    auto it = g_language.dialogs.find(id);
    if (it != g_language.dialogs.end()) {
      out = it->second;
      return true;
    }
  }
  const ResourceModule& own = OwnLocked();
  auto it = own.dialogs.find(id);
  if (it == own.dialogs.end()) return false;
  out = it->second;
  return true;
}

QString LoadString(UINT id) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const std::string* text = FindString(id);
  return text != nullptr ? QString::fromStdString(*text) : QString();
}

QString FormatString(UINT id, std::initializer_list<long long> numbers) {
  const QString format = LoadString(id);
  const QString mark = QStringLiteral("%d");
  QString text;
  qsizetype from = 0;
  for (long long number : numbers) {
    const qsizetype at = format.indexOf(mark, from);
    if (at < 0) break;
    text += format.mid(from, at - from) + QString::number(number);
    from = at + mark.size();
  }
  return text + format.mid(from);
}

std::string LoadStringA(UINT id) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const std::string* text = FindString(id);
  return text != nullptr ? codepage::Utf8ToGbk(*text) : std::string();
}

bool LoadLanguageLibrary(const char* dllName) {
  const std::string base = dllName != nullptr ? BaseName(dllName) : std::string();
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_hasLanguage || base.empty()) return false;
  ResourceModule language;
  if (!LoadModule(FolderLocked() + base + "/", language)) return false;
  g_language = std::move(language);
  g_hasLanguage = true;
  return true;
}

bool HasLanguageLibrary() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_hasLanguage;
}

void FreeLanguageLibrary() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_hasLanguage = false;
  g_language = ResourceModule{};
}

std::string IconFile(UINT id) {
  const std::string path = Folder() + "images/" + std::to_string(id) + ".png";
  std::error_code ec;
  return std::filesystem::exists(path, ec) ? path : std::string();
}

}  // namespace harlenres
