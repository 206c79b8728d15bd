// The control texts (set time, format a disk, the status replies), the IP
// channel section and the camera search reply.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fake_nvr_process.h"
#include "link_fixture.h"
#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/sections/nvr_ctrl_loader.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/section_xml.h"
#include "harlen/link/xml/text_codec.h"
#include "trace_capture.h"

namespace {

std::string Rows(const std::string& row, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += row;
  return out;
}

}  // namespace

TEST(ControlTexts, RequestsAreTheElementAlone) {
  CHarlenSaveString saver;
  std::string text;
  const DeviceTime time{8, 2024, 3, 5, 6, 7, 8};
  EXPECT_EQ(saver.SaveCtrlSetTime(time, text), 0);
  EXPECT_EQ(text,
            "<settime timezone=\"8\" year=\"2024\" month=\"3\" day=\"5\" hour=\"6\" minute=\"7\" second=\"8\" />\n");
  EXPECT_EQ(saver.SaveCtrlFormatDisk("sda", text), 0);
  EXPECT_EQ(text, "<disk path=\"sda\" />\n");
  // What the NVR answers to a status query of the time reads back the same.
  DeviceTime read{};
  ASSERT_EQ(CNvrCtrlLoader().Load_settime("<anything timezone=\"-5\" year=\"2025\" month=\"12\" day=\"31\" hour=\"23\" "
                                          "minute=\"59\" second=\"58\" />",
                                          read),
            0);
  EXPECT_EQ(read.timezone, -5);
  EXPECT_EQ(read.year, 2025);
  EXPECT_EQ(read.second, 58);
}

TEST(ControlTexts, RepliesThatDoNotParseLeaveTheRecord) {
  CNvrCtrlLoader loader;
  for (const char* text : {"", "<status><disk></status>", "garbage"}) {
    SCOPED_TRACE(text);
    TraceCapture traces;
    DiskStatus disks{};
    disks.count = 7;
    EXPECT_EQ(loader.Load_status_disk(text, disks), -1);
    EXPECT_EQ(disks.count, 7u);
    if (*text != '\0') {
      EXPECT_TRUE(traces.Contains("xml parse error: "));
    }
    FormatProgress progress{};
    progress.value = 9;
    EXPECT_EQ(loader.Load_formatprogress(text, progress), -1);
    EXPECT_EQ(progress.value, 9);
  }
}

TEST(ControlTexts, StatusReplies) {
  CNvrCtrlLoader loader;
  TraceCapture traces;
  auto disks = std::make_unique<DiskStatus>();
  const std::string diskRows =
      R"(<disk mode="record" using="5" disk="sda" formated="1" spacetotal="4000000000" spaceused="2" covertimes="3"/>)"
      R"(<disk mode="backup" using="0" disk="sdb"/><disk mode="Record" disk="sdc"/><disk disk="sdd"/>)";
  ASSERT_EQ(loader.Load_status_disk("<status>" + diskRows + Rows("<disk/>", 30) + "</status>", *disks), 0);
  EXPECT_EQ(disks->count, 32u);
  EXPECT_TRUE(traces.Contains("Configured disk rows > 32, egnored."));
  EXPECT_EQ(disks->disks[0].mode, kDiskRecord);
  EXPECT_EQ(disks->disks[0].inUse, 1);
  EXPECT_EQ(disks->disks[0].spacetotal, 4000000000u);
  EXPECT_EQ(disks->disks[1].mode, kDiskBackup);
  EXPECT_EQ(disks->disks[2].mode, kDiskOther);  // the comparison is exact
  EXPECT_EQ(disks->disks[3].mode, kDiskOther);
  EXPECT_EQ(FieldText(disks->disks[3].disk), "sdd");

  StreamRates rates;
  ASSERT_EQ(loader.Load_status_coderate(
                "<s>" + Rows(R"(<channel kbs_main="2048" kbs_aux="512" mbh_main="900" mbh_aux="225"/>)", 17) + "</s>", rates),
            0);
  EXPECT_EQ(rates.count, 16u);
  EXPECT_EQ(rates.channels[15].mbh_aux, 225);
  EXPECT_TRUE(traces.Contains("Configured rows > 16, egnored."));

  auto users = std::make_unique<OnlineUsers>();
  ASSERT_EQ(loader.Load_status_onlineuser(
                "<s>" + Rows(R"(<user name="a-very-long-user-name" ip="16820416" time="1704067200" mode="2"/>)", 33) + "</s>",
                *users),
            0);
  EXPECT_EQ(users->count, 32u);
  EXPECT_EQ(FieldText(users->users[0].name), "a-very-long-use");
  EXPECT_EQ(users->users[31].mode, 2u);

  FormatProgress progress;
  ASSERT_EQ(loader.Load_formatprogress(R"(<formatprogress disk="sda" result="0" value="50" />)", progress), 0);
  EXPECT_EQ(FieldText(progress.disk), "sda");
  EXPECT_EQ(progress.value, 50);
}

// The fake NVR's replies to the status queries and the camera search, read
// by the loaders as the windows read them.
TEST(ControlTexts, TheNvrsRepliesLoad) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  OpenLink open(nvr.Port());
  ASSERT_EQ(open.connectResult, 0);
  CNvrCtrlLoader loader;
  auto reply = [&](int code) {
    EXPECT_EQ(open.link.QueryStatus(code), 0);
    const std::optional<NvrReply> r = open.log.Take(IsReply(4402, code));
    return r.has_value() ? r->data : std::string();
  };
  auto disks = std::make_unique<DiskStatus>();
  ASSERT_EQ(loader.Load_status_disk(reply(4097), *disks), 0);
  EXPECT_EQ(disks->count, 2u);
  EXPECT_EQ(disks->disks[0].mode, kDiskRecord);
  EXPECT_EQ(disks->disks[1].mode, kDiskBackup);
  StreamRates rates;
  ASSERT_EQ(loader.Load_status_coderate(reply(4098), rates), 0);
  EXPECT_EQ(rates.count, 16u);
  EXPECT_EQ(rates.channels[15].kbs_main, 2048 + 15);
  auto users = std::make_unique<OnlineUsers>();
  ASSERT_EQ(loader.Load_status_onlineuser(reply(4099), *users), 0);
  EXPECT_EQ(users->count, 2u);
  EXPECT_EQ(FieldText(users->users[1].name), "\xB2\xD9\xD7\xF7\xD4\xB1");  // GBK text
  DeviceTime time;
  ASSERT_EQ(loader.Load_settime(reply(4100), time), 0);
  EXPECT_EQ(time.year, 2024);
  EXPECT_EQ(time.timezone, 8);

  // A time set with the control text is the time the NVR reports next.
  std::string text;
  CHarlenSaveString().SaveCtrlSetTime(DeviceTime{-3, 2030, 1, 2, 3, 4, 5}, text);
  ASSERT_EQ(open.link.SendControl(3, text.data(), static_cast<int>(text.size())), 0);
  ASSERT_TRUE(open.log.Take(IsReply(4402, 3)).has_value());
  ASSERT_EQ(loader.Load_settime(reply(4100), time), 0);
  EXPECT_EQ(time.timezone, -3);
  EXPECT_EQ(time.year, 2030);
  EXPECT_EQ(time.second, 5);

  // Formatting: three progress texts.
  CHarlenSaveString().SaveCtrlFormatDisk("sdb", text);
  ASSERT_EQ(open.link.SendControl(1, text.data(), static_cast<int>(text.size())), 0);
  for (int value : {0, 50, 100}) {
    const std::optional<NvrReply> r = open.log.Take(IsReply(4402, 1));
    ASSERT_TRUE(r.has_value());
    FormatProgress progress;
    ASSERT_EQ(loader.Load_formatprogress(r->data, progress), 0);
    EXPECT_EQ(FieldText(progress.disk), "sdb");
    EXPECT_EQ(progress.value, value);
  }

  ASSERT_EQ(open.link.SearchCameras(), 0);
  const std::optional<NvrReply> found = open.log.Take(IsReply(4395, -1));
  ASSERT_TRUE(found.has_value());
  TiXmlDocument doc;
  IpcSearchList cameras;
  ASSERT_TRUE(ParseXmlText(found->data, doc));
  ASSERT_EQ(CHarlenLoader().LoadAllFindroHeadInfo(doc.RootElement(), cameras), 0);
  ASSERT_EQ(cameras.count, 3u);
  EXPECT_EQ(FieldText(cameras.cameras[2].serial), "\xC9\xE3\xCF\xF1\xBB\xFA" "3");
  EXPECT_EQ(cameras.cameras[1].ip, StringToIp("192.168.1.65"));
  EXPECT_EQ(cameras.cameras[1].mac[5], 86);
  EXPECT_EQ(cameras.cameras[0].ptzport, 6000);
  EXPECT_EQ(cameras.cameras[0].dns2, StringToIp("8.8.4.4"));
}

TEST(IpcChannelSection, ChannelElements) {
  struct Case {
    const char* name;
    std::string channels;
    unsigned count;
    int slot;
    std::string channame;
    uint32_t used;
    const char* trace;
  };
  const std::vector<Case> cases = {
      {"chanid 17 skipped and counted", R"(<Channel chanid="17" channame="x"/><Channel chanid="2" channame="b" used="1"/>)",
       2, 1, "b", 1, "error chanid:17"},
      {"attributes before chanid ignored", R"(<Channel channame="early" used="1" chanid="3" port="80"/>)", 1, 2, "", 0, ""},
      {"long name cut", R"(<Channel chanid="1" channame=")" + std::string(40, 'n') + R"("/>)", 1, 0,
       std::string(31, 'n'), 0, ""},
      {"more than 16 elements", Rows(R"(<Channel chanid="4" channame="d" used="1"/>)", 18), 16, 3, "d", 1,
       "rows > 16, egnored."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TraceCapture traces;
    TiXmlDocument doc;
    IpcChannelTable table;
    ASSERT_TRUE(ParseXmlText("<IPCChannelParam>" + c.channels + "</IPCChannelParam>", doc));
    ASSERT_EQ(CHarlenLoader().LoadConfIPCChannel(doc.RootElement(), table), 0);
    EXPECT_EQ(table.count, c.count);
    EXPECT_EQ(FieldText(table.entries[c.slot].channame), c.channame);
    EXPECT_EQ(table.entries[c.slot].used, c.used);
    if (*c.trace != '\0') {
      EXPECT_TRUE(traces.Contains(c.trace));
    }
    // The table is written within its sixteen entries, whatever came in.
    std::string text;
    CHarlenSaveString().SaveConfIPCChannel(table, text);
    size_t channels = 0;
    for (size_t at = text.find("<Channel "); at != std::string::npos; at = text.find("<Channel ", at + 1)) ++channels;
    EXPECT_EQ(channels, c.count);
  }
}

TEST(IpcChannelSection, SearchReplyEndsAtTheFirstBrokenCamera) {
  const std::string text = ReadNvrFixture("cameras.xml");
  struct Case {
    const char* name;
    std::string from, to;
    unsigned count;
    const char* trace;
  };
  // The third camera is the last in the fixture; its HW element starts after its GW.
  const size_t third = text.rfind("<ipcheadinfo ");
  const size_t hw = text.find("<HW ", third);
  const std::vector<Case> cases = {
      {"third lacks HW", text.substr(hw, 4), "<HWX ", 2, "HW element not found. return."},
      {"bad DNS1 only traced", "ipv4=\"192.168.1.1\" ipv6=\"192.168.1.1\" />\n\t\t<DNS2", "ipv4=\"x\" ipv6=\"x\" />\n\t\t<DNS2",
       3, "get DNS1 IPV4  error. return."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TraceCapture traces;
    std::string changed = text;
    const size_t at = c.name == std::string("third lacks HW") ? hw : changed.find(c.from);
    ASSERT_NE(at, std::string::npos);
    changed.replace(at, c.from.size(), c.to);
    TiXmlDocument doc;
    IpcSearchList list;
    ASSERT_TRUE(ParseXmlText(changed, doc));
    ASSERT_EQ(CHarlenLoader().LoadAllFindroHeadInfo(doc.RootElement(), list), 0);
    EXPECT_EQ(list.count, c.count);
    EXPECT_TRUE(traces.Contains(c.trace));
  }
  TraceCapture traces;
  const std::string one = text.substr(text.find("<ipcheadinfo "), text.find("</ipcheadinfo>") + 14 - text.find("<ipcheadinfo "));
  TiXmlDocument doc;
  IpcSearchList list;
  ASSERT_TRUE(ParseXmlText("<list>" + Rows(one, 17) + "</list>", doc));
  ASSERT_EQ(CHarlenLoader().LoadAllFindroHeadInfo(doc.RootElement(), list), 0);
  EXPECT_EQ(list.count, 16u);
  EXPECT_TRUE(traces.Contains("Configured ipc rows > 16, egnored."));
}
