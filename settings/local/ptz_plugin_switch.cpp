#include "settings/local/ptz_plugin_switch.h"

#include "live/ptz/ptz_dlg.h"
#include "live/ptz/ptz_plugin.h"

PtzPluginLoad CPtzPluginSwitch::OnApply(int protocolIndex) {
  if (protocolIndex != 0) return PtzPluginLoad::kNotApplied;
  const bool loaded = m_plugin.Load();  // frees a module loaded earlier first
  if (m_pPanel != nullptr) {
    // The standard commands again, then the auxiliary items once.
    m_pPanel->ResetAdvanceCmdCombo();
    m_pPanel->InsertAuxSwitchEntries();
  }
  if (!loaded) return PtzPluginLoad::kNotLoaded;
  return m_plugin.Function() != nullptr ? PtzPluginLoad::kLoaded : PtzPluginLoad::kNoExport;
}

void CPtzPluginSwitch::OnPluginOff() {
  m_plugin.Free();
  if (m_pPanel != nullptr) m_pPanel->ResetAdvanceCmdCombo();
}

void CPtzPluginSwitch::Free() { m_plugin.Free(); }
