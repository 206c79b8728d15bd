// The manual record window against the fake NVR: its own link, the record
// modes shown and chosen per channel and by row, and the list sent back.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <cstring>

#include "common/wait_for.h"
#include "fake_nvr_process.h"
#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/entry/harlen_module.h"
#include "harlen/link/harlen_api.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/windows/dlg_manual_record_config.h"
#include "link_fixture.h"
#include "pages/own_link_fixture.h"
#include "records_fixture.h"

namespace {

using Dlg = CDlgManualRecordConfig;

class ManualRecord : public OwnLinkWindowTest {
 protected:
  // Shown, and the NVR's list shown in it.
  Dlg* Open() {
    EXPECT_EQ(HL_ManualRecConfig(), 1);
    Dlg* dlg = g_pDlgManualRecord;
    EXPECT_TRUE(WaitFor([&] { return dlg->List().count == 16; }));
    QTest::qWait(20);
    return dlg;
  }
  static bool Checked(Dlg* dlg, int row, int channel) { return IsDlgButtonChecked(dlg, Dlg::BoxId(row, channel)); }
  static void Click(Dlg* dlg, int id) { DlgItem<QAbstractButton>(dlg, id)->click(); }

  // The modes the NVR now holds for the 16 channels.
  std::vector<uint32_t> StoredModes() {
    Records stored;
    EXPECT_TRUE(LoadWholeConfig(NvrWholeConfig(nvr.Port()), stored.Refs()));
    std::vector<uint32_t> modes;
    for (const RecordDrivenEntry& entry : stored.channel->recordDriven.entries) modes.push_back(entry.mode);
    return modes;
  }
};

}  // namespace

TEST_F(ManualRecord, ShowsTheModesAndSendsTheChosenOnes) {
  Dlg* dlg = Open();
  EXPECT_EQ(nvr.Take("GET"), "GET 18");
  // The fixture's channels run through the modes 1, 2, 3, 0.
  const struct {
    int channel;
    int row;
  } shown[] = {{0, Dlg::kSchedule}, {1, Dlg::kManual}, {2, Dlg::kAlarm}, {3, Dlg::kOff}};
  for (const auto& s : shown) {
    for (int row = 0; row < Dlg::kRows; ++row) EXPECT_EQ(Checked(dlg, row, s.channel), row == s.row) << s.channel << " " << row;
  }

  // "全" of the manual row: every channel manual, the other rows and "全" boxes cleared.
  Click(dlg, Dlg::kAllIds[Dlg::kOff]);
  Click(dlg, Dlg::kAllIds[Dlg::kManual]);
  EXPECT_FALSE(IsDlgButtonChecked(dlg, Dlg::kAllIds[Dlg::kOff]));
  for (int channel = 0; channel < Dlg::kChannels; ++channel) {
    EXPECT_TRUE(Checked(dlg, Dlg::kManual, channel));
    EXPECT_FALSE(Checked(dlg, Dlg::kOff, channel));
    EXPECT_EQ(dlg->List().entries[channel].mode, 2u);
  }
  // Channel 5 off, channel 6 alarm linkage.
  Click(dlg, Dlg::BoxId(Dlg::kOff, 4));
  Click(dlg, Dlg::BoxId(Dlg::kAlarm, 5));
  EXPECT_FALSE(Checked(dlg, Dlg::kManual, 4));
  EXPECT_EQ(dlg->List().entries[4].used, 0u);
  Click(dlg, IDOK);
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(dlg->GetLink(), nullptr) << "the link goes with the window";
  ASSERT_FALSE(nvr.Take("SET 18").empty());
  std::vector<uint32_t> expected(16, 2);
  expected[4] = 0;  // off reaches the NVR
  expected[5] = 3;
  EXPECT_EQ(StoredModes(), expected);

  // Shown again: a new link, the boxes as the NVR now has them, off included.
  nvr.Command("clear");
  dlg = Open();
  EXPECT_EQ(nvr.Take("CONNECT"), "CONNECT");
  EXPECT_TRUE(Checked(dlg, Dlg::kOff, 4));
  EXPECT_TRUE(Checked(dlg, Dlg::kAlarm, 5));
  EXPECT_FALSE(Checked(dlg, Dlg::kManual, 5)) << "boxes of the earlier showing are cleared";

  // Cancel sends nothing.
  Click(dlg, Dlg::kAllIds[Dlg::kSchedule]);
  Click(dlg, IDCANCEL);
  QTest::qWait(200);
  EXPECT_EQ(nvr.Count("SET"), 0);
}

TEST_F(ManualRecord, WithoutAnNvrItSaysSoAndSendsNothing) {
  nvr.Stop();
  answerer.AnswerMessage(QMessageBox::Ok);
  ASSERT_EQ(HL_ManualRecConfig(), 1);
  EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("连接NVR失败")});
  Dlg* dlg = g_pDlgManualRecord;
  EXPECT_TRUE(dlg->isVisible()) << "shown all the same";
  Click(dlg, IDOK);
  EXPECT_EQ(dlg->GetLink(), nullptr);
}

TEST_F(ManualRecord, ClosingWhileTheNvrAnswersLeavesNothingBehind) {
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(HL_ManualRecConfig(), 1);
    Click(g_pDlgManualRecord, i % 2 == 0 ? IDCANCEL : IDOK);
  }
  QTest::qWait(100);  // replies of the dropped links still queued are let through and dropped
  EXPECT_EQ(g_pDlgManualRecord->GetLink(), nullptr);
}
