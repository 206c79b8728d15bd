#include "core/module_path.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "common/temp_folder.h"
#include "platform/paths.h"

namespace fs = std::filesystem;

TEST(ModulePath, ProgramFileAndFolder) {
  const std::string file = GetModuleFileNameStr();
  ASSERT_FALSE(file.empty());
  EXPECT_NE(file.find("test_core"), std::string::npos);
  const std::string dir = GetModuleDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_EQ(file.compare(0, dir.size(), dir), 0);

  TempFolder temp;
  paths::SetProgramFolder(temp.Path());
  EXPECT_EQ(GetModuleDir(), temp.Path());
  paths::SetProgramFolder("");
  EXPECT_EQ(GetModuleDir(), dir);
}

TEST(CreateDirectoryTree, NestedExistingAndTrailingSeparator) {
  TempFolder temp;
  // Backslashes and slashes alike, trailing separator dropped.
  EXPECT_TRUE(CreateDirectoryTree(temp.Path() + "a\\b\\c\\"));
  EXPECT_TRUE(fs::is_directory(temp.File("a/b/c")));
  EXPECT_TRUE(CreateDirectoryTree(temp.Path() + "x/y/z"));
  EXPECT_TRUE(fs::is_directory(temp.File("x/y/z")));

  // An existing folder is left as it is, content included.
  std::FILE* f = std::fopen(temp.File("a/b/keep.txt").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_TRUE(CreateDirectoryTree(temp.Path() + "a\\b"));
  EXPECT_TRUE(fs::exists(temp.File("a/b/keep.txt")));

  // A folder cannot be made below a file.
  EXPECT_FALSE(CreateDirectoryTree(temp.Path() + "a/b/keep.txt/sub"));
  EXPECT_TRUE(CreateDirectoryTree("/"));
}

TEST(CreateDirectoryTree, DriveRootLeftAloneLogFolderCreated) {
  TempFolder temp;
  paths::SetDriveRoot(temp.Path());

  EXPECT_TRUE(CreateDirectoryTree("D:\\"));
  EXPECT_FALSE(fs::exists(temp.File("D")));
  EXPECT_TRUE(CreateDirectoryTree("D:\\Vemo-Log\\"));
  EXPECT_TRUE(fs::is_directory(temp.File("D/Vemo-Log")));
  EXPECT_TRUE(DirectoryExists("D:\\Vemo-Log"));
  paths::SetDriveRoot("");
}

TEST(DirectoryExists, FoldersOnly) {
  TempFolder temp;
  std::FILE* f = std::fopen(temp.File("file").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_TRUE(DirectoryExists(temp.Path().c_str()));
  EXPECT_FALSE(DirectoryExists(temp.File("file").c_str()));
  EXPECT_FALSE(DirectoryExists(temp.File("missing").c_str()));
  EXPECT_FALSE(DirectoryExists(nullptr));
  EXPECT_FALSE(DirectoryExists(""));
}
