// The video parameter and record parameter pages against the fake NVR:
// streams, record and picture schedules and record parameters filled, edited,
// saved and read back, and the schedule block's rules.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>
#include <cstring>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/sched_grid_ctrl.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/channels/dlg_param_config.h"
#include "harlen/pages/channels/dlg_rec_param.h"
#include "harlen/pages/channels/schedule_panel.h"
#include "harlen/pages/common/dlg_copy_to.h"
#include "pages/page_fixture.h"
#include "support/modal_driver.h"

namespace {

enum Tab { kParamTab = 3, kRecordTab = 8 };

bool AllCells(const SchedTable& table, SchedCell value) {
  for (const auto& day : table.cells) {
    for (SchedCell cell : day) {
      if (cell != value) return false;
    }
  }
  return true;
}

using SchedulePages = NvrPagesTest;

}  // namespace

TEST_F(SchedulePages, VideoPageEditsStreamsAndTheRecordSchedule) {
  auto* page = PageOf<CDlgParamConfig>(kParamTab);
  QTreeWidget* tree = page->GetTree();
  ASSERT_EQ(tree->topLevelItemCount(), static_cast<int>(g_ChannelCfg.videoCount));
  EXPECT_EQ(tree->topLevelItem(3)->text(0), QStringLiteral("CAM4       "));
  const ChannelStream main1 = g_ChannelCfg.video[0].mainstream;
  EXPECT_EQ(GetCurSel(page, CDlgParamConfig::IDC_COMBO_RESOLUTION), main1.resolution - 1);
  EXPECT_EQ(DlgItem<QLabel>(page, CDlgParamConfig::IDC_STATIC_FPS)->text(), QStringLiteral("%1 FPS").arg(main1.framerate));

  // Viewing a stream whose rate the slider cannot show stores nothing.
  g_ChannelCfg.video[1].auxstream.framerate = 30;
  tree->setCurrentItem(tree->topLevelItem(1));
  SetCurSel(page, CDlgParamConfig::IDC_COMBO_STREAM, CDlgParamConfig::kSubStream);
  Settle();
  EXPECT_EQ(page->GetSlider()->value(), 25);
  EXPECT_EQ(g_ChannelCfg.video[1].auxstream.framerate, 30) << "merely shown";
  // The user's move is stored; resolution and bit-rate type too.
  page->GetSlider()->setFocus();
  QTest::keyClick(page->GetSlider(), Qt::Key_Left);
  EXPECT_EQ(g_ChannelCfg.video[1].auxstream.framerate, 24);
  SetCurSel(page, CDlgParamConfig::IDC_COMBO_RESOLUTION, 6);  // CIF
  SetCurSel(page, CDlgParamConfig::IDC_COMBO_RATE_TYPE, 1);
  EXPECT_EQ(g_ChannelCfg.video[1].auxstream.resolution, 7);
  EXPECT_EQ(g_ChannelCfg.video[1].auxstream.coderatetype, 1);
  // "事件录像" shows and stores nothing.
  const ChannelVideo before = g_ChannelCfg.video[1];
  SetCurSel(page, CDlgParamConfig::IDC_COMBO_STREAM, CDlgParamConfig::kEventStream);
  SetCurSel(page, CDlgParamConfig::IDC_COMBO_RESOLUTION, 2);
  EXPECT_EQ(std::memcmp(&before, &g_ChannelCfg.video[1], sizeof before), 0);

  // The record schedule of channel 2: recording on, all day of alarm recording.
  if (!IsDlgButtonChecked(page, CDlgParamConfig::IDC_CHECK_RECORD)) Click(page, CDlgParamConfig::IDC_CHECK_RECORD);
  EXPECT_TRUE(page->GetDlgItem(CDlgParamConfig::IDC_COMBO_DELAY)->isEnabled());
  SetCurSel(page, CDlgParamConfig::IDC_COMBO_ALLDAY, 2);
  Click(page, CDlgParamConfig::IDC_CHECK_ALLDAY);
  EXPECT_TRUE(AllCells(g_ChannelCfg.recordScheme.tables[1], 3));
  EXPECT_FALSE(page->Schedule().Grid()->isEnabled());
  EXPECT_FALSE(page->GetDlgItem(1060)->isEnabled());
  // Copy it to channels 1, 2 and 4: 1 and 4 change.
  const SchedTable third = g_ChannelCfg.recordScheme.tables[2];
  OnNextModal<CDlgCopyTo>([](CDlgCopyTo* dlg) {
    for (int box : {0, 1, 3}) Click(dlg, CDlgCopyTo::kBoxIds[box]);
    Click(dlg, IDOK);
  });
  Click(page, CDlgParamConfig::IDC_BTN_COPY_SCHEDULE);
  EXPECT_TRUE(AllCells(g_ChannelCfg.recordScheme.tables[0], 3));
  EXPECT_TRUE(AllCells(g_ChannelCfg.recordScheme.tables[3], 3));
  EXPECT_EQ(std::memcmp(&third, &g_ChannelCfg.recordScheme.tables[2], sizeof third), 0);

  // Channel 3: a motion cell painted with the legend's second button.
  tree->setCurrentItem(tree->topLevelItem(2));
  Settle();
  if (IsDlgButtonChecked(page, CDlgParamConfig::IDC_CHECK_ALLDAY)) Click(page, CDlgParamConfig::IDC_CHECK_ALLDAY);
  if (!IsDlgButtonChecked(page, CDlgParamConfig::IDC_CHECK_RECORD)) Click(page, CDlgParamConfig::IDC_CHECK_RECORD);
  Click(page, 1061);
  CSchedGridCtrl* grid = page->Schedule().Grid();
  const SchedCell before5 = g_ChannelCfg.recordScheme.tables[2].cells[5][12];
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(5, 13).center());
  ASSERT_TRUE(WaitFor([&] { return g_ChannelCfg.recordScheme.tables[2].cells[5][12] != before5; }));
  const SchedCell painted = g_ChannelCfg.recordScheme.tables[2].cells[5][12];
  EXPECT_TRUE(painted == 2 || painted == 0) << painted;

  Records stored;
  SaveAndReadBack(stored);
  EXPECT_EQ(stored.channel->video[1].auxstream.framerate, 24);
  EXPECT_EQ(stored.channel->video[1].auxstream.resolution, 7);
  EXPECT_TRUE(AllCells(stored.channel->recordScheme.tables[0], 3));
  EXPECT_TRUE(AllCells(stored.channel->recordScheme.tables[1], 3));
  EXPECT_EQ(stored.channel->recordScheme.tables[1].enable, 1);
  EXPECT_EQ(stored.channel->recordScheme.tables[2].cells[5][12], painted);
}

TEST_F(SchedulePages, RecordPageEditsRecordAndPictureParametersAndTheGrabSchedule) {
  auto* page = PageOf<CDlgRecParam>(kRecordTab);
  QTreeWidget* tree = page->GetTree();
  EXPECT_EQ(tree->topLevelItemCount(), 16);
  const RecordParamEntry first = g_ChannelCfg.recordParam.entries[0];
  EXPECT_EQ(DlgItem<QLineEdit>(page, CDlgRecParam::IDC_EDIT_DURATION)->text(), QString::number(first.lastseconds));

  tree->setCurrentItem(tree->topLevelItem(4));
  Settle();
  if (!IsDlgButtonChecked(page, CDlgRecParam::IDC_CHECK_RECORD)) Click(page, CDlgRecParam::IDC_CHECK_RECORD);
  Type(page, CDlgRecParam::IDC_EDIT_PRERECORD, QStringLiteral("987"));  // two digits fit
  Type(page, CDlgRecParam::IDC_EDIT_EXPIRY, QStringLiteral("45"));
  SetCurSel(page, CDlgRecParam::IDC_COMBO_REC_STREAM, 1);
  if (!IsDlgButtonChecked(page, CDlgRecParam::IDC_CHECK_GRAB)) Click(page, CDlgRecParam::IDC_CHECK_GRAB);
  SetCurSel(page, CDlgRecParam::IDC_COMBO_QUALITY, 5);
  Type(page, CDlgRecParam::IDC_EDIT_INTERVAL, QStringLiteral("30"));
  if (!IsDlgButtonChecked(page, CDlgRecParam::IDC_CHECK_SCHEDULE)) Click(page, CDlgRecParam::IDC_CHECK_SCHEDULE);
  SetCurSel(page, CDlgRecParam::IDC_COMBO_ALLDAY, 2);
  Click(page, CDlgRecParam::IDC_CHECK_ALLDAY);
  EXPECT_FALSE(page->Schedule().Grid()->isEnabled());
  EXPECT_TRUE(AllCells(g_ChannelCfg.pictureScheme.tables[4], 3));

  // The record group off: its controls disabled and 0 stored.
  tree->setCurrentItem(tree->topLevelItem(6));
  Settle();
  if (!IsDlgButtonChecked(page, CDlgRecParam::IDC_CHECK_RECORD)) Click(page, CDlgRecParam::IDC_CHECK_RECORD);
  Click(page, CDlgRecParam::IDC_CHECK_RECORD);
  for (int id : {1007, 1004, 1005, 1003, 1006}) EXPECT_FALSE(page->GetDlgItem(id)->isEnabled()) << id;
  EXPECT_EQ(g_ChannelCfg.recordParam.entries[6].enable, 0);

  Records stored;
  SaveAndReadBack(stored);
  const RecordParamEntry& record = stored.channel->recordParam.entries[4];
  EXPECT_EQ(record.enable, 1);
  EXPECT_EQ(record.stream, 1);
  EXPECT_EQ(record.expiredays, 45);
  EXPECT_EQ(stored.channel->pictureParam.entries[4].quality, 5);
  EXPECT_EQ(stored.channel->pictureParam.entries[4].interval, 30);
  EXPECT_TRUE(AllCells(stored.channel->pictureScheme.tables[4], 3));
  EXPECT_EQ(stored.channel->recordParam.entries[6].enable, 0);
  EXPECT_EQ(g_ChannelCfg.recordParam.entries[4].cachseconds, 98) << "the edit takes two digits";
}
