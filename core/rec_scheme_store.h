// "Config\\RecInfo.xml": the record schemes.
#pragma once

#include "core/rec_scheme.h"

// Appends the file's schemes to g_lstRecSchemeInfo (the caller empties the list
// first when it reloads). A device named in a scheme is copied from
// g_lstDevInfo: by DevName and, when the element carries one, DevId; by name
// alone it never binds to an NVR's own record. Unknown devices are dropped.
// A missing or unparsable file is replaced by the default (no schemes).
void LoadRecInfo();

// Rewrites all schemes of the existing file; without a loadable file it logs
// and writes nothing.
void SaveRecInfo();

// Deletes every scheme of g_lstRecSchemeInfo and empties the list, under
// g_csAppData, so no one meets a deleted scheme or a null entry afterwards.
void FreeRecSchemeList();
