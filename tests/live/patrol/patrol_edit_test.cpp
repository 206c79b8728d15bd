// The checks of the patrol point dialog and the rows of the point list.
#include <gtest/gtest.h>

#include <cstring>

#include "live/patrol/patrol_edit.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "tests/live/live_config_env.h"

namespace {

PatrolPointInput Input(const char* stay, const char* name, int rows = 0) {
  PatrolPointInput input;
  input.stayTime = stay;
  input.devNames[0] = name;
  input.rowCount = rows;
  return input;
}

std::vector<PatrolPlan> SavedPlans() {
  std::vector<PatrolPlan> plans(2);
  std::strcpy(plans[0].DecodeName, "Player-1");
  std::strcpy(plans[0].points.emplace_back().DevName1, "Gate");
  std::strcpy(plans[1].DecodeName, "Decoder");
  PatrolPoint& tv = plans[1].points.emplace_back();
  std::strcpy(tv.DispMode, "0");
  std::strcpy(tv.DevName1, "Yard");
  return plans;
}

}  // namespace

TEST(PatrolPointCheck, RefusalsInTheirOrder) {
  const std::vector<PatrolPlan> plans = SavedPlans();
  struct Case {
    PatrolPointInput input;
    int refusal;
  };
  PatrolPointInput modifySame = Input("10", "Gate");
  modifySame.modify = true;
  modifySame.oldName = "Gate";
  modifySame.rowCount = 10;
  PatrolPointInput modifyToTaken = modifySame;
  modifyToTaken.oldName = "Lobby";
  PatrolPointInput tvTaken = Input("10", "Gate");
  tvTaken.tab = kPatrolTabTv;
  const Case cases[] = {
      {Input("", ""), 907},
      {Input("9", "Lobby"), 912},
      {Input("abc", "Lobby"), 912},
      {Input("10", "Lobby"), 0},        // ten seconds is enough
      {Input("10", ""), 908},
      {Input("10", "Gate"), 893},       // a saved pane plan has it
      {Input("10", "Yard"), 0},         // only decoder plans have it
      {modifySame, 0},                  // its own row, and modify adds no row
      {modifyToTaken, 893},
      {tvTaken, 0},                     // decoders may share cameras
      {Input("10", "Lobby", 9), 0},
      {Input("10", "Lobby", 10), 911},  // the eleventh point
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckPatrolPoint(c.input, plans), c.refusal)
        << "stay '" << c.input.stayTime << "' name '" << c.input.devNames[0] << "' rows " << c.input.rowCount;
  }
}

TEST(PatrolPointCheck, RowsCarryTheFieldsOfTheirTab) {
  PatrolPointInput input = Input("15", "a");
  EXPECT_EQ(PatrolRowOfInput(input), (PatrolRow{"a", "15"}));
  input.tab = kPatrolTabTv;
  input.devNames[1] = "b";
  input.devNames[3] = "d";
  EXPECT_EQ(PatrolRowOfInput(input), (PatrolRow{"0", "15", "a", "", "", ""}));  // one video: edit 1 only
  input.fourVideo = true;
  EXPECT_EQ(PatrolRowOfInput(input), (PatrolRow{"1", "15", "a", "b", "", "d"}));

  const PatrolPoint four = PatrolPointOf(PatrolRow{"1", "15", "a", "b", "", "d"});
  EXPECT_STREQ(four.DispMode, "1");
  EXPECT_STREQ(four.DevName4, "d");
  EXPECT_EQ(PatrolRowOf(four, kPatrolTabTv), (PatrolRow{"1", "15", "a", "b", "", "d"}));
  const PatrolPoint pane = PatrolPointOf(PatrolRow{"a", "15"});
  EXPECT_STREQ(pane.DispMode, "");
  EXPECT_EQ(PatrolRowOf(pane, kPatrolTabPlayer), (PatrolRow{"a", "15"}));
}

class PatrolNamesTest : public LiveConfigTest {};

TEST_F(PatrolNamesTest, ListBoxNames) {
  const std::vector<std::string> panes = PatrolPaneNames("PlayerEx3");
  ASSERT_EQ(panes.size(), 64u);
  EXPECT_EQ(panes.front(), "PlayerEx3-1");
  EXPECT_EQ(panes.back(), "PlayerEx3-64");

  AddDevice("D1", "解码器1", 2, 1);
  AddDevice("C1", "Cam", 1, 1);
  AddDevice("D2", "Dec2", 2, 0);
  EXPECT_EQ(PatrolDecoderNames(), (std::vector<std::string>{Gbk("解码器1"), "Dec2"}));
}

// The name list shows the panes' plans in the interface language and any
// other name as it stands.
TEST(PatrolNameLabel, PanePlansInTheInterfaceLanguage) {
  ASSERT_TRUE(LoadLanguageLibrary("LangSC.dll"));
  const std::pair<const char*, const char*> cases[] = {
      {"Player-3", "窗口-3"},          {"PlayerEx2-15", "扩展屏2窗口-15"},
      {"Player-3x", "Player-3x"},      {"Decoder A", "Decoder A"},
      {"PlayerEx2", "PlayerEx2"},
  };
  for (const auto& [name, shown] : cases) EXPECT_EQ(PatrolNameLabel(name), codepage::Utf8ToGbk(shown)) << name;
  FreeLanguageLibrary();
}
