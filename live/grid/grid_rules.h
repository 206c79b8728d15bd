// Rules of the live-view grid that need no window: where a new camera goes,
// and which stream the panes of a layout should show.
#pragma once

#include <vector>

namespace gridrules {

// The pane a camera dropped on `selected` goes into, when the selected pane is
// busy: the first free pane from the selected one up to the last shown pane,
// else the first free pane from pane 0, else the selected pane itself (its
// camera is replaced). A free selected pane, or a one-pane layout, keeps it.
// busy[i]: pane i watches a device or shows relay video.
int FindFreePane(const std::vector<bool>& busy, int selected, int shownCount);

// What a layout change does to the streams of the shown panes.
enum class StreamSwitch { kNone, kToMain, kToSub };

// Layouts of 1, 4, 6 and 8 panes show the main stream; 9 panes and more show
// the sub-stream, switched only when the previous layout showed fewer than 9.
StreamSwitch AfterLayout(int newCount, int previousShownCount);

// A pane maximised out of a layout of 9 or more switches from the sub-stream to
// the main stream (relay panes: when the layout had more than 8).
bool MaximiseToMain(int previousShownCount);

}  // namespace gridrules
