#include "platform/xdg_autostart.h"

#include "platform/file_api.h"
#include "platform/paths.h"

namespace xdgautostart {
namespace {

// Exec value of the entry: the path in double quotes. Inside quotes '"', '`',
// '$' and '\\' take a backslash, and the string escape doubles every backslash
// once more (a literal backslash is four of them); '%' is doubled.
std::string QuotedExec(const std::string& native) {
  std::string out = "\"";
  for (char c : native) {
    if (c == '\\') {
      out += "\\\\\\\\";
      continue;
    }
    if (c == '"' || c == '`' || c == '$') out += "\\\\";
    if (c == '%') {
      out += "%%";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

std::string AnsiForm(const std::string& native) { return paths::FromNativePath(native); }

}  // namespace

std::string EntryPath(const std::string& name) {
  return paths::ConfigHome() + "/autostart/" + name + ".desktop";
}

bool WriteEntry(const std::string& name, const std::string& program) {
  if (program.find_first_of("\r\n") != std::string::npos) return false;  // no line breaks in a value
  const std::string path = EntryPath(name);
  const std::string folder = path.substr(0, path.find_last_of('/'));
  const std::string parent = folder.substr(0, folder.find_last_of('/'));
  fileapi::MakeDirectory(AnsiForm(parent));
  if (!fileapi::MakeDirectory(AnsiForm(folder))) return false;
  const std::string text = "[Desktop Entry]\nType=Application\nName=" + name +
                           "\nExec=" + QuotedExec(paths::NativePath(program)) +
                           "\nX-GNOME-Autostart-enabled=true\n";
  return fileapi::WriteWhole(AnsiForm(path), text.data(), text.size());
}

bool RemoveEntry(const std::string& name) {
  const std::string path = AnsiForm(EntryPath(name));
  return fileapi::Remove(path) || !fileapi::Exists(path);
}

}  // namespace xdgautostart
