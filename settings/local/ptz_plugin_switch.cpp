#include "settings/local/setting_ptz_protocol.h"

#include "live/ptz/ptz_dlg.h"
#include "live/ptz/ptz_plugin.h"

bool CSettingPtzProtocol::OnApply(int protocolIndex) {
  if (protocolIndex != 0) return false;
  const bool loaded = m_plugin.Load();  // frees a module loaded earlier first
  if (m_pPanel != nullptr) m_pPanel->InsertAuxSwitchEntries();
  return loaded;
}

void CSettingPtzProtocol::OnPluginOff() {
  m_plugin.Free();
  if (m_pPanel != nullptr) m_pPanel->ResetAdvanceCmdCombo();
}
