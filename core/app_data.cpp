#include "core/app_data.h"

CRITICAL_SECTION g_csAppData;
