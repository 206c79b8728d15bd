// Peers a test starts (the RTSP server, the fake device and cloud server, socat)
// die with the test process. Otherwise a test that crashes leaves them running,
// holding ctest's output pipe open, and the crash looks like a hang until the
// time-out.
//
// The kernel kills the child when the thread that started it ends, so a peer is
// started from the test's main thread (or from a thread that outlives it).
#pragma once

#include <sys/types.h>

class QProcess;

// How long a peer may take to start and say it is ready. Python with GStreamer
// can take many seconds on a busy machine; a peer that is quick is not waited for.
constexpr int kPeerStartMs = 60000;

// For a QProcess not yet started.
void DieWithParent(QProcess& process);

// In a child made with fork(), before exec: `parent` is the pid the parent had
// before the fork. A parent already gone ends the child at once.
void DieWithParentInChild(pid_t parent);
