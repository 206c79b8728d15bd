// The lock of the program's shared configuration lists.
#pragma once

#include "platform/critical_section.h"

// Held around changes of g_lstDevInfo and g_lstRecSchemeInfo by worker threads,
// the device editor and the login dialog, and briefly by the configuration
// readers and writers while they swap in or walk a list. It lives for the whole
// process, so a late worker never meets a deleted lock.
extern CRITICAL_SECTION g_csAppData;
