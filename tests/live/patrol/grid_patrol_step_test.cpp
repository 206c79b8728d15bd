// The patrol run of a grid: which camera each pane shows next, stay times,
// offline cameras, the grid's timer step, and the plans the patrol button reads.
#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <set>
#include <thread>

#include "core/app_data.h"
#include "live/patrol/grid_patrol_plans.h"
#include "live/patrol/grid_patrol_step.h"
#include "live/live_messages.h"
#include "tests/live/live_config_env.h"
#include "tests/live/message_window.h"

namespace {

using Keys = std::vector<std::string>;
using Points = std::vector<std::pair<const char*, int>>;

std::vector<PatrolSlot> GridSlots() {
  std::vector<PatrolSlot> patrolSlots(kGridPaneCount);
  for (int i = 0; i < kGridPaneCount; ++i) patrolSlots[i].nWndNo = i + 1;
  return patrolSlots;
}

// Fills a slot as the patrol button does and starts it.
void StartSlot(PatrolSlot& slot, const Points& points, bool active = true) {
  for (const auto& [key, stay] : points) {
    PatrolRunPoint point;
    std::strcpy(point.szDevKey, key);
    point.nStayTime = stay;
    slot.lstPoints.push_back(point);
  }
  slot.bActive = active;
}

constexpr int kAny = -2;

// While `online` holds, `ticks` (one entry per tick: the key shown, "" for
// none) and afterwards the slot's current point and dwell time.
struct Phase {
  std::set<std::string> online;
  Keys ticks;
  int curPoint = kAny;
  int dwellTime = kAny;
};

struct StepCase {
  const char* name;
  Points points;
  std::vector<Phase> phases;
};

}  // namespace

// Every tick is one second of the grid's timer, driven by hand.
TEST(GridPatrolStep, StepRules) {
  const StepCase cases[] = {
      {"one point is shown again every stay time", {{"cam", 3}},
       {{{"cam"}, {"cam", "", "", "cam", "", "", "cam"}}}},
      {"points take turns, each for its stay time", {{"a", 2}, {"b", 1}, {"c", 3}},
       {{{"a", "b", "c"}, {"a", "", "b", "c", "", "", "a", "", "b"}, 1, 1}}},
      {"offline cameras are skipped; all offline retries each stay time", {{"a", 2}, {"b", 2}, {"c", 2}},
       {{{"b"}, {"b", "", "b", "", "b"}, 1},  // first online point, then around to itself
        {{}, {"", "", "", ""}, kAny, 2},       // the old stay time stays
        {{"c"}, {"", "c"}, 2}}},               // picked up at the next stay boundary
      {"nothing is shown until a camera comes online", {{"a", 5}},
       {{{}, {"", "", ""}, -1}, {{"a"}, {"a"}, 0}}},  // a pane just started waits for no stay time
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<PatrolSlot> patrolSlots = GridSlots();
    StartSlot(patrolSlots[5], c.points);
    std::set<std::string> online;
    const PatrolOnlineTest isOnline = [&online](const std::string& key) { return online.count(key) > 0; };
    for (const Phase& phase : c.phases) {
      online = phase.online;
      Keys shown;
      for (size_t t = 0; t < phase.ticks.size(); ++t) {
        std::string key;
        for (const PatrolPost& post : AdvancePatrolSlots(patrolSlots, isOnline)) {
          EXPECT_EQ(post.pane, 5);
          key = post.key;
        }
        shown.push_back(key);
      }
      EXPECT_EQ(shown, phase.ticks);
      if (phase.curPoint != kAny) {
        EXPECT_EQ(patrolSlots[5].nCurPoint, phase.curPoint);
      }
      if (phase.dwellTime != kAny) {
        EXPECT_EQ(patrolSlots[5].nDwellTime, phase.dwellTime);
      }
    }
  }
}

TEST(GridPatrolStep, OnlyActiveSlotsMoveAndEachPostNamesItsPane) {
  std::vector<PatrolSlot> patrolSlots = GridSlots();
  StartSlot(patrolSlots[3], {{"a", 10}});
  StartSlot(patrolSlots[4], {{"b", 10}}, false);  // filled but not started
  StartSlot(patrolSlots[63], {{"c", 7}});
  const std::vector<PatrolPost> posts = AdvancePatrolSlots(patrolSlots, [](const std::string&) { return true; });
  ASSERT_EQ(posts.size(), 2u);
  EXPECT_EQ(posts[0].pane, 3);
  EXPECT_EQ(posts[0].key, "a");
  EXPECT_EQ(posts[1].pane, 63);
  EXPECT_EQ(posts[1].key, "c");
  EXPECT_EQ(posts[1].stayTime, 7);
  EXPECT_EQ(patrolSlots[4].nCurPoint, -1);
}

class GridPatrolTickTest : public LiveConfigTest {};

// The step reads the device lists that the device editor and the workers
// change under g_csAppData: it must hold that lock while it does, and it posts
// each point to its grid.
TEST_F(GridPatrolTickTest, HoldsTheAppLockAndPostsToItsGrid) {
  AddDevice("IPC1", "Lobby", 1, 1);
  AddDevice("IPC2", "Yard", 1, 0);
  MessageWindow grid;
  grid.textMessages = {WM_PATROL_POINT};
  bool lockHeld = false;
  PatrolTick tick = MakeGridPatrolTick([&](const std::string& key) {
    // Another thread cannot take g_csAppData while the step holds it.
    lockHeld = !std::async(std::launch::async, [] {
                  const bool took = g_csAppData.mutex.try_lock();
                  if (took) g_csAppData.mutex.unlock();
                  return took;
                }).get();
    return key == "00:11:22:33:44:55:Gate" ? 1 : 0;
  });
  std::vector<PatrolSlot> patrolSlots = GridSlots();
  StartSlot(patrolSlots[12], {{"00:11:22:33:44:55:Gate", 10}});
  StartSlot(patrolSlots[13], {{"Yard", 10}, {"Lobby", 10}});
  StartSlot(patrolSlots[14], {{"Yard", 10}});  // offline: nothing

  std::thread timer([&] { tick(patrolSlots, grid.GetSafeHwnd()); });
  timer.join();
  EXPECT_TRUE(lockHeld);
  DeliverPosted();
  ASSERT_EQ(grid.received.size(), 2u);
  EXPECT_EQ(grid.received[0].msg, WM_PATROL_POINT);
  EXPECT_EQ(grid.received[0].wParam, 12u);
  EXPECT_EQ(grid.received[0].text, "00:11:22:33:44:55:Gate");
  EXPECT_EQ(grid.received[1].wParam, 13u);
  EXPECT_EQ(grid.received[1].text, "Lobby");
  EXPECT_EQ(patrolSlots[14].nCurPoint, -1);
}

TEST(GridPatrolPlans, PatrolButtonReadsOnlyThePanesOwnPlans) {
  auto plan = [](const char* name, Points points) {
    PatrolPlan p;
    std::strcpy(p.DecodeName, name);
    for (const auto& [key, stay] : points) {
      PatrolPoint& point = p.points.emplace_back();
      std::strcpy(point.DevName1, key);
      std::snprintf(point.StayTime, sizeof(point.StayTime), "%d", stay);
    }
    return p;
  };
  std::vector<PatrolPlan> plans = {plan("Player-2", {{"main", 10}, {"main2", 15}}), plan("PlayerEx1-2", {{"ext", 12}}),
                                   plan("Player-3", {{"other", 10}}), plan("Player-2", {}),
                                   plan("Player-7", {}), plan("Decoder-2", {{"tv", 10}})};
  CPatrolPlanSource source([&plans] { return plans; });
  struct Case {
    const char* prefix;
    int pane;
    Points expected;
  } cases[] = {
      {"Player", 2, {{"main", 10}, {"main2", 15}}},
      {"PlayerEx1", 2, {{"ext", 12}}},
      {"PlayerEx2", 2, {}},
      {"Player", 7, {}},  // a plan saved without rows starts nothing
      {"Player", 20, {}},
  };
  for (const Case& c : cases) {
    Points got;
    std::vector<PatrolRunPoint> points = source.PlanPoints(c.prefix, c.pane);
    for (const PatrolRunPoint& p : points) got.emplace_back(p.szDevKey, p.nStayTime);
    ASSERT_EQ(got.size(), c.expected.size()) << c.prefix << "-" << c.pane;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_STREQ(got[i].first, c.expected[i].first);
      EXPECT_EQ(got[i].second, c.expected[i].second);
    }
  }
  plans.push_back(plan("Player-7", {{"late", 30}}));  // the plans are read afresh on every press
  EXPECT_EQ(source.PlanPoints("Player", 7).size(), 1u);
}
