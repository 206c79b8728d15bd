// The record query page with a searched day, saved under the program folder's
// "screenshots/" for a person to look at, in each language and as the main
// window shows it (its font, light labels on the dark page): by file (the
// result list and a player playing a record file) and by time (three day rows
// on the bar, one of them playing).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDateTimeEdit>
#include <QDir>
#include <QImage>
#include <cstdio>

#include "common/wait_for.h"
#include "core/module_path.h"
#include "core/rec_scheme.h"
#include "h264_clip.h"
#include "maker/morvik/morvik.h"
#include "platform/string_table.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/playback/time_bar_geometry.h"
#include "records/recfile/rec_file_fixture.h"
#include "records/search/rec_tree.h"
#include "records/search/search_rec_dlg.h"
#include "ui/draw_text.h"
#include "ui/skin_colors.h"
#include "ui/sort_list_ctrl.h"

namespace {

TEST(SearchPageScreenshot, FilesAndDays) {
  RecTree tree;
  const std::string storage = tree.Storage("d1");
  RecSchemeInfo& scheme = tree.AddScheme(storage);
  const DevInfo devices[] = {MakeDevice(1, "Gate", "10.0.0.1", 0, "GATE-01"), MakeDevice(1, "Yard", "10.0.0.2"),
                             MakeDevice(1, "Lobby", "10.0.0.3"), MakeDevice(1, "Dock", "10.0.0.4")};
  for (const DevInfo& dev : devices) scheme.lstDev.push_back(dev);
  const std::list<RecSchemeInfo*> saved = g_lstRecSchemeInfo;
  g_lstRecSchemeInfo = tree.Schemes();

  // Gate: a playable morning file and a day of short files; Yard and Lobby: plans and alarms.
  const H264Clip clip = MakeH264Clip(tree.Storage(""), 4, 640, 360);
  ASSERT_FALSE(clip.frames.empty());
  RecFileFixture file(1);
  file.width = 640;
  file.height = 360;
  for (size_t i = 0; i < clip.frames.size(); ++i) file.AddVideo(clip.frames[i], clip.keys[i]);
  const std::string gate = tree.DayFolder(storage, "Gate", "Schedule", 2024, 1, 5);
  file.Write(gate + "073000-vv1.avi");
  for (const char* other : {"Yard", "Lobby", "Dock"}) {
    file.Write(tree.DayFolder(storage, other, "Schedule", 2024, 1, 5) + "073000-vv1.avi");
  }
  for (int i = 0; i < 30; ++i) {
    const int start = 8 * 3600 + i * 900;  // every quarter of an hour from 08:00, 14 minutes each
    char name[32];
    std::snprintf(name, sizeof(name), "%02d%02d%02d-vv1.avi", start / 3600, start % 3600 / 60, start % 60);
    RecTree::WriteRecord(gate + name, 840);
  }
  RecTree::WriteRecord(tree.DayFolder(storage, "Gate", "Motion", 2024, 1, 5) + "121000-vv1.avi", 1500);
  RecTree::WriteRecord(tree.DayFolder(storage, "Yard", "Schedule", 2024, 1, 5) + "000000-vv1.avi", 6 * 3600);
  RecTree::WriteRecord(tree.DayFolder(storage, "Yard", "IO", 2024, 1, 5) + "031500-vv1.avi", 2400);
  RecTree::WriteRecord(tree.DayFolder(storage, "Lobby", "Schedule", 2024, 1, 5) + "180000-vv1.avi", 4 * 3600);

  const QFont font = QApplication::font();
  QApplication::setFont(DialogFont());  // as the program sets it
  for (const char* language : {"sc", "en"}) {
    SCOPED_TRACE(language);
    ASSERT_TRUE(LoadLanguageLibrary(std::string(language) == "sc" ? "LangSC.dll" : "LangEn.dll"));
    const QString suffix = QStringLiteral("_%1.png").arg(language);
    QWidget main;
    main.resize(1280, 800);
    skin::UseLabelsOnDark(&main);
    auto* page = new CSearchRecDlg(&main);
    ASSERT_TRUE(page->Create(CSearchRecDlg::IDD, &main));
    skin::UseLabelsOnDark(&main);  // again, with the page's controls made
    page->setGeometry(0, 0, 1280, 800);
    page->show();
    main.show();

    DevInfo first = devices[0];
    ASSERT_TRUE(page->SetSearchDevInfo(&first));
    qobject_cast<QDateTimeEdit*>(page->GetDlgItem(CSearchRecDlg::IDC_FROM))->setDateTime(QDateTime(QDate(2024, 1, 5), QTime(0, 0)));
    qobject_cast<QDateTimeEdit*>(page->GetDlgItem(CSearchRecDlg::IDC_TO))->setDateTime(QDateTime(QDate(2024, 1, 5), QTime(23, 59, 59)));
    qobject_cast<QAbstractButton*>(page->GetDlgItem(CSearchRecDlg::IDC_QUERY))->click();
    ASSERT_GT(page->GetResultList()->GetItemCount(), 1);
    CPlayBackAtl* player = page->GetPlayer(0);
    ASSERT_EQ(player->OpenFile((gate + "073000-vv1.avi").c_str()), 0);
    ASSERT_TRUE(WaitFor([&] { return player->HasPicture() && player->Engine()->GetPosition() >= 1; }));

    const QString folder = QString::fromStdString(GetModuleDir()) + "screenshots/";
    QDir().mkpath(folder);
    ASSERT_TRUE(page->grab().save(folder + "record_query_files" + suffix));

    qobject_cast<QAbstractButton*>(page->GetDlgItem(CSearchRecDlg::IDC_TIME_MODE))->click();
    qobject_cast<QDateTimeEdit*>(page->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(2024, 1, 5));
    for (const DevInfo& dev : devices) {
      DevInfo copy = dev;
      ASSERT_TRUE(page->SetSearchDevInfo(&copy));
  }
  CPlayBackTollBar* bar = page->GetTimeBar();
  for (int row = 0; row < 4; ++row) ASSERT_NE(bar->GetRow(row), nullptr) << row;
  // Gate's morning file plays from its row, on the pane it has left free.
  player->Stop();
  page->OnPlaybackDblClick(0, 7 * 3600 + 30 * 60 + 1);
  ASSERT_EQ(page->Slots().pb[0].bPlaying, 1);
  CPlayBackAtl* dayPlayer = page->GetPlayer(page->Slots().pb[0].nPlayer);
  ASSERT_TRUE(WaitFor([&] { return dayPlayer->HasPicture() && dayPlayer->Engine()->GetPosition() >= 2; }));
  ASSERT_TRUE(page->grab().save(folder + "record_query_days" + suffix));
  bar->SetScale(timebar::kScaleMinutes);
  bar->SetViewStart(6 * 3600);
  ASSERT_TRUE(page->grab().save(folder + "record_query_days_minutes" + suffix));

  // The other three rows join in step from 07:30:01 on the three free panes.
  bar->SetScale(timebar::kScaleDay);
  qobject_cast<QAbstractButton*>(page->GetDlgItem(CSearchRecDlg::IDC_SYNC_CHECK))->click();
  qobject_cast<QDateTimeEdit*>(page->GetDlgItem(CSearchRecDlg::IDC_SYNC_TIME))->setTime(QTime(7, 30, 1));
  qobject_cast<QAbstractButton*>(page->GetDlgItem(CSearchRecDlg::IDC_SYNC_PLAY))->click();
  for (int p = 0; p < 4; ++p) {
    CPlayBackAtl* each = page->GetPlayer(p);
    ASSERT_TRUE(WaitFor([&] { return each->HasPicture() && each->Engine()->GetPosition() >= 2; })) << p;
  }
  ASSERT_TRUE(page->grab().save(folder + "record_query_four_players" + suffix));
  }
  QApplication::setFont(font);
  FreeLanguageLibrary();
  g_lstRecSchemeInfo = saved;
}

}  // namespace
