#include "live/ptz/ptz_command_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ptz;

namespace {

struct ButtonCase {
  int index;
  int pan;
  int tilt;
  const char* text;
};

// Exact bytes of every panel button, with the speed edges 1 and 10 and
// out-of-range speeds clamped into 1..10.
const ButtonCase kButtonCases[] = {
    {0, 1, 10,
     "<xml>\t\t\t\t\t\t\t\t   <cmd>up</cmd>\t\t\t\t\t\t\t\t   <panspeed>1</panspeed>\t\t\t\t\t\t\t\t   "
     "<tiltspeed>10</tiltspeed>\t\t\t\t\t\t\t\t   </xml>"},
    {1, 5, 6,
     "<xml>\t\t\t\t\t\t\t\t   <cmd>left</cmd>\t\t\t\t\t\t\t\t   <panspeed>5</panspeed>\t\t\t\t\t\t\t\t   "
     "<tiltspeed>6</tiltspeed>\t\t\t\t\t\t\t\t   </xml>"},
    {2, 0, 11,
     "<xml>\t\t\t\t\t\t\t\t   <cmd>right</cmd>\t\t\t\t\t\t\t\t   <panspeed>1</panspeed>\t\t\t\t\t\t\t\t   "
     "<tiltspeed>10</tiltspeed>\t\t\t\t\t\t\t\t   </xml>"},
    {3, -4, 10,
     "<xml>\t\t\t\t\t\t\t\t   <cmd>down</cmd>\t\t\t\t\t\t\t\t   <panspeed>1</panspeed>\t\t\t\t\t\t\t\t   "
     "<tiltspeed>10</tiltspeed>\t\t\t\t\t\t\t\t   </xml>"},
    {4, 5, 5, "<xml>\t\t\t\t\t\t\t\t   <cmd>IrisOpenAutoOff</cmd>\t\t\t\t\t\t\t\t   </xml>"},
    {5, 5, 5, "<xml>\t\t\t\t\t\t\t\t   <cmd>IrisCloseAutoOff</cmd>\t\t\t\t\t\t\t\t   </xml>"},
    {6, 5, 5, "<xml>\t\t\t\t\t\t\t\t   <cmd>FocusFarAutoOff</cmd>\t\t\t\t\t\t\t\t   </xml>"},
    {7, 5, 5, "<xml>\t\t\t\t\t\t\t\t   <cmd>zoomtele</cmd>\t\t\t\t\t\t\t\t   </xml>"},
    {8, 5, 5, "<xml>\t\t\t\t\t\t\t\t   <cmd>FocusNearAutoOff</cmd>\t\t\t\t\t\t\t\t   </xml>"},
    {9, 5, 5, "<xml>\t\t\t\t\t\t\t\t   <cmd>zoomwide</cmd>\t\t\t\t\t\t\t\t   </xml>"},
};

}  // namespace

TEST(PtzCommandText, ButtonTextsByteForByte) {
  for (const ButtonCase& c : kButtonCases) {
    SCOPED_TRACE(c.index);
    std::optional<std::string> text = ButtonCommandText(c.index, c.pan, c.tilt);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, c.text);
  }
  EXPECT_FALSE(ButtonCommandText(-1, 5, 5).has_value());
  EXPECT_FALSE(ButtonCommandText(kPtzButtonCount, 5, 5).has_value());
}

TEST(PtzCommandText, ButtonPluginWordsAndRelayCodes) {
  // Zoom buttons hand the plug-in the word of the opposite sign.
  const struct {
    const char* plugin;
    int relay;
  } expected[kPtzButtonCount] = {{"up", 1},     {"left", 3},    {"right", 4},  {"down", 2},
                                 {"Iris+", 10}, {"Iris-", 11},  {"Focus+", 12}, {"Zoom-", 14},
                                 {"Focus-", 13}, {"Zoom+", 15}};
  for (int i = 0; i < kPtzButtonCount; ++i) {
    SCOPED_TRACE(i);
    const PtzButton* button = PtzButtonAt(i);
    ASSERT_NE(button, nullptr);
    EXPECT_STREQ(button->pluginWord, expected[i].plugin);
    EXPECT_EQ(button->relayDirectionCode, expected[i].relay);
  }
  EXPECT_EQ(PtzButtonAt(10), nullptr);
  EXPECT_EQ(kRelayDirectionStop, 9);
}

TEST(PtzCommandText, StopAndPresetForms) {
  EXPECT_EQ(StopCommandText(), "<xml>\t\t\t\t\t\t\t  <cmd>stop</cmd>\t\t\t\t\t\t\t  </xml>");
  EXPECT_EQ(SetPresetCommandText("255").value(),
            "<xml>\t\t\t\t\t\t\t  <cmd>setpreset</cmd>\t\t\t\t\t\t\t  <preset>255</preset>"
            "\t\t\t\t\t\t\t  <flag>1</flag>\t\t\t\t\t\t\t  </xml>");
  EXPECT_EQ(SetTimedCommandText("SetOrbit", "3", "08:00", "17:30").value(),
            "<xml>\t\t\t\t\t\t\t  <cmd>SetOrbit</cmd>\t\t\t\t\t\t\t  <preset>3</preset>"
            "\t\t\t\t\t\t\t  <flag>1</flag>\t\t\t\t\t\t\t  <r><b>08:00</b><e>17:30</e></r>"
            "\t\t\t\t\t\t\t  </xml>");
  EXPECT_EQ(CallPresetCommandText("1").value(),
            "<xml>\t\t\t\t\t\t\t   <cmd>callpreset</cmd>\t\t\t\t\t\t\t   <preset>1</preset>"
            "\t\t\t\t\t\t\t   </xml>");
  EXPECT_EQ(DeleteCommandText("DelScan", "2").value(),
            "<xml>\t\t\t\t\t   <cmd>DelScan</cmd>\t\t\t\t\t   <preset>2</preset>\t\t\t\t\t   </xml>");
}

TEST(PtzCommandText, AdvancedTextsAndRuns) {
  EXPECT_EQ(AdvancedCommandText(0).value(),
            "<xml>\t\t\t               <cmd>BLCOff</cmd>\t\t\t               </xml>");
  EXPECT_EQ(AdvancedCommandText(1).value(), "<xml>\t\t\t\t\t\t  <cmd>BLCOn</cmd>\t\t\t\t\t\t  </xml>");
  EXPECT_EQ(AdvancedCommandText(10).value(),
            "<xml>\t\t\t\t\t\t  <cmd>Min.SenOff</cmd>\t\t\t\t\t\t  </xml>");
  EXPECT_EQ(AdvancedCommandText(27).value(), "<xml>\t\t\t\t\t\t\t  <cmd>ScanOn</cmd>\t\t\t\t\t\t\t  </xml>");
  EXPECT_EQ(AdvancedCommandText(28).value(), "<xml>\t\t\t\t\t\t\t  <cmd>ScanOff</cmd>\t\t\t\t\t\t\t  </xml>");
  EXPECT_EQ(AdvancedCommandText(39).value(), "<xml>\t\t\t\t\t\t  <cmd>WDROff</cmd>\t\t\t\t\t\t  </xml>");
  // Auxiliary switches have no XML text, only plug-in words.
  EXPECT_FALSE(AdvancedCommandText(40).has_value());
  EXPECT_FALSE(AdvancedCommandText(58).has_value());
  EXPECT_FALSE(AdvancedCommandText(-1).has_value());

  EXPECT_STREQ(PtzAdvancedAt(27)->pluginWord, "AutoScan");
  EXPECT_STREQ(PtzAdvancedAt(28)->pluginWord, "stop");
  EXPECT_EQ(PtzAdvancedAt(1)->pluginWord, nullptr);
  EXPECT_EQ(PtzAdvancedAt(34)->stringId, 423);
  EXPECT_EQ(PtzAdvancedAt(37)->stringId, 1409);
  EXPECT_STREQ(PtzAdvancedAt(40)->pluginWord, "Open1");
  EXPECT_STREQ(PtzAdvancedAt(41)->pluginWord, "Close1");
  EXPECT_STREQ(PtzAdvancedAt(56)->pluginWord, "Open9");
  EXPECT_STREQ(PtzAdvancedAt(57)->pluginWord, "Close9");
  EXPECT_FALSE(PtzAdvancedAt(58).has_value());
  EXPECT_EQ(RelayAdvanceCode(0), 1);
  EXPECT_EQ(RelayAdvanceCode(39), 40);
}

TEST(PtzCommandText, KeyboardBytesAsLowerHex) {
  EXPECT_EQ(TransCommandText({0x01, 0xA0, 0xFF}).value(),
            "<xml>\n<cmd>trans</cmd>\n<data>01a0ff</data>\n</xml>");
  EXPECT_EQ(TransCommandText({}).value(), "<xml>\n<cmd>trans</cmd>\n<data></data>\n</xml>");
}

TEST(PtzCommandText, NvrChannelWrapping) {
  const std::string stop = StopCommandText();
  EXPECT_EQ(WrapForNvrChannel(3, stop).value(), "<channelid>3</channelid>\n" + stop);
  EXPECT_EQ(WrapForNvrChannel(12, "x").value(), "<channelid>12</channelid>\nx");
  EXPECT_FALSE(WrapForNvrChannel(3, std::string(kPtzCommandTextMax + 1, 'a')).has_value());
  EXPECT_LT(WrapForNvrChannel(3, std::string(kPtzCommandTextMax, 'a'))->size(), kNvrWrappedTextBuffer);
}

// Texts that would not fit the camera's 256-byte buffer are refused, never cut
// or written past its end; the longest text that fits is still built.
TEST(PtzCommandText, OverlongTextsAreRefused) {
  const std::string callFrame = CallPresetCommandText("").value();
  const size_t room = kPtzCommandTextMax - callFrame.size();
  ASSERT_EQ(CallPresetCommandText(std::string(room, '7'))->size(), kPtzCommandTextMax);
  EXPECT_FALSE(CallPresetCommandText(std::string(room + 1, '7')).has_value());

  const std::string longEntry(300, 'p');
  EXPECT_FALSE(SetPresetCommandText(longEntry).has_value());
  EXPECT_FALSE(DeleteCommandText("clearpreset", longEntry).has_value());
  EXPECT_FALSE(SetTimedCommandText("SetScan", "1", longEntry, "10:00").has_value());

  // trans: frame of 43 characters, so 106 bytes (212 digits) fit and 107 do not.
  const size_t transFrame = TransCommandText({})->size();
  const size_t maxBytes = (kPtzCommandTextMax - transFrame) / 2;
  EXPECT_TRUE(TransCommandText(std::vector<uint8_t>(maxBytes, 0xAB)).has_value());
  EXPECT_FALSE(TransCommandText(std::vector<uint8_t>(maxBytes + 1, 0xAB)).has_value());
}

TEST(PtzCommandText, PresetListAnswer) {
  const std::vector<PresetListEntry> entries =
      ParsePresetListAnswer("header^1^2^A#1 08:00-17:00^^S#2^tail");
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].text, "1");
  EXPECT_FALSE(entries[0].isRule);
  EXPECT_EQ(entries[1].text, "2");
  EXPECT_EQ(entries[2].text, "A#1 08:00-17:00");
  EXPECT_TRUE(entries[2].isRule);
  EXPECT_EQ(entries[3].text, "S#2");
  EXPECT_TRUE(entries[3].isRule);

  EXPECT_TRUE(ParsePresetListAnswer("").empty());
  EXPECT_TRUE(ParsePresetListAnswer("no separator").empty());
  EXPECT_TRUE(ParsePresetListAnswer("^").empty());
}
