// The patrol settings page without its widgets: the names its list box offers,
// the rows of its point list, and the checks of the point dialog.
//
// Rows: on the "Player Patrol" tab a row has two columns (device key, stay
// time); on the "TV Patrol" tab six (display mode, stay time, device keys 1-4).
#pragma once

#include <string>
#include <vector>

#include "live/patrol/patrol_info.h"

// Tabs of the page.
enum : int { kPatrolTabPlayer = 0, kPatrolTabTv = 1 };

// Plans that may hold at most this many points.
constexpr int kPatrolMaxPoints = 10;
// Shortest stay time the point dialog accepts, in seconds.
constexpr int kPatrolMinStayTime = 10;

// "<prefix>-1" .. "<prefix>-64".
std::vector<std::string> PatrolPaneNames(const std::string& prefix);
// The names of the decoders (DevType 2) of g_lstDevInfo, in list order.
std::vector<std::string> PatrolDecoderNames();
// How the name list shows a plan's name (GBK): a pane's plan ("Player-3",
// "PlayerEx2-1" for pane 1 of extension screen 2) in the interface language,
// any other name (a decoder's) as it is.
std::string PatrolNameLabel(const std::string& name);

using PatrolRow = std::vector<std::string>;

PatrolRow PatrolRowOf(const PatrolPoint& point, int tab);
PatrolPoint PatrolPointOf(const PatrolRow& row);  // two or six columns

// What the point dialog was given.
struct PatrolPointInput {
  int tab = kPatrolTabPlayer;
  bool modify = false;
  std::string oldName;     // modify mode: DevName1 of the row being changed
  int rowCount = 0;        // rows of the point list now
  bool fourVideo = false;  // TV tab: "Display four video" checked
  std::string stayTime;
  std::string devNames[4];
};

// The string id of the first refusal of the Add/Modify button, or 0:
// 907 empty stay time, 912 stay time below 10, 908 empty device name, 893 a
// pane camera that a saved plan holds already (Player tab), 911 an eleventh row.
int CheckPatrolPoint(const PatrolPointInput& input, const std::vector<PatrolPlan>& plans);

// The row the dialog writes for an accepted input.
PatrolRow PatrolRowOfInput(const PatrolPointInput& input);
