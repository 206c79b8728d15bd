#include "shell/main_layout.h"

#include <gtest/gtest.h>

#include "shell/alarm_blink.h"
#include "shell/module_rights.h"

namespace {

struct Box {
  int x, y, w, h;
  bool operator==(const Box&) const = default;
};

Box Of(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "(" << b.x << "," << b.y << " " << b.w << "x" << b.h << ")";
}

struct ScreenCase {
  int W, H, T;
  Box nav, toolbar, panelLive, panelFull, panelShort, ptz, alarm, page;
};

// Header height and every placed window for several screens: T = H * 52 / 768.
TEST(MainLayout, PlacesEveryWindowByTheScreenSize) {
  const ScreenCase cases[] = {
      {1024, 768, 52, {0, 17, 1024, 34}, {10, 51, 1006, 40}, {10, 91, 219, 621}, {10, 91, 219, 667},
       {10, 91, 219, 321}, {10, 435, 219, 300}, {10, 458, 219, 277}, {235, 91, 781, 667}},
      {1280, 1024, 69, {0, 34, 1280, 34}, {10, 68, 1262, 40}, {10, 108, 219, 860}, {10, 108, 219, 906},
       {10, 108, 219, 560}, {10, 691, 219, 300}, {10, 714, 219, 277}, {235, 108, 1037, 906}},
      {1920, 1080, 73, {0, 38, 1920, 34}, {10, 72, 1902, 40}, {10, 112, 219, 912}, {10, 112, 219, 958},
       {10, 112, 219, 612}, {10, 747, 219, 300}, {10, 770, 219, 277}, {235, 112, 1677, 958}},
      // 800 * 52 / 768 = 54.16..: truncated.
      {1280, 800, 54, {0, 19, 1280, 34}, {10, 53, 1262, 40}, {10, 93, 219, 651}, {10, 93, 219, 697},
       {10, 93, 219, 351}, {10, 467, 219, 300}, {10, 490, 219, 277}, {235, 93, 1037, 697}},
  };
  for (const ScreenCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.W << "x" << c.H);
    const MainLayout layout = MainLayout::ForScreen(c.W, c.H);
    EXPECT_EQ(layout.T, c.T);
    EXPECT_EQ(Of(layout.NavigationBar()), c.nav);
    EXPECT_EQ(Of(layout.VideoToolbar()), c.toolbar);
    EXPECT_EQ(Of(layout.DevicePanelLive()), c.panelLive);
    EXPECT_EQ(Of(layout.DevicePanelFull()), c.panelFull);
    EXPECT_EQ(Of(layout.DevicePanelShort()), c.panelShort);
    EXPECT_EQ(Of(layout.PtzPanel()), c.ptz);
    EXPECT_EQ(Of(layout.AlarmListPanel()), c.alarm);
    EXPECT_EQ(Of(layout.PageRect()), c.page);
    EXPECT_EQ(Of(layout.CloseButton()), (Box{c.W - 32, 2, 26, 17}));
    EXPECT_EQ(Of(layout.SettingsButton()), (Box{c.W - 84, 2, 26, 17}));
    EXPECT_EQ(Of(layout.ConfigManager()), (Box{10, c.T - 1, c.W - 18, c.H - 10 - (c.T - 1)}));
  }
}

// The column buttons sit right below the panel and the opened panel.
TEST(MainLayout, ColumnButtonsTouchThePanelsTheyFollow) {
  const MainLayout layout = MainLayout::ForScreen(1024, 768);
  EXPECT_EQ(layout.DevicePanelLive().bottom, layout.PtzButtonTopClosed());
  EXPECT_EQ(layout.DevicePanelShort().bottom, layout.PtzButtonTopOpen());
  EXPECT_EQ(layout.PtzButtonTopClosed() + 23, layout.AlarmButtonTopClosed());
  EXPECT_EQ(layout.PtzButtonTopOpen() + 23, layout.PtzPanel().top);
  EXPECT_EQ(layout.AlarmButtonTopOpen() + 23, layout.AlarmListPanel().top);
  EXPECT_EQ(Of(MainLayout::ColumnButton(100)), (Box{10, 100, 219, 23}));
}

TEST(ModuleRights, FirstModuleFollowsThePreferenceOrder) {
  struct Case {
    int rights[7];
    MainModule module;
  } cases[] = {
      {{1, 1, 1, 1, 1, 1, 1}, kModuleLive},
      {{1, 0, 0, 0, 0, 0, 0}, kModuleLive},
      {{0, 1, 1, 0, 1, 0, 0}, kModuleRecord},
      {{0, 1, 0, 0, 1, 0, 0}, kModuleAlarm},
      {{0, 1, 0, 0, 0, 0, 0}, kModuleAlarm},
      {{0, 0, 0, 0, 1, 0, 0}, kModuleCfg},
      {{0, 0, 0, 1, 0, 1, 1}, kNoModule},  // PTZ, high level and wall/map rights open nothing
      {{0, 0, 0, 0, 0, 0, 0}, kNoModule},
  };
  for (const Case& c : cases) EXPECT_EQ(FirstModuleForRights(c.rights), c.module);
}

// Ten flips, then the flag clears and the item shows its normal image.
TEST(AlarmBlink, BlinksTenTicksThenStops) {
  int flag = 0, count = 5, state = 0;
  StartAlarmBlink(flag, count);
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(count, 0);
  std::vector<int> shown;
  while (flag) shown.push_back(AlarmBlinkTick(flag, count, state));
  EXPECT_EQ(shown, (std::vector<int>{1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0}));
  EXPECT_EQ(count, 0);
}

// A second alarm while blinking starts the ten seconds again.
TEST(AlarmBlink, NewAlarmRestartsTheCount) {
  int flag = 0, count = 0, state = 0;
  StartAlarmBlink(flag, count);
  for (int i = 0; i < 7; ++i) AlarmBlinkTick(flag, count, state);
  StartAlarmBlink(flag, count);
  int ticks = 0;
  while (flag) {
    AlarmBlinkTick(flag, count, state);
    ++ticks;
  }
  EXPECT_EQ(ticks, 11);
}

}  // namespace
