// The pane counts the live grid may start with, in the order of the switch
// stream page's list, with the string ids of their texts.
#pragma once

#include <array>

#include "platform/win_types.h"

struct DisplayModeItem {
  int panes;
  UINT text;
};

inline constexpr std::array<DisplayModeItem, 12> kDisplayModes = {{
    {1, 878}, {4, 879}, {6, 894}, {8, 895}, {9, 896}, {10, 960},
    {13, 961}, {16, 897}, {25, 898}, {36, 899}, {49, 962}, {64, 963},
}};

// The list index of a pane count; a count that is none of the twelve gives
// the index of 4.
int DisplayModeIndex(int panes);
// The pane count of a list index; no selection or an index outside the list gives 4.
int DisplayModePanes(int index);
