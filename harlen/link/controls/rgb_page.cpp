#include "harlen/link/controls/rgb_page.h"

#include <QKeyEvent>

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
