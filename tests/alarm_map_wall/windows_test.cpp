#include <gtest/gtest.h>

#include <QWidget>
#include <functional>
#include <memory>

#include "alarm_map_wall/alarm/alm_act_dlg.h"
#include "alarm_map_wall/tvwall/draw_tvwall_dlg.h"
#include "alarm_map_wall/emap/map_data.h"
#include "alarm_map_wall/emap/map_manager_dlg.h"
#include "alarm_map_wall/alarm/search/search_alarm_dlg.h"
#include "alarm_map_wall/tvwall/tv_wall_manager.h"

TEST(AlarmMapWallWindows, EachIsCreatedFromItsTemplateAndStaysHidden) {
  QWidget main;
  TVWallLayout layout;
  const struct {
    UINT id;
    bool child;
    std::function<CDialog*()> make;
  } windows[] = {
      {CAlmActDlg::IDD, false, [] { return new CAlmActDlg(nullptr); }},
      {CSearchAlarmDlg::IDD, true, [&] { return new CSearchAlarmDlg(&main); }},
      {CMapManagerDlg::IDD, true, [&] { return new CMapManagerDlg(&main); }},
      {CTVWallManager::IDD, true, [&] { return new CTVWallManager(&main); }},
      {CDrawTVwallDlg::IDD, false, [&] { return new CDrawTVwallDlg(&layout, &main); }},
  };
  for (const auto& w : windows) {
    std::unique_ptr<CDialog> dlg(w.make());
    ASSERT_TRUE(dlg->Create(w.id, dlg->parentWidget())) << w.id;
    EXPECT_EQ(!dlg->isWindow(), w.child) << w.id;
    EXPECT_FALSE(dlg->isVisible()) << w.id;
  }
}

TEST(MapData, AlarmReachesThePointsOfThatDeviceOnly) {
  CMapData map;
  EXPECT_FALSE(map.AddDevicePoint(1, 1, "Cam1"));  // no map shown
  EXPECT_FALSE(map.ShowMap("Floor"));
  map.AddMap({"Floor", ""});
  ASSERT_TRUE(map.ShowMap("Floor"));
  ASSERT_TRUE(map.AddDevicePoint(1, 1, "Cam1"));
  ASSERT_TRUE(map.AddDevicePoint(2, 2, "Cam1:2"));
  ASSERT_TRUE(map.AddDevicePoint(3, 3, "Cam10"));
  EXPECT_EQ(map.SetDeviceAlarm("Cam1", 1), 2);
  const auto points = map.Points();
  EXPECT_EQ(points[0].nAlarm, 1);
  EXPECT_EQ(points[1].nAlarm, 1);
  EXPECT_EQ(points[2].nAlarm, 0);
  EXPECT_EQ(points[0].MapName, "Floor");
}

TEST(TVWallManager, PatrolTogglesAndDropsNeedADevice) {
  CTVWallManager wall;
  EXPECT_EQ(wall.Patrol(), 1);
  EXPECT_EQ(wall.Patrol(), 0);
  EXPECT_FALSE(wall.BindDecoder(0, 0, nullptr));
  EXPECT_FALSE(wall.DecodeStreaming(0, 0, nullptr));
}
