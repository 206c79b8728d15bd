// What the control keeps per device for record replay and download: the replay
// words the device reported at login, and the file of a download under way.
//
// The device's connection (network thread) hands its replay frames here; the
// control's methods (UI thread) read and start what they need. One lock guards
// the book; a control is told apart by its event hub.
//
// A download is written beside its file ("<file>.part") and renamed onto it
// when the device reports it complete with every announced byte; a failure, a
// stop or a lost connection removes the part, and a failure raises status 17
// with the transfer number as its text.
// A device that keeps its connection but stops sending the file fails it too,
// after the idle time of the control's timings.
#pragma once

#include <string>

#include "maker/gimbro/gimbro_wire.h"
#include "platform/win_types.h"

class GimbroEventHub;

namespace gimbro_replay {

// Network thread: takes a replay frame of device `id`; false for other frames.
bool HandleFrame(GimbroEventHub* hub, LONG id, const gimbro_wire::Frame& frame);
// Network thread: the device's connection is gone; a download under way fails.
void LinkLost(GimbroEventHub* hub, LONG id);

struct Caps {
  DWORD canReplay = 0;
  DWORD option = 0;
};
Caps CapsOf(GimbroEventHub* hub, LONG id);

// Starts a download into localPath under a new transfer number (> 0): false
// when one runs for the device or the file cannot be made. A download that
// brings no byte for idleMs fails when its progress is next asked for.
bool BeginDownload(GimbroEventHub* hub, LONG id, const std::string& localPath, int idleMs, int32_t* transfer);
// The transfer number of the download under way (or last ended), 0 for none.
int32_t TransferOf(GimbroEventHub* hub, LONG id);
// Ends a download that is under way without a failure event (stop, or a
// request that could not be sent); the part is removed.
void AbortDownload(GimbroEventHub* hub, LONG id);
// Percent done (at most 99 until the device ends it); 100 once complete and
// kept; -1 for none or a failed one. A download whose device stopped sending
// fails here (status 17 follows).
LONG Progress(GimbroEventHub* hub, LONG id);

void Forget(GimbroEventHub* hub, LONG id);
void ForgetAll(GimbroEventHub* hub);

}  // namespace gimbro_replay
