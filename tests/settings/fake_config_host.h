// A main window stand-in for the configuration windows: records every call
// and forwards the page selection to the configuration manager when one is set.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QString>

#include "core/dev_info.h"
#include "settings/config_host.h"

class FakeConfigHost : public CConfigHost {
 public:
  std::vector<std::string> calls;          // in order, e.g. "ShowCfgPage 2"
  std::vector<std::string> messages;       // UTF-8 texts shown in the message box
  std::function<void(int)> onShowCfgPage;  // the main window's page member
  UserInfo* user = nullptr;
  GroupInfo* group = nullptr;
  RoleInfo* role = nullptr;
  int allRecording = -1;

  void ShowCfgPage(int code) override {
    calls.push_back("ShowCfgPage " + std::to_string(code));
    if (onShowCfgPage) onShowCfgPage(code);
  }
  void ShowResMsg(const CStringW& text, int type) override {
    calls.push_back("ShowResMsg " + std::to_string(type));
    messages.push_back(QString::fromStdWString(text).toStdString());
  }
  void RefreshUserList() override { calls.push_back("RefreshUserList"); }
  void RefreshRoleList() override { calls.push_back("RefreshRoleList"); }
  void SetDispInfo(const CString& text) override { calls.push_back("SetDispInfo " + text); }
  void ShowUserInfo(UserInfo* u) override {
    calls.push_back(u ? "ShowUserInfo" : "ShowUserInfo none");
    user = u;
  }
  void ShowGroupInfo(GroupInfo* g) override {
    calls.push_back(g ? "ShowGroupInfo" : "ShowGroupInfo none");
    group = g;
  }
  void ShowRoleInfo(RoleInfo* r) override {
    calls.push_back(r ? "ShowRoleInfo" : "ShowRoleInfo none");
    role = r;
  }
  void ShowRecSchemeTree() override { calls.push_back("ShowRecSchemeTree"); }
  void SetAllRecording(int flag) override {
    calls.push_back("SetAllRecording " + std::to_string(flag));
    allRecording = flag;
  }
  void ReportRecordState(const DevInfo& dev, int state) override {
    recordStates.push_back(std::string(dev.DevName) + " " + std::to_string(state));
  }
  std::vector<std::string> recordStates;  // "<DevName> <state>" of each report
};
