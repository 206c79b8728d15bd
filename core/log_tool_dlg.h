// The log-tool panel: a child dialog of the main window with three buttons
// (debug log, operation log, remote log) that have no actions.
#pragma once

#include "platform/dialog.h"

class CLogToolDlg : public CDialog {
 public:
  enum { IDD = 141 };
  enum { IDC_DEBUG_LOG = 1071, IDC_OPERATION_LOG = 1072, IDC_REMOTE_LOG = 1073 };

  explicit CLogToolDlg(QWidget* parent = nullptr);
};
