#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/rec_scheme_store.h"
#include "tests/core/config_test_env.h"

namespace {

class RecSchemeStoreTest : public ConfigTest {
 protected:
  void AddDevice(const std::string& name, const char* devId, int devType, int port) {
    DevInfo d;
    std::strcpy(d.DevName, name.c_str());
    std::strcpy(d.DevId, devId);
    d.DevType = devType;
    d.VideoPort = port;
    g_lstDevInfo.push_back(d);
  }
};

}  // namespace

TEST_F(RecSchemeStoreTest, MissingFileGetsTheDefaultAndNoSchemes) {
  LoadRecInfo();
  std::string expected = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<RecInfo />";
  expected.resize(2048, '\0');
  EXPECT_EQ(ReadBytes(ConfigFile("RecInfo.xml")), expected);
  EXPECT_TRUE(g_lstRecSchemeInfo.empty());
  LoadRecInfo();
  EXPECT_TRUE(g_lstRecSchemeInfo.empty());
}

TEST_F(RecSchemeStoreTest, HandWrittenFileLoadsAndBindsDevicesByTheRules) {
  AddDevice(Gbk("大门"), "NVR-A", 4, 1);  // an NVR record never binds by name alone
  AddDevice(Gbk("大门"), "CAM", 1, 2);
  AddDevice(Gbk("通道"), "NVR-A", 4, 3);
  AddDevice(Gbk("通道"), "NVR-B", 4, 4);  // bound by DevId, NVR or not
  InstallFixture("rec_info.xml", "RecInfo.xml");
  setlocale(LC_ALL, "C.UTF-8");
  LoadRecInfo();
  ASSERT_EQ(g_lstRecSchemeInfo.size(), 1u);
  const RecSchemeInfo& s = *g_lstRecSchemeInfo.front();
  EXPECT_EQ(FixedText(s.SchemeName), Gbk("白天"));
  EXPECT_EQ(FixedText(s.StoragePath1), Gbk("D:\\录像\\"));
  EXPECT_STREQ(s.StoragePath2, "E:\\");
  EXPECT_STREQ(s.StoragePath3, "");
  EXPECT_EQ(s.SaveDate, 30);
  EXPECT_EQ(s.StorageScheme, 1);
  EXPECT_EQ(s.StartType, 0);
  EXPECT_EQ(s.OnOff, 1);
  EXPECT_EQ(s.PreRecTime, 5);
  EXPECT_EQ(s.RecFileTime, 600);
  EXPECT_EQ(s.DetRecTime, 20);
  EXPECT_EQ(s.RecAudio, 1);
  EXPECT_EQ(s.RecStreamType, 1);
  std::vector<int> ports;
  for (const DevInfo& d : s.lstDev) ports.push_back(d.VideoPort);
  EXPECT_EQ(ports, (std::vector<int>{2, 4}));  // the unknown device is dropped
  ASSERT_EQ(s.lstRecTime.size(), 2u);
  const RecTime& first = s.lstRecTime.front();
  EXPECT_EQ(first.TimeDuration, 1);
  EXPECT_EQ(first.DayOfWeek, 8);
  EXPECT_EQ(first.StartTime, TimeOfDay::FromHms(8, 5, 9));
  EXPECT_EQ(first.EndTime, TimeOfDay::FromHms(18, 30, 15));  // the date part is ignored
  EXPECT_EQ(s.lstRecTime.back().StartTime, TimeOfDay::FromHms(0, 0, 0));
  EXPECT_EQ(s.lstRecTime.back().EndTime, TimeOfDay::FromHms(23, 59, 59));
  setlocale(LC_ALL, "C");

  // The list is appended to, not emptied.
  LoadRecInfo();
  EXPECT_EQ(g_lstRecSchemeInfo.size(), 2u);
}

TEST_F(RecSchemeStoreTest, SchemesRoundTripAtFieldLimits) {
  LoadRecInfo();
  const std::string ch = Gbk("录");
  auto fill = [&](char* field, size_t size) {
    std::string text;
    while (text.size() + 2 <= size - 1) text += ch;
    std::memcpy(field, text.c_str(), text.size() + 1);
  };
  DevInfo dev;
  fill(dev.DevName, sizeof dev.DevName);
  fill(dev.DevId, sizeof dev.DevId);
  dev.DevType = 4;
  g_lstDevInfo.push_back(dev);
  for (int i = 0; i < 3; ++i) {
    auto* s = new RecSchemeInfo;
    fill(s->SchemeName, sizeof s->SchemeName);
    s->SchemeName[0] = static_cast<char>('a' + i);
    fill(s->StoragePath1, sizeof s->StoragePath1);
    fill(s->StoragePath2, sizeof s->StoragePath2);
    fill(s->StoragePath3, sizeof s->StoragePath3);
    s->SaveDate = i;
    s->StorageScheme = -1;
    s->OnOff = 1;
    s->PreRecTime = 2147483647;
    s->RecFileTime = -2147483647 - 1;
    s->RecAudio = 1;
    s->RecStreamType = 1;
    s->StartType = 2;
    s->DetRecTime = 9;
    s->lstDev.push_back(dev);
    s->lstRecTime.push_back(RecTime{7, 8, TimeOfDay::FromHms(0, 0, 1), TimeOfDay::FromHms(23, 59, 59)});
    g_lstRecSchemeInfo.push_back(s);
  }
  SaveRecInfo();
  std::vector<RecSchemeInfo*> written(g_lstRecSchemeInfo.begin(), g_lstRecSchemeInfo.end());
  g_lstRecSchemeInfo.clear();
  LoadRecInfo();
  ASSERT_EQ(g_lstRecSchemeInfo.size(), written.size());
  auto it = g_lstRecSchemeInfo.begin();
  for (RecSchemeInfo* w : written) {
    const RecSchemeInfo& r = **it++;
    EXPECT_EQ(FixedText(r.SchemeName), FixedText(w->SchemeName));
    EXPECT_EQ(FixedText(r.StoragePath1), FixedText(w->StoragePath1));
    EXPECT_EQ(FixedText(r.StoragePath3), FixedText(w->StoragePath3));
    EXPECT_EQ(r.StorageScheme, -1);
    EXPECT_EQ(r.PreRecTime, 2147483647);
    EXPECT_EQ(r.RecFileTime, -2147483647 - 1);
    EXPECT_EQ(r.StartType, 2);
    EXPECT_EQ(r.DetRecTime, 9);
    ASSERT_EQ(r.lstDev.size(), 1u);  // bound again through its DevId, NVR though it is
    EXPECT_EQ(FixedText(r.lstDev.front().DevName), FixedText(dev.DevName));
    ASSERT_EQ(r.lstRecTime.size(), 1u);
    EXPECT_EQ(r.lstRecTime.front().TimeDuration, 7);
    EXPECT_EQ(r.lstRecTime.front().StartTime, TimeOfDay::FromHms(0, 0, 1));
    delete w;
  }
  EXPECT_NE(ReadBytes(ConfigFile("RecInfo.xml")).find("<StartTime>00:00:01</StartTime>"),
            std::string::npos);
}

TEST_F(RecSchemeStoreTest, SaveWithoutAFileWritesNothing) {
  g_lstRecSchemeInfo.push_back(new RecSchemeInfo);
  SaveRecInfo();
  EXPECT_FALSE(std::filesystem::exists(ConfigFile("RecInfo.xml")));
}
