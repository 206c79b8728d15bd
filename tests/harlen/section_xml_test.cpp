// What the configuration sections share: texts, conversions, fields,
// addresses, schedules and the whole configuration.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <tinyxml.h>

#include <cstring>
#include <string>
#include <vector>

#include "fake_nvr_process.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/sched_cell.h"
#include "harlen/link/xml/section_xml.h"
#include "harlen/link/xml/text_codec.h"
#include "harlen/link/xml/whole_config.h"
#include "trace_capture.h"

TEST(SectionText, DeclarationThenTabIndentedRoot) {
  auto* root = new TiXmlElement("NTP");
  root->SetAttribute("enable", 1);
  AddChild(AddChild(root, "child"), "leaf")->SetAttribute("name", "\xD6\xD0%s");
  EXPECT_EQ(PrintSectionText(root),
            "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n"
            "<NTP enable=\"1\">\n"
            "\t<child>\n"
            "\t\t<leaf name=\"\xD6\xD0%s\" />\n"
            "\t</child>\n"
            "</NTP>\n");
  auto* control = new TiXmlElement("disk");
  control->SetAttribute("path", "sda");
  EXPECT_EQ(PrintControlText(control), "<disk path=\"sda\" />\n");
}

TEST(SectionText, ParsesGbkTextAndReportsWhatDoesNot) {
  TiXmlDocument doc;
  ASSERT_TRUE(ParseXmlText(ReadNvrFixture("systemparam.xml"), doc));
  const TiXmlElement* device = doc.RootElement()->FirstChildElement("devicecfg");
  ASSERT_NE(device, nullptr);
  EXPECT_STREQ(device->Attribute("name"), "\xC2\xBC\xCF\xF1\xBB\xFA\xD2\xBB\xBA\xC5");  // GBK bytes kept
  for (const char* bad : {"", "<a>", "not xml", "<a></b>"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseXmlText(bad, doc));
  }
  EXPECT_FALSE(ParseXmlText("<a>", doc));
  EXPECT_NE(std::string(doc.ErrorDesc()), "");
}

TEST(TextCodec, GbkAndUtf16) {
  struct Case {
    const char* name;
    std::string ansi;
    std::u16string wide;
  };
  const std::vector<Case> both = {
      {"empty", "", u""},
      {"ascii", "Camera 01 %s", u"Camera 01 %s"},
      {"GB2312", "\xC7\xB0\xC3\xC5", u"\u524D\u95E8"},    // 前门
      {"GBK only", "\x86\xB4", u"\u5586"},             // a character outside GB2312
      {"mixed", "A\xD6\xD0" "B", u"A\u4E2D" "B"},
  };
  for (const Case& c : both) {
    SCOPED_TRACE(c.name);
    std::u16string wide = u"old";
    ASSERT_EQ(AnsiToUnicode(c.ansi, wide), 1);
    EXPECT_EQ(wide, c.wide);
    std::string ansi = "old";
    ASSERT_EQ(UnicodeToAnsi(c.wide, ansi), 1);
    EXPECT_EQ(ansi, c.ansi);
  }
  // What does not convert is replaced, never lost or failed.
  std::u16string wide;
  ASSERT_EQ(AnsiToUnicode("a\xFF" "b\xD6", wide), 1);
  EXPECT_EQ(wide, u"a\uFFFD" "b\uFFFD");
  std::string ansi;
  ASSERT_EQ(UnicodeToAnsi(u"a\U0001F600b\xD800", ansi), 1);
  EXPECT_EQ(ansi, "a?b?");
}

TEST(TextCodec, HexToByte) {
  const std::vector<std::pair<const char*, int>> cases = {
      {"1A", 0x1A}, {"1a", 0x1A}, {"A", 0x0A}, {"ff", 0xFF}, {"1-A", 0x1A}, {"123", 0x23}, {"", 0}, {"zz", 0},
      {"0x1f", 0x1F},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(HexToByte(text), value) << text;
}

TEST(TextCodec, Addresses) {
  const uint32_t address = StringToIp("192.168.1.10");
  uint8_t bytes[4];
  std::memcpy(bytes, &address, 4);
  EXPECT_EQ(bytes[0], 192);
  EXPECT_EQ(bytes[3], 10);
  EXPECT_EQ(IpToString(address), "192.168.1.10");
  EXPECT_EQ(IpToString(0), "0.0.0.0");
  for (const char* bad : {"255.255.255.255", "", "abc", "1.2.3.4.5", "300.1.1.1"}) {
    EXPECT_EQ(StringToIp(bad), INADDR_NONE) << bad;
  }
}

TEST(FieldText, CopiesWholeCharactersIntoTheField) {
  struct Case {
    const char* name;
    std::string text;
    size_t width;
    std::string kept;
  };
  const std::vector<Case> cases = {
      {"short", "abc", 8, "abc"},
      {"width less one kept whole", "abcdefg", 8, "abcdefg"},
      {"one more is cut", "abcdefgh", 8, "abcdefg"},
      {"percent signs as they stand", "%s%d%%", 8, "%s%d%%"},
      {"double-byte character not cut in two", "\xD6\xD0\xCE\xC4\xD7\xD6", 6, "\xD6\xD0\xCE\xC4"},
      {"after a single byte", "a\xD6\xD0", 3, "a"},
      {"fits exactly", "a\xD6\xD0", 4, "a\xD6\xD0"},
      {"lead byte at the end alone", "ab\xD6", 8, "ab\xD6"},
      {"empty", "", 4, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<char> field(c.width + 4, 'Z');
    CopyFieldText(field.data(), c.width, c.text);
    EXPECT_EQ(std::string(FieldText(field.data(), c.width)), c.kept);
    EXPECT_EQ(field[c.width], 'Z');  // nothing written past the field
  }
  const char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(FieldText(unterminated), "abcd");
}

TEST(SectionValues, IntegerAttributes) {
  TiXmlElement e("e");
  e.SetAttribute("n", "12");
  e.SetAttribute("neg", "-5");
  e.SetAttribute("word", "abc");
  e.SetAttribute("wide", "4294967297");
  EXPECT_EQ(AttrInt(&e, "n"), 12);
  EXPECT_EQ(AttrInt(&e, "neg"), -5);
  EXPECT_EQ(AttrInt(&e, "word", 7), 7);
  EXPECT_EQ(AttrInt(&e, "missing", 9), 9);
  EXPECT_EQ(AttrInt(&e, "wide"), 1);  // the low 32 bits
}

TEST(SectionValues, Ipv4Elements) {
  TraceCapture traces;
  std::unique_ptr<TiXmlElement> written(GenIpv4Element("GW", StringToIp("10.1.2.3")));
  EXPECT_STREQ(written->Attribute("ipv4"), "10.1.2.3");
  EXPECT_STREQ(written->Attribute("ipv6"), "10.1.2.3");
  uint32_t address = 0;
  ASSERT_EQ(LoadIpv4Element(written.get(), address), 0);
  EXPECT_EQ(address, StringToIp("10.1.2.3"));
  for (const char* bad : {"255.255.255.255", "abc", ""}) {
    SCOPED_TRACE(bad);
    TiXmlElement e("IP");
    e.SetAttribute("ipv4", bad);
    address = 77;
    EXPECT_EQ(LoadIpv4Element(&e, address), -1);
    EXPECT_EQ(address, 77u);
    EXPECT_TRUE(traces.Contains(std::string("IPV4 ") + bad + " error."));
  }
  // At most 31 characters of the text are read.
  TiXmlElement padded("IP");
  padded.SetAttribute("ipv4", (std::string("1.2.3.4") + std::string(24, ' ') + "999").c_str());
  EXPECT_EQ(LoadIpv4Element(&padded, address), 0);
  EXPECT_EQ(address, StringToIp("1.2.3.4"));
}

TEST(SectionValues, MacElements) {
  TraceCapture traces;
  const uint8_t mac[6] = {0, 18, 52, 86, 120, 255};
  std::unique_ptr<TiXmlElement> written(GenHwElement(mac));
  uint8_t read[6] = {};
  ASSERT_EQ(LoadHwElement(written.get(), read), 0);
  EXPECT_EQ(std::memcmp(read, mac, 6), 0);
  written->SetAttribute("a3", 256);
  EXPECT_EQ(LoadHwElement(written.get(), read), -1);
  EXPECT_TRUE(traces.Contains("a3 256 error."));
}

TEST(Schedules, LettersBothWays) {
  const std::vector<std::pair<char, SchedCell>> letters = {
      {'T', 1}, {'D', 2}, {'A', 3}, {'2', 4}, {'1', 5}, {'C', 0}, {'X', 0}, {'t', 0}, {'0', 0},
  };
  for (const auto& [letter, cell] : letters) EXPECT_EQ(SchedCellFromChar(letter), cell) << letter;
  const std::vector<std::pair<SchedCell, char>> cells = {{0, 'C'}, {1, 'T'}, {2, 'D'}, {3, 'A'}, {4, '2'}, {5, '1'}, {6, 'C'}, {99, 'C'}};
  for (const auto& [cell, letter] : cells) EXPECT_EQ(SchedCellToChar(cell), letter) << cell;

  SchedCell table[kSchedDays][kSchedHours];
  std::memset(table, 0xFF, sizeof table);
  ReadSchedText("T" + std::string(191, 'X'), table);
  EXPECT_EQ(table[0][0], 1u);
  EXPECT_EQ(table[7][23], 0u);
  EXPECT_EQ(SchedText(table), "T" + std::string(191, 'C'));

  ReadArmingText(std::string(96, '1') + std::string(96, '0'), table);
  EXPECT_EQ(table[3][23], kArmed);
  EXPECT_EQ(table[4][0], kNotArmed);
  EXPECT_EQ(ArmingText(table), std::string(96, '1') + std::string(96, '0'));
}

TEST(Schedules, ScheduleElementEnable) {
  TraceCapture traces;
  const std::vector<std::pair<const char*, int>> cases = {{"0", 0}, {"1", 1}, {"5", 1}, {"-1", 0}, {"x", 0}};
  for (const auto& [text, enable] : cases) {
    TiXmlElement e("Config");
    e.SetAttribute("enable", text);
    e.SetAttribute("sched", "TD");
    SchedTable table{};
    LoadSchedAttrs(&e, table);
    EXPECT_EQ(table.enable, enable) << text;
    EXPECT_EQ(table.cells[0][1], 2u);
  }
  EXPECT_TRUE(traces.Contains("enable 5 error."));
}

TEST(WholeConfig, SplitsIntoItsSections) {
  std::string whole = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<nvr>";
  for (const char* name : {"channelcfg", "systemparam", "systemmanage", "usercfg", "common", "AlarmLinkage"}) {
    std::string text = ReadNvrFixture(std::string(name) + ".xml");
    whole += text.substr(text.find('\n') + 1);
    if (std::string(name) == "channelcfg") whole += "<networkparam />";
  }
  whole += "</nvr>";
  TiXmlDocument doc;
  WholeConfigParts parts;
  ASSERT_TRUE(SplitWholeConfig(whole, doc, parts));
  for (const TiXmlElement* part : {parts.channelcfg, parts.networkparam, parts.systemparam, parts.systemmanage,
                                   parts.usercfg, parts.common, parts.alarmLinkage}) {
    EXPECT_NE(part, nullptr);
  }
  EXPECT_STREQ(parts.usercfg->Value(), "usercfg");

  // A section that is not there is null; any root name is taken; a text that does not parse fails.
  ASSERT_TRUE(SplitWholeConfig("<config><common /></config>", doc, parts));
  EXPECT_NE(parts.common, nullptr);
  EXPECT_EQ(parts.usercfg, nullptr);
  EXPECT_FALSE(SplitWholeConfig("<nvr><common></nvr>", doc, parts));
}
