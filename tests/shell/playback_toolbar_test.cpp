// The playback buttons of the video toolbars steer the record query page: the
// main window's toolbar while the record query module is shown, and the page's
// own toolbar (the one it shows on an extension monitor), both through the
// main window.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>

#include "live/toolbar/video_toolbar_dlg.h"
#include "main_window_fixture.h"
#include "maker/morvik/morvik.h"
#include "records/search/search_rec_dlg.h"
#include "ui/image_button.h"
#include "ui/sort_list_ctrl.h"

namespace {

TEST_F(MainWindowTest, PlaybackToolbarButtonsSteerTheRecordQueryPage) {
  CVistarelDlg& dlg = Open(1024, 768);
  dlg.ShowRecordModule();
  CSearchRecDlg* page = dlg.m_pSearchRecDlg;
  ASSERT_TRUE(page->isVisible());
  const QRect pageRect = page->geometry();
  auto visible = [&](int p) { return page->GetPlayer(p)->isVisible(); };
  auto place = [&](int p) { return page->GetPlayer(p)->geometry(); };

  for (CVideoToolbarDlg* toolbar : {dlg.m_pVideoToolbarDlg, page->GetToolbar()}) {
    ASSERT_NE(toolbar, nullptr);
    SCOPED_TRACE(toolbar == dlg.m_pVideoToolbarDlg ? "main toolbar" : "page toolbar");
    auto press = [&](int id) {
      toolbar->Button(id)->click();
      QCoreApplication::processEvents();
    };

    // One, two and four panes.
    press(1380);
    EXPECT_EQ(page->GetWindowCount(), 1);
    EXPECT_TRUE(visible(page->GetCurWnd()));
    for (int p = 0; p < CSearchRecDlg::kPlayers; ++p) EXPECT_EQ(visible(p), p == page->GetCurWnd()) << p;
    press(1381);
    EXPECT_EQ(page->GetWindowCount(), 2);
    EXPECT_TRUE(visible(0) && visible(1));
    EXPECT_FALSE(visible(2) || visible(3));
    EXPECT_GT(place(1).left(), place(0).right());
    EXPECT_EQ(place(1).top(), place(0).top());
    press(1382);
    EXPECT_EQ(page->GetWindowCount(), 4);
    for (int p = 0; p < CSearchRecDlg::kPlayers; ++p) EXPECT_TRUE(visible(p)) << p;
    EXPECT_GT(place(2).top(), place(0).bottom());

    // The mouse modes and the fill-window setting reach every player.
    const struct {
      int button, mode;
    } modes[] = {{1353, kMorvikMouseMove}, {1354, kMorvikMouseZoomIn}, {1355, kMorvikMouseZoomOut},
                 {1352, kMorvikMousePointer}};
    for (const auto& m : modes) {
      press(m.button);
      for (int p = 0; p < CSearchRecDlg::kPlayers; ++p) EXPECT_EQ(page->GetPlayer(p)->GetMouseMode(), m.mode) << m.button;
      // With a zoom or move mode the player under the mouse takes the focus.
      page->setFocus();
      QEvent enter(QEvent::Enter);
      QCoreApplication::sendEvent(page->GetPlayer(3), &enter);
      EXPECT_EQ(page->window()->focusWidget() == page->GetPlayer(3), m.mode != kMorvikMousePointer) << m.button;
    }
    const bool fill = page->GetPlayer(0)->IsFillScreen();
    press(1283);
    for (int p = 0; p < CSearchRecDlg::kPlayers; ++p) EXPECT_NE(page->GetPlayer(p)->IsFillScreen(), fill) << p;
    press(1283);
    for (int p = 0; p < CSearchRecDlg::kPlayers; ++p) EXPECT_EQ(page->GetPlayer(p)->IsFillScreen(), fill) << p;

    // Without the search panel the players take the page's height, and the
    // mode buttons go with the panel.
    const int bottom = place(2).bottom();
    press(1383);
    EXPECT_FALSE(page->IsSearchPanelShown());
    EXPECT_FALSE(page->GetDlgItem(CSearchRecDlg::IDC_FILE_MODE)->isVisible());
    EXPECT_FALSE(page->GetResultList()->isVisible());
    EXPECT_GT(place(2).bottom(), bottom + 300);
    press(1383);
    EXPECT_TRUE(page->IsSearchPanelShown());
    EXPECT_TRUE(page->GetDlgItem(CSearchRecDlg::IDC_FILE_MODE)->isVisible());
    EXPECT_EQ(place(2).bottom(), bottom);

    // Full view: the page covers the main window; Escape released over a
    // player leaves it, and so does the button. The page goes back to its
    // place among the main window's panels.
    const qsizetype stacked = dlg.children().indexOf(page);
    press(1017);
    EXPECT_TRUE(page->IsFullScreen());
    EXPECT_EQ(page->geometry(), QRect(0, 0, 1024, 768));
    EXPECT_FALSE(page->GetDlgItem(CSearchRecDlg::IDC_FILE_MODE)->isVisible());
    EXPECT_GT(place(3).right(), 1000);
    QKeyEvent escape(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(page->GetPlayer(0), &escape);
    EXPECT_FALSE(page->IsFullScreen());
    EXPECT_EQ(page->geometry(), pageRect);
    EXPECT_EQ(dlg.children().indexOf(page), stacked);
    EXPECT_TRUE(page->GetDlgItem(CSearchRecDlg::IDC_FILE_MODE)->isVisible());
    press(1017);
    press(1017);
    EXPECT_FALSE(page->IsFullScreen());
    EXPECT_EQ(page->geometry(), pageRect);
  }

  // One pane while player 1 plays: the player takes the screen itself, the
  // page keeps its place.
  CVideoToolbarDlg* toolbar = dlg.m_pVideoToolbarDlg;
  toolbar->Button(1380)->click();
  page->DrawPlayerFrame(0, true);
  CPlayBackAtl* first = page->GetPlayer(0);
  ASSERT_EQ(first->Play(), 0);
  toolbar->Button(1017)->click();
  EXPECT_TRUE(first->IsFullView());
  EXPECT_EQ(page->geometry(), pageRect);
  toolbar->Button(1017)->click();
  EXPECT_FALSE(first->IsFullView());
  EXPECT_EQ(first->parentWidget(), page);
  EXPECT_FALSE(page->IsFullScreen());
  first->Stop();
}

}  // namespace
