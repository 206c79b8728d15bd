// The main window's settings menu: its commands, their texts and check marks,
// and what the autostart and automatic-login commands change.
#pragma once

#include <vector>

#include "platform/win_types.h"

namespace mainmenu {

constexpr UINT kAbout = 32772;
constexpr UINT kBootAutomatically = 32774;
constexpr UINT kAutomaticLogin = 32776;
constexpr UINT kHelp = 32778;
constexpr UINT kSystemConfig = 32882;

struct Item {
  UINT id;
  UINT stringId;
  bool checked;
  bool enabled;
};

// The items in menu order with their current state; `mayConfigure` is the
// UserManager right (the system configuration needs it).
std::vector<Item> Items(bool mayConfigure);

// Automatic login on: the saved login last used is marked for it (its password
// is kept). Off: also start-with-the-desktop off and its entry removed. Then
// "UserInfo.xml" is saved.
void ToggleAutomaticLogin();
// Start-with-the-desktop on: automatic login on as well, "UserInfo.xml" saved
// and the autostart entry written. Off: the entry removed.
void ToggleBootAutomatically();

// "Version:<Version setting>", or the built-in version when the setting is empty.
CString AboutText(const CString& versionLabel);

// The help files to try, in order, for a language code: the ".chm" file of the
// language in the program folder, then the ".pdf" and ".doc" of the same name.
std::vector<CString> HelpFiles(int language);

}  // namespace mainmenu
