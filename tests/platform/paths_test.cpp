#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/file_api.h"
#include "platform/paths.h"

namespace {

class DriveRoot {
 public:
  explicit DriveRoot(const std::string& root) { paths::SetDriveRoot(root); }
  ~DriveRoot() { paths::SetDriveRoot(""); }
};

// An environment of its own: variable name -> value.
paths::EnvLookup Env(std::map<std::string, std::string> values) {
  return [values = std::move(values)](const char* name) -> const char* {
    auto it = values.find(name);
    return it == values.end() ? nullptr : it->second.c_str();
  };
}

TEST(Paths, WindowsFormPathsMapToNativePaths) {
  DriveRoot root("/srv/drives/");
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"D:\\Vemo-Log\\clientlog.txt", "/srv/drives/D/Vemo-Log/clientlog.txt"},
      {"d:\\", "/srv/drives/D/"},
      {"E:Record", "/srv/drives/E/Record"},
      {"/opt/vemo/Config\\DevInfo.xml", "/opt/vemo/Config/DevInfo.xml"},
      {"Config\\UserInfo.xml", "Config/UserInfo.xml"},
      {"/x/\xD5\xC5\xC8\xFD", "/x/张三"},
  };
  for (const Case& c : cases) EXPECT_EQ(paths::NativePath(c.in), c.out) << c.in;
}

// A storage path as the user chose it, and a name below it: one separator
// between them, however the path ends.
TEST(Paths, AChildPathHasOneSeparatorAfterItsFolder) {
  struct Case {
    const char* folder;
    const char* child;
  } cases[] = {
      {"D:\\", "D:\\Record"},
      {"E:\\Video\\", "E:\\Video\\Record"},
      {"/srv/video/", "/srv/video/Record"},
      {"E:\\Video", "E:\\Video\\Record"},
      {"/srv/video", "/srv/video\\Record"},
      {"", "\\Record"},
      // "\x81\x5C" is one GBK character: its second byte is no separator.
      {"D:\\\x81\x5C", "D:\\\x81\x5C\\Record"},
      {"D:\\\x81\x5C\\", "D:\\\x81\x5C\\Record"},
  };
  DriveRoot root("/srv/drives");
  for (const Case& c : cases) {
    EXPECT_EQ(paths::ChildPath(c.folder, "Record"), c.child) << c.folder;
  }
  EXPECT_EQ(paths::NativePath(paths::ChildPath("D:\\", "Record")), "/srv/drives/D/Record");
  EXPECT_EQ(paths::NativePath(paths::ChildPath("E:\\Video\\", "Record")), "/srv/drives/E/Video/Record");
}

TEST(Paths, DriveRootAndConfigHomeFollowTheEnvironment) {
  struct Case {
    std::map<std::string, std::string> env;
    const char* driveRoot;
    const char* configHome;
  } cases[] = {
      {{{"VEMO_DRIVE_ROOT", "/srv/drives/"}, {"XDG_DATA_HOME", "/d"}, {"XDG_CONFIG_HOME", "/c"}, {"HOME", "/h"}},
       "/srv/drives", "/c"},
      {{{"VEMO_DRIVE_ROOT", ""}, {"XDG_DATA_HOME", "/d"}, {"HOME", "/h"}}, "/d/vemo/drives", "/h/.config"},
      {{{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}}, "/h/.local/share/vemo/drives", "/h/.config"},
      {{}, "/tmp/.local/share/vemo/drives", "/tmp/.config"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(paths::DriveRoot(Env(c.env)), c.driveRoot);
    EXPECT_EQ(paths::ConfigHome(Env(c.env)), c.configHome);
  }
  // The process's own: the environment it started with, until a folder is set.
  EXPECT_EQ(paths::DriveRoot(), paths::DriveRoot(paths::ProcessEnv));
  paths::SetConfigHome("/tmp/cfg/");
  EXPECT_EQ(paths::ConfigHome(), "/tmp/cfg");
  paths::SetConfigHome("");
  EXPECT_EQ(paths::ConfigHome(), paths::ConfigHome(paths::ProcessEnv));
}

TEST(Paths, ProgramFolderIsTheExecutablesFolderUnlessSet) {
  std::string folder = paths::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(paths::ProgramFile().rfind(folder, 0), 0u);
  paths::SetProgramFolder("/tmp/prog");
  EXPECT_EQ(paths::ProgramFolder(), "/tmp/prog/");
  paths::SetProgramFolder("");
  EXPECT_EQ(paths::ProgramFolder(), folder);
}

TEST(FileApi, WriteWholeReplacesContentAndLeavesNoTemporaryFile) {
  TempFolder dir;
  const std::string file = dir.File("a.xml");
  ASSERT_TRUE(fileapi::WriteWhole(file, "old", 3));
  ASSERT_TRUE(fileapi::WriteWhole(file, "new content", 11));
  std::string text;
  ASSERT_TRUE(fileapi::ReadWhole(file, text));
  EXPECT_EQ(text, "new content");
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST(FileApi, FailedWriteKeepsNothingAndReportsFailure) {
  TempFolder dir;
  EXPECT_FALSE(fileapi::WriteWhole(dir.File("missing/a.xml"), "x", 1));
  std::string text;
  EXPECT_FALSE(fileapi::ReadWhole(dir.File("missing/a.xml"), text));
  EXPECT_EQ(fileapi::Size(dir.File("nothing")), -1);
}

TEST(FileApi, DirectoriesAndRenames) {
  TempFolder dir;
  EXPECT_TRUE(fileapi::MakeDirectory(dir.File("sub")));
  EXPECT_TRUE(fileapi::MakeDirectory(dir.File("sub")));  // already there
  EXPECT_TRUE(fileapi::IsDirectory(dir.File("sub")));
  EXPECT_FALSE(fileapi::MakeDirectory(dir.File("no/such/parent")));
  ASSERT_TRUE(fileapi::WriteWhole(dir.File("sub\\f.txt"), "1", 1));
  EXPECT_TRUE(fileapi::Rename(dir.File("sub\\f.txt"), dir.File("g.txt")));
  EXPECT_TRUE(fileapi::Exists(dir.File("g.txt")));
  EXPECT_FALSE(fileapi::IsDirectory(dir.File("g.txt")));
  EXPECT_TRUE(fileapi::Remove(dir.File("g.txt")));
  EXPECT_FALSE(fileapi::Exists(dir.File("g.txt")));
}

TEST(FileApi, FindFilesListsAFolderByMask) {
  TempFolder dir;
  std::filesystem::create_directory(dir.File("sub.avi"));
  for (const char* name : {"a.avi", "b.AVI", "c.txt", "\xD5\xC5.avi"}) {
    ASSERT_TRUE(fileapi::WriteWhole(dir.File(name), "12345", 5));
  }
  auto list = [](const std::string& pattern) {
    std::vector<std::string> names;
    const bool found = fileapi::FindFiles(pattern, [&](const fileapi::FoundEntry& e) {
      names.push_back(e.Name() + (e.IsDirectory() ? "/" : ":" + std::to_string(e.Size())));
    });
    std::sort(names.begin(), names.end());
    if (!found) names.push_back("(no folder)");
    return names;
  };
  using Names = std::vector<std::string>;
  // A name in Chinese comes back as GBK text.
  EXPECT_EQ(list(dir.Path() + "*.*"), (Names{"a.avi:5", "b.AVI:5", "c.txt:5", "sub.avi/", "\xD5\xC5.avi:5"}));
  EXPECT_EQ(list(dir.Path() + "*"), list(dir.Path() + "*.*"));
  EXPECT_EQ(list(dir.Path() + "*.avi"), (Names{"a.avi:5", "sub.avi/", "\xD5\xC5.avi:5"}));
  EXPECT_EQ(list(dir.Path() + "?.*"), (Names{"a.avi:5", "b.AVI:5", "c.txt:5", "\xD5\xC5.avi:5"}));
  EXPECT_EQ(list(dir.File("missing\\*.*")), (Names{"(no folder)"}));
}

}  // namespace
