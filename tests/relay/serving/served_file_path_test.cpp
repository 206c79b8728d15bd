// A peer reads only record files inside the record trees of the schemes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/paths.h"
#include "records/search/rec_tree.h"
#include "relay/serving/served_file_path.h"

namespace fs = std::filesystem;

TEST(ServedFilePath, OnlyAviFilesInsideARecordTreeAreServed) {
  RecTree tree;
  const std::string storage = tree.Storage("store");
  tree.AddScheme("", storage + "\\");  // the second path only, with its trailing backslash
  const std::string day = tree.DayFolder(storage, "Cam", "Schedule", 2026, 12, 10);
  RecTree::WriteFile(day + "080000.avi", 100);
  RecTree::WriteFile(day + "notes.txt", 10);
  fs::create_directories(day + "folder.avi");
  const std::string outside = tree.Storage("outside.avi");
  RecTree::WriteFile(outside, 10);
  fs::create_symlink(outside, day + "081000.avi");          // a link that leaves the tree
  fs::create_symlink(day + "080000.avi", day + "082000.avi");  // a link that stays inside
  fs::create_directories(storage + "/Other");
  RecTree::WriteFile(storage + "/Other/090000.avi", 10);   // beside the Record tree

  const std::string dayAnsi = storage + "\\Record\\Cam\\Local\\Schedule\\2026\\12\\10\\";
  struct Case {
    std::string path;
    bool served;
  };
  const Case cases[] = {
      {dayAnsi + "080000.avi", true},
      {day + "080000.avi", true},
      {dayAnsi + "082000.avi", true},
      {dayAnsi + "081000.avi", false},
      {dayAnsi + "notes.txt", false},
      {dayAnsi + "folder.avi", false},
      {dayAnsi + "080000.AVI", false},
      {dayAnsi + "missing.avi", false},
      {dayAnsi + "..\\..\\..\\..\\..\\..\\..\\outside.avi", false},
      {storage + "\\Other\\090000.avi", false},
      {storage + "\\Record\\..\\Other\\090000.avi", false},
      {"/etc/passwd", false},
      {"../../../../etc/passwd", false},
      {"", false},
  };
  for (const Case& c : cases) {
    std::string local;
    EXPECT_EQ(ResolveServedRecordFile(c.path, tree.Schemes(), &local), c.served) << c.path;
    if (c.served) EXPECT_EQ(fs::path(paths::NativePath(local)), fs::canonical(day + "080000.avi")) << c.path;
  }
  EXPECT_FALSE(ResolveServedRecordFile(dayAnsi + "080000.avi", {}, nullptr));  // no scheme: nothing
}
