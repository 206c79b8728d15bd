// How progress answers move a row of the maintenance page.
#include "settings/maintenance/maint_rows.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using maint::Row;
using maint::Status;
using maint::Transfer;

TEST(MaintRows, ProgressAnswersMoveTheRow) {
  struct Case {
    const char* name;
    Transfer transfer;
    std::vector<LONG> answers;
    Status status;
    int percent;
    bool running;  // after the last answer
  } cases[] = {
      {"rises", Transfer::kFirmware, {0, 10, 55}, Status::kFirmwareUploading, 55, true},
      {"goes backwards", Transfer::kConfigUpload, {40, 20, 30}, Status::kConfigUploading, 40, true},
      {"no news", Transfer::kConfigDownload, {30, -2, -7}, Status::kConfigDownloading, 30, true},
      {"firmware whole", Transfer::kFirmware, {50, 100}, Status::kUpgrading, -1, false},
      {"config whole", Transfer::kConfigUpload, {100}, Status::kConfigUploadSuccess, -1, false},
      {"download whole", Transfer::kConfigDownload, {99, 100}, Status::kConfigDownloadSuccess, -1, false},
      {"firmware failed", Transfer::kFirmware, {10, -1}, Status::kUploadFailed, -1, false},
      {"download failed", Transfer::kConfigDownload, {-1}, Status::kConfigDownloadFailed, -1, false},
      {"past 100", Transfer::kConfigUpload, {20, 101}, Status::kConfigUploading, 20, true},
  };
  for (const Case& c : cases) {
    Row row;
    row.status = maint::RunningStatus(c.transfer);
    bool running = true;
    for (LONG answer : c.answers) running = maint::TakeProgress(row, c.transfer, answer);
    EXPECT_EQ(row.status, c.status) << c.name;
    EXPECT_EQ(row.percent, c.percent) << c.name;
    EXPECT_EQ(running, c.running) << c.name;
  }
}

TEST(MaintRows, AProgressThatStaysFailsAfterTheStallTime) {
  Row row;
  row.status = Status::kConfigUploading;
  ASSERT_TRUE(maint::TakeProgress(row, Transfer::kConfigUpload, 50));
  for (int tick = 1; tick < maint::kStallTicks; ++tick) {
    ASSERT_TRUE(maint::TakeProgress(row, Transfer::kConfigUpload, 50)) << tick;
  }
  EXPECT_FALSE(maint::TakeProgress(row, Transfer::kConfigUpload, 50));
  EXPECT_EQ(row.status, Status::kConfigUploadFailed);

  // A rise starts the count again: a slow transfer that creeps on never stalls.
  Row rising;
  rising.status = Status::kFirmwareUploading;
  for (int tick = 0; tick < 3 * maint::kStallTicks; ++tick) {
    maint::TakeProgress(rising, Transfer::kFirmware, tick % 3 == 0 ? tick / 100 : -2);
  }
  EXPECT_EQ(rising.status, Status::kFirmwareUploading);
}

TEST(MaintRows, FirmwareRunsUntilTheUpgradingDeviceAnswers) {
  std::vector<Row> rows(2);
  rows[0].status = Status::kConfigUploadSuccess;
  rows[1].status = Status::kUpgrading;
  EXPECT_TRUE(maint::StillRunning(rows, Transfer::kFirmware));
  EXPECT_FALSE(maint::StillRunning(rows, Transfer::kConfigUpload));
  rows[1].status = Status::kUpgradeFailed;
  EXPECT_FALSE(maint::StillRunning(rows, Transfer::kFirmware));
  rows[0].status = Status::kConfigDownloading;
  EXPECT_TRUE(maint::StillRunning(rows, Transfer::kConfigDownload));
}

}  // namespace
