// What the control keeps per device for a file upload (firmware or a
// configuration file sent to the device).
//
// The control sends UPLOAD with the file's size and name, then the file in
// pieces of kPiece bytes: each piece goes out when the device's UPLOAD_STATE
// says it took every byte sent so far, so a slow device is never flooded. The
// upload is complete when the device has taken the whole file; a refusal, a
// device that takes more or fewer bytes than were sent, a lost connection or
// a device that answers nothing for the idle time fails it (status 15, once).
//
// The device's connection (network thread) hands its UPLOAD_STATE frames here
// and sends the next piece; the control's methods (UI thread) start, ask and
// end uploads. One lock guards the book; a control is told apart by its hub.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "maker/gimbro/gimbro_wire.h"
#include "platform/win_types.h"

class GimbroEventHub;

namespace gimbro_upload {

constexpr size_t kPiece = 64 * 1024;

// Network thread: takes an UPLOAD_STATE frame of device `id` and sends what
// follows through `send`; false for other frames.
bool HandleFrame(GimbroEventHub* hub, LONG id, const gimbro_wire::Frame& frame,
                 const std::function<void(const std::string&)>& send);
// Network thread: the device's connection is gone; an upload under way fails.
void LinkLost(GimbroEventHub* hub, LONG id);

// Starts an upload of the file at localPath (the program's path form) under a
// new transfer number (> 0): false when one runs for the device or the file
// cannot be read. On success `body` is the UPLOAD frame's body (the size and
// the file's name). An upload that hears nothing from the device for idleMs
// fails when its progress is next asked for.
bool Begin(GimbroEventHub* hub, LONG id, const std::string& localPath, int idleMs, int32_t* transfer,
           std::string* body);
// Ends an upload that is under way without a failure event (a request that
// could not be sent).
void Abort(GimbroEventHub* hub, LONG id);
// Percent the device has taken (at most 99 until it took the whole file); 100
// once complete; -1 for none or a failed one.
LONG Progress(GimbroEventHub* hub, LONG id);

void Forget(GimbroEventHub* hub, LONG id);
void ForgetAll(GimbroEventHub* hub);

}  // namespace gimbro_upload
