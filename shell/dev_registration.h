// Start-up work for every device record: its two stream objects and its
// registration with the device-messaging control.
#pragma once

#include <list>

#include "core/dev_info.h"
#include "core/user_settings.h"

class CStrevaCtrl;

// Gives every record the messaging control and its sink, and a main-stream
// and a sub-stream object on the pull control (each advised to it).
void CreateStreamObjects(std::list<DevInfo>& devices, CGimbroCtrl* gimbro, CGimbroEvents* sink,
                         CStrevaCtrl* streva);
// The same for one record.
void CreateStreamObjects(DevInfo& dev, CGimbroCtrl* gimbro, CGimbroEvents* sink, CStrevaCtrl* streva);

// Registers one device with the messaging control by its address, or by host
// and port in visit mode 2; the control's number for it (its GimbroId).
LONG RegisterWithGimbro(CGimbroCtrl& gimbro, const DevInfo& dev);

// Registers every device with the messaging control in list order and stores
// the returned number in GimbroId. A video server's records share one
// registration per run of the same address and get no clock synchronisation;
// every other device gets the clock synchronisation of `sync`. The log line of
// each registration shows the password masked.
void RegisterDevices(std::list<DevInfo>& devices, CGimbroCtrl* gimbro, const SyncTimeInfo& sync);
