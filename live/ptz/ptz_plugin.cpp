#include "live/ptz/ptz_plugin.h"

#include <dlfcn.h>

#include <cstring>

#include "core/client_log.h"
#include "platform/paths.h"

CPtzProtocolPlugin::~CPtzProtocolPlugin() { Free(); }

bool CPtzProtocolPlugin::Load() { return LoadFile(paths::NativePath(paths::ProgramFolder() + kFileName)); }

bool CPtzProtocolPlugin::LoadFile(const std::string& path) {
  Free();
  m_hPtzDllInst = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!m_hPtzDllInst) {
    const char* why = dlerror();
    WriteLog(3, "CPtzProtocolPlugin: load %s failed: %s", path.c_str(), why ? why : "");
    return false;
  }
  PTZ_GetPtzProtocolData = reinterpret_cast<GetPtzProtocolDataFn>(dlsym(m_hPtzDllInst, "GetPtzProtocolData"));
  if (!PTZ_GetPtzProtocolData) {
    WriteLog(3, "CPtzProtocolPlugin: %s has no GetPtzProtocolData.", path.c_str());
  }
  return true;
}

void CPtzProtocolPlugin::Free() {
  PTZ_GetPtzProtocolData = nullptr;
  if (m_hPtzDllInst) dlclose(m_hPtzDllInst);
  m_hPtzDllInst = nullptr;
}

std::string CPtzProtocolPlugin::Call(int ptzAddr, std::string_view word, int arg1, int arg2) const {
  if (!PTZ_GetPtzProtocolData) return {};
  char buffer[kTarnexOutputSize + 1] = {};
  const std::string wordText(word);
  PTZ_GetPtzProtocolData(ptzAddr, wordText.c_str(), arg1, arg2, buffer);
  // The extra zero byte past the plug-in's 256 bounds an unterminated text.
  return std::string(buffer, strnlen(buffer, kTarnexOutputSize));
}
