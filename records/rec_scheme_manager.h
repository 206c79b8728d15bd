// CRecSchemeManager: owner of the recording thread, created with the main
// window's handle. The recording itself comes with the recording subsystem.
#pragma once

#include "records/rec_thread_owner.h"

class CRecSchemeManager : public CRecThreadOwner {
 public:
  explicit CRecSchemeManager(HWND mainWnd) : CRecThreadOwner(mainWnd) {}
};
