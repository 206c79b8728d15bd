// The folder of manual recordings and snapshots, kept in the logged-in user's
// saved login ("UserInfo.xml", element Login, SavePath).
#pragma once

#include <string>

#include "platform/win_types.h"

// The logged-in user's folder, or "" when the user has no saved login.
std::string LoggedInSavePath();

// Checks a typed folder and keeps it (trimmed) in the logged-in user's saved
// login, when there is one; the file receives it at its next rewrite.
// 0 when stored; 956 for an empty folder, 54011 for one longer than the
// 1023 bytes the record holds (nothing is stored then).
UINT StoreSavePath(const std::string& typed, std::string* stored);
