// "Config\\Recover.xml": the last screen state of each user.
#pragma once

#include "core/sur_status.h"

// Appends the logged-in user's (g_szCurUser) remembered panes to g_lstSurStatus.
// A missing or unparsable file is replaced by the default.
void LoadRecoverInfo();

// Replaces the logged-in user's entries of the existing file by g_lstSurStatus;
// entries of other users stay untouched. Without a loadable file it logs and
// writes nothing.
void SaveRecoverInfo();
