// The navigation bar's six tabs without a window: which module each opens,
// the right it needs, its texts, and the looks of the strip for a chosen tab.
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

struct NavTab {
  int id;          // control id, 1012 to 1017
  int number;      // the chosen-tab number, 1 to 6
  int module;      // module code of g_nCurModule
  int right;       // index in g_nCurRights
  UINT caption;    // string id of the caption
  UINT refusal;    // string id of the message shown without the right
  const char* menuLog;  // log line when its monitor menu opens (null: the tab has no menu)
};

// The tabs from left to right.
const std::vector<NavTab>& NavTabs();
// The tab with this control id, or null.
const NavTab* FindNavTab(int id);
// Whether the rights (seven flags in the role record's order) allow the tab.
bool HasTabRight(const NavTab& tab, const int* rights);

// One piece of the strip: a tab or a separator picture.
struct StripPiece {
  int id;
  int x;
  int width;
  int height;
  std::string picture;  // "tab1.png" ... "tab9.png"
  bool isTab;
  COLORREF captionColour;  // tabs only
  // Separators left of a tab show that tab's picture ("nav_<tab id>", "nav_<tab id>_on" while it is
  // chosen) beside its caption and open it when clicked; empty and 0 for the others.
  std::string icon;
  int opensTab;
};

// The strip for the chosen tab (1 to 6): separators and tabs in left-to-right
// order with their place, size and picture.
std::vector<StripPiece> TabStripLayout(int chosenTab);
