// A program folder of its own for the program's tests: a temporary folder with
// the built program's "Lang", "Resources" and "Images" linked in, its own
// drives and registry, and the English string table loaded. The single-instance
// files go to the test process's runtime folder (set by the test entry). Each
// test runs in a process of its own, so the program's globals start fresh.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "common/temp_folder.h"

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the default "UserInfo.xml" and gives "admin" the password `password`;
  // with `autoLogin` the admin's login is saved with its password and
  // automatic login is on.
  void PrepareAccounts(const char* password, bool autoLogin);
  std::string Log() const;  // the client log so far
  static std::string Md5(const char* text);

  TempFolder folder_;
};
