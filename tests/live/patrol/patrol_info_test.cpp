// "PatrolInfo.xml": the default file, a file written by hand, saving one plan
// in place of the old one, and the plan names of the grids' panes.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "core/fixed_text.h"
#include "live/patrol/patrol_info.h"
#include "tests/live/live_config_env.h"

namespace {

class PatrolInfoTest : public LiveConfigTest {};

PatrolPoint PanePoint(const char* key, const char* stay) {
  PatrolPoint point;
  std::strcpy(point.DevName1, key);
  std::strcpy(point.StayTime, stay);
  return point;
}

}  // namespace

TEST_F(PatrolInfoTest, MissingFileGetsTheDefaultBlock) {
  std::vector<PatrolPlan> plans(1);
  EXPECT_EQ(LoadPatrolInfo(plans), -1);
  EXPECT_TRUE(plans.empty());
  std::string expected = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<PatrolList>\n</PatrolList>";
  expected.resize(2048, '\0');
  EXPECT_EQ(ReadBytes(ConfigFile("PatrolInfo.xml")), expected);
  EXPECT_EQ(LoadPatrolInfo(plans), 0);
  EXPECT_TRUE(plans.empty());
}

TEST_F(PatrolInfoTest, FileWrittenByHandLoadsInFileOrder) {
  InstallLiveFixture("patrol_info.xml", "PatrolInfo.xml");
  std::vector<PatrolPlan> plans;
  ASSERT_EQ(LoadPatrolInfo(plans), 0);
  ASSERT_EQ(plans.size(), 3u);

  EXPECT_STREQ(plans[0].DecodeName, "Player-3");
  ASSERT_EQ(plans[0].points.size(), 2u);
  EXPECT_EQ(FixedText(plans[0].points[0].DevName1), Gbk("大门"));
  EXPECT_STREQ(plans[0].points[0].StayTime, "15");
  EXPECT_STREQ(plans[0].points[1].DevName1, "192.168.1.20:Cam-02");
  EXPECT_STREQ(plans[0].points[1].DispMode, "");

  EXPECT_EQ(FixedText(plans[1].DecodeName), Gbk("解码器1"));
  ASSERT_EQ(plans[1].points.size(), 1u);
  const PatrolPoint& four = plans[1].points[0];
  EXPECT_STREQ(four.DispMode, "1");
  EXPECT_STREQ(four.StayTime, "20");
  EXPECT_STREQ(four.DevName1, "a");
  EXPECT_STREQ(four.DevName2, "b");
  EXPECT_STREQ(four.DevName3, "c");
  EXPECT_STREQ(four.DevName4, "d");

  EXPECT_STREQ(plans[2].DecodeName, "PlayerEx1-64");
  EXPECT_TRUE(plans[2].points.empty());
}

TEST_F(PatrolInfoTest, SavingAPlanReplacesItAndKeepsTheOthers) {
  InstallLiveFixture("patrol_info.xml", "PatrolInfo.xml");
  std::vector<PatrolPlan> plans;
  ASSERT_EQ(LoadPatrolInfo(plans), 0);

  PatrolPlan plan;
  std::strcpy(plan.DecodeName, "Player-3");
  plan.points.push_back(PanePoint(Gbk("后门").c_str(), "30"));
  ASSERT_EQ(SavePatrolPlan(plans, plan), 0);
  ASSERT_EQ(plans.size(), 3u);
  EXPECT_STREQ(plans.back().DecodeName, "Player-3");  // removed and appended

  const std::string saved = ReadBytes(ConfigFile("PatrolInfo.xml"));
  EXPECT_NE(saved.find("<Point>\n            <StayTime>30</StayTime>\n            <DevName1>" + Gbk("后门") +
                       "</DevName1>\n            <DispMode></DispMode>\n            <DevName2></DevName2>\n"
                       "            <DevName3></DevName3>\n            <DevName4></DevName4>\n"
                       "        </Point>"),
            std::string::npos);
  EXPECT_NE(saved.find("<Other />"), std::string::npos);  // what the page does not own stays

  std::vector<PatrolPlan> reloaded;
  ASSERT_EQ(LoadPatrolInfo(reloaded), 0);
  ASSERT_EQ(reloaded.size(), plans.size());
  for (size_t i = 0; i < plans.size(); ++i) {
    EXPECT_STREQ(reloaded[i].DecodeName, plans[i].DecodeName);
    ASSERT_EQ(reloaded[i].points.size(), plans[i].points.size());
    for (size_t k = 0; k < plans[i].points.size(); ++k) {
      EXPECT_EQ(std::memcmp(&reloaded[i].points[k], &plans[i].points[k], sizeof(PatrolPoint)), 0);
    }
  }
}

TEST_F(PatrolInfoTest, APlanWithoutRowsKeepsOnlyItsName) {
  std::vector<PatrolPlan> plans;
  LoadPatrolInfo(plans);  // writes the default file
  PatrolPlan plan;
  std::strcpy(plan.DecodeName, "PlayerEx2-7");
  ASSERT_EQ(SavePatrolPlan(plans, plan), 0);
  const std::string saved = ReadBytes(ConfigFile("PatrolInfo.xml"));
  EXPECT_NE(saved.find("<Patrol>\n        <DecodeName>PlayerEx2-7</DecodeName>\n    </Patrol>"), std::string::npos);
  ASSERT_EQ(LoadPatrolInfo(plans), 0);
  ASSERT_EQ(plans.size(), 1u);
  EXPECT_TRUE(plans[0].points.empty());
}

TEST_F(PatrolInfoTest, SaveWithoutALoadableFileWritesNothing) {
  std::vector<PatrolPlan> plans;
  PatrolPlan plan;
  std::strcpy(plan.DecodeName, "Player-1");
  plan.points.push_back(PanePoint("cam", "10"));
  EXPECT_EQ(SavePatrolPlan(plans, plan), -1);
  EXPECT_FALSE(std::filesystem::exists(ConfigFile("PatrolInfo.xml")));

  WriteBytes(ConfigFile("PatrolInfo.xml"), "<PatrolList><Patrol>");  // unreadable: left as it is
  EXPECT_EQ(SavePatrolPlan(plans, plan), -1);
  EXPECT_EQ(ReadBytes(ConfigFile("PatrolInfo.xml")), "<PatrolList><Patrol>");
  EXPECT_EQ(plans.size(), 1u);  // the page's list holds the plan all the same
}

TEST(PatrolPlanName, SplitsAtTheFirstDash) {
  struct Case {
    const char* name;
    const char* prefix;
    int pane;
    bool matches;
  } cases[] = {
      {"Player-1", "Player", 1, true},      {"Player-64", "Player", 64, true},
      {"Player-1", "Player", 2, false},     {"PlayerEx1-1", "Player", 1, false},
      {"PlayerEx1-1", "PlayerEx1", 1, true}, {"Player1", "Player", 1, false},
      {"Player-", "Player", 0, false},      {"Decoder-A-1", "Decoder", 1, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PatrolPlanIsForPane(c.name, c.prefix, c.pane), c.matches) << c.name << " " << c.pane;
  }
  EXPECT_EQ(PatrolPlanPrefix(0), "Player");
  EXPECT_EQ(PatrolPlanPrefix(1), "PlayerEx1");
  EXPECT_EQ(PatrolPlanPrefix(3), "PlayerEx3");
  EXPECT_EQ(PatrolPlanName("PlayerEx2", 12), "PlayerEx2-12");
}
