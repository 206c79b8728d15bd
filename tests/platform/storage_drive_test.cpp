// Free space and "same drive" of storage paths.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/temp_folder.h"
#include "platform/storage_drive.h"

TEST(StorageDrive, FreeSpaceAndDrivesComeFromTheFileSystem) {
  TempFolder temp;
  std::filesystem::create_directories(temp.Path() + "disk/sub");
  uint64_t bytes = 0;
  EXPECT_TRUE(storage::FreeBytes(temp.Path() + "disk", &bytes));
  EXPECT_GT(bytes, 0u);
  // A path without a drive letter is its own drive: while it is missing (a
  // disk not mounted) it has no free space, not that of the disk below it.
  EXPECT_FALSE(storage::FreeBytes(temp.Path() + "unplugged", &bytes));
  EXPECT_FALSE(storage::FreeBytes("", &bytes));
  EXPECT_TRUE(storage::SameDrive(temp.Path() + "disk", temp.Path() + "disk/sub"));
  EXPECT_TRUE(storage::SameDrive(temp.Path() + "disk\\", temp.Path() + "disk\\sub\\"));
  EXPECT_FALSE(storage::SameDrive(temp.Path() + "disk", "/proc"));  // another file system
  EXPECT_FALSE(storage::SameDrive(temp.Path() + "disk", temp.Path() + "unplugged"));
}
