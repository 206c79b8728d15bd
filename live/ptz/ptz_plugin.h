// CPtzProtocolPlugin: the loaded PTZ-protocol plug-in (maker/tarnex): the
// module handle and the address of its GetPtzProtocolData. The main window
// owns one; the PTZ protocol settings page loads and frees it, the PTZ panel
// reads it before every command.
//
// Three states: not loaded (no module: the panel sends its XML texts), loaded
// with the export (the plug-in's texts are sent), loaded without the export
// (the panel logs and sends nothing for the words the plug-in would make).
#pragma once

#include <string>
#include <string_view>

#include "tarnex/tarnex.h"

class CPtzProtocolPlugin {
 public:
  // The file the settings page loads from the program folder.
  static constexpr const char* kFileName = "Tarnex.DLL";

  CPtzProtocolPlugin() = default;
  ~CPtzProtocolPlugin();
  CPtzProtocolPlugin(const CPtzProtocolPlugin&) = delete;
  CPtzProtocolPlugin& operator=(const CPtzProtocolPlugin&) = delete;

  // Frees a loaded module, then loads kFileName from the program folder and
  // looks up its export. A missing file or one that is no loadable library
  // leaves the plug-in unloaded (logged); true when a module was loaded.
  bool Load();
  // Loads the file at `path` the same way (tests).
  bool LoadFile(const std::string& path);
  // Frees the module; both values become null.
  void Free();

  bool IsLoaded() const { return m_hPtzDllInst != nullptr; }
  GetPtzProtocolDataFn Function() const { return PTZ_GetPtzProtocolData; }

  // Calls the export with a zeroed 256-byte buffer and returns what it left
  // there, cut at the buffer's end when the plug-in did not terminate it.
  // Empty when there is no export or the plug-in made nothing.
  std::string Call(int ptzAddr, std::string_view word, int arg1, int arg2) const;

 private:
  void* m_hPtzDllInst = nullptr;
  GetPtzProtocolDataFn PTZ_GetPtzProtocolData = nullptr;
};
