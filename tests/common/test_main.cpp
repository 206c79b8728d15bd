// Test entry: one QApplication (offscreen unless the environment says otherwise)
// for every test of the binary.
//
// The environment is set here, once, before any thread starts, and never again:
// setenv while another thread reads the environment can crash the process. The
// folders the program would take from the user's home (drives, configuration,
// runtime files) point into a scratch folder of this process; a test that wants
// a folder of its own sets it with paths::SetDriveRoot, paths::SetConfigHome or
// regstore::SetFilePath.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "common/temp_folder.h"

// A test binary that needs a time zone of its own defines this (a TZ value);
// the others run in the zone of the machine.
extern "C" const char* const vemo_test_time_zone __attribute__((weak));

int main(int argc, char** argv) {
  if (&vemo_test_time_zone != nullptr) setenv("TZ", vemo_test_time_zone, 1);
  TempFolder scratch;
  for (const char* sub : {"drives", "config", "run"}) std::filesystem::create_directory(scratch.File(sub));
  std::filesystem::permissions(scratch.File("run"), std::filesystem::perms::owner_all);
  setenv("VEMO_DRIVE_ROOT", scratch.File("drives").c_str(), 1);
  setenv("XDG_CONFIG_HOME", scratch.File("config").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", scratch.File("run").c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
