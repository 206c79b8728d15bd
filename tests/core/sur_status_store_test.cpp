#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "core/client_log.h"
#include "core/fixed_text.h"
#include "core/sur_status_store.h"
#include "tests/core/config_test_env.h"

namespace {

class SurStatusStoreTest : public ConfigTest {};

}  // namespace

TEST_F(SurStatusStoreTest, MissingFileGetsTheDefault) {
  LoadRecoverInfo();
  std::string expected =
      "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<RecoverInfo>\n"
      "\t<DispStatus UserName=\"admin\" DispMode=\"4\" />\n</RecoverInfo>";
  expected.resize(2048, '\0');
  EXPECT_EQ(ReadBytes(ConfigFile("Recover.xml")), expected);
  EXPECT_TRUE(g_lstSurStatus.empty());
}

TEST_F(SurStatusStoreTest, EachUserKeepsTheirOwnPanes) {
  InstallFixture("recover.xml", "Recover.xml");
  std::strcpy(g_szCurUser, "admin");
  LoadRecoverInfo();
  ASSERT_EQ(g_lstSurStatus.size(), 2u);
  const SurStatus& first = g_lstSurStatus.front();
  EXPECT_STREQ(first.DevId, "NVR-A");
  EXPECT_EQ(FixedText(first.DevName), Gbk("大门"));
  EXPECT_EQ(first.WndNo, 3);
  EXPECT_EQ(first.MonitorNum, 1);
  EXPECT_EQ(first.DispMode, 9);
  const SurStatus& second = g_lstSurStatus.back();  // missing attributes read as "" or 0
  EXPECT_STREQ(second.DevId, "");
  EXPECT_EQ(second.WndNo, 5);
  EXPECT_EQ(second.DispMode, 0);

  g_lstSurStatus.pop_back();
  g_lstSurStatus.front().WndNo = 11;
  SaveRecoverInfo();
  const std::string saved = ReadBytes(ConfigFile("Recover.xml"));
  EXPECT_EQ(saved.find("DispStatus"), std::string::npos);  // admin's entries are all replaced
  EXPECT_NE(saved.find("<SurStauts UserName=\"" + Gbk("张三") +
                       "\" DevId=\"X\" DevName=\"" + Gbk("后门") +
                       "\" WndNo=\"0\" MonitorNum=\"0\" DispMode=\"4\" />"),
            std::string::npos);
  EXPECT_NE(saved.find("<SurStauts UserName=\"admin\" DevId=\"NVR-A\" DevName=\"" + Gbk("大门") +
                       "\" WndNo=\"11\" MonitorNum=\"1\" DispMode=\"9\" />"),
            std::string::npos);

  g_lstSurStatus.clear();
  std::strcpy(g_szCurUser, Gbk("张三").c_str());
  LoadRecoverInfo();
  ASSERT_EQ(g_lstSurStatus.size(), 1u);
  EXPECT_EQ(FixedText(g_lstSurStatus.front().DevName), Gbk("后门"));
}

TEST_F(SurStatusStoreTest, SaveWithoutAFileWritesNothing) {
  g_lstSurStatus.emplace_back();
  SaveRecoverInfo();
  EXPECT_FALSE(std::filesystem::exists(ConfigFile("Recover.xml")));
}
