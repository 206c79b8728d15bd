// Window messages between threads.
//
// PostMessage queues a message for a window and returns at once; it may be
// called from any thread. The window's OnMessage (platform/wnd.h) handles it on
// the UI thread; messages posted by one thread to one window arrive in the
// order they were posted. A handle whose window is gone (or was never there)
// gives FALSE.
//
// A heap block sent along in lParam is posted with its release function: the
// message owns the block, and release(lParam) runs exactly once - after the
// receiver's OnMessage returned, or when the window is gone before delivery, or
// at once when the post fails. A receiver that wants to keep the block copies
// it; nobody else frees it.
#pragma once

#include "platform/win_types.h"

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, void (*release)(LPARAM));

// Posts a heap copy of the zero-terminated text in lParam (a const char*),
// released with delete[]. A null text posts an empty one.
BOOL PostText(HWND hwnd, UINT msg, WPARAM wParam, const char* text);

// Posts `block` (allocated with new T) in lParam, released with delete.
template <class T>
BOOL PostObject(HWND hwnd, UINT msg, WPARAM wParam, T* block) {
  return PostMessage(hwnd, msg, wParam, reinterpret_cast<LPARAM>(block),
                     [](LPARAM p) { delete reinterpret_cast<T*>(p); });
}

// Calls the window's OnMessage and returns its result; 0 when the window is gone.
// On the UI thread this is a direct call. From another thread the call is
// queued to the UI thread and the caller waits for it: never send from a thread
// that the UI thread is waiting for (joining, or holding a lock the UI thread
// needs) - that deadlocks. A window destroyed before it handled the message
// answers 0.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
