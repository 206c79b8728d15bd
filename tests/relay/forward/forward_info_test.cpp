// The forwarding server's saved settings.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "common/temp_folder.h"
#include "platform/file_api.h"
#include "platform/paths.h"
#include "relay/forward/forward_info.h"

TEST(ForwardInfo, TheSavedAddressIsFoundByItsBeginningFromTheSecondItemOn) {
  const std::vector<std::string> items = {"192.168.1.5", "10.0.0.7", "192.168.1.50", "10.0.0.70"};
  struct Case {
    const char* saved;
    int found;
  };
  const Case cases[] = {
      {"10.0.0.7", 1},       // the beginning of items 1 and 3: the first met from item 1 on
      {"192.168.1.5", 2},    // items 0 and 2: item 0 comes last in the search
      {"192.168.1.50", 2},
      {"10.0.0.70", 3},
      {"172.16.0.1", -1},
      {"", 1},               // everything begins with nothing
  };
  for (const Case& c : cases) EXPECT_EQ(FindAddressByPrefix(items, c.saved), c.found) << c.saved;
  EXPECT_EQ(FindAddressByPrefix({"10.0.0.7"}, "10.0.0.7"), 0);
  EXPECT_EQ(FindAddressByPrefix({}, "10.0.0.7"), -1);
}

TEST(ForwardInfo, TheFileIsReadOrWrittenEmptyInOneBlock) {
  TempFolder folder;
  std::filesystem::create_directories(folder.File("Config"));
  paths::SetProgramFolder(folder.Path());
  const std::string file = folder.File("Config/ForwardInfo.xml");
  ForwardSettings settings;
  EXPECT_FALSE(LoadForwardInfo(&settings));
  std::string written;
  ASSERT_TRUE(fileapi::ReadWhole(file, written));
  EXPECT_EQ(written.size(), kForwardInfoBlockSize);
  EXPECT_EQ(written.substr(0, std::strlen(kForwardInfoEmpty)), kForwardInfoEmpty);

  const std::string text =
      "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<Forwarded>\n<Forward IPAddr=\"10.1.2.3\" Port=\"8899\" "
      "ChannelCount=\"100\" UserCount=\"10\" Running=\"1\" />\n</Forwarded>";
  fileapi::WriteWhole(file, text.data(), text.size());
  ASSERT_TRUE(LoadForwardInfo(&settings));
  EXPECT_EQ(settings.ipAddr, "10.1.2.3");
  EXPECT_EQ(settings.port, "8899");
  EXPECT_EQ(settings.channelCount, "100");
  EXPECT_EQ(settings.userCount, "10");
  EXPECT_EQ(settings.running, 1);
  paths::SetProgramFolder("");
}
