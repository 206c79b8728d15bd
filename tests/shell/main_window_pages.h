// Every module and page of the main window, to be shown one after the other
// by the tests that look at all of them (keys typed into their edit boxes,
// texts that fit, labels that can be read).
#pragma once

#include <functional>
#include <string>
#include <vector>

class CVistarelDlg;

struct MainWindowPage {
  std::string name;
  std::function<void(CVistarelDlg&)> show;  // the module switch and clicks that open it
};

// Live view with the PTZ panel and with the alarm list, the record query by
// file and by time, the
// alarm query, the TV wall, the map, the five pages of the configuration
// manager and the record-scheme page opened by "Detail".
const std::vector<MainWindowPage>& MainWindowPages();
