// A PTZ panel host that records every call the panel makes, one line each.
#pragma once

#include <string>
#include <vector>

#include "live/ptz/ptz_panel_host.h"
#include "live/ptz/ptz_plugin.h"

struct RecordingPtzHost : CPtzPanelHost {
  std::vector<std::string> calls;
  std::vector<std::string> sent;  // the texts of SendPtzXml alone
  CPtzProtocolPlugin plugin;
  int ptzAddr = 7;
  bool activeRelay = false;
  bool mainRelay = false;

  void SendPtzXml(const std::string& text) override {
    calls.push_back("send " + text);
    sent.push_back(text);
  }
  int GetSelectedPtzAddr() override { return ptzAddr; }
  void SetRelayPtzDirection(int code, int pan, int tilt) override {
    calls.push_back("direction " + std::to_string(code) + " " + std::to_string(pan) + " " + std::to_string(tilt));
  }
  void SetRelayPtzAdvance(int code) override { calls.push_back("advance " + std::to_string(code)); }
  bool ActivePaneShowsRelay() override { return activeRelay; }
  bool MainPaneShowsRelay() override { return mainRelay; }
  void SetRelayPtzPreset(int operation, const std::string& text) override {
    calls.push_back("relay preset " + std::to_string(operation) + " " + text);
  }
  void RspInvitePreset(LONG gimbroId, const std::string& answer) override {
    calls.push_back("invite preset " + std::to_string(gimbroId) + " " + answer);
  }
  const CPtzProtocolPlugin& PtzPlugin() override { return plugin; }
};
