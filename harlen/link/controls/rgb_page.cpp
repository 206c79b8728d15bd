#include "harlen/link/controls/rgb_page.h"

#include <QKeyEvent>

#include "platform/post_message.h"

void CRgbPage::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->ignore();  // on to the parent chain: the main window
      return;
    default:
      CRgbDialog::keyPressEvent(event);
  }
}

LRESULT CRgbPage::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_HARLEN_POSTED_CLICK) {
    OnCommand(static_cast<int>(wParam));
    return 0;
  }
  return CRgbDialog::OnMessage(msg, wParam, lParam);
}

void CRgbPage::PostClick(int id) { PostMessage(GetSafeHwnd(), WM_HARLEN_POSTED_CLICK, static_cast<WPARAM>(id)); }
