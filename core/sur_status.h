// The remembered screen state: which device each pane of each monitor showed.
#pragma once

#include <list>

struct SurStatus {
  char DevId[256] = {};
  char DevName[256] = {};
  int WndNo = 0;       // pane number
  int MonitorNum = 0;  // monitor number
  int DispMode = 0;    // pane layout
};

extern std::list<SurStatus> g_lstSurStatus;  // the logged-in user's panes
