#include "records/search/rec_file_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "records/search/rec_tree.h"

namespace {

RecSearchTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return {y, mo, d, h, mi, s}; }

// The part of a found path below the storage folders ("d1/2026/1/1/Schedule/010000.avi"
// reads "d1 Schedule 2026/1/1 010000.avi"), with its size.
std::string Describe(const RecFileItem& item) {
  std::string path = item.strFilePath;
  std::replace(path.begin(), path.end(), '\\', '/');
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t cut; (cut = path.find('/', from)) != std::string::npos; from = cut + 1) {
    if (cut > from) parts.push_back(path.substr(from, cut - from));
  }
  parts.push_back(path.substr(from));
  // ... <storage> Record <device> <source> <kind> <y> <m> <d> <name>
  const size_t n = parts.size();
  return parts[n - 9] + " " + parts[n - 5] + " " + parts[n - 4] + "/" + parts[n - 3] + "/" + parts[n - 2] + " " +
         parts[n - 1] + " " + item.strFileSize;
}

std::vector<std::string> Sorted(const std::vector<RecFileItem>& items) {
  std::vector<std::string> out;
  for (const RecFileItem& item : items) out.push_back(Describe(item));
  std::sort(out.begin(), out.end());
  return out;
}

class RecFileSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    d1_ = tree_.Storage("d1");
    d3_ = tree_.Storage("d3");
    Files(d1_, "Schedule", 2025, 12, 31, {"225959.avi", "230000.avi"});
    Files(d1_, "Schedule", 2026, 1, 1, {"005959.avi", "010000.avi", "010001.avi"});
    Files(d1_, "IO", 2026, 1, 1, {"003000.avi"});
    Files(d1_, "Motion", 2026, 1, 1, {"004500.avi"});
    Files(d3_, "Schedule", 2026, 1, 1, {"000100.avi"});
    Files(d1_, "Schedule", 2026, 1, 10, {"075959.avi", "080000.avi"});
    Files(d1_, "Schedule", 2026, 1, 31, {"120000.avi"});
    Files(d1_, "Schedule", 2026, 2, 9, {"120000.avi"});
    Files(d1_, "Schedule", 2026, 2, 10, {"180000.avi", "180001.avi"});
    Files(d1_, "Schedule", 2026, 2, 11, {"120000.avi"});
    const std::string marks = tree_.DayFolder(d1_, "cam", "Schedule", 2026, 3, 5);
    const struct {
      const char* name;
      size_t size;
    } sized[] = {{"100000-vv1.avi", 10}, {"100000-vv2.avi", 20}, {"100000-av1.avi", 30}, {"100000-av2.avi", 40},
                 {"100000.AVI", 50},     {"100001.avi", 0},      {"1.avi", 5}};
    for (const auto& f : sized) RecTree::WriteFile(marks + f.name, f.size);
    std::filesystem::create_directory(marks + "100002.avi");
    RecTree::WriteFile(tree_.DayFolder(d1_, "cam", "Schedule", 2026, 3, 5, "Remote") + "110000.avi", 7);

    RecSchemeInfo& scheme = tree_.AddScheme(d1_, "", d3_);
    scheme.lstDev.push_back(MakeDevice(1, "cam"));
  }

  void Files(const std::string& storage, const char* kind, int y, int m, int d,
             std::initializer_list<const char*> names) {
    const std::string folder = tree_.DayFolder(storage, "cam", kind, y, m, d);
    for (const char* name : names) RecTree::WriteFile(folder + name, 1);
  }

  std::vector<std::string> Search(const RecFileQuery& query, int* result = nullptr) {
    std::vector<RecFileItem> items;
    const int r = CRecFileSearch(tree_.Schemes()).SearchLocalRecFile(MakeDevice(1, "cam"), query, items);
    if (result) *result = r;
    return Sorted(items);
  }

  RecTree tree_;
  std::string d1_;
  std::string d3_;
};

TEST_F(RecFileSearchTest, SpansCutTheFirstAndLastDayAtTheirTimes) {
  struct Case {
    const char* name;
    RecSearchTime start, end;
    int recType;
    std::vector<std::string> expected;
  } cases[] = {
      {"23:00 to 01:00 across the year end", At(2025, 12, 31, 23), At(2026, 1, 1, 1), 0,
       {"d1 IO 2026/1/1 003000.avi 1", "d1 Motion 2026/1/1 004500.avi 1", "d1 Schedule 2025/12/31 230000.avi 1",
        "d1 Schedule 2026/1/1 005959.avi 1", "d1 Schedule 2026/1/1 010000.avi 1",
        "d3 Schedule 2026/1/1 000100.avi 1"}},
      {"10 January 08:00 to 10 February 18:00", At(2026, 1, 10, 8), At(2026, 2, 10, 18), 0,
       {"d1 Schedule 2026/1/10 080000.avi 1", "d1 Schedule 2026/1/31 120000.avi 1",
        "d1 Schedule 2026/2/10 180000.avi 1", "d1 Schedule 2026/2/9 120000.avi 1"}},
      {"one day, both bounds", At(2026, 1, 1, 0, 45), At(2026, 1, 1, 0, 59, 59), 0,
       {"d1 Motion 2026/1/1 004500.avi 1", "d1 Schedule 2026/1/1 005959.avi 1"}},
      {"IO only", At(2026, 1, 1), At(2026, 1, 1, 23, 59, 59), 2, {"d1 IO 2026/1/1 003000.avi 1"}},
      {"motion only", At(2025, 1, 1), At(2027, 1, 1), 3, {"d1 Motion 2026/1/1 004500.avi 1"}},
      {"schedule only, whole days", At(2026, 1, 1), At(2026, 1, 1, 23, 59, 59), 1,
       {"d1 Schedule 2026/1/1 005959.avi 1", "d1 Schedule 2026/1/1 010000.avi 1",
        "d1 Schedule 2026/1/1 010001.avi 1", "d3 Schedule 2026/1/1 000100.avi 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecFileQuery query;
    query.start = c.start;
    query.end = c.end;
    query.nRecType = c.recType;
    int result = -9;
    EXPECT_EQ(Search(query, &result), c.expected);
    EXPECT_EQ(result, 0);
  }
}

TEST_F(RecFileSearchTest, FoldersAreVisitedByDateThenPathThenKind) {
  RecFileQuery query;
  query.start = At(2025, 12, 31, 23);
  query.end = At(2026, 1, 1, 1);
  std::vector<RecFileItem> items;
  ASSERT_EQ(CRecFileSearch(tree_.Schemes()).SearchLocalRecFile(MakeDevice(1, "cam"), query, items), 0);
  std::vector<std::string> folders;
  for (const RecFileItem& item : items) {
    const std::string d = Describe(item);
    const std::string folder = d.substr(0, d.find(' ', d.find(' ', d.find(' ') + 1) + 1));
    if (folders.empty() || folders.back() != folder) folders.push_back(folder);
  }
  EXPECT_EQ(folders, (std::vector<std::string>{"d1 Schedule 2025/12/31", "d1 Schedule 2026/1/1", "d1 IO 2026/1/1",
                                               "d1 Motion 2026/1/1", "d3 Schedule 2026/1/1"}));
}

TEST_F(RecFileSearchTest, SizeMediaAndStreamFilters) {
  struct Case {
    const char* name;
    int media;
    int stream;
    const char* min;
    const char* max;
    std::vector<const char*> expected;  // names in the day folder of 5 March
  } cases[] = {
      {"video", 0, 0, "-1", "-1", {"1.avi", "100000-vv1.avi", "100000-vv2.avi", "100001.avi"}},
      {"audio and video", 1, 0, "-1", "-1", {"1.avi", "100000-av1.avi", "100000-av2.avi", "100001.avi"}},
      {"no media test, main stream", 2, 1, "-1", "-1", {"1.avi", "100000-av1.avi", "100000-vv1.avi", "100001.avi"}},
      {"no media test, sub stream", 2, 2, "-1", "-1", {"100000-av2.avi", "100000-vv2.avi"}},
      {"sizes are inclusive", 2, 0, "20", "30", {"100000-av1.avi", "100000-vv2.avi"}},
      {"minimum only", 2, 0, "25", "-1", {"100000-av1.avi", "100000-av2.avi"}},
      {"minimum -2 keeps nothing", 2, 0, "-2", "-1", {}},
      {"empty maximum keeps empty files", 2, 0, "-1", "", {"100001.avi"}},
      {"not a number reads as 0", 2, 0, "abc", "-1",
       {"1.avi", "100000-av1.avi", "100000-av2.avi", "100000-vv1.avi", "100000-vv2.avi", "100001.avi"}},
      {"a negative maximum is huge", 2, 0, "-1", "-5",
       {"1.avi", "100000-av1.avi", "100000-av2.avi", "100000-vv1.avi", "100000-vv2.avi", "100001.avi"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecFileQuery query;
    query.start = At(2026, 3, 5);
    query.end = At(2026, 3, 5, 23, 59, 59);
    query.nMediaType = c.media;
    query.nStream = c.stream;
    query.strMinSize = c.min;
    query.strMaxSize = c.max;
    std::vector<RecFileItem> items;
    ASSERT_EQ(CRecFileSearch(tree_.Schemes()).SearchLocalRecFile(MakeDevice(1, "cam"), query, items), 0);
    std::vector<std::string> names;
    for (const RecFileItem& item : items) {
      names.push_back(item.strFilePath.substr(item.strFilePath.find_last_of('\\') + 1));
      std::string native = item.strFilePath;
      std::replace(native.begin(), native.end(), '\\', '/');
      EXPECT_EQ(item.strFileSize, std::to_string(std::filesystem::file_size(native)));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, std::vector<std::string>(c.expected.begin(), c.expected.end()));
  }
}

TEST_F(RecFileSearchTest, SourceLevelFollowsTheSourceCombo) {
  RecFileQuery query;
  query.start = At(2026, 3, 5);
  query.end = At(2026, 3, 6);
  query.nSource = 1;
  EXPECT_EQ(Search(query), (std::vector<std::string>{"d1 Schedule 2026/3/5 110000.avi 7"}));
}

TEST_F(RecFileSearchTest, RefusalsSayWhy) {
  std::vector<RecFileItem> items{{"kept", "1"}};
  int msg = 0;
  RecFileQuery query;
  query.start = At(2026, 1, 1, 10, 0, 1);
  query.end = At(2026, 1, 1, 10);
  CRecFileSearch search(tree_.Schemes());
  EXPECT_EQ(search.SearchLocalRecFile(MakeDevice(1, "cam"), query, items, &msg), -1);
  EXPECT_EQ(msg, kMsgWrongTimeRange);
  EXPECT_EQ(items.size(), 1u);  // untouched

  query.end = At(2026, 1, 2);
  msg = 0;
  EXPECT_EQ(search.SearchLocalRecFile(MakeDevice(1, "unknown"), query, items, &msg), -1);
  EXPECT_EQ(msg, kMsgNoRecordScheme);
  EXPECT_TRUE(items.empty());
}

TEST(RecFileSearchMatching, FirstSchemeServesVideoServerChannelsAndNvrChannels) {
  RecTree tree;
  const std::string a = tree.Storage("a");
  const std::string b = tree.Storage("b");
  RecTree::WriteFile(tree.DayFolder(a, "dvs", "Schedule", 2026, 1, 1) + "010000.avi", 1);
  RecTree::WriteFile(tree.DayFolder(b, "dvs", "Schedule", 2026, 1, 1) + "020000.avi", 1);
  RecTree::WriteFile(tree.DayFolder(a, "cam", "Schedule", 2026, 1, 1) + "030000.avi", 1);
  RecTree::WriteFile(tree.DayFolder(b, "cam", "Schedule", 2026, 1, 1) + "040000.avi", 1);
  RecTree::WriteFile(tree.DayFolder(a, "N9-nvr", "Schedule", 2026, 1, 1) + "050000.avi", 1);
  RecSchemeInfo& first = tree.AddScheme(a);
  first.lstDev.push_back(MakeDevice(0, "dvs"));
  first.lstDev.push_back(MakeDevice(0, "dvs"));  // both video-server entries are searched
  first.lstDev.push_back(MakeDevice(1, "cam"));
  first.lstDev.push_back(MakeDevice(1, "cam"));  // the walk ends at a camera's first entry
  first.lstDev.push_back(MakeDevice(4, "nvr", "10.0.0.4", 3, "N9"));
  RecSchemeInfo& second = tree.AddScheme(b);
  second.lstDev.push_back(MakeDevice(0, "dvs"));
  second.lstDev.push_back(MakeDevice(1, "cam"));

  struct Case {
    DevInfo selected;
    std::vector<std::string> expected;
  } cases[] = {
      {MakeDevice(0, "dvs"), {"a Schedule 2026/1/1 010000.avi 1", "a Schedule 2026/1/1 010000.avi 1"}},
      {MakeDevice(1, "cam"), {"a Schedule 2026/1/1 030000.avi 1"}},
      // An NVR channel is found by address and channel, whatever its name.
      {MakeDevice(4, "other", "10.0.0.4", 3), {"a Schedule 2026/1/1 050000.avi 1"}},
      {MakeDevice(4, "nvr", "10.0.0.4", 2), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selected.DevName);
    RecFileQuery query;
    query.start = At(2026, 1, 1);
    query.end = At(2026, 1, 2);
    std::vector<RecFileItem> items;
    int msg = 0;
    const int result = CRecFileSearch(tree.Schemes()).SearchLocalRecFile(c.selected, query, items, &msg);
    EXPECT_EQ(Sorted(items), c.expected);
    EXPECT_EQ(result, c.expected.empty() ? -1 : 0);
  }
}

TEST(RecFileSearchDates, EveryDayOfEveryMonthUpToTheEndDate) {
  std::vector<std::string> dates;
  ForEachRecSearchDate(At(2025, 12, 30, 5), At(2026, 2, 2, 1), [&](int y, int m, int d, bool boundary) {
    dates.push_back(std::to_string(y) + "/" + std::to_string(m) + "/" + std::to_string(d) + (boundary ? "*" : ""));
  });
  ASSERT_EQ(dates.size(), 2u + 31 + 2);
  EXPECT_EQ(dates.front(), "2025/12/30*");
  EXPECT_EQ(dates[1], "2025/12/31");
  EXPECT_EQ(dates[2], "2026/1/1");
  EXPECT_EQ(dates[32], "2026/1/31");
  EXPECT_EQ(dates[33], "2026/2/1");
  EXPECT_EQ(dates.back(), "2026/2/2*");

  dates.clear();
  ForEachRecSearchDate(At(2026, 2, 27), At(2026, 3, 1), [&](int y, int m, int d, bool) {
    dates.push_back(std::to_string(y) + "/" + std::to_string(m) + "/" + std::to_string(d));
  });
  // Days a month does not have are visited too; their folders do not exist.
  EXPECT_EQ(dates, (std::vector<std::string>{"2026/2/27", "2026/2/28", "2026/2/29", "2026/2/30", "2026/2/31",
                                             "2026/3/1"}));
}

}  // namespace
