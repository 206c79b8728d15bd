#include "shell/nav_tabs.h"
#include "ui/skin_colors.h"

#include <gtest/gtest.h>

namespace {

std::string Strip(int chosen) {
  std::string out;
  for (const StripPiece& p : TabStripLayout(chosen)) {
    out += std::to_string(p.id) + "@" + std::to_string(p.x) + "," + std::to_string(p.width) + "x" +
           std::to_string(p.height) + ":" + p.picture.substr(3, 1) + " ";
  }
  return out;
}

TEST(TabStripLayout, PlacesAndPicturesForTheChosenTab) {
  EXPECT_EQ(Strip(1),
            "1281@15,29x34:1 1012@44,136x34:2 1280@180,29x34:3 1013@209,136x31:4 1282@345,29x31:5 "
            "1014@374,136x31:4 1283@510,29x31:5 1015@539,136x31:4 1284@675,29x31:5 1016@704,136x31:4 "
            "1285@840,29x31:5 1017@869,136x31:4 1286@1005,29x31:6 ");
  EXPECT_EQ(Strip(3),
            "1281@15,29x31:8 1012@44,136x31:4 1280@180,29x31:5 1013@209,136x31:4 1282@345,29x34:7 "
            "1014@374,136x34:2 1283@510,29x34:3 1015@539,136x31:4 1284@675,29x31:5 1016@704,136x31:4 "
            "1285@840,29x31:5 1017@869,136x31:4 1286@1005,29x31:6 ");
  EXPECT_EQ(Strip(6),
            "1281@15,29x31:8 1012@44,136x31:4 1280@180,29x31:5 1013@209,136x31:4 1282@345,29x31:5 "
            "1014@374,136x31:4 1283@510,29x31:5 1015@539,136x31:4 1284@675,29x31:5 1016@704,136x31:4 "
            "1285@840,29x34:7 1017@869,136x34:2 1286@1005,29x34:9 ");
}

// The chosen tab's caption is marked (dark on its light picture), the others
// are light on their dark pictures.
TEST(TabStripLayout, OnlyTheChosenTabHasTheChosenCaptionColour) {
  for (const StripPiece& p : TabStripLayout(2)) {
    if (!p.isTab) continue;
    EXPECT_EQ(p.captionColour, p.id == 1013 ? skin::kMarkedCaption : skin::kLabelOnDark) << p.id;
  }
}

// The separator left of each tab carries that tab's picture (lit while the tab
// is chosen) and opens it; the last separator has none.
TEST(TabStripLayout, SeparatorsShowAndOpenTheTabOnTheirRight) {
  std::string shown;
  for (const StripPiece& p : TabStripLayout(4)) {
    if (p.isTab) continue;
    shown += std::to_string(p.id) + ":" + p.icon + ">" + std::to_string(p.opensTab) + " ";
  }
  EXPECT_EQ(shown,
            "1281:nav_1012>1012 1280:nav_1013>1013 1282:nav_1014>1014 1283:nav_1015_on>1015 "
            "1284:nav_1016>1016 1285:nav_1017>1017 1286:>0 ");
}

TEST(NavTabs, EachTabNeedsItsRight) {
  // Rights in the role record's order: SurPTZ, Alarm, Record, PTZ, UserManager, HighLeve, seventh.
  const std::pair<int, int> tabRight[] = {{1012, 0}, {1013, 2}, {1014, 1}, {1015, 4}, {1016, 6}, {1017, 6}};
  for (const auto& [id, right] : tabRight) {
    const NavTab* tab = FindNavTab(id);
    ASSERT_NE(tab, nullptr);
    for (int r = 0; r < 7; ++r) {
      int rights[7] = {1, 1, 1, 1, 1, 1, 1};
      rights[r] = 0;
      EXPECT_EQ(HasTabRight(*tab, rights), r != right) << id << " without right " << r;
    }
  }
  EXPECT_EQ(FindNavTab(1281), nullptr);
}

}  // namespace
