// A peer's PTZ requests for a local device: direction, preset list, preset
// and auxiliary commands, sent to the device's PTZ control as this service's
// own command texts (relay_ptz_texts.h). A request for another client or for
// no device does nothing. The records are given back. UI thread.
#pragma once

#include <functional>
#include <string>

#include "pelk/pelk.h"

// What the preset requests take from the main window: its PTZ-protocol
// plug-in and the address the plug-in's texts are made for.
struct RelayPtzPlugin {
  std::function<bool()> loaded;  // a plug-in is loaded
  // The plug-in's text for a word; empty when it has no export (or made none).
  std::function<std::string(const char* word, int arg1, int arg2)> call;
  std::function<bool()> hasExport;
};

void OnRelayPtzDirection(RelayPtzDirection* record, const char* localMac);
void OnRelayPtzPresetList(RelayRequestRecord* record, const char* localMac);
void OnRelayPtzPreset(RelayPtzPreset* record, const char* localMac, const RelayPtzPlugin& plugin);
void OnRelayPtzAux(RelayPtzAux* record, const char* localMac);
