// CRegistry: named string and DWORD values under registry keys, over the
// program's registry store (platform/registry_store.h).
#pragma once

#include <cstdint>

#include "platform/win_types.h"

// A key handle: one of the roots below, or a key opened by CRegistry.
struct HKEY__;
typedef HKEY__* HKEY;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u)))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000003u)))

// Results of the registry calls (m_nLastError).
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_DATA = 13;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;

// Value types (m_dwLastType).
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_DWORD = 4;

class CRegistry {
 public:
  explicit CRegistry(HKEY root = HKEY_LOCAL_MACHINE);
  virtual ~CRegistry();  // closes the key
  CRegistry(const CRegistry&) = delete;
  CRegistry& operator=(const CRegistry&) = delete;

  // Each returns TRUE on success and records m_nLastError, the value type and size.
  BOOL Open(HKEY root, const char* path);      // an existing key, full access
  BOOL OpenRead(HKEY root, const char* path);  // an existing key, read access; remembers the path
  BOOL OpenSubKey(const char* path);           // a subkey of the open key, in its place
  BOOL Create(HKEY root, const char* path);    // opens the key, creating it when missing
  BOOL Close();
  BOOL ValueExists(const char* name);
  BOOL WriteDword(const char* name, DWORD value);
  BOOL WriteString(const char* name, const char* text);
  BOOL ReadDword(const char* name, DWORD& value);  // failure leaves `value` unchanged
  // Reads at most 200 bytes (the text and its zero); a longer value fails with
  // ERROR_MORE_DATA. Failure leaves `text` unchanged.
  BOOL ReadString(const char* name, CString& text);
  BOOL DeleteValue(const char* name);

  LONG m_nLastError = ERROR_SUCCESS;
  DWORD m_dwLastType = REG_NONE;
  DWORD m_dwLastSize = 0;
  HKEY m_hKey;  // the open key; before opening, the root given to the constructor
  CString m_strKeyPath;

 private:
  BOOL OpenKey(HKEY root, const char* path, bool create);
  BOOL Fail(LONG error);
  bool IsOpen() const;
};
