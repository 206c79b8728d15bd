// A main window stand-in for the local settings pages: records every call,
// holds the PTZ plug-in and the panel it hands out.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "live/ptz/ptz_plugin.h"
#include "settings/local/local_settings_host.h"

class FakeLocalSettingsHost : public CLocalSettingsHost {
 public:
  std::vector<std::string> calls;     // e.g. "SetSnapPath 1 /data"
  std::vector<std::string> messages;  // UTF-8 texts of the message box
  CPtzProtocolPlugin ownPlugin;
  CPtzProtocolPlugin* plugin = &ownPlugin;
  CPTZDlg* panel = nullptr;

  void ShowResMsg(const CStringW& text, int type) override {
    messages.push_back(QString::fromStdWString(text).toStdString());
    calls.push_back("ShowResMsg " + std::to_string(type));
  }
  CPtzProtocolPlugin& PtzPluginToLoad() override { return *plugin; }
  CPTZDlg* PtzPanel() override { return panel; }
  void SetSnapPath(int kind, const std::string& folder) override {
    calls.push_back("SetSnapPath " + std::to_string(kind) + " " + folder);
  }
  void ApplyKeepLastFrame() override { calls.push_back("ApplyKeepLastFrame"); }
  void ApplyMonitorMode(bool on) override { calls.push_back(on ? "ApplyMonitorMode on" : "ApplyMonitorMode off"); }

  std::string LastMessage() const { return messages.empty() ? "" : messages.back(); }
};
