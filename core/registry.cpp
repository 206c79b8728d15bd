#include "core/registry.h"

#include <string>

#include "platform/registry_store.h"

// A key opened by CRegistry: its full path with the root's name.
struct HKEY__ {
  std::string path;
};

namespace {

constexpr DWORD kMaxStringBytes = 200;

// The name of a root key, or null for any other handle.
const char* RootName(HKEY key) {
  if (key == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  if (key == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (key == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (key == HKEY_USERS) return "HKEY_USERS";
  return nullptr;
}

// Full path of a handle; empty for null.
std::string KeyPath(HKEY key) {
  if (!key) return std::string();
  if (const char* root = RootName(key)) return root;
  return key->path;
}

// Creates the key and, as the registry does, every missing parent below the root.
bool CreateWithParents(const std::string& root, const std::string& full) {
  for (size_t at = full.find('\\', root.size() + 1); at != std::string::npos;
       at = full.find('\\', at + 1)) {
    if (!regstore::KeyExists(full.substr(0, at)) && !regstore::CreateKey(full.substr(0, at))) {
      return false;
    }
  }
  return regstore::CreateKey(full);
}

std::string Join(const std::string& base, const char* path) {
  std::string sub = path ? path : "";
  while (!sub.empty() && (sub.front() == '\\' || sub.front() == '/')) sub.erase(0, 1);
  while (!sub.empty() && (sub.back() == '\\' || sub.back() == '/')) sub.pop_back();
  return sub.empty() ? base : base + "\\" + sub;
}

}  // namespace

CRegistry::CRegistry(HKEY root) : m_hKey(root) {}

CRegistry::~CRegistry() { Close(); }

bool CRegistry::IsOpen() const { return m_hKey && !RootName(m_hKey); }

BOOL CRegistry::Fail(LONG error) {
  m_nLastError = error;
  return FALSE;
}

BOOL CRegistry::OpenKey(HKEY root, const char* path, bool create) {
  const std::string base = KeyPath(root);
  if (base.empty()) return Fail(ERROR_INVALID_HANDLE);
  const std::string full = Join(base, path);
  const bool isRoot = full == base && RootName(root);
  if (!isRoot) {
    const bool exists = create ? CreateWithParents(base, full) : regstore::KeyExists(full);
    if (!exists) return Fail(create ? ERROR_WRITE_FAULT : ERROR_FILE_NOT_FOUND);
  }
  Close();
  m_hKey = new HKEY__{full};
  m_nLastError = ERROR_SUCCESS;
  return TRUE;
}

BOOL CRegistry::Open(HKEY root, const char* path) { return OpenKey(root, path, false); }

BOOL CRegistry::OpenRead(HKEY root, const char* path) {
  m_strKeyPath = path ? path : "";
  return OpenKey(root, path, false);
}

BOOL CRegistry::OpenSubKey(const char* path) {
  if (!m_hKey) return Fail(ERROR_INVALID_HANDLE);
  // The new key replaces the open one; the parent handle is copied first since
  // opening closes it.
  HKEY__ parent{KeyPath(m_hKey)};
  return OpenKey(&parent, path, false);
}

BOOL CRegistry::Create(HKEY root, const char* path) { return OpenKey(root, path, true); }

BOOL CRegistry::Close() {
  if (IsOpen()) delete m_hKey;
  m_hKey = nullptr;
  m_nLastError = ERROR_SUCCESS;
  return TRUE;
}

BOOL CRegistry::ValueExists(const char* name) {
  if (!m_hKey) return Fail(ERROR_INVALID_HANDLE);
  const regstore::ValueType type = regstore::QueryValue(KeyPath(m_hKey), name ? name : "");
  if (type == regstore::ValueType::None) return Fail(ERROR_FILE_NOT_FOUND);
  m_nLastError = ERROR_SUCCESS;
  return TRUE;
}

BOOL CRegistry::WriteDword(const char* name, DWORD value) {
  if (!m_hKey) return Fail(ERROR_INVALID_HANDLE);
  m_dwLastType = REG_DWORD;
  m_dwLastSize = sizeof(DWORD);
  if (!regstore::WriteDword(KeyPath(m_hKey), name ? name : "", value)) {
    return Fail(ERROR_WRITE_FAULT);
  }
  m_nLastError = ERROR_SUCCESS;
  return TRUE;
}

BOOL CRegistry::WriteString(const char* name, const char* text) {
  if (!m_hKey) return Fail(ERROR_INVALID_HANDLE);
  const std::string value = text ? text : "";
  m_dwLastType = REG_SZ;
  m_dwLastSize = static_cast<DWORD>(value.size() + 1);
  if (!regstore::WriteString(KeyPath(m_hKey), name ? name : "", value)) {
    return Fail(ERROR_WRITE_FAULT);
  }
  m_nLastError = ERROR_SUCCESS;
  return TRUE;
}

BOOL CRegistry::ReadDword(const char* name, DWORD& value) {
  if (!m_hKey) return Fail(ERROR_INVALID_HANDLE);
  const std::string key = KeyPath(m_hKey);
  const regstore::ValueType type = regstore::QueryValue(key, name ? name : "");
  if (type == regstore::ValueType::None) return Fail(ERROR_FILE_NOT_FOUND);
  if (type != regstore::ValueType::Dword) return Fail(ERROR_INVALID_DATA);
  DWORD read = 0;
  if (!regstore::ReadDword(key, name, read)) return Fail(ERROR_FILE_NOT_FOUND);
  value = read;
  m_dwLastType = REG_DWORD;
  m_dwLastSize = sizeof(DWORD);
  m_nLastError = ERROR_SUCCESS;
  return TRUE;
}

BOOL CRegistry::ReadString(const char* name, CString& text) {
  if (!m_hKey) return Fail(ERROR_INVALID_HANDLE);
  const std::string key = KeyPath(m_hKey);
  const regstore::ValueType type = regstore::QueryValue(key, name ? name : "");
  if (type == regstore::ValueType::None) return Fail(ERROR_FILE_NOT_FOUND);
  if (type != regstore::ValueType::String) return Fail(ERROR_INVALID_DATA);
  std::string read;
  if (!regstore::ReadString(key, name, read)) return Fail(ERROR_FILE_NOT_FOUND);
  m_dwLastType = REG_SZ;
  m_dwLastSize = static_cast<DWORD>(read.size() + 1);
  if (m_dwLastSize > kMaxStringBytes) return Fail(ERROR_MORE_DATA);
  text = read;
  m_nLastError = ERROR_SUCCESS;
  return TRUE;
}

BOOL CRegistry::DeleteValue(const char* name) {
  if (!m_hKey) return Fail(ERROR_INVALID_HANDLE);
  if (!regstore::DeleteValue(KeyPath(m_hKey), name ? name : "")) return Fail(ERROR_FILE_NOT_FOUND);
  m_nLastError = ERROR_SUCCESS;
  return TRUE;
}
