// Channel numbers read from device names, as the relay handlers read them.
#pragma once

// The text right of the name's last '-' (the whole name without one) read as
// a decimal number: "Channel-12" is 12, an NVR channel's number.
int NameNumber(const char* name);

// The name's last character read as a number: "Cam3" is 3, a video server
// channel's number (0 when it is not a digit).
int LastCharNumber(const char* name);
