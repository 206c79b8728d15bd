#include <gtest/gtest.h>

#include <tinyxml.h>

#include <climits>
#include <filesystem>
#include <cstring>
#include <string>
#include <vector>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "tests/core/config_test_env.h"

namespace {

const std::string kDefaultText =
    "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<DevInfo>\n\t<DevList />\n\t<GroupList>\n\t\t<Group>\n"
    "\t\t\t<GroupName nType=\"1\" >Default</GroupName>\n\t\t</Group>\n\t</GroupList>\n"
    "\t<AlarmAudio/>\n</DevInfo>";

// Fills a text field to its limit with GBK characters (and one ASCII byte when
// the room is odd), so a cut or an overrun shows.
template <size_t N>
void FillToLimit(char (&field)[N], const std::string& gbkChar) {
  std::string text;
  while (text.size() + 2 <= N - 1) text += gbkChar;
  if (text.size() < N - 1) text += 'z';
  std::memcpy(field, text.c_str(), text.size() + 1);
}

DevInfo FullDevice(const std::string& gbkChar, int number) {
  DevInfo dev;
  FillToLimit(dev.DevSN, gbkChar);
  FillToLimit(dev.DevId, gbkChar);
  FillToLimit(dev.DevName, gbkChar);
  FillToLimit(dev.GroupName, gbkChar);
  FillToLimit(dev.MACAddr, gbkChar);
  FillToLimit(dev.IPAddr, gbkChar);
  FillToLimit(dev.NetMask, gbkChar);
  FillToLimit(dev.GateWay, gbkChar);
  FillToLimit(dev.DNS1, gbkChar);
  FillToLimit(dev.DNS2, gbkChar);
  FillToLimit(dev.Resolution, gbkChar);
  FillToLimit(dev.DefRes, gbkChar);
  FillToLimit(dev.ProtocolType, gbkChar);
  FillToLimit(dev.LoginName, gbkChar);
  FillToLimit(dev.LoginPsw, gbkChar);
  FillToLimit(dev.Status, gbkChar);
  FillToLimit(dev.DevDomainName, gbkChar);
  dev.DevName[0] = static_cast<char>('A' + number);  // names differ per device
  int* ints[] = {&dev.VisitMod, &dev.DevType,  &dev.EnableDHCP, &dev.VideoPort,
                 &dev.Auth,     &dev.RtpOverRtsp, &dev.PtzPort, &dev.CfgPort,
                 &dev.PtzAddr,  &dev.WebPort,  &dev.CurStoragePath, &dev.NVRChannels,
                 &dev.CurNVRChannel, &dev.nPltDev};
  int i = 0;
  for (int* v : ints) *v = (i++ % 2) ? INT_MAX : INT_MIN + number;
  dev.DevType = 1;
  for (int k = 0; k < kAlarmLinkCount; ++k) {
    dev.AlarmLink[k] = AlarmLinkInfo{k, INT_MIN, INT_MAX, -k, {}};
    FillToLimit(dev.AlarmLink[k].VoiceFilePath, gbkChar);
  }
  return dev;
}

void ExpectSameStored(const DevInfo& a, const DevInfo& b) {
  EXPECT_EQ(FixedText(a.DevSN), FixedText(b.DevSN));
  EXPECT_EQ(FixedText(a.DevId), FixedText(b.DevId));
  EXPECT_EQ(FixedText(a.DevName), FixedText(b.DevName));
  EXPECT_EQ(FixedText(a.GroupName), FixedText(b.GroupName));
  EXPECT_EQ(FixedText(a.MACAddr), FixedText(b.MACAddr));
  EXPECT_EQ(FixedText(a.IPAddr), FixedText(b.IPAddr));
  EXPECT_EQ(FixedText(a.NetMask), FixedText(b.NetMask));
  EXPECT_EQ(FixedText(a.GateWay), FixedText(b.GateWay));
  EXPECT_EQ(FixedText(a.DNS1), FixedText(b.DNS1));
  EXPECT_EQ(FixedText(a.DNS2), FixedText(b.DNS2));
  EXPECT_EQ(FixedText(a.Resolution), FixedText(b.Resolution));
  EXPECT_EQ(FixedText(a.DefRes), FixedText(b.DefRes));
  EXPECT_EQ(FixedText(a.ProtocolType), FixedText(b.ProtocolType));
  EXPECT_EQ(FixedText(a.LoginName), FixedText(b.LoginName));
  EXPECT_EQ(FixedText(a.LoginPsw), FixedText(b.LoginPsw));
  EXPECT_EQ(FixedText(a.Status), FixedText(b.Status));
  EXPECT_EQ(FixedText(a.DevDomainName), FixedText(b.DevDomainName));
  EXPECT_EQ(a.VisitMod, b.VisitMod);
  EXPECT_EQ(a.DevType, b.DevType);
  EXPECT_EQ(a.EnableDHCP, b.EnableDHCP);
  EXPECT_EQ(a.VideoPort, b.VideoPort);
  EXPECT_EQ(a.Auth, b.Auth);
  EXPECT_EQ(a.RtpOverRtsp, b.RtpOverRtsp);
  EXPECT_EQ(a.PtzPort, b.PtzPort);
  EXPECT_EQ(a.CfgPort, b.CfgPort);
  EXPECT_EQ(a.PtzAddr, b.PtzAddr);
  EXPECT_EQ(a.WebPort, b.WebPort);
  EXPECT_EQ(a.CurStoragePath, b.CurStoragePath);
  EXPECT_EQ(a.NVRChannels, b.NVRChannels);
  EXPECT_EQ(a.CurNVRChannel, b.CurNVRChannel);
  EXPECT_EQ(a.nPltDev, b.nPltDev);
  for (int k = 0; k < kAlarmLinkCount; ++k) {
    EXPECT_EQ(a.AlarmLink[k].AlarmType, b.AlarmLink[k].AlarmType);
    EXPECT_EQ(a.AlarmLink[k].OnOff, b.AlarmLink[k].OnOff);
    EXPECT_EQ(a.AlarmLink[k].CauseType, b.AlarmLink[k].CauseType);
    EXPECT_EQ(a.AlarmLink[k].AlarmTime, b.AlarmLink[k].AlarmTime);
    EXPECT_EQ(FixedText(a.AlarmLink[k].VoiceFilePath), FixedText(b.AlarmLink[k].VoiceFilePath));
  }
}

class DevInfoStoreTest : public ConfigTest {};

}  // namespace

TEST_F(DevInfoStoreTest, MissingFileGetsTheDefaultBlockAndTheSecondReadLoadsIt) {
  EXPECT_EQ(LoadDevInfo(), -1);
  std::string expected = kDefaultText;
  expected.resize(2048, '\0');
  EXPECT_EQ(ReadBytes(ConfigFile("DevInfo.xml")), expected);

  EXPECT_EQ(LoadDevInfo(), 0);
  EXPECT_TRUE(g_lstDevInfo.empty());
  ASSERT_EQ(g_lstDevGroupInfo.size(), 1u);
  EXPECT_STREQ(g_lstDevGroupInfo.front().GroupName, "Default");
  EXPECT_EQ(g_lstDevGroupInfo.front().nType, 1);
  EXPECT_EQ(g_bAlarmAudio, 0);  // a fresh file has no AudioInfo

  // The next save writes the attribute.
  g_bAlarmAudio = 1;
  SaveDevInfo();
  EXPECT_NE(ReadBytes(ConfigFile("DevInfo.xml")).find("<AlarmAudio AudioInfo=\"1\" />"),
            std::string::npos);
}

TEST_F(DevInfoStoreTest, HandWrittenFileLoadsFieldByField) {
  InstallFixture("dev_info.xml", "DevInfo.xml");
  ASSERT_EQ(LoadDevInfo(), 0);
  ASSERT_EQ(g_lstDevInfo.size(), 2u);
  const DevInfo& d = g_lstDevInfo.front();
  EXPECT_EQ(d.DevType, 1);  // "devtype" is another element
  EXPECT_STREQ(d.DevSN, "SN-0001");
  EXPECT_EQ(FixedText(d.DevId), Gbk("大门摄像机"));
  EXPECT_EQ(FixedText(d.DevName), Gbk("大门"));
  EXPECT_EQ(FixedText(d.GroupName), Gbk("一楼"));
  EXPECT_STREQ(d.LoginName, "admin");
  EXPECT_EQ(FixedText(d.LoginPsw), Gbk("密码"));
  EXPECT_STREQ(d.MACAddr, "00:11:22:33:44:55");
  EXPECT_STREQ(d.IPAddr, "192.168.1.10");
  EXPECT_STREQ(d.NetMask, "255.255.255.0");
  EXPECT_STREQ(d.GateWay, "192.168.1.1");
  EXPECT_STREQ(d.DNS1, "8.8.8.8");
  EXPECT_STREQ(d.DNS2, "8.8.4.4");
  EXPECT_STREQ(d.ProtocolType, "RTSP");
  EXPECT_STREQ(d.Resolution, "D1");
  EXPECT_STREQ(d.DefRes, "cif");
  EXPECT_STREQ(d.Status, "1");
  EXPECT_EQ(d.VisitMod, 2);
  EXPECT_EQ(d.Auth, 3);
  EXPECT_EQ(d.EnableDHCP, 1);
  EXPECT_EQ(d.PtzPort, 6001);
  EXPECT_EQ(d.CfgPort, 6002);
  EXPECT_EQ(d.PtzAddr, 7);
  EXPECT_EQ(d.RtpOverRtsp, 1);
  EXPECT_EQ(d.nPltDev, 1);
  EXPECT_STREQ(d.DevDomainName, "cam.example");
  EXPECT_EQ(d.VideoPort, 554);
  EXPECT_EQ(d.WebPort, 80);
  EXPECT_EQ(d.CurStoragePath, 2);
  EXPECT_EQ(d.AlarmLink[3].AlarmType, 14);
  EXPECT_EQ(d.AlarmLink[3].OnOff, 1);
  EXPECT_EQ(d.AlarmLink[3].CauseType, 2);
  EXPECT_EQ(d.AlarmLink[3].AlarmTime, 30);
  EXPECT_EQ(FixedText(d.AlarmLink[3].VoiceFilePath), Gbk("C:\\声音\\警报.wav"));
  for (int k : {0, 1, 2, 4, 5, 6, 7, 8}) {  // missing links stay zero; AlarmLink9 is ignored
    EXPECT_EQ(d.AlarmLink[k].AlarmType, 0) << k;
    EXPECT_STREQ(d.AlarmLink[k].VoiceFilePath, "") << k;
  }
  EXPECT_EQ(d.bRecording, 0);
  EXPECT_EQ(d.pRtspEvent1, nullptr);

  const DevInfo& nvr = g_lstDevInfo.back();
  EXPECT_EQ(nvr.DevType, 4);
  EXPECT_EQ(nvr.CurNVRChannel, 1);
  EXPECT_STREQ(nvr.DevSN, "");
  EXPECT_STREQ(nvr.IPAddr, "");  // a missing element leaves the field zero

  // No group was marked: the first one is; the mark is written back on save.
  ASSERT_EQ(g_lstDevGroupInfo.size(), 2u);
  EXPECT_EQ(g_lstDevGroupInfo.front().nType, 1);
  EXPECT_EQ(g_lstDevGroupInfo.back().nType, 0);
  EXPECT_EQ(g_bAlarmAudio, 1);
  SaveDevInfo();
  const std::string saved = ReadBytes(ConfigFile("DevInfo.xml"));
  EXPECT_NE(saved.find("<GroupName nType=\"1\">" + Gbk("一楼") + "</GroupName>"), std::string::npos);
  EXPECT_NE(saved.find("<Comment>kept by the writer</Comment>"), std::string::npos);
}

TEST_F(DevInfoStoreTest, EveryFieldAtItsLimitRoundTripsWithGbkText) {
  LoadDevInfo();  // writes the default file
  const std::vector<std::string> chars = {Gbk("监"), Gbk("控"), Gbk("\xe9\xbe\x98")};  // 龘
  std::vector<DevInfo> written;
  for (int i = 0; i < 3; ++i) written.push_back(FullDevice(chars[i], i));
  for (const DevInfo& d : written) g_lstDevInfo.push_back(d);
  DevGroupInfo group;
  FillToLimit(group.GroupName, chars[0]);
  group.nType = 1;
  g_lstDevGroupInfo.assign(1, group);
  SaveDevInfo();

  g_lstDevInfo.clear();
  g_lstDevGroupInfo.clear();
  ASSERT_EQ(LoadDevInfo(), 0);
  ASSERT_EQ(g_lstDevInfo.size(), written.size());
  auto it = g_lstDevInfo.begin();
  for (const DevInfo& d : written) ExpectSameStored(d, *it++);
  ASSERT_EQ(g_lstDevGroupInfo.size(), 1u);
  EXPECT_EQ(FixedText(g_lstDevGroupInfo.front().GroupName), FixedText(group.GroupName));

  // The writer emits the elements in its fixed order.
  TiXmlDocument doc;
  ASSERT_TRUE(doc.LoadFile(ConfigFile("DevInfo.xml").c_str(), TIXML_ENCODING_LEGACY));
  const TiXmlElement* dev = doc.RootElement()->FirstChildElement("DevList")->FirstChildElement("Dev");
  std::string order;
  for (const TiXmlElement* e = dev->FirstChildElement(); e; e = e->NextSiblingElement()) {
    order += std::string(e->Value()) + ",";
  }
  EXPECT_EQ(order,
            "DevType,DevSN,DevId,DevName,GroupName,LoginName,LoginPsw,MACAddr,IPAddr,NetMask,GateWay,"
            "DNS1,DNS2,ProtocolType,Resolution,DefRes,Status,VisitMod,Auth,EnableDHCP,PtzPort,CfgPort,"
            "NVRChannels,CurNVRChannel,PtzAddr,RtpOverRtsp,nPltDev,DevDomainName,VideoPort,WebPort,"
            "CurStoragePath,AlarmLink0,AlarmLink1,AlarmLink2,AlarmLink3,AlarmLink4,AlarmLink5,"
            "AlarmLink6,AlarmLink7,AlarmLink8,");
}

TEST_F(DevInfoStoreTest, TextsLongerThanTheirFieldsAreCutAtACharacterAndNothingElseIsTouched) {
  InstallFixture("dev_info_oversized.xml", "DevInfo.xml");
  ASSERT_EQ(LoadDevInfo(), 0);
  ASSERT_EQ(g_lstDevInfo.size(), 1u);
  const DevInfo& d = g_lstDevInfo.front();
  EXPECT_EQ(FixedText(d.DevSN), std::string(31, 'S'));
  const std::string ch = Gbk("长");
  std::string name;
  while (name.size() + 2 <= 255) name += ch;
  EXPECT_EQ(FixedText(d.DevName), name);  // 127 characters: the 128th would not fit
  EXPECT_EQ(FixedText(d.Status), "x" + ch + ch + ch);  // 7 bytes of 8
  EXPECT_EQ(FixedText(d.LoginPsw), std::string(39, 'p'));
  EXPECT_EQ(strnlen(d.AlarmLink[0].VoiceFilePath, 1024), 1022u);
  EXPECT_EQ(d.VideoPort, 554);
  EXPECT_EQ(d.AlarmLink[0].AlarmTime, 5);
  EXPECT_EQ(d.AlarmLink[1].AlarmType, 0);
  EXPECT_EQ(strnlen(g_lstDevGroupInfo.front().GroupName, 256), 254u);
}

TEST_F(DevInfoStoreTest, SaveDropsNvrChannelsBeyondTheCountAndKeepsForeignElements) {
  InstallFixture("dev_info.xml", "DevInfo.xml");
  ASSERT_EQ(LoadDevInfo(), 0);
  DevInfo nvr;
  nvr.DevType = 4;
  std::strcpy(nvr.DevName, "ch");
  nvr.NVRChannels = 2;
  for (int channel = 0; channel <= 4; ++channel) {
    nvr.CurNVRChannel = channel;
    nvr.VideoPort = 9000 + channel;
    g_lstDevInfo.push_back(nvr);
  }
  SaveDevInfo();
  EXPECT_EQ(g_lstDevInfo.size(), 7u);  // memory keeps every record
  ASSERT_EQ(LoadDevInfo(), 0);
  std::vector<int> ports;
  for (const DevInfo& d : g_lstDevInfo) {
    if (std::strcmp(d.DevName, "ch") == 0) ports.push_back(d.VideoPort);
  }
  EXPECT_EQ(ports, (std::vector<int>{9000, 9001, 9002}));
  EXPECT_NE(ReadBytes(ConfigFile("DevInfo.xml")).find("<Comment>kept by the writer</Comment>"),
            std::string::npos);
}

TEST_F(DevInfoStoreTest, SaveWithoutAFileWritesNothing) {
  g_lstDevInfo.emplace_back();
  SaveDevInfo();
  EXPECT_FALSE(std::filesystem::exists(ConfigFile("DevInfo.xml")));
}

TEST_F(DevInfoStoreTest, FileWithRootButNoGroupListLoadsWithoutGroups) {
  WriteBytes(ConfigFile("DevInfo.xml"), "<?xml version=\"1.0\" ?><DevInfo><DevList/></DevInfo>");
  EXPECT_EQ(LoadDevInfo(), 0);
  EXPECT_TRUE(g_lstDevGroupInfo.empty());
  WriteBytes(ConfigFile("DevInfo.xml"), "<?xml version=\"1.0\" ?>\n<!-- no root -->\n");
  EXPECT_EQ(LoadDevInfo(), -1);
}

TEST_F(DevInfoStoreTest, SerialNumbersMatchExactly) {
  DevInfo d;
  std::strcpy(d.DevSN, "AbC-1");
  g_lstDevInfo.push_back(d);
  EXPECT_TRUE(IsDevSNExist("AbC-1"));
  EXPECT_FALSE(IsDevSNExist("abc-1"));
  EXPECT_FALSE(IsDevSNExist("AbC-"));
  EXPECT_FALSE(IsDevSNExist("AbC-12"));
  EXPECT_FALSE(IsDevSNExist(nullptr));
}
