// Free-pane search, stream switching by layout, and patrol plan prefixes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "live/grid/grid_rules.h"

namespace {

std::vector<bool> Busy(const std::string& marks) {  // "x" busy, "." free; the rest of 64 free
  std::vector<bool> busy(64, false);
  for (size_t i = 0; i < marks.size(); ++i) busy[i] = marks[i] == 'x';
  return busy;
}

TEST(GridRules, FreePaneSearch) {
  struct Case {
    const char* name;
    std::string marks;
    int selected, shown, expected;
  };
  const Case cases[] = {
      {"selected pane free", "x.x......", 1, 9, 1},
      {"first free after the selected one", "xxx.x.xxx", 1, 9, 3},
      {"wraps to the first free from the top", "x.xxxxxxx", 4, 9, 1},
      {"all shown busy: replace the selected", "xxxxxxxxx", 4, 9, 4},
      {"hidden panes are never taken", "xxxx", 2, 4, 2},
      {"one-pane layout keeps the selected", "x", 0, 1, 0},
      {"last shown pane", "xxxxxxxx.", 0, 9, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(gridrules::FindFreePane(Busy(c.marks), c.selected, c.shown), c.expected);
  }
}

TEST(GridRules, StreamSwitchAfterLayoutChange) {
  using gridrules::StreamSwitch;
  struct Case {
    int count, previous;
    StreamSwitch expected;
  };
  const Case cases[] = {
      {9, 4, StreamSwitch::kToSub},   {16, 8, StreamSwitch::kToSub},  {64, 1, StreamSwitch::kToSub},
      {25, 16, StreamSwitch::kNone},  {9, 9, StreamSwitch::kNone},    {4, 16, StreamSwitch::kToMain},
      {1, 9, StreamSwitch::kToMain},  {6, 4, StreamSwitch::kToMain},  {8, 36, StreamSwitch::kToMain},
      {10, 0, StreamSwitch::kToSub},  {7, 4, StreamSwitch::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.previous) + " -> " + std::to_string(c.count));
    EXPECT_EQ(gridrules::AfterLayout(c.count, c.previous), c.expected);
  }
  EXPECT_TRUE(gridrules::MaximiseToMain(9));
  EXPECT_FALSE(gridrules::MaximiseToMain(8));
}


}  // namespace
