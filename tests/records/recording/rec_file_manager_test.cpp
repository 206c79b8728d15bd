// The record housekeeping thread on a temporary record tree, with free space
// under the test's control.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "clipta/record_file_writer.h"
#include "rec_test_support.h"
#include "records/recording/rec_file_manager.h"

namespace fs = std::filesystem;

namespace {

class Housekeeper : public CRecFileManager {
 public:
  explicit Housekeeper(FakeRecEnvironment& env) : CRecFileManager(nullptr, &env) {}
  void RunCycle() { Cycle(); }
};

class HousekeepingTest : public ::testing::Test, public RecListsFixture {
 protected:
  void SetUp() override { env_.now = RecNowLocal(2026, 3, 8, 12, 0, 0); }

  std::string Root(const char* path) { return temp_.Path() + path; }
  std::string Day(const char* path, const char* device, const char* kind, int y, int m, int d) {
    return Root(path) + "/Record/" + device + "/Local/" + kind + "/" + std::to_string(y) + "/" + std::to_string(m) +
           "/" + std::to_string(d);
  }
  // A day folder with `files` record files of 1 KiB.
  std::string MakeDay(const char* path, const char* device, const char* kind, int y, int m, int d, int files) {
    const std::string folder = Day(path, device, kind, y, m, d);
    fs::create_directories(folder);
    for (int i = 0; i < files; ++i) {
      std::ofstream(folder + "/1200" + std::to_string(10 + i) + "-vv1.avi") << std::string(1024, 'x');
    }
    return folder;
  }
  // Free space that grows by one GiB for every record file deleted under the temp folder.
  void FreeGrowsWithDeletions(uint64_t baseGiB) {
    const int initial = CountFiles();
    env_.freeOf = [this, baseGiB, initial](const std::string&) {
      return (baseGiB + static_cast<uint64_t>(initial - CountFiles())) * kGiB;
    };
  }
  int CountFiles() {
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(temp_.Path())) {
      count += entry.is_regular_file() && entry.path().extension() == ".avi";
    }
    return count;
  }
  RecSchemeInfo& Overwrite(const char* name, std::vector<std::string> paths, std::vector<const char*> devices) {
    RecSchemeInfo& scheme = AddScheme(name, 0, paths);
    scheme.StorageScheme = 1;
    for (const char* device : devices) {
      DevInfo dev;
      std::snprintf(dev.DevName, sizeof dev.DevName, "%s", device);
      AddDevice(scheme, dev);
    }
    return scheme;
  }

  TempFolder temp_;
  LogCapture log_;
  FakeRecEnvironment env_;
  Housekeeper keeper_{env_};
};

TEST_F(HousekeepingTest, DeletesExactlyTheOldestDaysUntilTwentyGiBAreFree) {
  Overwrite("Keep", {Root("p1")}, {"Cam1", "Cam2"});
  MakeDay("p1", "Cam1", "Schedule", 2026, 1, 5, 2);
  MakeDay("p1", "Cam2", "Motion", 2026, 1, 6, 1);
  MakeDay("p1", "Cam1", "IO", 2026, 2, 1, 3);
  MakeDay("p1", "Cam1", "Schedule", 2026, 3, 8, 1);
  // Not the housekeeper's: a stray file, implausible years, another device.
  std::ofstream(Root("p1") + "/Record/notes.txt") << "keep";
  MakeDay("p1", "Cam1", "Schedule", 1000, 1, 1, 1);
  fs::create_directories(Root("p1") + "/Record/Cam1/Local/Schedule/abc/1/1");
  MakeDay("p1", "Other", "Schedule", 2020, 1, 1, 1);
  FreeGrowsWithDeletions(17);

  keeper_.RunCycle();
  EXPECT_FALSE(fs::exists(Day("p1", "Cam1", "Schedule", 2026, 1, 5)));
  EXPECT_FALSE(fs::exists(Day("p1", "Cam2", "Motion", 2026, 1, 6)));
  EXPECT_TRUE(fs::exists(Day("p1", "Cam1", "IO", 2026, 2, 1) + "/120012-vv1.avi"));  // 20 GiB were free before it
  EXPECT_TRUE(fs::exists(Day("p1", "Cam1", "Schedule", 2026, 3, 8) + "/120010-vv1.avi"));
  EXPECT_TRUE(fs::exists(Root("p1") + "/Record/notes.txt"));
  EXPECT_TRUE(fs::exists(Day("p1", "Cam1", "Schedule", 1000, 1, 1) + "/120010-vv1.avi"));
  EXPECT_TRUE(fs::exists(Root("p1") + "/Record/Cam1/Local/Schedule/abc/1/1"));
  EXPECT_TRUE(fs::exists(Day("p1", "Other", "Schedule", 2020, 1, 1)));
  // Paths 2 and 3 are not set: their (empty) drives are equal, so the two-figure text.
  EXPECT_EQ(log_.Count("CRecFileManager:the storage space less than 20G,delete the old record file...disk1FreeBytes=18253611008,disk2FreeBytes=0"), 1);
  EXPECT_EQ(log_.Count("delete the old record file...disk1FreeBytes=20401094656,disk2FreeBytes=0"), 1);
  EXPECT_EQ(log_.Count("CRecFileManager: delete file = "), 3);
}

TEST_F(HousekeepingTest, FreeSpaceOfSharedDrivesCountsOnce) {
  struct Case {
    const char* name;
    std::vector<std::string> drives;  // drive of paths 1 to 3; "" = path not set
    std::vector<uint64_t> freeGiB;
    bool deletes;
  } cases[] = {
      {"three drives, 8 + 6 + 5 = 19", {"D", "E", "F"}, {8, 6, 5}, true},
      {"three drives, 8 + 7 + 5 = 20", {"D", "E", "F"}, {8, 7, 5}, false},
      {"two paths on one drive with 15", {"D", "D", ""}, {15, 15, 0}, true},
      {"three paths on one drive with 15 each", {"D", "D", "D"}, {15, 15, 15}, true},
      {"paths 1 and 3 share a drive: 15 + 6", {"D", "E", "D"}, {15, 6, 15}, false},
      {"paths 2 and 3 share a drive: 10 + 9", {"D", "E", "E"}, {10, 9, 9}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecListsFixture lists;
    TempFolder temp;
    FakeRecEnvironment env;
    env.now = env_.now;
    std::vector<std::string> paths;
    for (size_t i = 0; i < 3; ++i) {
      if (c.drives[i].empty()) {
        paths.push_back("");
        continue;
      }
      paths.push_back(temp.Path() + "p" + std::to_string(i + 1));
      env.drives[paths.back()] = c.drives[i];
      env.freeBytes[paths.back()] = c.freeGiB[i] * kGiB;
    }
    Overwrite("Keep", paths, {"Cam1"});
    const std::string old = paths[0] + "/Record/Cam1/Local/Schedule/2026/1/5";
    fs::create_directories(old);
    Housekeeper keeper(env);
    keeper.RunCycle();
    EXPECT_EQ(!fs::exists(old), c.deletes);
  }
}

TEST_F(HousekeepingTest, OnlyOverwriteSchemesThatAreOnAreCleaned) {
  RecSchemeInfo& stop = Overwrite("Stop", {Root("p1")}, {"Cam1"});
  stop.StorageScheme = 0;
  RecSchemeInfo& off = Overwrite("Off", {Root("p2")}, {"Cam2"});
  off.OnOff = 0;
  MakeDay("p1", "Cam1", "Schedule", 2026, 1, 5, 1);
  MakeDay("p2", "Cam2", "Schedule", 2026, 1, 5, 1);
  env_.defaultFree = 0;
  keeper_.RunCycle();
  EXPECT_TRUE(fs::exists(Day("p1", "Cam1", "Schedule", 2026, 1, 5)));
  EXPECT_TRUE(fs::exists(Day("p2", "Cam2", "Schedule", 2026, 1, 5)));
}

// Deletion reaches today: today's closed files go, the file being written and
// today's folder stay; a folder of the same day number in an earlier month is
// emptied but kept.
TEST_F(HousekeepingTest, TodaysFolderAndTheFileBeingWrittenStay) {
  Overwrite("Keep", {Root("p1")}, {"Cam1"});
  const std::string earlier = MakeDay("p1", "Cam1", "Schedule", 2026, 2, 8, 2);
  const std::string today = MakeDay("p1", "Cam1", "Schedule", 2026, 3, 8, 2);
  RecordFileWriter writer;
  recordfile::Media media;
  media.width = 16;
  media.height = 16;
  ASSERT_TRUE(writer.Open(today + "/120500-vv1.avi", media));
  env_.defaultFree = 0;
  keeper_.RunCycle();
  EXPECT_TRUE(fs::is_directory(earlier));
  EXPECT_TRUE(fs::is_empty(earlier));
  EXPECT_TRUE(fs::is_directory(today));
  EXPECT_FALSE(fs::exists(today + "/120010-vv1.avi"));
  EXPECT_TRUE(fs::exists(today + "/120500-vv1.avi"));
  EXPECT_EQ(log_.Count("CRecFileManager: delete file failed = "), 1);
}

// A link inside the tree is removed as a link: what it points to stays.
TEST_F(HousekeepingTest, LinksAreDeletedNotFollowed) {
  Overwrite("Keep", {Root("p1")}, {"Cam1"});
  const std::string day = MakeDay("p1", "Cam1", "Schedule", 2026, 1, 5, 1);
  fs::create_directories(Root("elsewhere"));
  std::ofstream(Root("elsewhere") + "/precious.txt") << "keep";
  fs::create_directory_symlink(Root("elsewhere"), day + "/link");
  env_.defaultFree = 0;
  keeper_.RunCycle();
  EXPECT_FALSE(fs::exists(day));
  EXPECT_TRUE(fs::exists(Root("elsewhere") + "/precious.txt"));
}

TEST_F(HousekeepingTest, OldestDaySearchRemovesEmptyYearsAndMonthsOnTheWay) {
  RecSchemeInfo& scheme = Overwrite("Keep", {Root("p1")}, {"Cam1"});
  const std::string kind = Root("p1") + "/Record/Cam1/Local/Schedule";
  fs::create_directories(kind + "/2025");
  MakeDay("p1", "Cam1", "Schedule", 2026, 2, 3, 1);
  MakeDay("p1", "Cam1", "Schedule", 2027, 1, 1, 1);
  // The empty year is removed; its last day stands for it this time.
  EXPECT_EQ(keeper_.FindOldestRecordDay(scheme), (RecDate{2025, 12, 31}));
  EXPECT_FALSE(fs::exists(kind + "/2025"));
  fs::create_directories(kind + "/2026/1");
  EXPECT_EQ(keeper_.FindOldestRecordDay(scheme), (RecDate{2026, 1, 31}));  // 2026/1 has no days: removed
  EXPECT_FALSE(fs::exists(kind + "/2026/1"));
  EXPECT_EQ(keeper_.FindOldestRecordDay(scheme), (RecDate{2026, 2, 3}));
  EXPECT_EQ(log_.Count("Remove empty directory: "), 2);
}

TEST_F(HousekeepingTest, DriveWithoutAFreeSpaceFigureTakesNoPart) {
  Overwrite("Keep", {Root("p1")}, {"Cam1"});
  MakeDay("p1", "Cam1", "Schedule", 2026, 1, 5, 1);
  env_.freeBytes[Root("p1")] = std::nullopt;
  keeper_.RunCycle();
  EXPECT_TRUE(fs::exists(Day("p1", "Cam1", "Schedule", 2026, 1, 5)));
  EXPECT_EQ(log_.Count("CRecFileManager: Can't read the free space of the storage path"), 1);
}

// A scheme short of space also deletes the day kept by other overwrite schemes
// on its drive; stop-when-full schemes and other drives keep theirs.
TEST_F(HousekeepingTest, OldDaysGoForEveryOverwriteSchemeOnTheSameDrive) {
  env_.drives[Root("p1")] = "D";
  env_.drives[Root("p2")] = "D";
  env_.drives[Root("p3")] = "E";
  Overwrite("A", {Root("p1")}, {"Cam1"});
  Overwrite("B", {Root("p2")}, {"Cam2"});
  RecSchemeInfo& stop = Overwrite("C", {Root("p2")}, {"Cam3"});
  stop.StorageScheme = 0;
  Overwrite("D", {Root("p3")}, {"Cam4"});
  MakeDay("p1", "Cam1", "Schedule", 2026, 1, 5, 1);
  MakeDay("p2", "Cam2", "Schedule", 2026, 1, 5, 1);
  MakeDay("p2", "Cam3", "Schedule", 2026, 1, 5, 1);
  MakeDay("p3", "Cam4", "Schedule", 2026, 1, 5, 1);
  env_.freeBytes[Root("p1")] = 1 * kGiB;
  env_.freeBytes[Root("p2")] = 1 * kGiB;
  keeper_.RunCycle();
  EXPECT_FALSE(fs::exists(Day("p1", "Cam1", "Schedule", 2026, 1, 5)));
  EXPECT_FALSE(fs::exists(Day("p2", "Cam2", "Schedule", 2026, 1, 5)));
  EXPECT_TRUE(fs::exists(Day("p2", "Cam3", "Schedule", 2026, 1, 5)));
  EXPECT_TRUE(fs::exists(Day("p3", "Cam4", "Schedule", 2026, 1, 5)));
}

}  // namespace
