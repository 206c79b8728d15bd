// Every section loaded from the NVR's GBK fixtures and written back: the text
// comes back byte for byte, a second load gives the same record, no password
// reaches a trace, and the fake NVR's store keeps what save-all sends.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fake_nvr_process.h"
#include "link_fixture.h"
#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/section_xml.h"
#include "records_fixture.h"
#include "trace_capture.h"

namespace {

// Loads a fixture into a record, writes it, and loads the written text again.
template <class Record, class Load, class Save>
void CheckSection(const std::string& fixture, Load load, Save save) {
  SCOPED_TRACE(fixture);
  const std::string text = ReadNvrFixture(fixture);
  ASSERT_FALSE(text.empty());
  auto first = std::make_unique<Record>();
  auto second = std::make_unique<Record>();
  TiXmlDocument doc;
  ASSERT_TRUE(ParseXmlText(text, doc));
  ASSERT_EQ(load(doc.RootElement(), *first), 0);
  std::string written;
  save(*first, written);
  EXPECT_EQ(written, text);  // the fixtures are printed as the builders print
  TiXmlDocument again;
  ASSERT_TRUE(ParseXmlText(written, again));
  ASSERT_EQ(load(again.RootElement(), *second), 0);
  EXPECT_EQ(std::memcmp(first.get(), second.get(), sizeof(Record)), 0);
}

// Every section of the fixtures, checked with CheckSection.
void CheckEverySection() {
  CHarlenLoader l;
  CHarlenSaveString s;
  CheckSection<ChannelCfg>("channelcfg.xml", [&](auto e, auto& r) { return l.LoadChannelCfg(e, r); },
                           [&](auto& r, auto& t) { s.SaveConfChannel(r, t); });
  CheckSection<NetworkCfg>("network.xml", [&](auto e, auto& r) { return l.LoadConfNetwork(e, r); },
                           [&](auto& r, auto& t) { s.SaveConfNetwork(r, t); });
  CheckSection<DdnsCfg>("DDNS.xml", [&](auto e, auto& r) { return l.LoadConfDdns(e, r); },
                        [&](auto& r, auto& t) { s.SaveConfDdns(r, t); });
  CheckSection<NtpCfg>("NTP.xml", [&](auto e, auto& r) { return l.LoadConfNtp(e, r); },
                       [&](auto& r, auto& t) { s.SaveConfNtp(r, t); });
  CheckSection<EmailCfg>("email.xml", [&](auto e, auto& r) { return l.LoadConfEmail(e, r); },
                         [&](auto& r, auto& t) { s.SaveConfEmail(r, t); });
  CheckSection<ManageHostsCfg>("managehosts.xml", [&](auto e, auto& r) { return l.LoadConfManageHosts(e, r); },
                               [&](auto& r, auto& t) { s.SaveConfManageHosts(r, t); });
  CheckSection<SystemParam>("systemparam.xml", [&](auto e, auto& r) { return l.LoadSystemParam(e, r); },
                            [&](auto& r, auto& t) { s.SaveConfSystemParam(r, t); });
  CheckSection<UserCfg>("usercfg.xml", [&](auto e, auto& r) { return l.LoadUserCfg(e, r); },
                        [&](auto& r, auto& t) { s.SaveConfUserCfg(r, t); });
  CheckSection<CommonCfg>("common.xml", [&](auto e, auto& r) { return l.LoadCommon(e, r); },
                          [&](auto& r, auto& t) { s.SaveConfCommon(r, t); });
  CheckSection<AlarmLinkage>("AlarmLinkage.xml", [&](auto e, auto& r) { return l.LoadAlarmLinkage(e, r); },
                             [&](auto& r, auto& t) { s.SaveConfAlarmLinkage(r, t); });
  CheckSection<IpcChannelTable>("IPCChannelParam.xml", [&](auto e, auto& r) { return l.LoadConfIPCChannel(e, r); },
                                [&](auto& r, auto& t) { s.SaveConfIPCChannel(r, t); });
}

}  // namespace

TEST(SectionFixtures, EachSectionIsWrittenBackAsItCame) { CheckEverySection(); }

TEST(SectionFixtures, FixtureValuesArriveInTheRecords) {
  auto channel = std::make_unique<ChannelCfg>();
  auto alarm = std::make_unique<AlarmLinkage>();
  SystemManage manage;
  CHarlenLoader loader;
  TiXmlDocument doc;
  ASSERT_TRUE(ParseXmlText(ReadNvrFixture("channelcfg.xml"), doc));
  ASSERT_EQ(loader.LoadChannelCfg(doc.RootElement(), *channel), 0);
  EXPECT_EQ(channel->displayCount, 16u);
  EXPECT_EQ(FieldText(channel->display[0].name1), "\xC7\xB0\xC3\xC5");  // GBK text as it came
  EXPECT_EQ(FieldText(channel->display[3].name2), "Store %s");
  EXPECT_EQ(channel->video[2].auxstream.coderatemax, 256u);
  EXPECT_EQ(channel->recordDriven.entries[5].mode, 2u);
  EXPECT_EQ(channel->recordScheme.tables[0].cells[0][8], 2u);  // 'D'
  ASSERT_TRUE(ParseXmlText(ReadNvrFixture("AlarmLinkage.xml"), doc));
  ASSERT_EQ(loader.LoadAlarmLinkage(doc.RootElement(), *alarm), 0);
  EXPECT_EQ(alarm->ipcAlarmCount, 3u);
  EXPECT_EQ(alarm->ipcAlarm[0].channels[15].ChnNum, 2u);
  EXPECT_EQ(FieldText(alarm->ipcAlarm[0].channels[15].ChnArray), "16,1");
  EXPECT_EQ(alarm->ipcAlarm[1].channels[0].ChnNum, 0u);  // only motion detection records
  EXPECT_EQ(alarm->inputAlarm[0].arming[0][8], kArmed);
  EXPECT_EQ(alarm->sysAlarmCount, 6u);
  ASSERT_TRUE(ParseXmlText(ReadNvrFixture("systemmanage.xml"), doc));
  ASSERT_EQ(loader.LoadSystemManage(doc.RootElement(), manage), 0);
  EXPECT_EQ(manage.mode, kRebootEveryWeek);
  EXPECT_EQ(manage.weekdays, 0x49);  // sunday, wednesday, saturday
}

TEST(SectionFixtures, NoPasswordReachesATrace) {
  TraceCapture traces;
  CheckEverySection();
  IpcSearchList cameras;
  TiXmlDocument doc;
  ASSERT_TRUE(ParseXmlText(ReadNvrFixture("cameras.xml"), doc));
  CHarlenLoader().LoadAllFindroHeadInfo(doc.RootElement(), cameras);
  ASSERT_GT(traces.Lines().size(), 20u);
  for (const char* password : {"dd%s&pw", "mail$pw", "admin123", "op%pass", "cam12345", "cam%pw", "v1ewer", "12345\""}) {
    EXPECT_FALSE(traces.Contains(password)) << password;
  }
  EXPECT_TRUE(traces.Contains("get user admin."));
}

TEST(SaveAll, SendsEverySectionInItsOrderEvenWhenEmpty) {
  Records empty;
  const auto texts = SaveAllSections(empty.Refs());
  const std::vector<std::pair<int, const char*>> expected = {
      {6, "channelcfg"}, {12, "network"}, {13, "DDNS"},   {14, "NTP"},    {15, "email"},
      {16, "managehosts"}, {2, "systemparam"}, {17, "usercfg"}, {1, "common"}, {8, "AlarmLinkage"},
  };
  ASSERT_EQ(texts.size(), expected.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(texts[i].first, expected[i].first);
    EXPECT_EQ(texts[i].second.rfind("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<" + std::string(expected[i].second), 0),
              0u)
        << texts[i].second;
  }
}

// Save-all sends a record back only when the NVR's text loaded into it: each
// section is marked as its loader ends, and a section the text lacks keeps its mark.
TEST(WholeConfig, MarksTheSectionsThatLoaded) {
  auto part = [](const char* fixture) {
    const std::string text = ReadNvrFixture(fixture);
    return text.substr(text.find("?>") + 2);  // without its declaration
  };
  const std::string network = "<networkparam>" + part("network.xml") + part("DDNS.xml") + part("NTP.xml") +
                              part("email.xml") + part("managehosts.xml") + "</networkparam>";
  Records records;
  NvrLoadedSections loaded;
  ASSERT_TRUE(LoadWholeConfig("<nvr>" + part("channelcfg.xml") + network + part("usercfg.xml") + "</nvr>",
                              records.Refs(), &loaded));
  for (int section : {6, 12, 13, 14, 15, 16, 17}) EXPECT_TRUE(loaded.Has(section)) << section;
  for (int section : {1, 2, 8}) EXPECT_FALSE(loaded.Has(section)) << section << " was not in the text";

  // Then a text whose network does not load (a card type out of range) and without users.
  std::string badNetwork = network;
  badNetwork.replace(badNetwork.find("cardtype=\"1\""), 12, "cardtype=\"9\"");
  ASSERT_TRUE(LoadWholeConfig("<nvr>" + badNetwork + part("common.xml") + "</nvr>", records.Refs(), &loaded));
  EXPECT_FALSE(loaded.Has(12)) << "refused by its loader";
  EXPECT_TRUE(loaded.Has(13)) << "not read after the failing network: kept";
  EXPECT_TRUE(loaded.Has(17)) << "missing from the text: kept";
  EXPECT_TRUE(loaded.Has(1));
  EXPECT_FALSE(LoadWholeConfig("<nvr><common>", records.Refs(), &loaded));
  EXPECT_TRUE(loaded.Has(1)) << "a text that does not parse changes nothing";
}

// ---- the fake NVR's store: read, edit, send back, read again

namespace {

// The text of one section, as the NVR has it now.
std::string GetSection(OpenLink& open, int section) {
  if (open.link.GetConfig(section) != 0) return {};
  const std::optional<NvrReply> reply = open.log.Take(IsReply(4391, section));
  return reply.has_value() && reply->status == 0 ? reply->data : std::string();
}

// Sends a section text and waits for the NVR to take it.
bool SetSection(OpenLink& open, int section, const std::string& text) {
  if (open.link.SetConfig(section, text.data(), static_cast<int>(text.size())) != 0) return false;
  const std::optional<NvrReply> ack = open.log.Take([](const NvrReply& r) { return r.command == 4383; });
  return ack.has_value() && ack->status == 0;
}

}  // namespace

TEST(NvrStore, EditsMadeOnTheRecordsComeBackFromTheNvr) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  OpenLink open(nvr.Port());
  ASSERT_EQ(open.connectResult, 0);

  Records before;
  ASSERT_TRUE(LoadWholeConfig(GetSection(open, 0), before.Refs()));
  EXPECT_EQ(before.users->count, 3u);

  // Edits as the pages make them, on every kind of section.
  CopyFieldText(before.ntp->server, "time.example.org");
  CopyFieldText(before.users->users[1].username, "\xD6\xB5\xB0\xE0");  // GBK text
  before.channel->video[0].mainstream.framerate = 12;
  before.system->summerTime.start.hour = 23;
  before.alarm->ipcAlarm[0].channels[2].trigger.Email = 1;
  before.alarm->inputAlarm[1].arming[7][23] = kNotArmed;
  before.common->loglevel[3] = 7;
  before.hosts->vemo.port = 6061;

  const auto texts = SaveAllSections(before.Refs());
  for (const auto& [section, text] : texts) EXPECT_TRUE(SetSection(open, section, text)) << section;

  Records after;
  ASSERT_TRUE(LoadWholeConfig(GetSection(open, 0), after.Refs()));
  EXPECT_EQ(FieldText(after.ntp->server), "time.example.org");
  EXPECT_EQ(FieldText(after.users->users[1].username), "\xD6\xB5\xB0\xE0");
  EXPECT_EQ(after.channel->video[0].mainstream.framerate, 12u);
  EXPECT_EQ(after.system->summerTime.start.hour, 23u);
  EXPECT_EQ(after.alarm->ipcAlarm[0].channels[2].trigger.Email, 1u);
  EXPECT_EQ(after.alarm->inputAlarm[1].arming[7][23], kNotArmed);
  EXPECT_EQ(after.common->loglevel[3], 7u);
  EXPECT_EQ(after.hosts->vemo.port, 6061u);
  // Everything else came back as it was.
  EXPECT_EQ(std::memcmp(before.channel.get(), after.channel.get(), sizeof(ChannelCfg)), 0);
  EXPECT_EQ(std::memcmp(before.alarm.get(), after.alarm.get(), sizeof(AlarmLinkage)), 0);
  EXPECT_EQ(std::memcmp(before.users.get(), after.users.get(), sizeof(UserCfg)), 0);
  EXPECT_EQ(std::memcmp(before.system.get(), after.system.get(), sizeof(SystemParam)), 0);
  EXPECT_EQ(std::memcmp(before.manage.get(), after.manage.get(), sizeof(SystemManage)), 0);

  // The sections that the IP channel and manual record windows get and set alone.
  CHarlenLoader loader;
  CHarlenSaveString saver;
  IpcChannelTable table;
  TiXmlDocument doc;
  ASSERT_TRUE(ParseXmlText(GetSection(open, 5), doc));
  ASSERT_EQ(loader.LoadConfIPCChannel(doc.RootElement(), table), 0);
  CopyFieldText(table.entries[3].ip, "192.168.1.77");
  table.entries[3].used = 1;
  RecordDrivenList driven;
  ASSERT_TRUE(ParseXmlText(GetSection(open, 18), doc));
  ASSERT_EQ(loader.LoadRecordDriven(doc.RootElement(), driven), 0);
  driven.entries[15].mode = 3;
  std::string text;
  saver.SaveConfIPCChannel(table, text);
  EXPECT_TRUE(SetSection(open, 5, text));
  saver.SaveConfRecordDriven(driven, text);
  EXPECT_TRUE(SetSection(open, 18, text));
  IpcChannelTable tableAfter;
  ASSERT_TRUE(ParseXmlText(GetSection(open, 5), doc));
  ASSERT_EQ(loader.LoadConfIPCChannel(doc.RootElement(), tableAfter), 0);
  EXPECT_EQ(std::memcmp(&table, &tableAfter, sizeof table), 0);
  RecordDrivenList drivenAfter;
  ASSERT_TRUE(ParseXmlText(GetSection(open, 18), doc));
  ASSERT_EQ(loader.LoadRecordDriven(doc.RootElement(), drivenAfter), 0);
  EXPECT_EQ(drivenAfter.entries[15].mode, 3u);
}
