// The alarm log worker: it writes within its interval and at its stop, keeps
// what the disk refuses for the next batch (within its capacity), and never
// makes a pusher wait for the disk.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "alarm_map_wall/alarm/log/alarm_log_queue.h"
#include "alarm_map_wall/alarm/log/alarm_log_reader.h"
#include "alarm_test_env.h"
#include "common/wait_for.h"
#include "platform/paths.h"

namespace fs = std::filesystem;

namespace {

class AlarmLogQueueTest : public AlarmTest {
 protected:
  AlarmLogQueue::Options Options(int intervalMs = 3600 * 1000, size_t capacity = 500000) {
    AlarmLogQueue::Options options;
    options.programFolder = paths::ProgramFolder();
    options.intervalMs = intervalMs;
    options.capacity = capacity;
    options.clock = [this] { return now_; };
    return options;
  }
  size_t Lines(const std::string& name) {
    std::vector<AlarmLogRecord> records;
    ReadAlarmDayFile(paths::FromNativePath(File("Alarm/2026-1-5/" + name + ".xml")), records);
    return records.size();
  }

  int64_t now_ = LocalTime(2026, 1, 5, 12);
};

}  // namespace

// The alarms of the last seconds before the exit are written by the stop.
TEST_F(AlarmLogQueueTest, AStopWritesWhatIsQueued) {
  AlarmLogQueue queue(Options());
  queue.Start();
  for (int i = 0; i < 50; ++i) queue.Push({"Gate", 1000 + i, 14, "Motion Detect"});
  queue.Stop();
  EXPECT_EQ(Lines("Gate"), 50u);
  EXPECT_EQ(queue.Pending(), 0u);
  queue.Stop();  // again: harmless
}

TEST_F(AlarmLogQueueTest, TheWorkerPurgesThenWritesEveryInterval) {
  fs::create_directories(File("Alarm/2025-12-1"));
  AlarmLogQueue queue(Options(100));
  queue.Start();
  ASSERT_TRUE(WaitFor([&] { return !fs::exists(File("Alarm/2025-12-1")); }));
  queue.Push({"Gate", 1, 14, "Motion Detect"});
  ASSERT_TRUE(WaitFor([&] { return Lines("Gate") == 1; }));
  queue.Push({"Gate", 2, 14, "Motion Detect"});
  ASSERT_TRUE(WaitFor([&] { return Lines("Gate") == 2; }));
}

// "Alarm" is a file: nothing can be written; the alarms wait, one log line
// per batch, and go out once the folder can be made.
TEST_F(AlarmLogQueueTest, AlarmsTheDiskRefusesWaitForTheNextBatch) {
  LogCapture log(Folder());
  WriteBytes(File("Alarm"), "not a folder");
  AlarmLogQueue queue(Options());
  queue.Push({"Gate", 1, 14, "a"});
  queue.Push({"Yard", 2, 14, "b"});
  queue.Save();
  queue.Push({"Gate", 3, 14, "c"});
  queue.Save();
  EXPECT_EQ(queue.Pending(), 3u);
  EXPECT_EQ(log.Count("make dir failed"), 2);
  EXPECT_EQ(ReadBytes(File("Alarm")), "not a folder");

  fs::remove(File("Alarm"));
  queue.Save();
  EXPECT_EQ(queue.Pending(), 0u);
  EXPECT_EQ(Lines("Gate"), 2u);
  EXPECT_EQ(Lines("Yard"), 1u);
  std::vector<AlarmLogRecord> records;
  ReadAlarmDayFile(paths::FromNativePath(File("Alarm/2026-1-5/Gate.xml")), records);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].DateTime, "1");  // in their order
  EXPECT_EQ(records[1].DateTime, "3");
}

// One device's file cannot be written (a folder stands in its place, a full
// disk): that device's alarms wait, the others are written, and a full disk
// leaves no part of a line behind.
TEST_F(AlarmLogQueueTest, AFileThatCannotBeWrittenHoldsBackOnlyItsOwnAlarms) {
  LogCapture log(Folder());
  fs::create_directories(File("Alarm/2026-1-5/Gate.xml"));
  fs::create_symlink("/dev/full", File("Alarm/2026-1-5/Full.xml"));
  AlarmLogQueue queue(Options());
  queue.Push({"Gate", 1, 14, "a"});
  queue.Push({"Yard", 2, 14, "b"});
  queue.Push({"Full", 3, 14, "c"});
  queue.Save();
  EXPECT_EQ(queue.Pending(), 2u);
  EXPECT_EQ(Lines("Yard"), 1u);
  EXPECT_EQ(log.Count("write failed"), 2);
  fs::remove(File("Alarm/2026-1-5/Gate.xml"));
  fs::remove(File("Alarm/2026-1-5/Full.xml"));
  queue.Save();
  EXPECT_EQ(queue.Pending(), 0u);
  EXPECT_EQ(Lines("Gate"), 1u);
  EXPECT_EQ(Lines("Full"), 1u);
}

TEST_F(AlarmLogQueueTest, AFullQueueDropsTheNewestAndSaysHowMany) {
  LogCapture log(Folder());
  WriteBytes(File("Alarm"), "not a folder");
  AlarmLogQueue queue(Options(3600 * 1000, 3));
  for (int i = 0; i < 5; ++i) queue.Push({"Gate", i, 14, "a"});
  EXPECT_EQ(queue.Pending(), 3u);
  queue.Save();
  EXPECT_EQ(log.Count("2 alarms were dropped"), 1);
  EXPECT_EQ(queue.Pending(), 3u);
  fs::remove(File("Alarm"));
  queue.Save();
  std::vector<AlarmLogRecord> records;
  ReadAlarmDayFile(paths::FromNativePath(File("Alarm/2026-1-5/Gate.xml")), records);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[2].DateTime, "2");
}

// The worker writes outside the queue's lock: while a batch hangs on the disk
// (a pipe nobody reads yet), alarms are still taken at once.
TEST_F(AlarmLogQueueTest, PushingNeverWaitsForTheDisk) {
  fs::create_directories(File("Alarm/2026-1-5"));
  ASSERT_EQ(mkfifo(File("Alarm/2026-1-5/Pipe.xml").c_str(), 0600), 0);
  AlarmLogQueue queue(Options());
  const std::string info(1000, 'x');
  for (int i = 0; i < 200; ++i) queue.Push({"Pipe", i, 14, info});  // far more than a pipe holds
  std::thread saver([&] { queue.Save(); });
  ASSERT_TRUE(WaitFor([&] { return queue.Pending() == 0; }));  // the batch was taken out

  auto pushed = std::async(std::launch::async, [&] { queue.Push({"Gate", 1, 14, "a"}); });
  const bool quick = pushed.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
  // Read the pipe dry so the batch can end, whatever happened.
  std::ifstream reader(File("Alarm/2026-1-5/Pipe.xml"), std::ios::binary);
  std::string drained((std::istreambuf_iterator<char>(reader)), std::istreambuf_iterator<char>());
  saver.join();
  pushed.wait();
  EXPECT_TRUE(quick) << "a push waited for the disk";
  EXPECT_EQ(queue.Pending(), 1u);
  EXPECT_NE(drained.find("DateTime=\"199\""), std::string::npos);
}
