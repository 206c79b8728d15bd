// Switching the desktop's screen saver off while the program runs, and back on.
//
// Where the desktop offers the freedesktop screen-saver service on the session
// bus, switching off asks it to inhibit the screen saver and switching on
// releases that request. Without the service (no desktop, no session bus)
// both do nothing, silently.
#pragma once

void SetScreenSaverActive(bool active);
