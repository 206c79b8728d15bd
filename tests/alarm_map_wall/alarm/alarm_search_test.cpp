// The alarm log search over day files written by the log worker: spans, kinds,
// devices (local under DevName, relay under MAC_IP), and damaged days.
#include <gtest/gtest.h>

#include <filesystem>

#include "alarm_map_wall/alarm/log/alarm_log_queue.h"
#include "alarm_map_wall/alarm/search/alarm_search.h"
#include "alarm_test_env.h"
#include "platform/paths.h"

namespace fs = std::filesystem;

namespace {

class AlarmSearchTest : public AlarmTest {
 protected:
  // Writes alarms of one day as the worker does on that day.
  void Log(int year, int month, int day, const std::vector<AlarmLogEntry>& entries) {
    AlarmLogQueue::Options options;
    options.programFolder = paths::ProgramFolder();
    const int64_t now = LocalTime(year, month, day, 12);
    options.clock = [now] { return now; };
    AlarmLogQueue queue(options);
    for (const AlarmLogEntry& entry : entries) queue.Push(entry);
    queue.Save();
  }
  std::vector<std::string> Times(const AlarmQuery& query) {
    std::vector<std::string> times;
    for (const AlarmResult& result : SearchAlarmLogs(paths::ProgramFolder(), query)) times.push_back(result.DateTime);
    return times;
  }
  static AlarmQuery Query(const std::string& device, int64_t start, int64_t end) {
    AlarmQuery query;
    query.device = device;
    query.start = start;
    query.end = end;
    return query;
  }
  static std::string T(int64_t value) { return std::to_string(value); }
};

}  // namespace

// A span inside one day keeps its ends and reads that day's folder only.
TEST_F(AlarmSearchTest, ASpanKeepsItsEndsAndItsDaysOnly) {
  const int64_t ten = LocalTime(2026, 1, 5, 10), eleven = LocalTime(2026, 1, 5, 11);
  Log(2026, 1, 5, {{"Gate", ten - 1, 14, "m"}, {"Gate", ten, 14, "m"}, {"Gate", eleven, 15, "i"},
                   {"Gate", eleven + 1, 14, "m"}, {"Yard", ten + 5, 14, "m"}});
  Log(2026, 1, 6, {{"Gate", LocalTime(2026, 1, 6, 0, 30), 14, "m"}});
  Log(2026, 1, 4, {{"Gate", ten, 14, "m"}});  // a time of the 5th, logged on the 4th: its folder is not read
  EXPECT_EQ(Times(Query("Gate", ten, eleven)), (std::vector<std::string>{T(ten), T(eleven)}));

  // From the 5th 23:00 to the 6th 01:00: both folders, in the order of their days.
  Log(2026, 1, 5, {{"Gate", LocalTime(2026, 1, 5, 23, 30), 16, "i"}});
  EXPECT_EQ(Times(Query("Gate", LocalTime(2026, 1, 5, 23), LocalTime(2026, 1, 6, 1))),
            (std::vector<std::string>{T(LocalTime(2026, 1, 5, 23, 30)), T(LocalTime(2026, 1, 6, 0, 30))}));
  EXPECT_TRUE(Times(Query("Nobody", ten, eleven)).empty());
  EXPECT_TRUE(Times(Query("", ten, eleven)).empty());
}

TEST_F(AlarmSearchTest, AllKindsMeansTheFourteenKindsOfThePage) {
  const int64_t t = LocalTime(2026, 1, 5, 10);
  std::vector<AlarmLogEntry> entries;
  for (int code = 0; code <= 26; ++code) entries.push_back({"Gate", t + code, code, "x"});
  Log(2026, 1, 5, entries);
  auto codes = [&](const AlarmQuery& query) {
    std::vector<int> found;
    for (const AlarmResult& result : SearchAlarmLogs(paths::ProgramFolder(), query)) found.push_back(std::atoi(result.Type));
    return found;
  };
  AlarmQuery all = Query("Gate", t, t + 100);
  const std::vector<int> fourteen{1, 2, 3, 4, 5, 6, 7, 8, 12, 13, 14, 15, 16, 17};
  EXPECT_EQ(codes(all), fourteen);
  AlarmQuery each = all;
  each.all = false;
  each.kinds.assign(std::begin(kAlarmSearchKinds), std::end(kAlarmSearchKinds));
  EXPECT_EQ(codes(each), fourteen);
  AlarmQuery none = all;
  none.all = false;
  EXPECT_TRUE(codes(none).empty());
  AlarmQuery some = none;
  some.kinds = {16, 2};
  EXPECT_EQ(codes(some), (std::vector<int>{2, 16}));
}

// The search looks under the name the panel logs: a local channel's DevName
// (not its DevId), a relay device's MAC_IP, names with quotes, ampersands,
// colons and slashes; a time past 2038 is found at its own time.
TEST_F(AlarmSearchTest, DevicesAreFoundUnderTheNamesTheyAreLoggedUnder) {
  const int64_t t = LocalTime(2026, 1, 5, 10);
  const std::string odd = "Gate \"A\" & cam:1/../x";
  Log(2026, 1, 5, {{"Front door", t, 14, "m"}, {"00-11-22-33-44-55_192.168.1.9", t, 14, "m"}, {odd, t, 15, "i"},
                   {"Gate \"A\" & cam_1_.._x", t + 1, 15, "i"}});
  EXPECT_EQ(Times(Query("Front door", t, t)).size(), 1u);
  EXPECT_EQ(Times(Query("00-11-22-33-44-55_192.168.1.9", t, t)).size(), 1u);
  // Both names map to one file; each is found under its own name only.
  EXPECT_EQ(Times(Query(odd, t, t + 1)), (std::vector<std::string>{T(t)}));
  const std::vector<AlarmResult> found = SearchAlarmLogs(paths::ProgramFolder(), Query(odd, t, t));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(std::string(found[0].DevName), odd);

  const int64_t late = LocalTime(2039, 3, 1, 8);
  Log(2039, 3, 1, {{"Front door", late, 14, "m"}});
  const std::vector<std::string> times = Times(Query("Front door", LocalTime(2039, 3, 1), LocalTime(2039, 3, 1, 23)));
  EXPECT_EQ(times, (std::vector<std::string>{T(late)}));
}

// A damaged day gives what it holds; the other days are read as ever.
TEST_F(AlarmSearchTest, ADamagedDayDoesNotSpoilTheOthers) {
  const int64_t t5 = LocalTime(2026, 1, 5, 10), t6 = LocalTime(2026, 1, 6, 10), t7 = LocalTime(2026, 1, 7, 10);
  Log(2026, 1, 5, {{"Gate", t5, 14, "m"}});
  Log(2026, 1, 6, {{"Gate", t6, 14, "m"}, {"Gate", t6 + 1, 14, "m"}});
  Log(2026, 1, 7, {{"Gate", t7, 14, "m"}});
  WriteBytes(File("Alarm/2026-1-6/Gate.xml"), ReadBytes(File("Alarm/2026-1-6/Gate.xml")).substr(0, 150));
  WriteBytes(File("Alarm/2026-1-7/Gate.xml"), "\xff\xfe garbage");
  fs::create_directories(File("Alarm/backup"));
  fs::create_directories(File("Alarm/2026-1-99"));
  EXPECT_EQ(Times(Query("Gate", t5, t7)), (std::vector<std::string>{T(t5), T(t6)}));
  fs::remove_all(File("Alarm"));
  EXPECT_TRUE(Times(Query("Gate", t5, t7)).empty());
}
