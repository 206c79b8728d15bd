// The lists of the alarm windows share their client width among their
// columns: equal shares while every column's title and texts fit one; else
// each column takes what its title and its widest text need, and an equal part
// of the width left over (or the list scrolls sideways when nothing is left),
// so that no title or alarm text is cut. Laid out again when resized or filled.
#pragma once

#include <vector>

#include "platform/win_types.h"

class CSortListCtrl;

// The first call sets the columns ("%s,%d; %s,%d; ..." of each title and its
// width) with full-row selection; later calls with as many titles only share
// out the width again, keeping the rows.
void LayoutAlarmColumns(CSortListCtrl* list, const std::vector<CString>& titles);
