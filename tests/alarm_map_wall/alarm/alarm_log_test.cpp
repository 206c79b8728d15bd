// The alarm log files: the lines and names the writer makes (compared with a
// golden day file byte for byte), what the reader takes back from good and
// damaged files, and which day folders the purge deletes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "alarm_map_wall/alarm/log/alarm_log_format.h"
#include "alarm_map_wall/alarm/log/alarm_log_queue.h"
#include "alarm_map_wall/alarm/log/alarm_log_reader.h"
#include "alarm_map_wall/alarm/log/alarm_log_writer.h"
#include "alarm_test_env.h"
#include "platform/paths.h"

namespace fs = std::filesystem;

namespace {

class AlarmLogTest : public AlarmTest {
 protected:
  // A queue writing at a fixed moment, with no worker (Save by hand).
  AlarmLogQueue::Options At(int64_t now) {
    AlarmLogQueue::Options options;
    options.programFolder = paths::ProgramFolder();
    options.clock = [now] { return now; };
    return options;
  }
  std::vector<AlarmLogRecord> Read(const std::string& name, AlarmDayRead* how = nullptr) {
    std::vector<AlarmLogRecord> records;
    const AlarmDayRead read = ReadAlarmDayFile(paths::FromNativePath(File(name)), records);
    if (how) *how = read;
    return records;
  }
  void MakeDay(const std::string& name) { fs::create_directories(File("Alarm/" + name)); }
};

}  // namespace

TEST_F(AlarmLogTest, TheDayFileIsTheGoldenFileByteForByte) {
  const std::string gate = "Gate \"A\" & <B>";
  AlarmLogQueue queue(At(LocalTime(2026, 1, 5, 12)));
  queue.Push({gate, 1767580200, 14, "Motion Detect"});
  queue.Push({"Yard", 1767580201, 14, "Motion Detect"});
  queue.Push({gate, 2190000000, 15, Gbk("报警输入由高到低")});
  queue.Push({"", 1767580202, 14, "Motion Detect"});  // no name: not written
  queue.Push({gate, -5, 1000, ""});
  queue.Save();
  const std::string golden = ReadBytes(std::string(VEMO_TEST_SOURCE_DIR) + "/alarm_map_wall/alarm/fixtures/alarm_day_golden.xml");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(ReadBytes(File("Alarm/2026-1-5/" + gate + ".xml")), golden);
  EXPECT_EQ(queue.Pending(), 0u);

  // A second batch of the day appends; the declaration stays the first line only.
  queue.Push({gate, 1767580300, 16, "Alarm input low to high"});
  queue.Save();
  const std::string twice = ReadBytes(File("Alarm/2026-1-5/" + gate + ".xml"));
  EXPECT_EQ(twice, golden + "<AlarmLog DevName=\"Gate &quot;A&quot; &amp; &lt;B&gt;\" DateTime=\"1767580300\" "
                            "Type=\"16\" AlarmInfo=\"Alarm input low to high\" />\n");

  // A lead byte before a quote leaves the quote an entity: the line stays whole.
  EXPECT_EQ(AlarmLogLine({"a\x95\"", 1, 2, "\x95<"}),
            "<AlarmLog DevName=\"a\x95&quot;\" DateTime=\"1\" Type=\"2\" AlarmInfo=\"\x95&lt;\" />");

  // The reader gives the texts back as they were.
  AlarmDayRead how;
  const auto records = Read("Alarm/2026-1-5/" + gate + ".xml", &how);
  EXPECT_EQ(how, AlarmDayRead::kRead);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].DevName, gate);
  EXPECT_EQ(records[1].AlarmInfo, Gbk("报警输入由高到低"));
  EXPECT_EQ(records[1].DateTime, "2190000000");
  EXPECT_EQ(records[2].DateTime, "-5");
  EXPECT_EQ(records[3].Type, "16");
  EXPECT_EQ(Read("Alarm/2026-1-5/Yard.xml").size(), 1u);
}

// An alarm raised at 23:59:59 and written after midnight lies in the next day's
// folder with its own time; a line feed in a name stays inside its line.
TEST_F(AlarmLogTest, TheFolderIsTheDayOfWritingAndOneAlarmIsOneLine) {
  AlarmLogQueue queue(At(LocalTime(2026, 1, 6, 0, 0, 5)));
  const int64_t raised = LocalTime(2026, 1, 5, 23, 59, 59);
  queue.Push({"Gate", raised, 14, "Motion\nDetect"});
  queue.Save();
  EXPECT_FALSE(fs::exists(File("Alarm/2026-1-5")));
  const auto records = Read("Alarm/2026-1-6/Gate.xml");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].DateTime, std::to_string(raised));
  EXPECT_EQ(records[0].AlarmInfo, "Motion\nDetect");
  EXPECT_EQ(ReadBytes(File("Alarm/2026-1-6/Gate.xml")).find("Motion\n"), std::string::npos);
}

TEST_F(AlarmLogTest, FileNamesNeverLeaveTheDayFolder) {
  const std::string gbkWithBackslash = "\x95\x5C" "cam";  // a GBK character whose second byte is '\'
  struct Case {
    std::string name;
    std::string file;
  } cases[] = {
      {"cam:1", "cam_1"},
      {"00-11-22-33-44-55_192.168.1.9", "00-11-22-33-44-55_192.168.1.9"},
      {"a/b", "a_b"},
      {"a\\b", "a_b"},
      {"..", "__"},
      {"../../escape", "______escape"},
      {"..\\..\\escape", "______escape"},
      {"a..b", "a__b"},
      {"a.b", "a.b"},
      {"...", "___"},
      {gbkWithBackslash, gbkWithBackslash},
      {"\x95/x", "\x95_x"},  // a lead byte before a slash is no character: the slash is mapped
  };
  for (const Case& c : cases) EXPECT_EQ(AlarmLogFileName(c.name), c.file) << c.name;
  EXPECT_EQ(RelayAlarmLogName("00-11-22-33-44-55", "192.168.1.9"), "00-11-22-33-44-55_192.168.1.9");
  EXPECT_EQ(RelayAlarmLogName(std::string(300, 'm').c_str(), "ip").size(), 259u);

  // Written: inside the day folder, the name attribute as it is.
  AlarmLogQueue queue(At(LocalTime(2026, 1, 5, 12)));
  for (const char* name : {"../../escape", "..", "cam:1", "/etc/passwd"}) queue.Push({name, 1, 14, "x"});
  queue.Save();
  EXPECT_FALSE(fs::exists(File("escape.xml")));
  EXPECT_FALSE(fs::exists(File("Alarm/escape.xml")));
  std::vector<std::string> written;
  for (const auto& entry : fs::directory_iterator(File("Alarm/2026-1-5"))) written.push_back(entry.path().filename());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"__.xml", "______escape.xml", "_etc_passwd.xml", "cam_1.xml"}));
  const auto records = Read("Alarm/2026-1-5/cam_1.xml");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].DevName, "cam:1");
}

TEST_F(AlarmLogTest, AppendingMendsACutLastLineAndTheReaderTakesTheGoodLines) {
  MakeDay("2026-1-5");
  const std::string cut = std::string(kAlarmLogDeclaration) + "\n" +
                          "<AlarmLog DevName=\"Gate\" DateTime=\"100\" Type=\"14\" AlarmInfo=\"a\" />\n" +
                          "<AlarmLog DevName=\"Gate\" DateTime=\"200\" Ty";
  WriteBytes(File("Alarm/2026-1-5/Gate.xml"), cut);
  AlarmDayRead how;
  EXPECT_EQ(Read("Alarm/2026-1-5/Gate.xml", &how).size(), 1u);
  EXPECT_EQ(how, AlarmDayRead::kRecovered);

  std::string error;
  ASSERT_TRUE(AppendAlarmLines(paths::FromNativePath(File("Alarm/2026-1-5/Gate.xml")),
                               {AlarmLogLine({"Gate", 300, 15, "b"})}, &error))
      << error;
  EXPECT_EQ(ReadBytes(File("Alarm/2026-1-5/Gate.xml")),
            cut + "\n<AlarmLog DevName=\"Gate\" DateTime=\"300\" Type=\"15\" AlarmInfo=\"b\" />\n");
  const auto records = Read("Alarm/2026-1-5/Gate.xml", &how);
  EXPECT_EQ(how, AlarmDayRead::kRecovered);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].DateTime, "300");

  // An empty file gets the declaration first.
  WriteBytes(File("Alarm/2026-1-5/Empty.xml"), "");
  ASSERT_TRUE(AppendAlarmLines(paths::FromNativePath(File("Alarm/2026-1-5/Empty.xml")),
                               {AlarmLogLine({"Empty", 1, 2, "c"})}, &error));
  EXPECT_EQ(ReadBytes(File("Alarm/2026-1-5/Empty.xml")).rfind(kAlarmLogDeclaration, 0), 0u);
}

TEST_F(AlarmLogTest, DamagedFilesGiveWhatTheyHoldAndALogLine) {
  MakeDay("2026-1-5");
  const std::string good = "<AlarmLog DevName=\"Gate\" DateTime=\"100\" Type=\"14\" AlarmInfo=\"a\" />";
  const std::string big = "<AlarmLog DevName=\"Gate\" DateTime=\"101\" Type=\"14\" AlarmInfo=\"" +
                          std::string(1 << 20, 'x') + "\" />";
  std::u16string wide = u"<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n<AlarmLog DevName=\"Gate\" />\n";
  struct Case {
    const char* name;
    std::string bytes;
    AlarmDayRead how;
    size_t records;
  } cases[] = {
      {"standard declaration", "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n" + good + "\n" + good + "\n",
       AlarmDayRead::kRead, 2},
      {"other elements", std::string(kAlarmLogDeclaration) + "\n<Other a=\"1\" />\n" + good + "\n",
       AlarmDayRead::kRead, 1},
      {"elements across and within lines",
       std::string(kAlarmLogDeclaration) + "\n<AlarmLog DevName='Gate'\n  DateTime=\"1\" Type=\"14\" />" + good + good,
       AlarmDayRead::kRead, 3},
      {"not xml", "hello, this is not an alarm log\n", AlarmDayRead::kUnreadable, 0},
      {"empty", "", AlarmDayRead::kUnreadable, 0},
      {"garbage line", std::string(kAlarmLogDeclaration) + "\n" + good + "\n<<<>>>\n" + good + "\n",
       AlarmDayRead::kRecovered, 2},
      {"zero bytes", good + "\n" + std::string("\0\0\0", 3) + "\n" + good + "\n", AlarmDayRead::kRecovered, 2},
      {"utf-16", std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2), AlarmDayRead::kUnreadable,
       0},
      {"a line of 1 MB", std::string(kAlarmLogDeclaration) + "\n" + big + "\n", AlarmDayRead::kRead, 1},
      {"a bad line of 1 MB", std::string(kAlarmLogDeclaration) + "\n<" + std::string(1 << 20, '"') + "\n" + good,
       AlarmDayRead::kRecovered, 1},
  };
  LogCapture log(Folder());
  int damaged = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(File("Alarm/2026-1-5/Gate.xml"), c.bytes);
    AlarmDayRead how;
    EXPECT_EQ(Read("Alarm/2026-1-5/Gate.xml", &how).size(), c.records);
    EXPECT_EQ(how, c.how);
    damaged += c.how == AlarmDayRead::kRead ? 0 : 1;
  }
  EXPECT_EQ(log.Count("is damaged"), damaged);
  AlarmDayRead how;
  EXPECT_TRUE(Read("Alarm/2026-1-5/Missing.xml", &how).empty());
  EXPECT_EQ(how, AlarmDayRead::kMissing);
}

TEST_F(AlarmLogTest, ThePurgeDeletesDaysOlderThanFifteenDaysOnly) {
  for (const char* day : {"2026-1-4", "2026-1-5", "2026-01-05", "2026-1-6", "backup", "2026-13-1", "x-y", "2026-1",
                          "2025-12-31"}) {
    MakeDay(day);
    WriteBytes(File(std::string("Alarm/") + day + "/Gate.xml"), "kept?");
  }
  fs::create_directories(File("Alarm/2025-12-31/inner"));
  WriteBytes(File("Alarm/2025-1-1"), "a file, not a day folder");
  fs::create_directories(File("elsewhere"));
  WriteBytes(File("elsewhere/precious.txt"), "keep me");
  fs::create_directory_symlink(File("elsewhere"), File("Alarm/2025-1-2"));

  const std::string program = paths::ProgramFolder();
  struct Case {
    int64_t now;
    std::vector<std::string> deleted;
  } cases[] = {
      {LocalTime(2026, 1, 19, 23, 59, 59), {"2025-1-2", "2025-12-31", "2026-1-4"}},
      {LocalTime(2026, 1, 20, 0, 0, 0), {"2026-01-05", "2026-1-5"}},
      {LocalTime(2026, 1, 20, 23, 59, 59), {}},
      {LocalTime(2026, 1, 21, 0, 0, 0), {"2026-1-6"}},
      {LocalTime(2030, 1, 1), {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> deleted = PurgeAlarmDays(program, c.now);
    std::sort(deleted.begin(), deleted.end());
    EXPECT_EQ(deleted, c.deleted) << c.now;
  }
  for (const char* kept : {"backup", "2026-13-1", "x-y", "2026-1", "2025-1-1"}) {
    EXPECT_TRUE(fs::exists(File(std::string("Alarm/") + kept))) << kept;
  }
  EXPECT_EQ(ReadBytes(File("elsewhere/precious.txt")), "keep me") << "a linked folder loses its link only";
}
