// The patrol slots of a grid: which camera each pane shows next, stay times,
// offline cameras, the patrol button, and the timer that posts to the grid.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <cstring>
#include <future>
#include <set>
#include <thread>

#include "core/app_data.h"
#include "live/patrol_run.h"
#include "tests/live/live_config_env.h"
#include "tests/live/message_window.h"

namespace {

PatrolPlan Plan(const char* name, std::initializer_list<std::pair<const char*, const char*>> points) {
  PatrolPlan plan;
  std::strcpy(plan.DecodeName, name);
  for (const auto& [key, stay] : points) {
    PatrolPoint& point = plan.points.emplace_back();
    std::strcpy(point.DevName1, key);
    std::strcpy(point.StayTime, stay);
  }
  return plan;
}

// A run whose cameras are online when their key is in `online`; the clock is
// the test: every Advance() is one tick of the timer.
class PatrolRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    run.Init(nullptr, std::chrono::milliseconds(0));
    run.SetOnlineTest([this](const std::string& key) { return online.count(key) > 0; });
  }
  // The keys posted over `ticks` ticks for pane `pane`, "" for a tick without one.
  std::vector<std::string> Ticks(int ticks, int pane = 0) {
    std::vector<std::string> shown;
    for (int i = 0; i < ticks; ++i) {
      std::string key;
      for (const PatrolPost& post : run.Advance()) {
        if (post.pane == pane) key = post.key;
      }
      shown.push_back(key);
    }
    return shown;
  }
  void StartPane(int pane, const PatrolPlan& plan, const char* prefix = "Player") {
    ASSERT_EQ(run.TogglePane(pane, {plan}, prefix), PatrolToggle::kStarted);
  }

  CPatrolRun run;
  std::set<std::string> online;
};

using Keys = std::vector<std::string>;

}  // namespace

TEST_F(PatrolRunTest, OnePointIsShownAgainEveryStayTime) {
  online = {"cam"};
  StartPane(0, Plan("Player-1", {{"cam", "3"}}));
  EXPECT_EQ(Ticks(7), (Keys{"cam", "", "", "cam", "", "", "cam"}));
}

TEST_F(PatrolRunTest, PointsTakeTurnsEachForItsStayTime) {
  online = {"a", "b", "c"};
  StartPane(5, Plan("Player-6", {{"a", "2"}, {"b", "1"}, {"c", "3"}}));
  EXPECT_EQ(Ticks(9, 5), (Keys{"a", "", "b", "c", "", "", "a", "", "b"}));
  EXPECT_EQ(run.GetSlot(5).currentPoint, 1);
}

TEST_F(PatrolRunTest, OfflineCamerasAreSkippedAndAllOfflineRetriesEachStay) {
  online = {"b"};
  StartPane(0, Plan("Player-1", {{"a", "2"}, {"b", "2"}, {"c", "2"}}));
  EXPECT_EQ(Ticks(5), (Keys{"b", "", "b", "", "b"}));  // first online point, then around to itself

  online.clear();
  EXPECT_EQ(Ticks(4), (Keys{"", "", "", ""}));
  EXPECT_EQ(run.GetSlot(0).dwellTime, 2);  // the old stay time stays
  online = {"c"};
  EXPECT_EQ(Ticks(2), (Keys{"", "c"}));  // picked up at the next stay boundary
}

TEST_F(PatrolRunTest, NothingIsShownUntilACameraComesOnline) {
  StartPane(0, Plan("Player-1", {{"a", "5"}}));
  EXPECT_EQ(Ticks(3), (Keys{"", "", ""}));
  online = {"a"};
  EXPECT_EQ(Ticks(1), (Keys{"a"}));  // a pane just started waits for no stay time
}

TEST_F(PatrolRunTest, PatrolButtonLoadsOnlyThePanesOwnPlans) {
  online = {"main", "ext", "other"};
  const std::vector<PatrolPlan> plans = {Plan("Player-2", {{"main", "10"}}),
                                         Plan("PlayerEx1-2", {{"ext", "10"}}),
                                         Plan("Player-3", {{"other", "10"}}), Plan("Player-2", {})};
  EXPECT_EQ(run.TogglePane(1, plans, PatrolPlanPrefix(1)), PatrolToggle::kStarted);
  ASSERT_EQ(run.GetSlot(1).points.size(), 1u);
  EXPECT_STREQ(run.GetSlot(1).points[0].DevName, "ext");
  EXPECT_EQ(run.GetSlot(1).points[0].StayTime, 10);

  EXPECT_EQ(run.TogglePane(1, plans, "PlayerEx1"), PatrolToggle::kStopped);
  EXPECT_FALSE(run.IsActive(1));
  EXPECT_TRUE(run.GetSlot(1).points.empty());

  // A plan saved without rows starts nothing.
  EXPECT_EQ(run.TogglePane(6, {Plan("Player-7", {})}, "Player"), PatrolToggle::kNotStarted);
  EXPECT_FALSE(run.IsActive(6));
}

TEST_F(PatrolRunTest, PatrolButtonStartsOnlyShownPanes) {
  const std::vector<PatrolPlan> plans = {Plan("Player-1", {{"a", "10"}}), Plan("Player-5", {{"b", "10"}})};
  using T = PatrolToggle;
  EXPECT_EQ(run.OnPatrol(4, plans, "Player"), (std::vector<T>{T::kStarted, T::kNotStarted, T::kNotStarted,
                                                              T::kNotStarted}));
  EXPECT_FALSE(run.IsActive(4));  // pane 5 lies beyond the four shown
  EXPECT_EQ(run.OnPatrol(6, plans, "Player").front(), T::kStopped);
  EXPECT_TRUE(run.IsActive(4));
}

TEST_F(PatrolRunTest, StartAndStopRefusals) {
  CPatrolRun fresh;
  PatrolPlan plan = Plan("Player-1", {{"a", "10"}});
  EXPECT_EQ(fresh.AppendPlanPoints(0, {plan}, "Player"), 1);
  EXPECT_EQ(fresh.StartPatrol(0), -1);  // not initialised
  EXPECT_EQ(fresh.StopPatrol(0), -1);
  EXPECT_EQ(fresh.TogglePane(0, {plan}, "Player"), PatrolToggle::kNotStarted);

  EXPECT_EQ(run.StartPatrol(0), -1);  // no points
  EXPECT_EQ(run.StartPatrol(64), -1);
  EXPECT_EQ(run.StartPatrol(-1), -1);
  EXPECT_EQ(run.StopPatrol(64), -1);
  run.AppendPlanPoints(0, {plan}, "Player");
  EXPECT_EQ(run.StartPatrol(0), 0);
  EXPECT_EQ(run.StartPatrol(0), -1);  // already active
  EXPECT_EQ(run.StopPatrol(0), 0);
  EXPECT_EQ(run.StopPatrol(0), 0);  // an idle slot is left alone
}

TEST_F(PatrolRunTest, FindPatrolWndFindsThePaneShowingTheKey) {
  online = {"a", "b"};
  StartPane(3, Plan("Player-4", {{"a", "10"}}));
  StartPane(9, Plan("Player-10", {{"b", "10"}}));
  int pane = -1;
  EXPECT_FALSE(run.FindPatrolWnd("b", &pane));  // nothing shown before the first tick
  Ticks(1);
  EXPECT_TRUE(run.FindPatrolWnd("b", &pane));
  EXPECT_EQ(pane, 9);
  run.StopPatrol(9);
  EXPECT_FALSE(run.FindPatrolWnd("b", &pane));
}

// The timer callback reads the device lists that the device editor and the
// workers change under g_csAppData: it must hold that lock while it does.
TEST_F(PatrolRunTest, TimerCallbackHoldsTheAppLockAndPostsToItsGrid) {
  MessageWindow grid;
  grid.textMessages = {WM_PATROL_POINT};
  run.Init(grid.GetSafeHwnd(), std::chrono::milliseconds(0));
  bool lockHeld = false;
  run.SetOnlineTest([&](const std::string&) {
    // Another thread cannot take g_csAppData while the callback holds it.
    lockHeld = !std::async(std::launch::async, [] {
                  const bool took = g_csAppData.mutex.try_lock();
                  if (took) g_csAppData.mutex.unlock();
                  return took;
                }).get();
    return true;
  });
  StartPane(12, Plan("Player-13", {{"cam", "10"}}));

  std::thread timer([&] { run.CB_Patrol(); });
  timer.join();
  EXPECT_TRUE(lockHeld);
  DeliverPosted();
  ASSERT_EQ(grid.received.size(), 1u);
  EXPECT_EQ(grid.received[0].msg, WM_PATROL_POINT);
  EXPECT_EQ(grid.received[0].wParam, 12u);
  EXPECT_EQ(grid.received[0].text, "cam");
}

TEST_F(PatrolRunTest, TheTimerMovesThePlansOnByItself) {
  MessageWindow grid;
  grid.textMessages = {WM_PATROL_POINT};
  run.Init(grid.GetSafeHwnd(), std::chrono::milliseconds(1));
  StartPane(0, Plan("Player-1", {{"cam", "1"}}));
  online = {"cam"};
  for (int i = 0; i < 2000 && grid.received.size() < 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    QCoreApplication::processEvents();
  }
  run.Release();
  DeliverPosted();
  ASSERT_GE(grid.received.size(), 3u);
  for (const ReceivedMessage& m : grid.received) EXPECT_EQ(m.text, "cam");
}

class PatrolKeyTest : public LiveConfigTest {};

TEST_F(PatrolKeyTest, LocalAndRelayKeysAreLookedUpWhereTheyLive) {
  AddDevice("IPC1", "大门", 1, 1);
  AddDevice("IPC2", "Lobby", 1, 0);
  AddDevice("NVR1", "Cam-02", kDevTypeNvr, 1, "192.168.1.20", 2);
  const RelayKeyStateFn relay = [](const std::string& key) {
    if (key == "00:11:22:33:44:55:Gate") return 2;
    if (key == "00:11:22:33:44:66:Yard") return 0;
    return -1;
  };
  struct Case {
    std::string key;
    bool local;
    bool online;
  } cases[] = {
      {Gbk("大门"), true, true},
      {"Lobby", true, false},
      {"192.168.1.20:Cam-02", true, true},  // a '-' behind the first ':' keeps it local
      {"Cam-02", true, false},              // an NVR channel is named with its address
      {"00:11:22:33:44:55:Gate", false, true},
      {"00:11:22:33:44:66:Yard", false, false},
      {"00:11:22:33:44:77:Gone", false, false},
      {"Nobody", true, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PatrolKeyIsLocal(c.key), c.local) << c.key;
    EXPECT_EQ(PatrolKeyOnline(c.key, relay), c.online) << c.key;
  }
  EXPECT_FALSE(PatrolKeyOnline("00:11:22:33:44:55:Gate", nullptr));  // no relay service
  EXPECT_EQ(PatrolRelayChannel("00:11:22:33:44:55:NVR-3"), 3);
  EXPECT_EQ(PatrolRelayChannel("00:11:22:33:44:55:Gate"), 0);
}
