// The configured window title (the display setting `Title`) as the program's
// own windows show it. The settings store installs its source once it has
// loaded the settings; until then the title is empty and windows keep the
// caption of their template.
#pragma once

#include <functional>

#include "platform/win_types.h"

void SetAppTitleSource(std::function<CString()> source);  // an empty function removes it
CString GetAppTitle();                                     // ANSI text; empty without a source
