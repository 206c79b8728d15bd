// The relay library's log category, "vemo.pelk": refusals, dropped peers and
// protocol faults are warnings (shown by default); QT_LOGGING_RULES=
// "vemo.pelk.info=true" shows logins and sessions too. No password, digest or
// proof is ever logged.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPelk)
