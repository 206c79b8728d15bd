#include "core/startup_settings.h"

#include <cstring>
#include <string>

#include "core/fixed_text.h"
#include "core/module_path.h"
#include "core/registry.h"
#include "core/user_settings.h"
#include "platform/xdg_autostart.h"

int g_nLanguage = 0;
char g_szInstallNumber[256];
int g_bAutoRun = 0;

namespace {

constexpr const char* kInstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorand\\Windows";
constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vemo";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValue = "Vemo";
constexpr const char* kAutostartName = "Vemo";

// ASCII letters to upper case; the bytes of double-byte GBK characters stay.
std::string UpperCase(std::string text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x81 && c <= 0xFE) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      text[i] = static_cast<char>(c - 'a' + 'A');
    }
  }
  return text;
}

}  // namespace

void ReadInstallNumber(char* out) {
  CRegistry reg(HKEY_LOCAL_MACHINE);
  CString number;
  if (!reg.OpenRead(HKEY_LOCAL_MACHINE, kInstallKey)) return;
  if (!reg.ReadString("Number", number)) return;
  if (out) CopyFixedText(out, sizeof g_szInstallNumber, UpperCase(number).c_str());
}

void ReadLanguage() {
  CRegistry reg(HKEY_LOCAL_MACHINE);
  CString language;
  if (reg.OpenRead(HKEY_LOCAL_MACHINE, kUninstallKey)) reg.ReadString("Language", language);
  if (language == "English") g_nLanguage = 1;
  else if (language == "Traditional Chinese") g_nLanguage = 2;
  else if (language == "Russian") g_nLanguage = 3;
  else if (language == "Turkish") g_nLanguage = 5;
  else g_nLanguage = 0;  // empty, "Simplified Chinese" and any other text
}

void CheckAutoRun() {
  CRegistry reg(HKEY_LOCAL_MACHINE);
  if (!reg.OpenRead(HKEY_LOCAL_MACHINE, kRunKey)) return;
  CString command;
  reg.ReadString(kRunValue, command);
  if (!command.empty()) {
    g_bAutoRun = 1;
    g_bAutoLogin = 1;
  } else {
    g_bAutoRun = 0;
  }
}

void SetAutoRun() {
  CRegistry reg(HKEY_LOCAL_MACHINE);
  if (!reg.Create(HKEY_LOCAL_MACHINE, kRunKey)) return;
  const std::string command = GetModuleDir() + kVemoProgramFile;
  if (reg.WriteString(kRunValue, command.c_str())) xdgautostart::WriteEntry(kAutostartName, command);
}

void DeleteAutoRun() {
  CRegistry reg(HKEY_LOCAL_MACHINE);
  if (reg.Open(HKEY_LOCAL_MACHINE, kRunKey)) reg.DeleteValue(kRunValue);
  xdgautostart::RemoveEntry(kAutostartName);
}
