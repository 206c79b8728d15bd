// CVideoWnd: mouse, keys, dragging a watch to another pane, and the context menu.
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "core/user_settings.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"
#include "platform/string_table.h"

namespace {

struct MenuItem {
  int command;
  int stringId;  // 0: the fixed text
  const char* text;
};

// Layout commands and their pane counts.
constexpr UINT kLayoutMenuText = 42001;  // "Layout"

constexpr MenuItem kLayoutItems[] = {
    {32797, 0, "1"},  {32798, 0, "4"},  {32799, 0, "6"},  {32800, 0, "8"},  {32801, 0, "9"},  {32802, 0, "16"},
    {32803, 0, "25"}, {32804, 0, "36"}, {32873, 0, "10"}, {32874, 0, "13"}, {32875, 0, "49"}, {32876, 0, "64"},
};

CVideoWnd* PaneAt(const QPoint& globalPos) {
  for (QWidget* w = QApplication::widgetAt(globalPos); w; w = w->parentWidget()) {
    if (auto* pane = dynamic_cast<CVideoWnd*>(w)) return pane;
  }
  return nullptr;
}

}  // namespace

void CVideoWnd::UpdateCursor() {
  const int index = (!IsBusy() || m_nMouseMode < 0 || m_nMouseMode > 3) ? 0 : static_cast<int>(m_nMouseMode);
  if (m_pPicture) m_pPicture->setCursor(m_Cursors[index]);
}

void CVideoWnd::OnMouse(QEvent* event) {
  auto* mouse = static_cast<QMouseEvent*>(event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (m_pGrid && !m_bAlarmWnd) {
        m_pGrid->OnWndMouseMsg(mouse->button() == Qt::RightButton ? kWmRButtonDown : kWmLButtonDown, m_nIndex);
      }
      if (mouse->button() == Qt::LeftButton && m_nMouseMode == 0 && IsBusy()) SetTimer(kDragTimer, kDragDelayMs);
      if (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton) RequestPresetList();
      break;
    case QEvent::MouseButtonRelease:
      if (mouse->button() != Qt::LeftButton) break;
      KillTimer(kDragTimer);
      if (m_bDragging) {
        m_bDragging = false;
        releaseMouse();
        QApplication::restoreOverrideCursor();
        CVideoWnd* target = PaneAt(mouse->globalPosition().toPoint());
        if (target && target != this && target->OwnerGrid() && VideoHost().IsLiveModuleShown()) {
          target->OwnerGrid()->ChangeDispWnd(target, this);
        }
      }
      break;
    case QEvent::MouseButtonDblClick:
      if (m_pGrid && !m_bAlarmWnd && !m_bMapWnd) m_pGrid->OnWndMouseMsg(kWmLButtonDblClk, m_nIndex);
      break;
    case QEvent::MouseMove:
      UpdateCursor();
      break;
    default:
      break;
  }
}

bool CVideoWnd::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      // The owner's full-screen switch runs once: the picture's double click
      // is not passed on to the pane as well.
      if (event->type() == QEvent::MouseButtonDblClick && watched == m_pPicture && (m_bAlarmWnd || m_bMapWnd) &&
          m_fullScreen && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        m_fullScreen();
        return true;
      }
      if (watched == m_pPicture || watched == this) OnMouse(event);
      break;
    default:
      break;
  }
  return CDialog::eventFilter(watched, event);
}

void CVideoWnd::OnTimer(UINT_PTR id) {
  if (id != kDragTimer) return CDialog::OnTimer(id);
  KillTimer(kDragTimer);
  if (!IsBusy()) return;
  m_bDragging = true;
  QApplication::setOverrideCursor(Qt::DragMoveCursor);
  grabMouse();
}

LRESULT CVideoWnd::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return CDialog::OnMessage(msg, wParam, lParam);
}

void CVideoWnd::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    if (m_pGrid && m_pGrid->IsFullScreen()) m_pGrid->ToggleFullScreen();
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
  CDialog::keyPressEvent(event);
}

void CVideoWnd::contextMenuEvent(QContextMenuEvent* event) {
  if (m_bAlarmWnd) return;
  ShowContextMenu(event->globalPos());
}

void CVideoWnd::ShowContextMenu(const QPoint& globalPos) {
  QMenu menu(this);
  auto add = [&menu](int command, int stringId, const char* fallback) {
    QString text = stringId ? LoadStringW(stringId) : QString();
    if (text.isEmpty()) text = QString::fromLatin1(fallback);
    QAction* action = menu.addAction(text);
    action->setData(command);
    return action;
  };
  const bool grid = m_pGrid && !m_bMapWnd;
  if (grid) {
    QMenu* layouts = menu.addMenu(LoadStringW(kLayoutMenuText));
    for (const MenuItem& item : kLayoutItems) layouts->addAction(QString::fromLatin1(item.text))->setData(item.command);
    add(32826, 914, "Zoom Out");
    add(32827, 915, "Zoom In");
    add(32828, 916, "Moving");
    add(32829, 917, "Recover");
    menu.addSeparator();
    add(32818, g_nFullDisp ? 874 : 873, g_nFullDisp ? "Default Display" : "Full Display");
    add(32831, m_pGrid->IsFullScreen() ? 872 : 871, m_pGrid->IsFullScreen() ? "Exit Full Screen" : "Full Screen");
  }
  const bool sub = ShowsSubStream();
  add(grid ? 32813 : 32846, sub ? 875 : 876, sub ? "Display Main Stream" : "Display Sub Stream");
  add(grid ? 32814 : 32847, 936, "Start Speak")->setCheckable(true);
  menu.actions().last()->setChecked(m_bTalking);
  add(grid ? 32815 : 32848, 937, "Open Sound")->setCheckable(true);
  menu.actions().last()->setChecked(IsSoundOn());
  add(grid ? 32816 : 32849, 938, "Manual Record");
  add(grid ? 32820 : 32850, 939, "Capture");
  add(grid ? 32807 : 32851, 940, "Stop");
  if (grid) add(32808, 941, "Stop All");
  QAction* chosen = menu.exec(globalPos);
  if (!chosen || !chosen->data().isValid()) return;
  const int command = chosen->data().toInt();
  if (grid) m_pGrid->OnPaneCommand(command);
}
