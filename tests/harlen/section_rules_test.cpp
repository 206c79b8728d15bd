// The field rules of the section loaders and builders, as tables.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fake_nvr_process.h"
#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/section_xml.h"
#include "harlen/link/xml/text_codec.h"
#include "trace_capture.h"

namespace {

const TiXmlElement* Root(TiXmlDocument& doc, const std::string& text) {
  EXPECT_TRUE(ParseXmlText(text, doc)) << text;
  return doc.RootElement();
}

// The fixture text with every `from` replaced (there must be one at least).
std::string Fixture(const std::string& name, const std::string& from = "", const std::string& to = "") {
  std::string text = ReadNvrFixture(name);
  if (from.empty()) return text;
  EXPECT_NE(text.find(from), std::string::npos) << from;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

}  // namespace

// ---- channels

TEST(ChannelRules, StreamFields) {
  struct Case {
    const char* attributes;
    int resolution, coderatetype, quality, framerate, coderatemaxtype, mainMax, auxMax;
    const char* trace;
  };
  const std::vector<Case> cases = {
      {R"(resolution="18" coderatetype="0" quality="5" framerate="100" coderatemaxtype="1" coderatemax="16384")",
       18, 0, 5, 100, 1, 16384, 16384, ""},
      {R"(resolution="19" coderatetype="2" quality="6" framerate="0" coderatemaxtype="2" coderatemax="26")",
       0, 1, 3, 25, 0, 23, 7, "general coderatemax error, set to 23."},
      {R"(resolution="-1" framerate="101" coderatemaxtype="1" coderatemax="16385")", 0, 0, 0, 25, 1, 23, 7,
       "self define coderatemax error, set to 7."},
      {R"(coderatemaxtype="0" coderatemax="25" framerate="1")", 0, 0, 0, 1, 0, 25, 25, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attributes);
    TraceCapture traces;
    const std::string text = std::string("<videocfg><channeldetail id=\"2\"><mainstream ") + c.attributes +
                             " /><auxstream " + c.attributes + " /></channeldetail></videocfg>";
    TiXmlDocument doc;
    auto cfg = std::make_unique<ChannelCfg>();
    ASSERT_EQ(CHarlenLoader().LoadVideoCfg(Root(doc, text), *cfg), 0);
    ASSERT_EQ(cfg->videoCount, 1u);
    const ChannelVideo& v = cfg->video[1];
    EXPECT_EQ(v.id, 2);
    EXPECT_EQ(v.mainstream.resolution, c.resolution);
    EXPECT_EQ(v.mainstream.coderatetype, c.coderatetype);
    EXPECT_EQ(v.mainstream.quality, c.quality);
    EXPECT_EQ(v.mainstream.framerate, c.framerate);
    EXPECT_EQ(v.mainstream.coderatemaxtype, c.coderatemaxtype);
    EXPECT_EQ(v.mainstream.coderatemax, c.mainMax);
    EXPECT_EQ(v.auxstream.coderatemax, c.auxMax);
    if (*c.trace != '\0') {
      EXPECT_TRUE(traces.Contains(c.trace));
    }
  }
}

TEST(ChannelRules, VideoRowsNeedBothStreamsAndAChannelNumber) {
  TraceCapture traces;
  TiXmlDocument doc;
  auto cfg = std::make_unique<ChannelCfg>();
  const std::string text =
      "<videocfg><channeldetail id=\"17\"><mainstream /><auxstream /></channeldetail>"
      "<channeldetail id=\"1\"><auxstream /></channeldetail>"
      "<channeldetail id=\"2\"><mainstream /></channeldetail>"
      "<channeldetail id=\"3\"><mainstream /><auxstream /></channeldetail></videocfg>";
  ASSERT_EQ(CHarlenLoader().LoadVideoCfg(Root(doc, text), *cfg), 0);
  EXPECT_EQ(cfg->videoCount, 1u);
  EXPECT_EQ(cfg->video[2].loaded, 1);
  EXPECT_EQ(cfg->video[0].loaded, 0);
  for (const char* trace : {"id 17 error.", "main stream param element not found.", "load aux stream param failed."}) {
    EXPECT_TRUE(traces.Contains(trace)) << trace;
  }
}

TEST(ChannelRules, DisplayFields) {
  TiXmlDocument doc;
  auto cfg = std::make_unique<ChannelCfg>();
  const std::string longName = "ab" + Repeat("\xCD\xA8", 20);  // 42 bytes of which 30 fit whole
  const std::string text = "<displaycfg><channeldetail id=\"0\" /><channeldetail id=\"5\" name1enable=\"7\" name1=\"" +
                           longName + "\" name2=\"%s%d\" timedisplay=\"3\" brightness=\"300\" contrast=\"0\" "
                           "saturation=\"-1\" chroma=\"255\" /></displaycfg>";
  ASSERT_EQ(CHarlenLoader().LoadDisplayCfg(Root(doc, text), *cfg), 0);
  EXPECT_EQ(cfg->displayCount, 1u);
  const ChannelDisplay& d = cfg->display[4];
  EXPECT_EQ(d.loaded, 1);
  EXPECT_EQ(d.name1enable, 1);
  EXPECT_EQ(d.name2enable, 0);
  EXPECT_EQ(d.timedisplay, 1);
  EXPECT_EQ(FieldText(d.name1), longName.substr(0, 30));
  EXPECT_EQ(FieldText(d.name2), "%s%d");
  EXPECT_EQ(d.brightness, 128);
  EXPECT_EQ(d.contrast, 0);
  EXPECT_EQ(d.saturation, 128);
  EXPECT_EQ(d.chroma, 255);
}

TEST(ChannelRules, RecordParamRows) {
  struct Case {
    const char* name;
    std::string rows;
    unsigned count;
    RecordParamEntry first;
    const char* trace;
  };
  const std::string good = R"(enable="1" stream="1" cachseconds="9" lastseconds="3599" expiredays="7" audioenable="1")";
  const std::vector<Case> cases = {
      {"kept", R"(<Config channel="1" )" + good + "/>", 1, {1, 1, 9, 3599, 7, 1}, ""},
      {"out of range set to defaults",
       R"(<Config channel="1" enable="-2" stream="0" cachseconds="12" lastseconds="4" expiredays="-3" audioenable="2"/>)",
       1, {0, 0, 10, 5, 0, 0}, "cachseconds 12 error, set to 10"},
      {"positive enable is 1", R"(<Config channel="1" enable="9" stream="0" lastseconds="3600"/>)", 1,
       {1, 0, 0, 5, 0, 0}, "lastseconds 3600 error, set to 5"},
      {"channels 1, 2, 4 stop at the third",
       R"(<Config channel="1" )" + good + R"(/><Config channel="2" )" + good + R"(/><Config channel="4" )" + good + "/>",
       2, {1, 1, 9, 3599, 7, 1}, "index 2's channelid 4 error."},
      {"bad channel skipped", R"(<Config channel="0" )" + good + R"(/><Config channel="1" )" + good + "/>", 1,
       {1, 1, 9, 3599, 7, 1}, "channel 0 error."},
      {"bad stream skipped", R"(<Config channel="1" stream="2"/><Config channel="1" )" + good + "/>", 1,
       {1, 1, 9, 3599, 7, 1}, "stream 2 error."},
      {"more than 16 rows", [&] {
         std::string rows;
         for (int i = 1; i <= 17; ++i) rows += "<Config channel=\"" + std::to_string(i) + "\" " + good + "/>";
         return rows;
       }(), 16, {1, 1, 9, 3599, 7, 1}, "rows > 16, egnored."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TraceCapture traces;
    TiXmlDocument doc;
    RecordParamList list;
    ASSERT_EQ(CHarlenLoader().LoadRecordParam(Root(doc, "<RecordParam row=\"3\">" + c.rows + "</RecordParam>"), list), 0);
    EXPECT_EQ(list.count, c.count);
    EXPECT_EQ(std::memcmp(&list.entries[0], &c.first, sizeof c.first), 0);
    if (*c.trace != '\0') {
      EXPECT_TRUE(traces.Contains(c.trace));
    }
    if (c.count != 3) {
      EXPECT_TRUE(traces.Contains("configure num 3 not equal to " + std::to_string(c.count) + " in fact.."));
    }
  }
}

TEST(ChannelRules, RecordDrivenAndScheduleLists) {
  TraceCapture traces;
  TiXmlDocument doc;
  RecordDrivenList driven;
  ASSERT_EQ(CHarlenLoader().LoadRecordDriven(
                Root(doc, R"(<RecordDriven><Channel no="17" mode="1"/><Channel no="3" mode="4"/><Channel no="3" mode="2"/></RecordDriven>)"),
                driven),
            0);
  EXPECT_EQ(driven.count, 2u);
  EXPECT_EQ(driven.entries[2].used, 1u);
  EXPECT_EQ(driven.entries[2].mode, 2u);  // a repeated channel overwrites
  EXPECT_TRUE(traces.Contains("stream 17 error."));

  // An empty list is still written as all sixteen channels; an empty schedule list has no rows.
  CHarlenSaveString saver;
  RecordDrivenList empty{};
  std::string text;
  saver.SaveConfRecordDriven(empty, text);
  EXPECT_EQ(text, "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<RecordDriven>\n" +
                      [] {
                        std::string rows;
                        for (int i = 1; i <= 16; ++i) rows += "\t<Channel no=\"" + std::to_string(i) + "\" mode=\"0\" />\n";
                        return rows;
                      }() +
                      "</RecordDriven>\n");
  auto cfg = std::make_unique<ChannelCfg>();
  saver.SaveConfChannel(*cfg, text);
  EXPECT_NE(text.find("\t\t<RecordScheme row=\"0\" />\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\t<displaycfg />\n"), std::string::npos);

  SchedList schedules;
  ASSERT_EQ(CHarlenLoader().LoadSchedList(Root(doc, "<RecordScheme row=\"17\">" +
                                                        Repeat("<Config enable=\"1\" sched=\"T\"/>", 17) + "</RecordScheme>"),
                                          schedules),
            0);
  EXPECT_EQ(schedules.count, 16u);
  EXPECT_EQ(schedules.tables[15].cells[0][0], 1u);
}

TEST(ChannelRules, RecordConfigNeedsAllFiveLists) {
  TraceCapture traces;
  TiXmlDocument doc;
  auto cfg = std::make_unique<ChannelCfg>();
  const std::string broken = Fixture("channelcfg.xml", "PictureParam", "PictureParamX");
  EXPECT_EQ(CHarlenLoader().LoadChannelCfg(Root(doc, broken), *cfg), -1);
  EXPECT_TRUE(traces.Contains("PictureParam element not found. return."));
  EXPECT_TRUE(traces.Contains("xml load record cfg error"));
  EXPECT_EQ(cfg->displayCount, 16u);         // what came before is kept
  EXPECT_EQ(cfg->recordParam.count, 16u);
  EXPECT_EQ(cfg->recordScheme.count, 0u);
  // A channelcfg without its parts loads as empty.
  EXPECT_EQ(CHarlenLoader().LoadChannelCfg(Root(doc, "<channelcfg />"), *cfg), 0);
  EXPECT_EQ(cfg->displayCount, 0u);
}

// ---- network

TEST(NetworkRules, NetworkElement) {
  struct Case {
    const char* name;
    std::string from, to;
    int result;
    const char* trace;
  };
  const std::vector<Case> cases = {
      {"as it comes", "", "", 0, ""},
      {"cardtype", "cardtype=\"1\"", "cardtype=\"7\"", -1, "cardtype 7 error."},
      {"svrport", "svrport=\"40001\"", "svrport=\"0\"", -1, "svrport 0 error."},
      {"httpport", "httpport=\"80\"", "httpport=\"65535\"", -1, "httpport 65535 error."},
      {"no interface", "interface", "interfaceX", -1, "interface element not found. return."},
      {"no IP", "<IP ", "<IPX ", -1, "IP element not found. return."},
      {"bad IP", "ipv4=\"192.168.1.100\"", "ipv4=\"x\"", -1, "get IPV4  error. return."},
      {"bad gateway", "ipv4=\"192.168.1.1\"", "ipv4=\"300.1.1.1\"", -1, "get mask IPV4  error. return."},
      {"no HW", "<HW ", "<HWX ", -1, "HW element not found. return."},
      {"bad HW", "a2=\"52\"", "a2=\"300\"", -1, "get HW address  error. return."},
      {"no DNS2", "<DNS2 ", "<DNS2X ", -1, "DNS2 element not found. return."},
      {"bad DNS1 only traced", "ipv4=\"202.96.134.133\"", "ipv4=\"dns\"", 0, "get DNS1 IPV4  error. return."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TraceCapture traces;
    TiXmlDocument doc;
    NetworkCfg cfg;
    EXPECT_EQ(CHarlenLoader().LoadConfNetwork(Root(doc, Fixture("network.xml", c.from, c.to)), cfg), c.result);
    if (*c.trace != '\0') {
      EXPECT_TRUE(traces.Contains(c.trace));
    }
    if (c.result == 0) {
      EXPECT_EQ(cfg.MTU, 1500);
    }
  }
  // DHCP and upnp other than 0 or 1 are 1; an unreadable DNS1 is 0.
  TiXmlDocument doc;
  NetworkCfg cfg;
  std::string text = Fixture("network.xml", "DHCP=\"0\"", "DHCP=\"2\"");
  text.replace(text.find("upnp=\"0\""), 8, "upnp=\"9\"");
  text.replace(text.find("ipv4=\"202.96.134.133\""), 21, "ipv4=\"255.255.255.255\"");
  ASSERT_EQ(CHarlenLoader().LoadConfNetwork(Root(doc, text), cfg), 0);
  EXPECT_EQ(cfg.DHCP, 1);
  EXPECT_EQ(cfg.upnp, 1);
  EXPECT_EQ(cfg.DNS1, 0u);
  EXPECT_EQ(cfg.DNS2, StringToIp("8.8.8.8"));
}

TEST(NetworkRules, AllZeroMacIsReplacedWithAGeneratedOne) {
  TiXmlDocument doc;
  NetworkCfg cfg;
  const std::string text =
      Fixture("network.xml", R"(<HW a0="0" a1="18" a2="52" a3="86" a4="120" a5="154" />)",
              R"(<HW a0="0" a1="0" a2="0" a3="0" a4="0" a5="0" />)");
  ASSERT_EQ(CHarlenLoader().LoadConfNetwork(Root(doc, text), cfg), 0);
  EXPECT_EQ(cfg.MAC[0], 0);
  EXPECT_NE(cfg.MAC[1] | cfg.MAC[2] | cfg.MAC[3] | cfg.MAC[4] | cfg.MAC[5], 0);
}

TEST(NetworkRules, DdnsEmailAndManagementHosts) {
  CHarlenLoader loader;
  CHarlenSaveString saver;
  TiXmlDocument doc;
  std::string text;
  for (const auto& [type, loaded, written] : std::vector<std::tuple<const char*, int, const char*>>{
           {"VELTAR", 1, "type=\"veltar\""}, {"Veltar", 1, "type=\"veltar\""}, {"other", 0, "type=\"unknown\""}}) {
    DdnsCfg ddns;
    ASSERT_EQ(loader.LoadConfDdns(Root(doc, Fixture("DDNS.xml", "type=\"veltar\"", std::string("type=\"") + type + "\"")), ddns), 0);
    EXPECT_EQ(ddns.type, loaded) << type;
    saver.SaveConfDdns(ddns, text);
    EXPECT_NE(text.find(written), std::string::npos) << type;
  }

  TraceCapture traces;
  EmailCfg email;
  ASSERT_EQ(loader.LoadConfEmail(Root(doc, "<email enable=\"5\" ssl=\"2\">" +
                                                Repeat("<recipient name=\"n\" email=\"e@x\"/>", 11) + "</email>"),
                                 email),
            0);
  EXPECT_EQ(email.count, 10);
  EXPECT_EQ(email.enable, 1);
  EXPECT_EQ(email.ssl, 1);
  EXPECT_TRUE(traces.Contains("rows > 10, egnored."));

  // A managehosts element without vemo fails its own load, not the networkparam load.
  auto network = std::make_unique<NetworkCfg>();
  DdnsCfg ddns;
  NtpCfg ntp;
  ManageHostsCfg hosts;
  std::string whole = "<networkparam>";
  for (const char* name : {"network.xml", "DDNS.xml", "NTP.xml", "email.xml"}) {
    const std::string part = Fixture(name);
    whole += part.substr(part.find('\n') + 1);
  }
  whole += R"(<managehosts><ipvs enable="3" ipv4="bad" port="70000"/><mobile enable="-1" ipv4="10.0.0.7" port="7070"/></managehosts>)";
  whole += "</networkparam>";
  EXPECT_EQ(loader.LoadNetworkParam(Root(doc, whole), *network, ddns, ntp, email, hosts), 0);
  EXPECT_EQ(network->svrport, 40001);
  EXPECT_EQ(email.count, 3);
  for (const char* trace : {"get ipvs host error. set to 0.", "ipvs port 70000 error. set to 0",
                            "ipvs element not found. return.", "xml load ipc channel cfg error"}) {
    EXPECT_TRUE(traces.Contains(trace)) << trace;
  }
  EXPECT_EQ(hosts.ipvs.enable, 1);
  EXPECT_EQ(hosts.ipvs.address, 0u);
  EXPECT_EQ(hosts.ipvs.port, 0);
  EXPECT_EQ(hosts.mobile.enable, 0);
  EXPECT_EQ(hosts.mobile.address, StringToIp("10.0.0.7"));

  // The four required children, in their order.
  const std::string withoutNtp = whole.substr(0, whole.find("<NTP")) + whole.substr(whole.find("<email"));
  EXPECT_EQ(loader.LoadNetworkParam(Root(doc, withoutNtp), *network, ddns, ntp, email, hosts), -1);
  EXPECT_TRUE(traces.Contains("NTP element not found. return."));
}

// ---- device and common sections

TEST(SystemRules, DeviceFields) {
  struct Case {
    std::string from, to;
    int mode, videoSystem, supportchl, timezone;
  };
  const std::vector<Case> cases = {
      {"", "", 3, 0, 2, 8},
      {"mode=\"1080P\"", "mode=\"1080p\"", 3, 0, 2, 8},
      {"mode=\"1080P\"", "mode=\"960p\"", 2, 0, 2, 8},
      {"mode=\"1080P\"", "mode=\"720P\"", 1, 0, 2, 8},
      {"mode=\"1080P\"", "mode=\"4K\"", 1, 0, 2, 8},
      {" mode=\"1080P\"", "", 1, 0, 2, 8},
      {"RSystem=\"PAL\"", "RSystem=\"ntsc\"", 3, 1, 2, 8},
      {"supportchl=\"2\"", "supportchl=\"5\"", 3, 0, 0, 8},
      {"supportchl=\"2\"", "supportchl=\"4\"", 3, 0, 4, 8},
      {"timezone=\"8\"", "timezone=\"13\"", 3, 0, 2, 0},
      {"timezone=\"8\"", "timezone=\"-12\"", 3, 0, 2, -12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    TiXmlDocument doc;
    SystemParam cfg;
    ASSERT_EQ(CHarlenLoader().LoadSystemParam(Root(doc, Fixture("systemparam.xml", c.from, c.to)), cfg), 0);
    EXPECT_EQ(cfg.devicecfg.mode, c.mode);
    EXPECT_EQ(cfg.devicecfg.videoSystem, c.videoSystem);
    EXPECT_EQ(cfg.devicecfg.supportchl, static_cast<uint32_t>(c.supportchl));
    EXPECT_EQ(cfg.systeminfo.timezone, c.timezone);
  }
  // Written back: a mode the record cannot name is "no".
  SystemParam cfg{};
  std::string text;
  for (const auto& [mode, word] : std::vector<std::pair<int, const char*>>{{0, "\"no\""}, {1, "\"720P\""}, {3, "\"1080P\""}, {9, "\"no\""}}) {
    cfg.devicecfg.mode = static_cast<uint8_t>(mode);
    CHarlenSaveString().SaveConfSystemParam(cfg, text);
    EXPECT_NE(text.find(std::string("mode=") + word), std::string::npos) << mode;
  }
}

TEST(SystemRules, DaylightSavingHourKeepsEveryHourOfTheDay) {
  for (int hour : {0, 2, 15, 16, 23}) {
    TiXmlDocument doc;
    SystemParam cfg;
    const std::string text = Fixture("systemparam.xml", "<start month=\"3\" week=\"2\" weekday=\"0\" hour=\"2\" />",
                                      "<start month=\"3\" week=\"2\" weekday=\"0\" hour=\"" + std::to_string(hour) + "\" />");
    ASSERT_EQ(CHarlenLoader().LoadSystemParam(Root(doc, text), cfg), 0);
    EXPECT_EQ(cfg.summerTime.start.hour, hour);
    EXPECT_EQ(cfg.summerTime.start.month, 3);
    EXPECT_EQ(cfg.summerTime.start.week, 2);
    std::string written;
    CHarlenSaveString().SaveConfSystemParam(cfg, written);
    EXPECT_EQ(written, text);
  }
}

TEST(SystemRules, RequiredParts) {
  struct Case {
    std::string from, to;
    const char* trace;
  };
  const std::vector<Case> cases = {
      {"<systeminfo ", "<systeminfoX ", "systeminfo element not found. return."},
      {"<devicecfg ", "<devicecfgX ", "devicecfg element not found. return."},
      {"<monitorcfg ", "<monitorcfgX ", "monitorcfg element not found. return."},
      {"<start ", "<startX ", "start element not found. return."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.trace);
    TraceCapture traces;
    TiXmlDocument doc;
    SystemParam cfg;
    EXPECT_EQ(CHarlenLoader().LoadSystemParam(Root(doc, Fixture("systemparam.xml", c.from, c.to)), cfg), -1);
    EXPECT_TRUE(traces.Contains(c.trace));
  }
  TraceCapture traces;
  TiXmlDocument doc;
  SystemParam cfg;
  CHarlenLoader().LoadSystemParam(Root(doc, Fixture("systemparam.xml", "<end ", "<endX ")), cfg);
  EXPECT_TRUE(traces.Contains("xml load SummerTime cfg error"));
}

TEST(SystemRules, AutoReboot) {
  struct Case {
    const char* element;
    int result;
    uint32_t mode;
    int hour, min, weekdays;
  };
  const std::vector<Case> cases = {
      {R"(<autoreboot mode="EveryWeek" hour="4" min="15" monday="1" friday="1" sunday="0"/>)", 0, kRebootEveryWeek, 4, 15, 0x22},
      {R"(<autoreboot mode="EVERYDAY" hour="23" min="59" monday="1"/>)", 0, kRebootEveryDay, 23, 59, 0},
      {R"(<autoreboot mode="singletime" time="327683"/>)", 0, kRebootSingleTime, 3, 5, 0},
      {R"(<autoreboot mode="reboot" hour="1"/>)", 0, kRebootDisable, 0, 0, 0},
      {R"(<autoreboot hour="1"/>)", 0, kRebootDisable, 0, 0, 0},
      {R"(<other/>)", -1, kRebootDisable, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.element);
    TiXmlDocument doc;
    SystemManage cfg;
    EXPECT_EQ(CHarlenLoader().LoadSystemManage(Root(doc, std::string("<systemmanage>") + c.element + "</systemmanage>"), cfg),
              c.result);
    EXPECT_EQ(cfg.mode, c.mode);
    EXPECT_EQ(cfg.hour, c.hour);
    EXPECT_EQ(cfg.min, c.min);
    EXPECT_EQ(cfg.weekdays, c.weekdays);
  }
  SystemManage single{};
  single.SetSingleTime(327683);
  EXPECT_EQ(single.SingleTime(), 327683u);
}

TEST(SystemRules, CommonSection) {
  struct Case {
    const char* name;
    std::string text;
    int result;
    unsigned holidays;
    uint32_t firstLogFlag;
    uint32_t setipctime;
    const char* trace;
  };
  const std::string periods11 = Repeat(R"(<period mode="bymonth" frommonth="1" fromday="1" tomonth="1" today="2"/>)", 11);
  const std::vector<Case> cases = {
      {"no loglevel", R"(<common><Holiday row="0"/><setipctime enable="0"/></common>)", -1, 0, 24, 0,
       "log level element not found. return."},
      {"no setipctime", R"(<common><Holiday row="0"/><loglevel GUI="3"/></common>)", -1, 0, 3, 1,
       "log set ipc time not found. return."},
      {"no Holiday", R"(<common><loglevel GUI="3"/><setipctime enable="0"/></common>)", -1, 0, 3, 0,
       "holiday element not found. return."},
      {"unknown period mode", R"(<common><Holiday row="2"><period mode="weekly"/><period mode="bydate" fromyear="2025"/></Holiday><loglevel/><setipctime enable="1"/></common>)",
       0, 1, 24, 1, "holiday mode weekly error. egnored."},
      {"eleven periods", "<common><Holiday row=\"11\">" + periods11 + "</Holiday><loglevel/><setipctime/></common>", 0, 10,
       24, 0, "rows > 10, egnored."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TraceCapture traces;
    TiXmlDocument doc;
    CommonCfg cfg;
    EXPECT_EQ(CHarlenLoader().LoadCommon(Root(doc, c.text), cfg), c.result);
    EXPECT_EQ(cfg.holidayCount, c.holidays);
    EXPECT_EQ(cfg.loglevel[0], c.firstLogFlag);
    EXPECT_EQ(cfg.loglevel[kLogFlags - 1], kDefaultLogLevel);  // absent flags take the default too
    EXPECT_EQ(cfg.setipctime, c.setipctime);
    EXPECT_TRUE(traces.Contains(c.trace));
  }
  TraceCapture traces;
  TiXmlDocument doc;
  CommonCfg cfg;
  CHarlenLoader().LoadCommon(Root(doc, Fixture("common.xml", "row=\"3\"", "row=\"4\"")), cfg);
  EXPECT_TRUE(traces.Contains("holiday configure num 4 not equal to 3 in fact.."));
}

// ---- alarm linkage

TEST(AlarmRules, EntriesAndTriggers) {
  TraceCapture traces;
  const std::string channel =
      R"(<ChannelEntry Enable="257"><EnableTimeList enable="1" sched=")" + std::string(192, '0') +
      R"("/><TriggerMethod VoiceAlarm="1" Email="2"/><TriggerRecord ChnNum="3" ChnArray="1,2,3,4,5,6,7,8,"/></ChannelEntry>)";
  const std::string text = "<AlarmLinkage><IpcAlarm>"
                           "<AlarmEntry AlarmType=\"MotionDetect\">" + Repeat(channel, 17) + "</AlarmEntry>"
                           "<AlarmEntry AlarmType=\"VideoLoss\">" + channel + "</AlarmEntry>"
                           "<AlarmEntry AlarmType=\"motiondetect\">" + channel + "</AlarmEntry>"
                           "<AlarmEntry AlarmType=\"Fourth\">" + channel + "</AlarmEntry>"
                           "</IpcAlarm><InputAlarm><PortEntry Enable=\"1\"><TriggerRecord ChnNum=\"1\" "
                           "ChnArray=\"12345678901234567\"/></PortEntry></InputAlarm><SysAlarm/></AlarmLinkage>";
  TiXmlDocument doc;
  auto cfg = std::make_unique<AlarmLinkage>();
  ASSERT_EQ(CHarlenLoader().LoadAlarmLinkage(Root(doc, text), *cfg), 0);
  EXPECT_EQ(cfg->ipcAlarmCount, 3);
  EXPECT_TRUE(traces.Contains("rows > 3, egnored."));
  EXPECT_TRUE(traces.Contains("rows > 16, egnored."));
  const AlarmChannelEntry& motion = cfg->ipcAlarm[0].channels[0];
  EXPECT_EQ(cfg->ipcAlarm[0].channelCount, 16);
  EXPECT_EQ(motion.Enable, 1);  // the low byte of 257
  EXPECT_EQ(motion.armingEnable, 1);
  EXPECT_EQ(motion.arming[0][0], kNotArmed);
  EXPECT_EQ(motion.arming[7][23], kNotArmed);
  EXPECT_EQ(motion.trigger.VoiceAlarm, 1);
  EXPECT_EQ(motion.trigger.Email, 2);
  EXPECT_EQ(motion.trigger.SMS, 0);
  EXPECT_EQ(motion.ChnNum, 3);
  EXPECT_EQ(FieldText(motion.ChnArray), "1,2,3,4,5,6,7,8,");  // sixteen characters, all of them
  for (int type : {1, 2}) {  // only the exact text MotionDetect reads its recording trigger
    EXPECT_EQ(cfg->ipcAlarm[type].channels[0].ChnNum, 0);
    EXPECT_EQ(FieldText(cfg->ipcAlarm[type].channels[0].ChnArray), "");
  }
  EXPECT_EQ(cfg->inputCount, 1);
  EXPECT_EQ(FieldText(cfg->inputAlarm[0].ChnArray), "1234567890123456");
  EXPECT_EQ(cfg->inputAlarm[0].armingEnable, 0);  // no EnableTimeList
  EXPECT_EQ(cfg->sysAlarmCount, 0);

  // Written back: the motion entries carry their trigger, the others do not.
  std::string written;
  CHarlenSaveString().SaveConfAlarmLinkage(*cfg, written);
  EXPECT_NE(written.find("<TriggerRecord ChnNum=\"3\" ChnArray=\"1,2,3,4,5,6,7,8,\" />"), std::string::npos);
  EXPECT_NE(written.find("sched=\"" + std::string(192, '0') + "\""), std::string::npos);
  TiXmlDocument again;
  auto reloaded = std::make_unique<AlarmLinkage>();
  ASSERT_EQ(CHarlenLoader().LoadAlarmLinkage(Root(again, written), *reloaded), 0);
  EXPECT_EQ(std::memcmp(cfg->ipcAlarm, reloaded->ipcAlarm, sizeof cfg->ipcAlarm), 0);
  EXPECT_EQ(FieldText(reloaded->inputAlarm[0].ChnArray), "1234567890123456");
}

TEST(AlarmRules, RequiredParts) {
  for (const char* missing : {"IpcAlarm", "InputAlarm", "SysAlarm"}) {
    SCOPED_TRACE(missing);
    TraceCapture traces;
    std::string text = Fixture("AlarmLinkage.xml");
    for (const std::string& tag : {std::string("<") + missing + ">", std::string("</") + missing + ">",
                                  std::string("<") + missing + " />"}) {
      const size_t at = text.find(tag);
      if (at != std::string::npos) text.replace(at, tag.size() - 1, tag.substr(0, tag.size() - 1) + "X");
    }
    TiXmlDocument doc;
    auto cfg = std::make_unique<AlarmLinkage>();
    EXPECT_EQ(CHarlenLoader().LoadAlarmLinkage(Root(doc, text), *cfg), -1);
    EXPECT_TRUE(traces.Contains(std::string(missing) + " element not found. return."));
    if (std::string(missing) != "IpcAlarm") {
      EXPECT_EQ(cfg->ipcAlarmCount, 3);  // kept what was loaded
    }
  }
}

// ---- users

TEST(UserRules, UsersAndTheirFieldWidths) {
  std::string text = "<usercfg>";
  for (int i = 0; i < 33; ++i) {
    text += "<user iplimit=\"4294967295\" priority=\"" + std::to_string(i) + "\" username=\"" + std::string(20, 'u') +
            "\" password=\"" + std::string(20, 'p') + "\" rightbit=\"" + std::string(70, '1') + "\"/>";
  }
  text += "</usercfg>";
  TiXmlDocument doc;
  auto cfg = std::make_unique<UserCfg>();
  ASSERT_EQ(CHarlenLoader().LoadUserCfg(Root(doc, text), *cfg), 0);
  EXPECT_EQ(cfg->count, 32u);
  EXPECT_EQ(cfg->users[31].priority, 31u);
  EXPECT_EQ(cfg->users[0].iplimit, 4294967295u);
  EXPECT_EQ(FieldText(cfg->users[0].username), std::string(15, 'u'));
  EXPECT_EQ(FieldText(cfg->users[0].password), std::string(15, 'p'));
  EXPECT_EQ(FieldText(cfg->users[0].rightbit), std::string(63, '1'));
  std::string written;
  CHarlenSaveString().SaveConfUserCfg(*cfg, written);
  EXPECT_NE(written.find("iplimit=\"4294967295\""), std::string::npos);  // unsigned, as it came
}
