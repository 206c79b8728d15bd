// A recording that the record-scheme page stops takes the recording thread's
// route: the relay peers hear of the stop, with the device's key and channel.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include <QLabel>

#include "common/wait_for.h"
#include "core/app_data.h"
#include "core/rec_scheme.h"
#include "core/res_msg_dlg.h"
#include "main_window_fixture.h"
#include "pelk/pelk_testing.h"
#include "records/recording/rec_scheme_manager.h"
#include "settings/record/setting_record_dlg.h"
#include "shell/cfg_manager_dlg.h"
#include "tests/shell/dev_records.h"

TEST_F(MainWindowTest, ARecordingThePageStopsIsReportedToTheRelayPeers) {
  g_lstDevInfo = {Dev("C1", "Gate", 1, "Hall", 1)};
  DevInfo& gate = g_lstDevInfo.front();
  auto* night = new RecSchemeInfo();
  CopyFixedText(night->SchemeName, "Night");
  CopyFixedText(night->StoragePath1, "D:\\");
  night->OnOff = 1;
  night->RecFileTime = 1800;
  night->PreRecTime = 5;
  night->DetRecTime = 60;
  RecTime span;
  span.TimeDuration = 1;
  span.DayOfWeek = 8;
  span.StartTime = TimeOfDay::FromHms(1, 0, 0);
  span.EndTime = TimeOfDay::FromHms(2, 0, 0);
  night->lstRecTime.push_back(span);
  night->lstDev.push_back(gate);
  g_lstRecSchemeInfo.push_back(night);
  ASSERT_TRUE(UseEnglishTexts());
  CVistarelDlg& dlg = Open();
  // The recording thread is stopped, so only the page stops the recording; the
  // default scheme the page made at its creation (with every channel, the whole
  // week) is taken away, so Modify meets no time conflict.
  ASSERT_TRUE(WaitFor([&] { return dlg.m_pRecSchemeManager != nullptr; }));
  dlg.m_pRecSchemeManager->StopThread();
  {
    CsLock lock(&g_csAppData);
    for (RecSchemeInfo* scheme : g_lstRecSchemeInfo)
      if (scheme != night) delete scheme;
    g_lstRecSchemeInfo = {night};
  }
  gate.bRecording = 1;
  CopyFixedText(gate.RecSchemeName, "Night");
  CSettingRecordDlg* page = dlg.m_pCfgManagerDlg->GetRecordDlg();
  ASSERT_NE(page, nullptr);
  page->ShowSchemeInfo(night);
  PelkTestReset();

  page->OnBnClickedModify();
  auto* box = page->findChild<CResMsgDlg*>();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(qobject_cast<QLabel*>(box->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))->text().toStdString(),
            "Modify record strategy success!");
  EXPECT_EQ(gate.bRecording, 0);
  const std::string key = std::string(dlg.AdapterAddress()) + ":10.0.0.9";
  const std::vector<PelkDeviceStateReport> reports = PelkTestDeviceStates();
  EXPECT_EQ(std::count_if(reports.begin(), reports.end(),
                          [&](const PelkDeviceStateReport& r) { return r.deviceKey == key && r.state == 3; }),
            1)
      << "reports: " << reports.size();
}
