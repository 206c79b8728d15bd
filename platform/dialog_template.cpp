#include "platform/dialog_template.h"

#include <tinyxml.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/file_api.h"
#include "platform/paths.h"
#include "platform/resource_folder.h"

namespace dlgtemplate {
namespace {

ResourceFolder g_folder("Resources/dialogs/");
std::mutex g_mutex;
std::string g_indexedFolder;
bool g_indexed = false;
std::map<UINT, DialogTemplate> g_templates;

std::string Attribute(const TiXmlElement* e, const char* name) {
  const char* value = e->Attribute(name);
  return value ? value : "";
}

int IntAttribute(const TiXmlElement* e, const char* name) {
  int value = 0;
  return e->QueryIntAttribute(name, &value) == TIXML_SUCCESS ? value : 0;
}

bool HasStyle(const std::string& style, const std::string& word) {
  std::stringstream words(style);
  std::string item;
  while (std::getline(words, item, '|')) {
    if (item == word) return true;
  }
  return false;
}

void Index(const std::string& folder) {
  g_templates.clear();
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.path().extension() != ".xml") continue;
    std::string text;
    DialogTemplate dialog;
    if (!fileapi::ReadWhole(paths::FromNativePath(entry.path().string()), text)) continue;
    if (Parse(text, dialog)) g_templates.emplace(dialog.id, std::move(dialog));
  }
  g_indexedFolder = folder;
  g_indexed = true;
}

}  // namespace

bool Parse(const std::string& xml, DialogTemplate& out) {
  TiXmlDocument doc;
  doc.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  const TiXmlElement* root = doc.RootElement();
  int id = 0;
  if (doc.Error() || !root || root->ValueStr() != "Dialog" ||
      root->QueryIntAttribute("id", &id) != TIXML_SUCCESS || id <= 0) {
    return false;
  }
  DialogTemplate dialog;
  dialog.id = static_cast<UINT>(id);
  dialog.name = Attribute(root, "name");
  dialog.width = IntAttribute(root, "width");
  dialog.height = IntAttribute(root, "height");
  dialog.caption = Attribute(root, "caption");
  std::string style = Attribute(root, "style");
  dialog.child = HasStyle(style, "child");
  dialog.visible = HasStyle(style, "visible");
  for (const TiXmlElement* e = root->FirstChildElement("Control"); e;
       e = e->NextSiblingElement("Control")) {
    ControlTemplate control;
    control.id = IntAttribute(e, "id");
    control.className = Attribute(e, "class");
    control.x = IntAttribute(e, "x");
    control.y = IntAttribute(e, "y");
    control.width = IntAttribute(e, "width");
    control.height = IntAttribute(e, "height");
    control.text = Attribute(e, "text");
    std::string controlStyle = Attribute(e, "style");
    control.hidden = HasStyle(controlStyle, "hidden");
    control.disabled = HasStyle(controlStyle, "disabled");
    dialog.controls.push_back(std::move(control));
  }
  out = std::move(dialog);
  return true;
}

std::string Folder() { return g_folder.Get(); }

void SetFolder(const std::string& nativeFolder) { g_folder.Set(nativeFolder); }

bool Find(UINT id, DialogTemplate& out) {
  std::string folder = Folder();
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_indexed || folder != g_indexedFolder) Index(folder);
  auto it = g_templates.find(id);
  if (it == g_templates.end()) return false;
  out = it->second;
  return true;
}

}  // namespace dlgtemplate
