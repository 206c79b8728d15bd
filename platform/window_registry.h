// Window handles.
//
// Every window of the program that receives messages or timers registers its
// widget and gets an HWND: an opaque number that is never reused, so a handle
// kept after its window is gone is simply not found again. Lookups are
// thread-safe; a widget found here may only be touched on the UI thread.
#pragma once

#include <functional>

#include "platform/win_types.h"

class QWidget;

namespace winreg {

HWND Register(QWidget* widget);
void Unregister(HWND hwnd);

// The widget of a live handle, or null. UI thread only.
QWidget* Widget(HWND hwnd);

// Runs `fn` with the widget while the registry lock is held, so the window
// cannot be unregistered meanwhile; false when the handle is not live.
// `fn` must not touch the widget's state (it may be called from any thread);
// it is meant for posting events to it.
bool WithWidget(HWND hwnd, const std::function<void(QWidget*)>& fn);

}  // namespace winreg

BOOL IsWindow(HWND hwnd);
