// The registry: keys holding named string and DWORD values, kept in an INI file.
//
// Keys are full paths with their root, as the program writes them:
// "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run".
// Key paths and value names compare without regard to ASCII case, like the
// registry's; the file holds them in lower case. Strings are the program's
// GBK text. Every write goes to the file at once (atomically replaced); all
// calls are thread-safe.
//
// The file: $VEMO_REGISTRY_FILE when set, else vemo/registry.ini in the user's
// configuration folder (paths::ConfigHome: $XDG_CONFIG_HOME, else ~/.config);
// tests set their own with SetFilePath. One
// INI group per key; a key's own entry "(key)" marks that it exists, values are
// written "sz:<text>" or "dword:<decimal>".
#pragma once

#include <string>

#include "platform/win_types.h"

namespace regstore {

enum class ValueType { None, String, Dword };

std::string FilePath();                          // native path
void SetFilePath(const std::string& nativePath);  // empty: back to the default
// The default file from the value of $VEMO_REGISTRY_FILE (null when unset) and
// the configuration folder.
std::string DefaultPath(const char* registryFile, const std::string& configHome);

bool KeyExists(const std::string& key);
bool CreateKey(const std::string& key);  // true when the key exists afterwards

// Writes create the key when it is missing. A value name holding '/' or '\\'
// (or the reserved "(key)") is refused.
bool WriteString(const std::string& key, const std::string& name, const std::string& text);
bool WriteDword(const std::string& key, const std::string& name, DWORD value);

// Reads leave `out` untouched on failure, also when the value has the other type.
bool ReadString(const std::string& key, const std::string& name, std::string& out);
bool ReadDword(const std::string& key, const std::string& name, DWORD& out);

ValueType QueryValue(const std::string& key, const std::string& name);
bool DeleteValue(const std::string& key, const std::string& name);  // false when missing

}  // namespace regstore
