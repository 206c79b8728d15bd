#include "shell/nav_tabs.h"

#include "core/user_info.h"
#include "shell/module_rights.h"
#include "ui/skin_colors.h"

namespace {

constexpr int kTabWidth = 136;
constexpr int kSeparatorWidth = 29;
constexpr int kLowHeight = 31;
constexpr int kHighHeight = 34;
constexpr COLORREF kChosenCaption = skin::kMarkedCaption;

// Separators from left to right; separator i lies left of tab i.
constexpr int kSeparatorIds[7] = {1281, 1280, 1282, 1283, 1284, 1285, 1286};

}  // namespace

const std::vector<NavTab>& NavTabs() {
  static const std::vector<NavTab> tabs = {
      {1012, 1, kModuleLive, kRightSurPTZ, 280, 284, nullptr},
      {1013, 2, kModuleRecord, kRightRecord, 281, 285, "CPageDlg: init record button menu, nMonitor=%d"},
      {1014, 3, kModuleAlarm, kRightAlarm, 282, 286, "CPageDlg: init alarm button menu, nMonitor=%d"},
      {1015, 4, kModuleCfg, kRightUserManager, 283, 287, "CPageDlg: init config button menu, nMonitor=%d"},
      {1016, 5, kModuleWall, kRightWallMap, 289, 290, "CPageDlg: init tvwall button menu, nMonitor=%d"},
      {1017, 6, kModuleMap, kRightWallMap, 292, 293, "CPageDlg: init map button menu, nMonitor=%d"},
  };
  return tabs;
}

const NavTab* FindNavTab(int id) {
  for (const NavTab& tab : NavTabs())
    if (tab.id == id) return &tab;
  return nullptr;
}

bool HasTabRight(const NavTab& tab, const int* rights) {
  return tab.right >= 0 && tab.right < kRightCount && rights[tab.right] != 0;
}

std::vector<StripPiece> TabStripLayout(int chosenTab) {
  const int tabCount = static_cast<int>(NavTabs().size());
  std::vector<StripPiece> pieces;
  int x = 15;
  for (int i = 0; i <= tabCount; ++i) {
    // Separator i: left of tab i+1 and right of tab i.
    const bool rightOfChosen = i == chosenTab;
    const bool leftOfChosen = i + 1 == chosenTab;
    std::string picture = "tab5.png";
    if (leftOfChosen) picture = "tab7.png";
    else if (rightOfChosen) picture = "tab3.png";
    else if (i == 0) picture = "tab8.png";
    else if (i == tabCount) picture = "tab6.png";
    if (i == 0 && chosenTab == 1) picture = "tab1.png";
    if (i == tabCount && chosenTab == tabCount) picture = "tab9.png";
    const NavTab* right = i < tabCount ? &NavTabs()[static_cast<size_t>(i)] : nullptr;
    const std::string icon = right ? "nav_" + std::to_string(right->id) + (leftOfChosen ? "_on" : "") : "";
    pieces.push_back({kSeparatorIds[i], x, kSeparatorWidth, leftOfChosen || rightOfChosen ? kHighHeight : kLowHeight,
                      picture, false, 0, icon, right ? right->id : 0});
    x += kSeparatorWidth;
    if (right == nullptr) break;
    const bool chosen = right->number == chosenTab;
    pieces.push_back({right->id, x, kTabWidth, chosen ? kHighHeight : kLowHeight, chosen ? "tab2.png" : "tab4.png", true,
                      chosen ? kChosenCaption : skin::kLabelOnDark, "", 0});
    x += kTabWidth;
  }
  return pieces;
}
