#include "core/control_text.h"

#include "platform/codepage.h"
#include "platform/window_text.h"
#include "platform/wnd.h"

BOOL SetControlText(CWnd* parent, UINT id, const CString& text) {
  if (!parent) return FALSE;
  QWidget* control = parent->GetDlgItem(static_cast<int>(id));
  if (!control) return FALSE;
  return SetWindowTextW(control, codepage::ToQString(text));
}
