// What the alarm panel and the linkage window ask of the main window, which
// fills these hooks with its own members. An empty hook does nothing and
// answers false, 0 or "".
#pragma once

#include <functional>
#include <string>

struct AlarmHost {
  // This client's MAC text (the first half of its relay device keys).
  std::function<std::string()> LocalMac;
  // The main window takes the keyboard focus.
  std::function<void()> FocusMainWindow;
  // True while the main window is minimised.
  std::function<bool()> IsMainMinimized;
  // True while the main video toolbar's audio broadcast runs.
  std::function<bool()> IsBroadcastRunning;
  // CVistarelDlg::IsTalkOpen: -1 when a talk is open in any pane, else 0.
  std::function<int()> IsTalkOpen;
  // CVistarelDlg::CloseAllSound: closes the pane sound that is open; 0 when
  // one was closed, -1 when none.
  std::function<int()> CloseAllSound;

  std::string Mac() const { return LocalMac ? LocalMac() : std::string(); }
  bool Minimized() const { return IsMainMinimized && IsMainMinimized(); }
  bool Broadcasting() const { return IsBroadcastRunning && IsBroadcastRunning(); }
  int TalkOpen() const { return IsTalkOpen ? IsTalkOpen() : 0; }
};
