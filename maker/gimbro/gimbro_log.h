// The control's log category, "vemo.gimbro": warnings are shown by default;
// QT_LOGGING_RULES="vemo.gimbro.info=true" shows connections and logins too.
// Passwords are never logged.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcGimbro)
