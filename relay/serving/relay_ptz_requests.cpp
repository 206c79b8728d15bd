#include "relay/serving/relay_ptz_requests.h"

#include "core/client_log.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "gimbro/gimbro.h"
#include "live/ptz/ptz_panel_logic.h"
#include "relay/serving/relay_live_video.h"
#include "relay/serving/relay_ptz_texts.h"

namespace {

// Sends `text` to the device the key and channel name, when it has a PTZ control.
void SendToDevice(const char* key, DWORD channel, const char* localMac, const std::string& text) {
  DevInfo* device = FindServingDevice(g_lstDevInfo, key, channel, ServingLookup::kPtz, localMac);
  if (!device || !device->pGimbroCtrl) return;
  WriteLog(6, "CVistarelDlg::OnRelayPtz(): DevName=%s, cmd=%s", device->DevName, text.c_str());
  device->pGimbroCtrl->PtzCommand(device->GimbroId, text.c_str());
}

template <class Record>
void GiveBack(Record* record) {
  Pelk_Delete(record, PELK_DELETE_RECORD);
}

std::string PluginCall(void* context, const char* word, int arg1, int arg2) {
  const RelayPtzPlugin& plugin = *static_cast<const RelayPtzPlugin*>(context);
  return plugin.call ? plugin.call(word, arg1, arg2) : std::string();
}

}  // namespace

void OnRelayPtzDirection(RelayPtzDirection* record, const char* localMac) {
  if (!record) return;
  SendToDevice(record->szDevKey, record->dwChannel, localMac,
               relayptz::DirectionText(record->dwCommand, record->dwPanSpeed, record->dwTiltSpeed));
  GiveBack(record);
}

void OnRelayPtzPresetList(RelayRequestRecord* record, const char* localMac) {
  if (!record) return;
  SendToDevice(record->szDevKey, record->dwChannel, localMac, relayptz::PresetListText());
  GiveBack(record);
}

void OnRelayPtzPreset(RelayPtzPreset* record, const char* localMac, const RelayPtzPlugin& plugin) {
  if (!record) return;
  const std::string preset = FixedText(record->szPreset);
  relayptz::PresetContext context;
  context.pluginLoaded = plugin.loaded && plugin.loaded();
  // A peer has no delete list of the panel's timed rules: none cross.
  context.check = CheckPresetInput(preset, context.pluginLoaded, {});
  if (context.pluginLoaded && plugin.hasExport && plugin.hasExport()) {
    context.pluginCall = &PluginCall;
    context.pluginContext = const_cast<RelayPtzPlugin*>(&plugin);
  }
  std::string text;
  if (relayptz::PresetText(record->dwAction, preset, context, &text)) {
    SendToDevice(record->szDevKey, record->dwChannel, localMac, text);
  }
  GiveBack(record);
}

void OnRelayPtzAux(RelayPtzAux* record, const char* localMac) {
  if (!record) return;
  SendToDevice(record->szDevKey, record->dwChannel, localMac, relayptz::AuxText(record->dwAuxCommand));
  GiveBack(record);
}
