// Setting the text of a window's control from the program's ANSI text.
#pragma once

#include "platform/win_types.h"

class CWnd;

// Finds the child control `id` of `parent` and sets its text (GBK converted to
// the window's text); FALSE when the parent or the control is missing.
BOOL SetControlText(CWnd* parent, UINT id, const CString& text);
