// The record search page: its players, the playback area and the search
// panel under it, the two modes and the view toggles.
#include <QApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>

#include "live/toolbar/video_toolbar_dlg.h"
#include "maker/morvik/morvik.h"
#include "platform/paths.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/search/search_rec_dlg.h"

namespace {

constexpr int kTemplatePanelTop = 408;  // where the search panel starts in the template
constexpr int kPanelHeight = 360;
constexpr int kBarHeight = 230;
constexpr int kExtAreaLeft = 225;
constexpr int kExtAreaTop = 40;
constexpr QRgb kFrameSelected = qRgb(255, 0, 0);

constexpr int kFilePanel[] = {1076, 1126, 1240, 1241, 1242, 1243, 1245, 1246, 1247, 1248, 1249, 1233, 1251, 1250,
                              1218, 1237, 1238, 1219, 1114, 1054, 1115, 1050, 1234, 1244, 1051, 1052, 1239};
constexpr int kTimePanel[] = {1395, 1396, 1397, 1398, 1400, 1401, 1399, 1371, 1370};
constexpr int kModeButtons[] = {1380, 1381};

}  // namespace

CPlayBackAtl* CSearchRecDlg::GetPlayer(int index) const {
  return index >= 0 && index < kPlayers ? m_pPlayer[index] : nullptr;
}

std::shared_ptr<MorvikEngine> CSearchRecDlg::EngineOf(int player) const {
  return player >= 0 && player < kPlayers ? m_engines[player] : nullptr;
}

void CSearchRecDlg::ReleasePlayers() {
  KillTimer(kDownloadTimer);
  KillTimer(kPlayStatusTimer);
  std::array<CPlayBackAtl*, kPlayers> players{};
  {
    // From here on the feeding threads find no player; a call already under
    // way keeps its engine, which the closed window no longer draws from.
    std::lock_guard<std::mutex> lock(m_csFeed);
    for (auto& engine : m_engines) engine.reset();
    players = m_pPlayer;
    m_pPlayer.fill(nullptr);
  }
  for (CPlayBackAtl* player : players) delete player;
  m_nPlayerRow.fill(-1);  // no row is shown by a player any more
}

void CSearchRecDlg::SetExtScreen(int bExtScreen) {
  m_bExtScreen = bExtScreen;
  if (m_pToolbar) m_pToolbar->SetPageActive(bExtScreen != 0 ? 1 : 0);
  LayoutPage();
}

void CSearchRecDlg::RedrawTimeBar() {
  if (m_pTimeBar) m_pTimeBar->RebuildRows();
  update();
}

void CSearchRecDlg::SetWindowCount(int nCount) {
  if (nCount != 1 && nCount != 2 && nCount != 4) return;
  if (nCount == m_nWindowCount) return;
  m_nWindowCount = nCount;
  if (nCount != 1 && m_nCurWnd + 1 > nCount) m_nCurWnd = nCount - 1;
  LayoutPage();
  DrawPlayerFrame(m_nCurWnd, true);
}

void CSearchRecDlg::SetMouseMode(int nMode) {
  m_nMouseMode = nMode;
  for (CPlayBackAtl* player : m_pPlayer) {
    if (player) player->SetMouseMode(nMode);
  }
}

void CSearchRecDlg::SetFillScreen(int bFill) {
  m_bFillScreen = bFill;
  for (CPlayBackAtl* player : m_pPlayer) {
    if (player) player->SetFillScreen(bFill);
  }
}

void CSearchRecDlg::OnFullScreen() {
  CPlayBackAtl* first = m_pPlayer[0];
  const bool firstPlays = first && first->IsPlaying() && m_nWindowCount == 1;
  m_bFullScreen = !m_bFullScreen;
  if (firstPlays && (m_bFullScreen || m_bPlayer1Full)) {
    // One pane that plays: the player shows itself on the whole screen.
    m_bPlayer1Full = m_bFullScreen;
    first->SetFullView(m_bFullScreen);
    return;
  }
  if (m_bFullScreen) {
    qApp->installEventFilter(this);
    if (!m_bExtScreen) {
      // On the main screen the page covers the main window, which covers the
      // screen measured at start; on an extension screen the page already
      // fills its monitor and full view only drops its panels.
      const QRect normal = geometry();
      m_rcNormal = RECT{normal.left(), normal.top(), normal.right() + 1, normal.bottom() + 1};
      QWidget* top = window();
      QRect whole = top != this ? top->geometry() : normal;
      if (parentWidget()) whole.moveTopLeft(parentWidget()->mapFrom(top, QPoint(0, 0)));
      m_rcPlayArea = RECT{0, 0, whole.width(), whole.height()};
      m_bPageMoved = TRUE;
      // Raised over the main window's other panels; the order comes back with
      // the normal view.
      m_pAbovePage = nullptr;
      if (parentWidget()) {
        const QObjectList& siblings = parentWidget()->children();
        for (qsizetype i = siblings.indexOf(this) + 1; i >= 1 && i < siblings.size(); ++i) {
          auto* sibling = qobject_cast<QWidget*>(siblings[i]);
          if (sibling && !sibling->isWindow()) {
            m_pAbovePage = sibling;
            break;
          }
        }
      }
      raise();
      setGeometry(whole);
    }
  } else {
    qApp->removeEventFilter(this);
    if (m_bPageMoved) {
      m_bPageMoved = FALSE;
      setGeometry(QRect(m_rcNormal.left, m_rcNormal.top, m_rcNormal.right - m_rcNormal.left,
                        m_rcNormal.bottom - m_rcNormal.top));
      if (m_pAbovePage) stackUnder(m_pAbovePage);
      m_pAbovePage = nullptr;
    }
  }
  LayoutPage();
  update();
}

bool CSearchRecDlg::eventFilter(QObject* watched, QEvent* event) {
  // With a zoom or move mouse mode, the player under the mouse takes the focus.
  if ((event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) && m_nMouseMode != 0) {
    for (CPlayBackAtl* player : m_pPlayer) {
      if (player && watched == player && !(m_isClosing && m_isClosing())) player->setFocus();
    }
  }
  if (event->type() == QEvent::KeyRelease && m_bFullScreen &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && (widget == this || isAncestorOf(widget))) {
      OnFullScreen();
      return true;
    }
  }
  return CDialog::eventFilter(watched, event);
}

void CSearchRecDlg::OnHideShow() {
  m_bPanelShown = !m_bPanelShown;
  LayoutPage();
  update();
}

// --- layout ---

void CSearchRecDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  if (m_bInited) LayoutPage();
}

void CSearchRecDlg::LayoutPage() {
  if (!m_bInited) return;
  const int w = width();
  const int h = height();
  int left = 0;
  int top = 0;
  const bool ext = m_bExtScreen != 0;
  if (ext && !m_bFullScreen) {
    left = kExtAreaLeft;
    top = kExtAreaTop;
  }
  if (m_pDeviceList) {
    m_pDeviceList->setVisible(ext && !m_bFullScreen);
    if (ext) m_pDeviceList->setGeometry(5, 45, 220, std::max(0, h - 50));
  }
  if (m_pToolbar) {
    m_pToolbar->setVisible(ext && !m_bFullScreen);
    if (ext) m_pToolbar->setGeometry(kExtAreaLeft, 0, std::max(0, w - kExtAreaLeft), kExtAreaTop);
  }
  const bool panel = m_bPanelShown && !m_bFullScreen;
  const int areaHeight = std::max(0, panel ? h - kPanelHeight : h - 5);
  m_rcPlayArea = RECT{left, top, w, top + areaHeight};

  // Players: one pane, two side by side, or two rows of two.
  const int half = (w - left) / 2;
  const int rightWidth = (w - 22 - left) / 2;
  for (int i = 0; i < kPlayers; ++i) {
    CPlayBackAtl* player = m_pPlayer[i];
    if (!player) continue;
    QRect place;
    if (m_nWindowCount == 1) {
      if (i == m_nCurWnd) place = QRect(left + 3, top + 3, w - left - 11, areaHeight);
    } else if (m_nWindowCount == 2) {
      if (i < 2) place = QRect(i == 0 ? left + 3 : left + half + 8, top + 3, i == 0 ? half : rightWidth, areaHeight);
    } else {
      const int rowHeight = areaHeight / 2 - 2;
      const int y = i < 2 ? top + 3 : top + areaHeight / 2 + 5;
      place = QRect(i % 2 == 0 ? left + 3 : left + half + 8, y, i % 2 == 0 ? half : rightWidth, rowHeight);
    }
    player->setVisible(!place.isNull());
    if (!place.isNull()) player->setGeometry(place);
  }

  // The search panel and the time-line bar below the area.
  const int panelTop = top + areaHeight + 5;
  const int dy = panelTop - kTemplatePanelTop;
  for (const auto& [id, place] : m_panelPlaces) {
    QWidget* control = GetDlgItem(id);
    if (!control) continue;
    QRect moved = place.translated(left, dy);
    if (id == IDC_RESULT_LIST) moved.setRight(w - 6);
    control->setGeometry(moved);
  }
  if (m_pTimeBar) m_pTimeBar->setGeometry(left + 5, panelTop, std::max(0, w - left - 10), kBarHeight);
  UpdateSearchPanel();
  update();
}

void CSearchRecDlg::UpdateSearchPanel() {
  const bool shown = !m_bFullScreen && m_bPanelShown;
  for (int id : kModeButtons) {
    if (QWidget* control = GetDlgItem(id)) control->setVisible(shown);
  }
  if (shown) {
    if (m_bTimeMode) {
      OnBnClickedBtnTimeMode();
    } else {
      OnBnClickedBtnFileMode();
    }
    return;
  }
  for (int id : kFilePanel) {
    if (QWidget* control = GetDlgItem(id)) control->hide();
  }
  for (int id : kTimePanel) {
    if (QWidget* control = GetDlgItem(id)) control->hide();
  }
  if (m_pTimeBar) m_pTimeBar->hide();
}

void CSearchRecDlg::OnBnClickedBtnFileMode() {
  for (int id : kFilePanel) {
    if (QWidget* control = GetDlgItem(id)) control->show();
  }
  for (int id : kTimePanel) {
    if (QWidget* control = GetDlgItem(id)) control->hide();
  }
  if (m_pTimeBar) m_pTimeBar->hide();
  m_bTimeMode = 0;
}

void CSearchRecDlg::OnBnClickedBtnTimeMode() {
  for (int id : kFilePanel) {
    if (QWidget* control = GetDlgItem(id)) control->hide();
  }
  if (QWidget* stop = GetDlgItem(IDC_STOP_DOWNLOAD)) stop->hide();
  for (int id : kTimePanel) {
    if (QWidget* control = GetDlgItem(id)) control->show();
  }
  if (m_pTimeBar) m_pTimeBar->show();
  m_bTimeMode = 1;
}

// --- drawing ---

void CSearchRecDlg::DrawPlayerFrame(int index, bool selected) {
  if (index < 0 || index >= kPlayers) return;
  if (selected) m_nCurWnd = index;
  update();
}

void CSearchRecDlg::paintEvent(QPaintEvent* event) {
  if (m_background.size() != size()) {
    m_background = QImage(size(), QImage::Format_RGB32);
    m_background.fill(palette().window().color());
    QPainter into(&m_background);
    m_gdi.DrawImageFile(paths::ProgramFolder() + "Images\\Pagebk.jpg", RECT{0, 0, width(), height()}, &into);
  }
  QPainter painter(this);
  painter.drawImage(event->rect(), m_background, event->rect());
  CPlayBackAtl* selected = GetPlayer(m_nCurWnd);
  if (!selected || !selected->isVisible()) return;
  // The selected player's frame: its rectangle grown by one pixel, 2 pixels wide.
  painter.setPen(QPen(QColor(kFrameSelected), 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(selected->geometry().adjusted(-1, -1, 1, 1));
}
