// A peer's search of this client's record folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "records/search/rec_tree.h"
#include "relay/serving/relay_record_search.h"

namespace {

ReplaySearchRequest Request(const char* start, const char* end, int64_t minSize = -2, int64_t maxSize = -2) {
  ReplaySearchRequest r;
  std::snprintf(r.szDevKey, sizeof r.szDevKey, "00-1A-2B-3C-4D-5E:10.0.0.1");
  r.dwStreamSel = 2;
  r.dwMediaSel = 2;
  r.dwRecKind = 1;
  r.dwTarget = 1;
  r.llMinSize = minSize;
  r.llMaxSize = maxSize;
  std::snprintf(r.szStart, sizeof r.szStart, "%s", start);
  std::snprintf(r.szEnd, sizeof r.szEnd, "%s", end);
  return r;
}

// The file names of the items, without their folders.
std::vector<std::string> Names(const std::vector<RecFileItem>& items) {
  std::vector<std::string> names;
  for (const RecFileItem& item : items) {
    const size_t cut = item.strFilePath.find_last_of("\\/");
    names.push_back(item.strFilePath.substr(cut + 1) + " " + item.strFileSize);
  }
  return names;
}

class PeerSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    storage1 = tree.Storage("a");
    storage2 = tree.Storage("b");
    RecSchemeInfo& scheme = tree.AddScheme(storage1, storage2);
    scheme.lstDev.push_back(MakeDevice(1, "Cam", "10.0.0.1"));
    RecSchemeInfo& later = tree.AddScheme(storage1);
    later.lstDev.push_back(MakeDevice(1, "Other", "10.0.0.1"));  // a later scheme is never searched
  }
  void File(const std::string& storage, const char* kind, int y, int m, int d, const char* name, size_t size = 100) {
    RecTree::WriteFile(tree.DayFolder(storage, "Cam", kind, y, m, d) + name, size);
  }
  std::vector<std::string> Search(const ReplaySearchRequest& r) {
    const auto search = ReadPeerSearch(r);
    EXPECT_TRUE(search.has_value());
    return search ? Names(SearchLocalRecords(tree.Schemes(), *search)) : std::vector<std::string>{};
  }

  RecTree tree;
  std::string storage1, storage2;
};

}  // namespace

TEST_F(PeerSearchTest, ASpanOverMidnightListsTheHoursOfBothDaysOnly) {
  File(storage1, "Schedule", 2026, 12, 10, "225959-vv1.avi");
  File(storage1, "Schedule", 2026, 12, 10, "230000-vv1.avi");
  File(storage1, "Schedule", 2026, 12, 11, "010000-vv1.avi");
  File(storage1, "Schedule", 2026, 12, 11, "010001-vv1.avi");
  File(storage1, "Schedule", 2026, 12, 12, "000000-vv1.avi");
  EXPECT_EQ(Search(Request("2026-12-10 23:00:00", "2026-12-11 01:00:00")),
            (std::vector<std::string>{"230000-vv1.avi 100", "010000-vv1.avi 100"}));
}

TEST_F(PeerSearchTest, AYearEndIsWalkedDayByDayAndKindsComeInOrderPerPath) {
  File(storage1, "Motion", 2025, 12, 30, "100000-vv1.avi");
  File(storage1, "Schedule", 2025, 12, 31, "100000-vv1.avi");
  File(storage1, "IO", 2025, 12, 31, "110000-vv1.avi");
  File(storage2, "Schedule", 2025, 12, 31, "120000-vv1.avi");
  File(storage1, "Motion", 2026, 1, 1, "090000-vv1.avi");
  File(storage1, "Schedule", 2026, 1, 2, "080000-vv1.avi");
  File(storage1, "Schedule", 2026, 1, 3, "080000-vv1.avi");
  EXPECT_EQ(Search(Request("2025-12-31 00:00:00", "2026-01-02 23:59:59")),
            (std::vector<std::string>{"100000-vv1.avi 100", "110000-vv1.avi 100", "120000-vv1.avi 100",
                                      "090000-vv1.avi 100", "080000-vv1.avi 100"}));
  ReplaySearchRequest io = Request("2025-12-31 00:00:00", "2026-01-02 23:59:59");
  io.dwRecKind = 3;
  EXPECT_EQ(Search(io), (std::vector<std::string>{"110000-vv1.avi 100"}));
}

// Within one folder the files come in the file system's order: compared sorted.
TEST_F(PeerSearchTest, NameSizeAndStreamFilters) {
  auto Search = [this](const ReplaySearchRequest& r) {
    std::vector<std::string> names = this->Search(r);
    std::sort(names.begin(), names.end());
    return names;
  };
  File(storage1, "Schedule", 2026, 12, 10, "080000-vv1.avi", 100);
  File(storage1, "Schedule", 2026, 12, 10, "081000-av1.avi", 200);
  File(storage1, "Schedule", 2026, 12, 10, "082000-vv2.avi", 300);
  File(storage1, "Schedule", 2026, 12, 10, "083000-vv1.AVI", 100);
  const char* from = "2026-12-10 00:00:00";
  const char* to = "2026-12-10 23:59:59";
  EXPECT_EQ(Search(Request(from, to)).size(), 3u);  // capitals are not listed
  EXPECT_EQ(Search(Request(from, to, 200, 300)),
            (std::vector<std::string>{"081000-av1.avi 200", "082000-vv2.avi 300"}));  // bounds are kept
  ReplaySearchRequest main = Request(from, to);
  main.dwStreamSel = 1;
  EXPECT_EQ(Search(main), (std::vector<std::string>{"080000-vv1.avi 100", "081000-av1.avi 200"}));
  ReplaySearchRequest video = Request(from, to);
  video.dwMediaSel = 3;
  EXPECT_EQ(Search(video), (std::vector<std::string>{"080000-vv1.avi 100", "082000-vv2.avi 300"}));
  ReplaySearchRequest both = Request(from, to);
  both.dwMediaSel = 1;
  EXPECT_EQ(Search(both), (std::vector<std::string>{"081000-av1.avi 200"}));
}

TEST(PeerSearch, RequestsOutOfRangeAreRefused) {
  const struct {
    const char* start;
    const char* end;
    int64_t minSize;
    bool read;
  } cases[] = {
      {"2026-12-10 08:00:00", "2026-12-10 09:00:00", -2, true},
      {"2026-12-10 08:00:00", "2026-12-10 09:00:00", -1, true},
      {"2026-12-10 08:00:00", "2026-12-10 09:00:00", -3, false},
      {"2026/12/10 08:00:00", "2026-12-10 09:00:00", -1, false},   // not the relay's one form
      {"10.12.2026 08:00:00", "2026-12-10 09:00:00", -1, false},
      {"2026-13-10 08:00:00", "2026-12-10 09:00:00", -1, false},
      {"2026-12-10 24:00:00", "2026-12-10 09:00:00", -1, false},
      {"1969-12-31 23:00:00", "1970-01-01 01:00:00", -1, false},
      {"2010-01-01 00:00:00", "2026-12-10 09:00:00", -1, false},   // more than ten years
      {"", "", -1, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadPeerSearch(Request(c.start, c.end, c.minSize)).has_value(), c.read) << c.start << " " << c.minSize;
  }
  ReplaySearchRequest maxBad = Request("2026-12-10 08:00:00", "2026-12-10 09:00:00", -1, -7);
  EXPECT_FALSE(ReadPeerSearch(maxBad).has_value());
  const auto codes = ReadPeerSearch(Request("2026-12-10 08:00:00", "2026-12-10 09:00:00"));
  ASSERT_TRUE(codes.has_value());
  EXPECT_EQ(codes->ip, "10.0.0.1");
  EXPECT_EQ(codes->minSize, -1);
  EXPECT_EQ(codes->streamCode, 0);
  EXPECT_EQ(codes->mediaCode, 2);
  EXPECT_EQ(codes->kindCode, 0);
}

TEST(PeerSearch, KindWordsOutsideTheFourAskForEveryKind) {
  const struct {
    DWORD word;
    int kindCode;
  } cases[] = {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {0, 0}, {5, 0}, {0x80000000u, 0}, {0xFFFFFFFFu, 0}};
  for (const auto& c : cases) {
    ReplaySearchRequest request = Request("2026-12-10 08:00:00", "2026-12-10 09:00:00");
    request.dwRecKind = c.word;
    const auto search = ReadPeerSearch(request);
    ASSERT_TRUE(search.has_value()) << c.word;
    EXPECT_EQ(search->kindCode, c.kindCode) << c.word;
  }
}
