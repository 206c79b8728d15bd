// Configuration files cut short (as a crash of another program or a full disk
// leaves them) never crash a reader: each either parses or is replaced by its
// default document, the cut file kept beside it as <file>.bad.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "core/dev_info_store.h"
#include "core/rec_scheme_store.h"
#include "core/sur_status_store.h"
#include "core/user_info_store.h"
#include "tests/core/config_test_env.h"

namespace {

struct Case {
  const char* fixture;
  const char* file;
  std::function<int()> load;  // -1 when the reader replaced the file
};

int LoadRec() {
  LoadRecInfo();
  return 0;
}
int LoadRecover() {
  LoadRecoverInfo();
  return 0;
}

class ConfigTruncationTest : public ConfigTest, public ::testing::WithParamInterface<int> {};

const Case kCases[] = {
    {"dev_info.xml", "DevInfo.xml", LoadDevInfo},
    {"user_info.xml", "UserInfo.xml", LoadUserInfo},
    {"rec_info.xml", "RecInfo.xml", LoadRec},
    {"recover.xml", "Recover.xml", LoadRecover},
};

}  // namespace

TEST_P(ConfigTruncationTest, EveryCutEitherParsesOrIsReplacedAndKept) {
  const Case& c = kCases[GetParam()];
  InstallFixture(c.fixture, c.file);
  const std::string whole = ReadBytes(ConfigFile(c.file));
  for (size_t cut = 0; cut < whole.size(); cut += 97) {
    const std::string part = whole.substr(0, cut);
    WriteBytes(ConfigFile(c.file), part);
    std::filesystem::remove(ConfigFile(std::string(c.file) + ".bad"));
    c.load();
    const std::string now = ReadBytes(ConfigFile(c.file));
    if (now != part) {
      // Replaced by the default block; the cut file is kept unless it was empty.
      EXPECT_EQ(now.size() % 1024, 0u) << "cut at " << cut;
      if (!part.empty()) {
        EXPECT_EQ(ReadBytes(ConfigFile(std::string(c.file) + ".bad")), part) << "cut at " << cut;
      }
      c.load();  // the default reads back
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllFiles, ConfigTruncationTest, ::testing::Range(0, 4));
