// CRecFileManager: owner of the record-file housekeeping thread, created with
// the main window's handle. The housekeeping comes with the recording subsystem.
#pragma once

#include "records/rec_thread_owner.h"

class CRecFileManager : public CRecThreadOwner {
 public:
  explicit CRecFileManager(HWND mainWnd) : CRecThreadOwner(mainWnd) {}
};
