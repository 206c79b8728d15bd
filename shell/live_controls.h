// The program's single device-messaging control with its event sink and its
// single RTSP pull control. The device tree creates them at start-up; the main
// window releases them at exit.
#pragma once

class CGimbroCtrl;
class CGimbroEvents;
class CStrevaCtrl;

extern CGimbroCtrl* g_pGimbroCtrl;
extern CGimbroEvents* g_pGimbroEvents;
extern CStrevaCtrl* g_pStrevaCtrl;
