// Hosts of the panels for the tests: each call is written down as a line.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "shell/device_list_host.h"
#include "shell/page_host.h"
#include "shell/view_state.h"

// The device list panel's host. Every call adds "Name(argument)" to `calls`;
// a device reads as its DevName, null as "-".
class FakeDeviceListHost : public CDeviceListHost {
 public:
  std::vector<std::string> calls;
  QWidget* dropWnd = nullptr;
  std::vector<int> gridPanes = {4};  // panes of each live grid
  std::vector<MapEntry> maps;
  CString shownMap;
  std::map<CString, std::vector<CString>> deviceMaps;  // device name -> maps with its camera points
  bool recordSearchOnExtScreen = false;

  static std::string Name(const DevInfo* dev) { return dev != nullptr ? dev->DevName : "-"; }
  static std::string Name(const DevGroupInfo* group) { return group != nullptr ? group->GroupName : "-"; }

  void ShowDevInfo(DevGroupInfo* group) override { calls.push_back("ShowDevInfo(" + Name(group) + ")"); }
  void OnDevSelected(DevInfo* dev) override { calls.push_back("OnDevSelected(" + Name(dev) + ")"); }
  void OnVssChannelSelected(RelayDevice* dev) override {
    calls.push_back(dev != nullptr ? "OnVssChannelSelected" : "OnVssChannelSelected(-)");
  }
  void OnRecSchemeSelected(RecSchemeInfo*) override { calls.push_back("OnRecSchemeSelected"); }
  void DropDevOnVideoWnd(QWidget* wnd, DevInfo* dev) override {
    dropWnd = wnd;
    calls.push_back("DropDevOnVideoWnd(" + Name(dev) + ")");
  }
  void OpenDevInFreeWnd(DevInfo* dev) override { calls.push_back("OpenDevInFreeWnd(" + Name(dev) + ")"); }
  void DropDevOnTVWall(int x, int y, DevInfo* dev) override { calls.push_back(At("DropDevOnTVWall", x, y, dev)); }
  void DropChannelOnTVWall(int x, int y, DevInfo* dev) override {
    calls.push_back(At("DropChannelOnTVWall", x, y, dev));
  }
  void DropDevOnMap(int x, int y, DevInfo* dev) override { calls.push_back(At("DropDevOnMap", x, y, dev)); }
  int GetLiveGridCount() override { return static_cast<int>(gridPanes.size()); }
  int AddWatchInGrid(int grid, int pane, DevInfo* dev) override {
    if (pane >= gridPanes[static_cast<size_t>(grid)]) return -100;
    calls.push_back("AddWatch(" + std::to_string(grid) + "," + std::to_string(pane) + "," + Name(dev) + ")");
    return 0;
  }
  bool IsRecordSearchOnExtScreen() override { return recordSearchOnExtScreen; }
  void SetSearchDevInfo(DevInfo* dev) override { calls.push_back("SetSearchDevInfo(" + Name(dev) + ")"); }
  std::vector<MapEntry> GetMapList() override { return maps; }
  CString GetShownMapName() override { return shownMap; }
  void ShowMap(const CString& name) override {
    shownMap = name;
    calls.push_back("ShowMap(" + name + ")");
  }
  std::vector<CString> GetMapsHoldingDevice(const CString& devName) override { return deviceMaps[devName]; }

  // Relay channels: the grid of the pane a drop finds (-1: no pane there).
  int dropPaneGrid = 0;
  int mainGridShown = 4;
  bool SelectDropPane(QWidget* wnd, int* grid) override {
    dropWnd = wnd;
    calls.push_back("SelectDropPane");
    if (dropPaneGrid < 0) return false;
    *grid = dropPaneGrid;
    return true;
  }
  void StopSelectedPane(int grid) override { calls.push_back("StopSelectedPane(" + std::to_string(grid) + ")"); }
  void CloseMainGridRelay(const RelayDevice& dev) override;
  void StopAllLivePanes() override { calls.push_back("StopAllLivePanes"); }
  int MainGridShownCount() override { return mainGridShown; }
  void SetExtGridRelayFlag(int flag) override { calls.push_back("SetExtGridRelayFlag(" + std::to_string(flag) + ")"); }

 private:
  static std::string At(const char* name, int x, int y, const DevInfo* dev) {
    return std::string(name) + "(" + std::to_string(x) + "," + std::to_string(y) + "," + Name(dev) + ")";
  }
};

// The navigation bar's host: module switches set g_nCurModule as the main window does.
class FakePageHost : public CPageHost {
 public:
  std::vector<std::string> calls;
  int moduleMonitor[6] = {0, 0, 0, 0, 0, 0};
  int extScreens = 0;
  bool multiScreen = false;
  CDeviceListDlg* panel = nullptr;

  void ShowVideoModule() override { Switch("ShowVideoModule", 0); }
  void ShowRecordModule() override { Switch("ShowRecordModule", 1); }
  void ShowAlarmModule() override { Switch("ShowAlarmModule", 2); }
  void ShowConfigModule() override { Switch("ShowConfigModule", 3); }
  void ShowTVWallModule() override { Switch("ShowTVWallModule", 4); }
  void ShowMapModule() override { Switch("ShowMapModule", 5); }
  int GetModuleMonitor(int module) override { return moduleMonitor[module]; }
  int GetExtScreenCount() override { return extScreens; }
  bool IsMultiScreen() override { return multiScreen; }
  void MoveModuleToScreen(int monitor) override { calls.push_back("MoveModuleToScreen(" + std::to_string(monitor) + ")"); }
  void ShowResMsg(const CStringW& text, int type) override {
    calls.push_back("ShowResMsg(" + codepage::FromQString(QString::fromStdWString(text)) + "," +
                    std::to_string(type) + ")");
  }
  CDeviceListDlg* GetDeviceListDlg() override { return panel; }
  void RedrawCaptionBackground() override { calls.push_back("RedrawCaptionBackground"); }

 private:
  void Switch(const char* name, int module) {
    calls.push_back(name);
    g_nCurModule = module;
  }
};

#include "relay/login/vss_info.h"

inline void FakeDeviceListHost::CloseMainGridRelay(const RelayDevice& dev) {
  calls.push_back(std::string("CloseMainGridRelay(") + dev.DevName + ")");
}
