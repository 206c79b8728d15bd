#include "maker/gimbro/gimbro_log.h"

Q_LOGGING_CATEGORY(lcGimbro, "vemo.gimbro", QtWarningMsg)
