// The PTZ panel's actions: the exact texts handed to the main window, with and
// without the PTZ-protocol plug-in, and the preset validation.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/temp_folder.h"
#include "live/ptz/ptz_panel_logic.h"
#include "platform/paths.h"
#include "ptz_panel_test_host.h"

namespace {

const std::string kMoveRun = "\t\t\t\t\t\t\t\t   ";
const std::string kStop = "<xml>\t\t\t\t\t\t\t  <cmd>stop</cmd>\t\t\t\t\t\t\t  </xml>";

std::string Move(const std::string& word, int pan, int tilt) {
  return "<xml>" + kMoveRun + "<cmd>" + word + "</cmd>" + kMoveRun + "<panspeed>" + std::to_string(pan) +
         "</panspeed>" + kMoveRun + "<tiltspeed>" + std::to_string(tilt) + "</tiltspeed>" + kMoveRun + "</xml>";
}
std::string Lens(const std::string& word) { return "<xml>" + kMoveRun + "<cmd>" + word + "</cmd>" + kMoveRun + "</xml>"; }

std::string Plugin(int addr, const std::string& word, int a, int b) {
  return "<xml><cmd>tarnex</cmd><addr>" + std::to_string(addr) + "</addr><word>" + word + "</word><a>" +
         std::to_string(a) + "</a><b>" + std::to_string(b) + "</b></xml>";
}

// The program folder holds the built plug-in (the tests run from it).
std::string BuiltPlugin(const std::string& name) { return paths::NativePath(paths::ProgramFolder()) + name; }

// One preset action and what it must show and send (empty: nothing sent).
struct PresetCase {
  const char* action;  // "add", "call" or "remove"
  const char* text;
  int message;
  std::string sent;
};

class PtzPanelTest : public ::testing::Test {
 protected:
  RecordingPtzHost host;
  CPtzPanelLogic panel{host};
  std::vector<std::string> deleteList;

  void LoadPlugin() { ASSERT_TRUE(host.plugin.LoadFile(BuiltPlugin("Tarnex.DLL"))); }

  void Run(const std::vector<PresetCase>& cases) {
    for (const PresetCase& c : cases) {
      host.sent.clear();
      const std::string action = c.action;
      int message = 0;
      if (action == "add") message = panel.AddPreset(c.text, deleteList);
      if (action == "remove") message = panel.RemovePreset(c.text);
      if (action == "call") message = panel.CallPreset(c.text, deleteList).message;
      EXPECT_EQ(message, c.message) << c.action << " " << c.text;
      EXPECT_EQ(host.sent, c.sent.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.sent})
          << c.action << " " << c.text;
    }
  }
};

}  // namespace

TEST_F(PtzPanelTest, EachHoldButtonSendsItsTextAndTheReleaseOneStop) {
  struct Case {
    int index;
    std::string text;
    int relay;
  };
  const Case cases[] = {
      {0, Move("up", 5, 5), 1},         {1, Move("left", 5, 5), 3},
      {2, Move("right", 5, 5), 4},      {3, Move("down", 5, 5), 2},
      {4, Lens("IrisOpenAutoOff"), 10}, {5, Lens("IrisCloseAutoOff"), 11},
      {6, Lens("FocusFarAutoOff"), 12}, {7, Lens("zoomtele"), 14},
      {8, Lens("FocusNearAutoOff"), 13}, {9, Lens("zoomwide"), 15},
  };
  for (const Case& c : cases) {
    host.calls.clear();
    panel.Press(c.index, 5, 5);
    panel.StopHeld();
    panel.StopHeld();  // a second release sends nothing
    const std::vector<std::string> expected = {"send " + c.text, "direction " + std::to_string(c.relay) + " 5 5",
                                               "send " + kStop, "direction 9 0 0"};
    EXPECT_EQ(host.calls, expected) << "button " << c.index;
  }
  host.calls.clear();
  panel.StopHeld();
  panel.Press(10, 5, 5);
  EXPECT_TRUE(host.calls.empty()) << "a release without a press, and an unknown button, send nothing";
}

TEST_F(PtzPanelTest, SpeedsOneAndTenAreWrittenAsDecimals) {
  panel.Press(0, 1, 10);
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.sent[0], Move("up", 1, 10));
}

TEST_F(PtzPanelTest, AdvancedEntriesWithoutThePlugin) {
  panel.Advance(0);
  panel.Advance(1);
  panel.Advance(28);
  panel.Advance(-1);  // no selection
  panel.Advance(40);  // auxiliary switch: plug-in only
  panel.Advance(58);
  const std::vector<std::string> expected = {
      "send <xml>\t\t\t               <cmd>BLCOff</cmd>\t\t\t               </xml>", "advance 1",
      "send <xml>\t\t\t\t\t\t  <cmd>BLCOn</cmd>\t\t\t\t\t\t  </xml>", "advance 2",
      "send <xml>\t\t\t\t\t\t\t  <cmd>ScanOff</cmd>\t\t\t\t\t\t\t  </xml>", "advance 29"};
  EXPECT_EQ(host.calls, expected);
}

TEST_F(PtzPanelTest, LoadedPluginTextsTakeThePlaceOfTheXml) {
  LoadPlugin();
  panel.Press(7, 3, 4);  // zoom + passes the opposite word
  panel.StopHeld();
  panel.Advance(27);
  panel.Advance(1);   // no plug-in word: XML
  panel.Advance(41);  // Close1
  EXPECT_EQ(panel.AddPreset("12", deleteList), 0);
  EXPECT_EQ(panel.AddPreset("1#08:00-09:00", deleteList), 0);  // timed rules stay XML
  EXPECT_EQ(panel.CallPreset("12", deleteList).message, 0);
  const std::vector<std::string> expected = {
      "send " + Plugin(7, "Zoom-", 3, 4),
      "direction 14 3 4",
      "send " + Plugin(7, "stop", 0, 0),
      "direction 9 0 0",
      "send " + Plugin(7, "AutoScan", 0, 0),
      "advance 28",
      "send <xml>\t\t\t\t\t\t  <cmd>BLCOn</cmd>\t\t\t\t\t\t  </xml>",
      "advance 2",
      "send " + Plugin(7, "Close1", 0, 0),
      "advance 42",
      "send " + Plugin(7, "Preset", 0, 12),
      "send <xml>\t\t\t\t\t\t\t  <cmd>setpreset</cmd>\t\t\t\t\t\t\t  <preset>1</preset>\t\t\t\t\t\t\t  "
      "<flag>1</flag>\t\t\t\t\t\t\t  <r><b>08:00</b><e>09:00</e></r>\t\t\t\t\t\t\t  </xml>",
      "send " + Plugin(7, "PreCall", 0, 12),
  };
  EXPECT_EQ(host.calls, expected);
}

TEST_F(PtzPanelTest, PluginScanTexts) {
  LoadPlugin();
  const std::vector<PresetCase> cases = {
      {"add", "s2@90", IDS_PTZ_INPUT_ERROR, ""},
      {"add", "s2@100", 0, Plugin(7, "AddScan", 2, 100)},
      {"add", "s2@255", IDS_PTZ_INPUT_ERROR, ""},
      {"add", "s8@10", IDS_PTZ_INPUT_ERROR, ""},
      {"add", "t@6", 0, Plugin(7, "SetScan", 6, 0)},
      {"add", "x@6", IDS_PTZ_INPUT_ERROR, ""},
      {"remove", "s2@255", 0, Plugin(7, "DelScan", 2, 255)},
      {"remove", "s2@90", IDS_PTZ_INPUT_ERROR, ""},
      {"remove", "12", IDS_PTZ_INPUT_ERROR, ""},
      {"call", "s3@act", 0, Plugin(7, "ActScan", 3, 0)},
      {"call", "s3@stop", 0, Plugin(7, "StopScan", 3, 0)},
      {"call", "s3@go", IDS_PTZ_INPUT_ERROR, ""},
  };
  Run(cases);
}

TEST_F(PtzPanelTest, PresetActionsWithoutThePlugin) {
  const std::string set5 =
      "<xml>\t\t\t\t\t\t\t  <cmd>setpreset</cmd>\t\t\t\t\t\t\t  <preset>5</preset>\t\t\t\t\t\t\t  <flag>1</flag>"
      "\t\t\t\t\t\t\t  </xml>";
  const std::string orbit3 =
      "<xml>\t\t\t\t\t\t\t  <cmd>SetOrbit</cmd>\t\t\t\t\t\t\t  <preset>3</preset>\t\t\t\t\t\t\t  <flag>1</flag>"
      "\t\t\t\t\t\t\t  <r><b>08:00</b><e>09:00</e></r>\t\t\t\t\t\t\t  </xml>";
  const std::string call7 = "<xml>\t\t\t\t\t\t\t   <cmd>callpreset</cmd>\t\t\t\t\t\t\t   <preset>7</preset>\t\t\t\t\t\t\t   </xml>";
  const std::string delOrbit3 = "<xml>\t\t\t\t\t   <cmd>DelOrbit</cmd>\t\t\t\t\t   <preset>3</preset>\t\t\t\t\t   </xml>";
  const std::string clear4 =
      "<xml>\t\t\t\t\t   <cmd>clearpreset</cmd>\t\t\t\t\t   <preset>4#08:00-09:00</preset>\t\t\t\t\t   </xml>";
  const std::vector<PresetCase> cases = {
      {"add", "5", 0, set5},
      {"add", "256", IDS_PTZ_PRESET_RANGE, ""},
      {"add", "0", IDS_PTZ_PRESET_RANGE, ""},
      {"add", "abc", IDS_PTZ_INPUT_ERROR, ""},
      {"add", "", IDS_PTZ_INPUT_ERROR, ""},
      {"add", "s2@100", IDS_PTZ_INPUT_ERROR, ""},  // no plug-in: not a scan text
      {"add", "1#08:00", IDS_PTZ_INPUT_ERROR, ""},
      {"add", "9#08:00-09:00", IDS_PTZ_RULE_RANGE, ""},
      {"add", "s9#08:00-09:00", IDS_PTZ_RULE_RANGE, ""},
      {"add", "x1#08:00-09:00", IDS_PTZ_INPUT_ERROR, ""},
      {"add", "S3#08:00-09:00", 0, orbit3},
      {"call", "7", 0, call7},
      {"call", "300", IDS_PTZ_CALL_RANGE, ""},
      {"call", "abc", 0, ""},
      {"call", "", 0, ""},
      {"remove", "s3#08:00-09:00", 0, delOrbit3},
      {"remove", "4#08:00-09:00", 0, clear4},
      {"remove", "s9#08:00-09:00", 0, ""},
      {"remove", "", 0, ""},
  };
  Run(cases);
}

TEST_F(PtzPanelTest, RelayPanesGetThePresetTextsAsTyped) {
  host.activeRelay = true;
  EXPECT_EQ(panel.AddPreset("12", deleteList), 0);
  EXPECT_EQ(panel.CallPreset("300", deleteList).message, 0) << "not validated for the relay";
  EXPECT_EQ(panel.RemovePreset("4"), 0);
  EXPECT_EQ(panel.AddPreset("abc", deleteList), IDS_PTZ_INPUT_ERROR) << "adding still validates";
  const std::vector<std::string> expected = {"relay preset 1 12", "relay preset 3 300", "relay preset 2 4"};
  EXPECT_EQ(host.calls, expected);
}

TEST(PtzPresetInput, ValidationTable) {
  const std::vector<std::string> none;
  const std::vector<std::string> orbit = {"5", "s1#08:00-09:00"};
  struct Case {
    const char* text;
    const std::vector<std::string>* list;
    bool plugin;
    int result;
  };
  const Case cases[] = {
      {"5", &none, false, 0},
      {"", &none, false, -1},
      {"5a", &none, false, -1},
      {"1#08:00", &none, false, -1},
      {"1#09:00-08:00", &none, false, -2},
      {"1#08:00-08:00", &none, false, -2},
      {"1#24:00-25:00", &none, false, -2},
      {"1#9:00-10:00", &none, false, -2},
      {"1#08:60-09:00", &none, false, -2},
      {"1#08:00-09:0", &none, false, -2},
      {"1#08:00-09:00", &none, false, 1},
      {"o2#08:30-10:00", &orbit, false, -3},
      {"o2#07:00-08:30", &orbit, false, -3},
      {"o2#07:00-10:00", &orbit, false, -3},
      {"o2#08:00-08:30", &orbit, false, -3},
      {"o2#08:30-09:00", &orbit, false, -3},
      {"o2#09:00-10:00", &orbit, false, 1},  // touching
      {"o2#07:00-08:00", &orbit, false, 1},  // touching
      {"2#08:30-10:00", &orbit, false, 1},   // a preset rule against an orbit rule
      {"s1#10:00-11:00", &orbit, false, 1},  // the same rule set again
      {"s2@100", &none, true, 2},
      {"s2@100", &none, false, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckPresetInput(c.text, c.plugin, *c.list), c.result) << c.text;
  }
}

TEST(PtzPlugin, LoadedByFileNameFromTheProgramFolder) {
  CPtzProtocolPlugin plugin;
  ASSERT_TRUE(plugin.Load());
  EXPECT_TRUE(plugin.IsLoaded());
  EXPECT_NE(plugin.Function(), nullptr);
  EXPECT_EQ(plugin.Call(3, "Open2", 0, 0), Plugin(3, "Open2", 0, 0));
  EXPECT_EQ(plugin.Call(3, "NoSuchWord", 0, 0), "") << "an unknown word makes nothing";
  plugin.Free();
  EXPECT_FALSE(plugin.IsLoaded());
  EXPECT_EQ(plugin.Function(), nullptr);
}

TEST(PtzPlugin, MissingOrBrokenPluginIsIgnored) {
  TempFolder dir;
  const std::string builtFolder = paths::ProgramFolder();
  paths::SetProgramFolder(dir.Path());
  CPtzProtocolPlugin plugin;
  EXPECT_FALSE(plugin.Load()) << "no file";
  {
    std::ofstream(dir.File("Tarnex.DLL")) << "this is no shared library";
  }
  EXPECT_FALSE(plugin.Load()) << "not a library";
  EXPECT_FALSE(plugin.IsLoaded());
  paths::SetProgramFolder("");

  // Without a module the panel keeps its XML texts.
  RecordingPtzHost host;
  CPtzPanelLogic panel(host);
  panel.Press(0, 5, 5);
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.sent[0], Move("up", 5, 5));

  // A module without the export: loaded, but the plug-in's words send nothing.
  std::filesystem::copy_file(paths::NativePath(builtFolder + "NoExport.DLL"), dir.File("Tarnex.DLL"),
                             std::filesystem::copy_options::overwrite_existing);
  paths::SetProgramFolder(dir.Path());
  EXPECT_TRUE(host.plugin.Load());
  paths::SetProgramFolder("");
  EXPECT_TRUE(host.plugin.IsLoaded());
  EXPECT_EQ(host.plugin.Function(), nullptr);
  host.calls.clear();
  panel.StopHeld();  // the held up: its stop would be a plug-in word
  panel.Press(1, 5, 5);
  panel.Advance(27);
  panel.Advance(45);
  EXPECT_EQ(panel.AddPreset("12", {}), 0);
  panel.Advance(0);  // an entry without a plug-in word still goes as XML
  const std::vector<std::string> expected = {
      "direction 9 0 0", "send <xml>\t\t\t               <cmd>BLCOff</cmd>\t\t\t               </xml>",
      "advance 1"};
  EXPECT_EQ(host.calls, expected);
}
