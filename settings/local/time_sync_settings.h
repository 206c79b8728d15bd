// The clock synchronisation of the alarm sound and time page: the figures
// typed in its two boxes checked and applied to g_SyncTime, and the new
// settings sent to every device record through its device-messaging control.
#pragma once

#include <functional>
#include <list>
#include <string>

#include "core/user_settings.h"
#include "platform/win_types.h"

struct DevInfo;

// The message for figures that are not whole numbers of seconds in range.
inline constexpr UINT kMsgSyncFiguresInvalid = 54010;

// Reads the typed figures (blanks around them allowed): the interval 1 to
// 999 seconds, the allowed difference 0 to 999. False for anything else.
bool ParseSyncFigures(const std::string& interval, const std::string& diff, SyncTimeInfo& out);

// Sends one device record its synchronisation (id, enable, difference, interval).
using SyncSender = std::function<void(const DevInfo&, const SyncTimeInfo&)>;

// OK of the page: takes the check box's state and the figures. Without any
// change nothing is sent; otherwise g_SyncTime takes the new values and every
// record of `devices` in order is sent them, offline ones included. 0 when
// applied (or nothing changed), kMsgSyncFiguresInvalid when the figures were
// refused (nothing changed then).
UINT ApplyTimeSync(bool enable, const std::string& interval, const std::string& diff,
                   const std::list<DevInfo>& devices, const SyncSender& send);

// The sender of the program: the record's device-messaging control, when it has one.
void SendTimeSyncThroughGimbro(const DevInfo& dev, const SyncTimeInfo& sync);
