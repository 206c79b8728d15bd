#include "pelk/pelk_log.h"

Q_LOGGING_CATEGORY(lcPelk, "vemo.pelk", QtWarningMsg)
