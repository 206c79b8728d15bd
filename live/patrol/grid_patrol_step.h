// The patrol run of a live-view grid: the one-second step that moves the
// grid's running patrol slots on and posts the points to show.
//
// Locks: the grid calls its PatrolTick from its timer thread while it holds its
// patrol lock; the step then takes g_csAppData for the walk (the online test
// reads g_lstDevInfo, which the device editor and the workers change under
// it). The order is therefore patrol lock, then g_csAppData: no caller may hold
// g_csAppData while it calls a patrol operation of a grid (StartPatrol,
// StopPatrol, FindPatrolWnd ...), and the online test and relay state function
// must not call back into the grid.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "live/patrol/grid_patrol.h"
#include "live/patrol/patrol_keys.h"

// Whether the camera a device key names is online.
using PatrolOnlineTest = std::function<bool(const std::string& key)>;

// A pane that is to show the camera of `key` next.
struct PatrolPost {
  int pane = 0;  // index 0-63
  std::string key;
  int stayTime = 0;
};

// One tick over the active slots, under g_csAppData (the caller holds the
// grid's patrol lock). A slot just started shows its first online point; a
// showing slot counts a second and, at its stay time, moves on to the next
// online point (around the list, at most once); with every camera offline it
// shows nothing and tries again after the same stay time. Returns the panes
// that are to show a point, with a non-empty key.
std::vector<PatrolPost> AdvancePatrolSlots(std::vector<PatrolSlot>& patrolSlots, const PatrolOnlineTest& online);

// The grid's patrol step (CVideoManagerDlg::SetPatrolTick): each tick runs
// AdvancePatrolSlots with PatrolKeyOnline over the local devices and
// `relayState` (null: every relay key is offline), posts a copy of each key
// with WM_PATROL_POINT (wParam = pane index) to the grid and logs it.
PatrolTick MakeGridPatrolTick(RelayKeyStateFn relayState);
