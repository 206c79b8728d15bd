// The lists of the alarm windows share their client width equally among their
// columns, and keep doing so when they are resized.
#pragma once

#include <vector>

#include "platform/win_types.h"

class CSortListCtrl;

// The first call sets the columns ("%s,%d; %s,%d; ..." of each title and an
// equal share of the client width) with full-row selection; later calls with
// as many titles only share out the width again, keeping the rows.
void LayoutEqualColumns(CSortListCtrl* list, const std::vector<CString>& titles);
