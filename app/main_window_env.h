// What the program gives its main window: the screen size taken at start, the
// login dialog's exit and unlock modes as its password prompts, the splash
// window to hide and the property by which a second start finds the window.
#pragma once

#include "shell/vistarel_dlg.h"

MainWindowEnv MakeMainWindowEnv();
