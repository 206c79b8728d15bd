// Configuration files as other programs, systems and accidents leave them never
// crash a reader and never lose what they hold: a file cut short either parses
// or is replaced by its default document (the cut file kept as <file>.bad); a
// folder under the file's name counts as a file that cannot be read; a file
// saved as UTF-8 with a byte-order mark reads as the same records; and a file
// that cannot be parsed stays as it is when its copy cannot be made.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/rec_scheme_store.h"
#include "core/sur_status_store.h"
#include "core/user_info_store.h"
#include "platform/codepage.h"
#include "tests/core/config_test_env.h"

namespace {

struct Case {
  const char* fixture;
  const char* file;
  std::function<int()> load;  // -1 when the reader could not read the file
  std::function<void()> save;
};

int LoadRec() {
  LoadRecInfo();
  return 0;
}
int LoadRecover() {
  LoadRecoverInfo();
  return 0;
}

const Case kCases[] = {
    {"dev_info.xml", "DevInfo.xml", LoadDevInfo, SaveDevInfo},
    {"user_info.xml", "UserInfo.xml", LoadUserInfo, SaveUserInfo},
    {"rec_info.xml", "RecInfo.xml", LoadRec, SaveRecInfo},
    {"recover.xml", "Recover.xml", LoadRecover, SaveRecoverInfo},
};

class ConfigTruncationTest : public ConfigTest, public ::testing::WithParamInterface<int> {};

// The same cases for the other faults, with the client log in a file of the test.
class ConfigFileFaultTest : public ConfigTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    ASSERT_EQ(OpenLogFile(folder_.File("test.log").c_str()), 0);
  }
  const Case& Current() const { return kCases[GetParam()]; }
  std::string Log() const { return ReadBytes(folder_.File("test.log")); }
};

std::string CaseName(const ::testing::TestParamInfo<int>& info) {
  std::string name = kCases[info.param].file;
  return name.substr(0, name.find('.'));
}

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

TEST_P(ConfigFileFaultTest, AFolderInPlaceOfTheFileIsAFileThatCannotBeRead) {
  const Case& c = Current();
  std::filesystem::create_directory(ConfigFile(c.file));
  // A folder of more than one block: on ext4 it is indexed, and its seek to the
  // end then reports a size near the largest offset.
  for (int i = 0; i < 200; ++i) {
    std::ofstream(ConfigFile(std::string(c.file) + "/an entry with a long name to fill the folder " + std::to_string(i)));
  }
  // Read twice, as at start-up: no default can take the folder's place.
  c.load();
  c.load();
  EXPECT_TRUE(std::filesystem::is_directory(ConfigFile(c.file)));
  EXPECT_NE(Log().find("cannot be read"), std::string::npos);
  c.save();  // the writer finds nothing to load either and writes nothing
  EXPECT_TRUE(std::filesystem::is_directory(ConfigFile(c.file)));
  EXPECT_NE(Log().find("Failed to load file"), std::string::npos);
}

TEST_P(ConfigFileFaultTest, AUtf8FileWithAByteOrderMarkHoldsTheSameRecordsAndIsWrittenBackAsGbk) {
  const Case& c = Current();
  // What the program's own file holds, as its writer puts it.
  InstallFixture(c.fixture, c.file);
  c.load();
  c.save();
  const std::string expected = ReadBytes(ConfigFile(c.file));
  const std::string gbkFixture = ReadBytes(std::string(VEMO_TEST_SOURCE_DIR) + "/core/fixtures/" + c.fixture);

  enum Form { kDeclaredGbk, kDeclaredUtf8, kCrLf };
  for (const Form form : {kDeclaredGbk, kDeclaredUtf8, kCrLf}) {
    SCOPED_TRACE(form == kDeclaredGbk ? "declared gb2312" : form == kDeclaredUtf8 ? "declared UTF-8" : "CR LF line ends");
    CloseLogFile();
    ResetGlobals();
    ASSERT_EQ(OpenLogFile(folder_.File("test.log").c_str()), 0);
    std::string utf8 = "\xEF\xBB\xBF" + codepage::GbkToUtf8(gbkFixture);
    if (form == kDeclaredUtf8) utf8.replace(utf8.find("gb2312"), 6, "UTF-8");
    if (form == kCrLf) {
      for (size_t at = utf8.find('\n'); at != std::string::npos; at = utf8.find('\n', at + 2)) utf8.insert(at, "\r");
    }
    WriteBytes(ConfigFile(c.file), utf8);

    EXPECT_EQ(c.load(), 0);
    const std::string written = ReadBytes(ConfigFile(c.file));
    EXPECT_EQ(written.rfind("<?xml version=\"1.0\" encoding=\"gb2312\" ?>", 0), 0u) << "no mark, the usual declaration";
    EXPECT_EQ(codepage::GbkToUtf8(written).find("\xEF\xBF\xBD"), std::string::npos) << "GBK text throughout";
    EXPECT_FALSE(std::filesystem::exists(ConfigFile(std::string(c.file) + ".bad")));
    c.save();
    EXPECT_EQ(ReadBytes(ConfigFile(c.file)), expected);
  }
}

// A UTF-8 file cut inside a character ends in a lead byte whose character
// would run past the file's last byte: the reader stops at the end.
TEST_P(ConfigFileFaultTest, AUtf8FileCutInsideACharacterIsReadNoFurtherThanItsEnd) {
  const Case& c = Current();
  const std::string utf8 =
      "\xEF\xBB\xBF" + codepage::GbkToUtf8(ReadBytes(std::string(VEMO_TEST_SOURCE_DIR) + "/core/fixtures/" + c.fixture));
  size_t lead = 3;
  while (lead < utf8.size() && (static_cast<unsigned char>(utf8[lead]) & 0xE0) != 0xE0) ++lead;
  ASSERT_LT(lead, utf8.size()) << "the fixture holds a character of three bytes";
  for (const size_t keep : {lead + 1, lead + 2}) {
    const std::string cut = utf8.substr(0, keep);
    WriteBytes(ConfigFile(c.file), cut);
    std::filesystem::remove(ConfigFile(std::string(c.file) + ".bad"));
    c.load();
    // A cut file cannot be parsed: it is kept, and the default takes its place.
    EXPECT_EQ(ReadBytes(ConfigFile(std::string(c.file) + ".bad")), cut) << keep;
    EXPECT_NE(ReadBytes(ConfigFile(c.file)), cut) << keep;
  }
}

TEST_P(ConfigFileFaultTest, AnUnparsableFileStaysWhenItsCopyCannotBeMade) {
  const Case& c = Current();
  const std::string damaged = ReadBytes(std::string(VEMO_TEST_SOURCE_DIR) + "/core/fixtures/" + c.fixture).substr(0, 200);
  WriteBytes(ConfigFile(c.file), damaged);
  std::filesystem::create_directory(ConfigFile(std::string(c.file) + ".bad"));  // no file can be written there
  c.load();
  c.load();
  EXPECT_EQ(ReadBytes(ConfigFile(c.file)), damaged);
  EXPECT_NE(Log().find("no copy"), std::string::npos);

  // Once the copy can be made, the default takes the file's place as always.
  std::filesystem::remove(ConfigFile(std::string(c.file) + ".bad"));
  c.load();
  EXPECT_EQ(ReadBytes(ConfigFile(std::string(c.file) + ".bad")), damaged);
  EXPECT_NE(ReadBytes(ConfigFile(c.file)), damaged);
}

INSTANTIATE_TEST_SUITE_P(AllFiles, ConfigFileFaultTest, ::testing::Range(0, 4), CaseName);
