// Process and memory queries used by the watchdog handling and the memory-limit test.
//
// Processes are named by the file name of their executable: the base name of
// /proc/PID/exe, or, where that link cannot be read, of the full argv[0] and
// then of /proc/PID/comm. Names compare exactly (case-sensitive); processes
// that have ended (zombies) do not count.
//
// A name that holds a path separator names one program file instead (an ANSI
// path, as the program's paths are): only processes running that very file
// count, whatever other programs of the same name run on the machine. The
// watchdog is asked for that way, so that one installation never takes
// another's watchdog (or an unrelated program called so) for its own, nor
// ends it.
#pragma once

#include "platform/win_types.h"

// TRUE when a process of that executable name runs (the own process included).
BOOL IsProcessRunning(const char* exeName);

// Ends every process of that executable name (never the own process), as a
// forced termination (SIGKILL). Nothing happens when none runs.
void KillProcessByName(const char* exeName);

// Resident memory of the process that owns `window`, in megabytes (bytes /
// 1048576). Every window lives in the own process; 0 for a null handle or a
// handle that names no live window.
float GetProcessMemoryMB(HWND window);

// The main window, whose process memory IsMemoryOverLimit measures; the main
// window sets it when it exists (null again when it goes).
void SetMainWindowHandle(HWND window);

// The memory limit: TRUE at 1200.0 MB or more.
bool IsOverMemoryLimit(double megabytes);

// TRUE when the main window exists and its process uses at least 1200.0 MB.
BOOL IsMemoryOverLimit();
