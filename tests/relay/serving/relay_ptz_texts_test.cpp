// The PTZ command texts of a peer's requests, byte for byte (this service's
// own table; the PTZ panel's texts have other runs of tabs and blanks).
#include <gtest/gtest.h>

#include <string>

#include "relay/serving/relay_ptz_texts.h"

namespace {

std::string T(int n) { return std::string(static_cast<size_t>(n), '\t'); }

}  // namespace

TEST(RelayPtzTexts, DirectionTextsByCommand) {
  const std::string up = "<xml>" + T(8) + "   <cmd>up</cmd>" + T(8) + "   <panspeed>5</panspeed>" + T(8) +
                         "   <tiltspeed>6</tiltspeed>" + T(8) + "   </xml>";
  auto turn = [](const char* word) {
    return "<xml>" + T(10) + " <cmd>" + word + "</cmd>" + T(10) + " <panspeed>5</panspeed>" + T(10) +
           " <tiltspeed>6</tiltspeed>" + T(10) + " </xml>";
  };
  auto lens = [](const char* word) { return "<xml>" + T(8) + "   <cmd>" + word + "</cmd>" + T(8) + "   </xml>"; };
  const struct {
    unsigned command;
    std::string text;
  } cases[] = {
      {1, up},
      {2, turn("down")},
      {3, turn("left")},
      {4, turn("right")},
      {9, "<xml>" + T(8) + "  <cmd>stop</cmd>" + T(8) + "  </xml>"},
      {10, lens("IrisOpenAutoOff")},
      {11, lens("IrisCloseAutoOff")},
      {12, lens("FocusFarAutoOff")},
      {13, lens("FocusNearAutoOff")},
      {14, lens("zoomtele")},
      {15, lens("zoomwide")},
      {0, ""}, {5, ""}, {6, ""}, {7, ""}, {8, ""}, {16, ""}, {0xFFFFFFFFu, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(relayptz::DirectionText(c.command, 5, 6), c.text) << c.command;
  EXPECT_EQ(relayptz::PresetListText(), "<xml>\n<cmd>GetPresetList</cmd>\n</xml>");
}

TEST(RelayPtzTexts, AuxTextsOfAllThirtySevenWords) {
  const char* words[] = {"BLCOff",    "BLCOn",     "MirrorOff",  "MirrorOn",  "FreezeOff", "FreezeOn", "StepsZOff",
                         "StepsZOn",  "ScreenOff", "ScreenOn",   "Min.SenOff", "Min.SenOn", "ILLOff",  "ILLOn",
                         "CamReset",  "AWBOn",     "AWBOff",     "RWB",       "BWB",       "MWB",      "GWB",
                         "InitSet",   "Menu",      "Orbit",      "OrbitStop", "ScanBegin", "ScanEnd",  "ScanOn",
                         "ScanOff",   "TrackOn",   "TrackOff",   "PathOn",    "PathOff",   "Wiper1On", "Wiper1Off",
                         "Wiper2On",  "Wiper2Off"};
  for (unsigned n = 1; n <= 37; ++n) {
    const int tabs = n == 28 || n == 29 ? 7 : 6;
    EXPECT_EQ(relayptz::AuxText(n), "<xml>" + T(tabs) + "  <cmd>" + words[n - 1] + "</cmd>" + T(tabs) + "  </xml>")
        << n;
  }
  EXPECT_EQ(relayptz::AuxText(1), "<xml>\t\t\t\t\t\t  <cmd>BLCOff</cmd>\t\t\t\t\t\t  </xml>");
  EXPECT_EQ(relayptz::AuxText(0), "");
  EXPECT_EQ(relayptz::AuxText(38), "");
}

TEST(RelayPtzTexts, PresetTextsByActionAndCheck) {
  const std::string sep7 = T(7) + "  ";
  auto set = [&](const std::string& cmd, const std::string& preset, const std::string& range = "") {
    return "<xml>" + sep7 + "<cmd>" + cmd + "</cmd>" + sep7 + "<preset>" + preset + "</preset>" + sep7 +
           "<flag>1</flag>" + (range.empty() ? "" : sep7 + range) + sep7 + "</xml>";
  };
  auto call = [](const std::string& preset) {
    return "<xml>" + T(7) + "   <cmd>callpreset</cmd>" + T(7) + "   <preset>" + preset + "</preset>" + T(7) +
           "   </xml>";
  };
  auto clear = [](const std::string& cmd, const std::string& preset) {
    return "<xml>" + T(5) + "   <cmd>" + cmd + "</cmd>" + T(5) + "   <preset>" + preset + "</preset>" + T(5) +
           "   </xml>";
  };
  const std::string range = "<r><b>08:00</b><e>09:30</e></r>";
  struct Case {
    unsigned action;
    std::string preset;
    int check;
    bool plugin;
    bool sent;
    std::string text;
  };
  const Case cases[] = {
      {3, "12", 0, false, true, call("12")},
      {3, "1", 0, false, true, call("1")},
      {3, "255", 0, false, true, call("255")},
      {3, "0", 0, false, false, ""},
      {3, "256", 0, false, false, ""},
      {3, "12", 1, false, false, ""},
      {3, "12", 0, true, true, ""},  // the plug-in's own texts: an empty XML text
      {1, "7", 0, false, true, set("setpreset", "7")},
      {1, "7", 0, true, true, ""},
      {1, "300", 0, false, false, ""},
      {1, "3#08:00-09:30", 1, false, true, set("setpreset", "3", range)},
      {1, "s2#08:00-09:30", 1, false, true, set("SetOrbit", "2", range)},
      {1, "o8#08:00-09:30", 1, false, true, set("SetScan", "8", range)},
      {1, "9#08:00-09:30", 1, false, false, ""},
      {1, "x2#08:00-09:30", 1, false, false, ""},
      {1, "3#08:00", 1, false, false, ""},  // no '-'
      {1, "s3@12", 2, false, false, ""},    // the plug-in form without a plug-in
      {1, "9", -1, false, false, ""},
      {2, "s3", 0, false, true, clear("DelOrbit", "3")},
      {2, "o8", 0, false, true, clear("DelScan", "8")},
      {2, "s9", 0, false, true, clear("clearpreset", "9")},
      {2, "so4", 0, false, true, clear("DelScan", "4")},
      {2, "17", 0, false, true, clear("clearpreset", "17")},
      {4, "1", 0, false, false, ""},
  };
  for (const Case& c : cases) {
    relayptz::PresetContext context;
    context.check = c.check;
    context.pluginLoaded = c.plugin;
    std::string text = "untouched";
    EXPECT_EQ(relayptz::PresetText(c.action, c.preset, context, &text), c.sent) << c.action << " " << c.preset;
    if (c.sent) EXPECT_EQ(text, c.text) << c.action << " " << c.preset;
  }
}

TEST(RelayPtzTexts, ThePluginFormAsksThePlugin) {
  struct Asked {
    std::string word;
    int a = -1, b = -1;
  } asked;
  relayptz::PresetContext context;
  context.check = 2;
  context.pluginLoaded = true;
  context.pluginContext = &asked;
  context.pluginCall = [](void* p, const char* word, int a, int b) {
    auto* out = static_cast<Asked*>(p);
    *out = Asked{word, a, b};
    return std::string("BYTES");
  };
  std::string text;
  ASSERT_TRUE(relayptz::PresetText(1, "s3@120", context, &text));
  EXPECT_EQ(text, "BYTES");
  EXPECT_EQ(asked.word, "AddScan");
  EXPECT_EQ(asked.a, 3);
  EXPECT_EQ(asked.b, 120);
  EXPECT_FALSE(relayptz::PresetText(1, "s8@12", context, &text));   // scan digit 0 to 7
  EXPECT_FALSE(relayptz::PresetText(1, "s3@90", context, &text));   // 1-80 or 100-254
  ASSERT_TRUE(relayptz::PresetText(1, "t@44", context, &text));
  EXPECT_EQ(asked.word, "SetScan");
  EXPECT_EQ(asked.a, 44);
  context.pluginCall = nullptr;  // a plug-in without its export: an empty text
  ASSERT_TRUE(relayptz::PresetText(1, "s3@12", context, &text));
  EXPECT_EQ(text, "");
}
