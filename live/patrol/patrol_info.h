// "Config\\PatrolInfo.xml": the patrol plans of the live-view panes and of the
// TV wall's decoders.
//
// A plan is named by its DecodeName: "Player-%d" for pane n of the main
// screen's grid, "PlayerEx1-%d" .. "PlayerEx3-%d" for the grids of the extended
// screens, or a decoder's device name. A pane point names its camera in
// DevName1 only (DispMode empty); a decoder point shows one camera (DispMode
// "0", DevName1) or four (DispMode "1", DevName1 .. DevName4).
#pragma once

#include <string>
#include <vector>

// One point of a plan, as the settings page and the file keep it: texts.
struct PatrolPoint {
  char DispMode[128] = {};
  char StayTime[128] = {};  // seconds, decimal
  char DevName1[256] = {};
  char DevName2[256] = {};
  char DevName3[256] = {};
  char DevName4[256] = {};
};

struct PatrolPlan {
  char DecodeName[256] = {};
  std::vector<PatrolPoint> points;
};

// Clears `plans` and reads the file into it, in file order. -1 when the file
// could not be loaded (the default file is then written in its place, or an
// unreadable file is left alone), 0 otherwise.
int LoadPatrolInfo(std::vector<PatrolPlan>& plans);

// Puts `plan` in place of the plan of the same name: in `plans` (the old one
// removed, the new one appended) and in the file (every Patrol element of that
// name removed, the new one appended). The file is written only when it loads
// ("Failed to load file, %s" is logged otherwise). 0 when the file was saved.
int SavePatrolPlan(std::vector<PatrolPlan>& plans, const PatrolPlan& plan);

// The plan prefix of a grid: "Player" for the main screen's grid (extIndex 0),
// "PlayerEx1" .. "PlayerEx3" for the grids of extended screens 1 to 3.
std::string PatrolPlanPrefix(int extIndex);

// The plan name of pane `paneNumber` (1-64) of a grid: "<prefix>-<n>".
std::string PatrolPlanName(const std::string& prefix, int paneNumber);

// True when `decodeName` splits at its first '-' into `prefix` and the decimal
// number `paneNumber`.
bool PatrolPlanIsForPane(const char* decodeName, const std::string& prefix, int paneNumber);
