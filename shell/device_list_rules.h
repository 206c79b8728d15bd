// The decisions of the device list panel that need no window: where a dropped
// device goes, when a device may be opened in a pane, the search box's name
// test and the run that plays a whole group.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/dev_info.h"
#include "platform/win_types.h"
#include "shell/module_rights.h"

// Host codes of the panels: the main window, the TV-wall manager and the e-map
// manager take drops; the drops of every other host do nothing.
constexpr int kHostMainWnd = 0;
constexpr int kHostTvWall = 4;
constexpr int kHostMap = 5;

// Refusal texts of the panel (string ids).
constexpr UINT kStrSearchNothing = 330;
constexpr UINT kStrDevOffline = 821;
constexpr UINT kStrMemoryTooLarge = 1424;
constexpr UINT kStrNoDevLogin = 1432;

// The answer of a grid whose pane lies beyond its layout.
constexpr int kPaneBeyondLayout = -100;

enum class DropTarget { kNone, kVideoWnd, kTvWallDecoder, kTvWallChannel, kMap };

// Where a device dropped from a panel of `hostCode` goes while `curModule` is
// the main window's module.
DropTarget ChooseDropTarget(int hostCode, int curModule, int devType);

// 0 when the device may be opened in a pane, else the refusal text: an offline
// device (821); with a cloud login (`loginType` not 0) a device without its
// login name or password (1432).
UINT WatchRefusal(const DevInfo& dev, int loginType);

// An IP camera is opened with its default resolution: its Resolution text
// becomes its DefRes text. Other devices are left as they are.
void ResetIpcResolution(DevInfo& dev);

// The search box's test of an item text. A pattern holding the wildcard '*'
// is read in the wildcard forms (start, end, both, inside); any other pattern
// is looked for anywhere in the text. Letters match ignoring case and match a
// Chinese character by its pinyin initial.
bool SearchBoxMatch(const CString& itemText, const CString& pattern);

// Plays a group's records one after another in the panes of the grids: grid 0
// (the main grid) from pane 0, and whenever a grid answers kPaneBeyondLayout
// the same record goes on in the next grid (up to gridCount) from its pane 0.
// Records are taken in order: null ones are skipped; memory over the limit
// ends the run (1424); with a cloud login a record without login name or
// password ends the run (1432), offline or not; offline records are skipped; the others are
// opened (an IP camera with its default resolution) through `addWatch` (grid,
// pane, record). Returns 0, or the refusal text that ended the run.
struct GroupPlayCalls {
  std::function<bool()> memoryOverLimit;
  std::function<int(int grid, int pane, DevInfo* dev)> addWatch;
};
UINT RunGroupAutoPlay(const std::vector<DevInfo*>& records, int gridCount, int loginType,
                      const GroupPlayCalls& calls);

// The request for a relay channel's video (the relay library's invitation).
// The device is named "MAC:IP".
std::string RelayInviteKey(const std::string& mac, const std::string& ip);
// The channel asked for: a video server's (kind 0) is the digit that ends its
// name ("Stream3" -> 3), an NVR's (kind 4) the number after the last '-' of its
// name ("NVR-12" -> 12); 0 for every other kind and for a name without one.
int RelayChannelNumber(int kind, const std::string& devName);
// The stream asked for: the device's stream word, or 1 when the main grid shows
// 1, 4, 6 or 8 panes and automatic stream switching is on.
int RelayStreamSelector(int streamWord, int mainGridPanes, bool autoSwitchStream);
