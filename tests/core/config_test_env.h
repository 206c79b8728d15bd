// A program folder of its own for the configuration store tests: a temporary
// folder with "Config", drives and registry inside it, every global list and
// setting back at its start value, and all of it restored afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "common/temp_folder.h"

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Native path of a file in "Config".
  std::string ConfigFile(const std::string& name) const { return folder_.File("Config/" + name); }
  // The program's path of the same file.
  static std::string ProgramPath(const std::string& name);
  // Copies tests/core/fixtures/<fixture> to Config/<name>.
  void InstallFixture(const std::string& fixture, const std::string& name) const;

  static std::string ReadBytes(const std::string& nativePath);
  static void WriteBytes(const std::string& nativePath, const std::string& bytes);
  static std::string Gbk(const char* utf8);
  // Every global list and setting of the stores back at its start value.
  static void ResetGlobals();

  TempFolder folder_;
};
