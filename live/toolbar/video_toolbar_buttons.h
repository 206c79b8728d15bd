// The video toolbar's own rules, kept apart from its window: the button ids,
// which buttons each owner page and module shows and where, the picture and
// tool tip of every button state, what a button asks for (layout, playback
// window count, mouse mode), the clock text.
#pragma once

#include <ctime>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "platform/win_types.h"

struct RecSchemeInfo;

namespace vtb {

// Owner page kinds: the module code of the page that holds the toolbar.
constexpr int kPageLive = 0;      // the main window's live-view toolbar
constexpr int kPagePlayback = 1;  // the playback page's toolbar
constexpr int kPageTVWall = 4;    // the TV-wall page's toolbar
constexpr int kPageMap = 5;       // the e-map page's toolbar

constexpr int kModuleLive = 0;
constexpr int kModulePlayback = 1;

// Control ids of the toolbar (dialog template 134).
enum : int {
  IDC_FULL_SCREEN = 1017,
  IDC_STREAM = 1018,
  IDC_STOP = 1019,
  IDC_CAPTURE = 1020,
  IDC_TALK = 1021,
  IDC_SOUND = 1022,
  IDC_LAYOUT_FIRST = 1023,  // 1023-1030 then 1031-1034: one button per grid layout
  IDC_LAYOUT_LAST = 1034,
  IDC_STOP_ALL = 1281,
  IDC_ALARM_ACTION = 1282,
  IDC_FILL_SCREEN = 1283,
  IDC_PATROL = 1284,
  IDC_DRAW_TVWALL = 1285,
  IDC_MANUAL_RECORD = 1286,
  IDC_FLIP = 1287,
  IDC_LOCK = 1288,
  IDC_RECORD_ALL = 1289,
  IDC_POINTER = 1352,
  IDC_MOVING = 1353,
  IDC_ZOOM_IN = 1354,
  IDC_ZOOM_OUT = 1355,
  IDC_BROADCAST = 1374,
  IDC_PLAYBACK_1 = 1380,
  IDC_PLAYBACK_2 = 1381,
  IDC_PLAYBACK_4 = 1382,
  IDC_HIDE_SHOW = 1383,
  IDC_SEPARATOR_1 = 1384,
  IDC_SEPARATOR_2 = 1385,
};

// Every control of the toolbar, in template order.
const std::vector<int>& AllControls();
bool IsSeparator(int id);

// Grid layout of a layout button (1, 4, 6, 9, 8, 16, 25, 36, 10, 13, 49, 64), else 0.
int GridLayoutOfButton(int id);
// Playback window count of 1380-1382 (1, 2, 4), else 0.
int PlaybackWindowsOfButton(int id);
// Mouse mode of 1352-1355: 0 pointer, 3 moving, 1 zoom in, 2 zoom out; else -1.
int MouseModeOfButton(int id);

// Type-"PNG" picture numbers of the button states named by the program.
constexpr UINT kPicTalkOff = 177, kPicTalkOn = 211;
constexpr UINT kPicSoundOff = 176, kPicSoundOn = 212;
constexpr UINT kPicPatrolOff = 240, kPicPatrolOn = 238;
constexpr UINT kPicRecordOff = 276, kPicRecordOn = 275;
constexpr UINT kPicAlarmOn = 229, kPicAlarmOff = 230;
constexpr UINT kPicFillOff = 232, kPicFillOn = 233;
constexpr UINT kPicRecordAllOn = 330, kPicRecordAllOff = 331;
constexpr UINT kPicBroadcastOff = 967, kPicBroadcastOn = 968;

// Picture and tool tip (string id, 0 for none) of a button in one state.
struct ButtonFace {
  UINT picture = 0;     // type-"PNG" number; 0: the named picture below
  std::string name;     // named picture "video_toolbar_<id>" for buttons without a number
  UINT toolTip = 0;
};

// The face a button starts with. Buttons with two states start in their idle
// state; the record-all button follows `allRecording`, the fill-screen button
// `fillScreen`.
ButtonFace InitialFace(int id, bool allRecording, bool fillScreen);
ButtonFace RecordAllFace(bool allRecording);  // 330 "Stop All Record" / 331 "Start All Record"
ButtonFace ManualRecordFace(bool recording);  // 275 tool tip 333 / 276 tool tip 311
UINT AlarmActionPicture(bool on);
UINT FillScreenPicture(bool on);
UINT TalkPicture(bool on);
UINT SoundPicture(bool on);
UINT PatrolPicture(bool on);
UINT BroadcastPicture(bool running);

// Visibility and horizontal position of every control. Starts as the template
// and the initialisation leave it; ShowLiveButtons and ShowPlaybackButtons
// change it as the main window and the pages ask.
class CToolbarButtonSet {
 public:
  static constexpr int kTop = 10;
  static constexpr int kSize = 22;
  static constexpr int kSeparatorWidth = 7;

  CToolbarButtonSet();

  // `curModule`: the main window's current module.
  void ShowLiveButtons(bool tvWall, bool hide, int curModule);
  void ShowPlaybackButtons(bool on);

  bool IsVisible(int id) const;
  int X(int id) const;
  int Width(int id) const { return IsSeparator(id) ? kSeparatorWidth : kSize; }
  std::vector<int> VisibleControls() const;  // in template order

 private:
  struct Place {
    int x = 0;
    bool visible = true;
  };
  void Show(std::initializer_list<int> ids, bool show);
  void ShowRange(int first, int last, bool show);
  std::map<int, Place> m_places;
};

// "%Y-%m-%d %H:%M:%S" of a local time.
std::string ClockText(const std::tm& local);
std::string ClockTextNow();

// 1 when there is at least one record scheme and every one is switched on.
int AllSchemesOn(const std::list<RecSchemeInfo*>& schemes);

}  // namespace vtb
