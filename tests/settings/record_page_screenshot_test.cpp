// The record-scheme page showing a scheme with its spans and both channel
// trees, in English and in Chinese, saved under the program folder's
// "screenshots/" for a person to look at. Nothing is saved to "Config".
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTreeWidget>

#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/module_path.h"
#include "core/rec_scheme_store.h"
#include "core/startup_settings.h"
#include "platform/dialog.h"
#include "platform/string_table.h"
#include "rec_test_support.h"
#include "settings/record/setting_record_dlg.h"
#include "ui/draw_text.h"

namespace {

DevInfo Channel(const char* name, const char* id, int type, int nvrChannel, int online, int watched, int recording) {
  DevInfo dev;
  CopyFixedText(dev.DevName, name);
  CopyFixedText(dev.DevId, id);
  dev.DevType = type;
  dev.CurNVRChannel = nvrChannel;
  dev.nOnline = online;
  dev.bWatched = watched;
  dev.bRecording = recording;
  return dev;
}

RecTime Span(int slot, int day, TimeOfDay start, TimeOfDay end) {
  RecTime span;
  span.TimeDuration = slot;
  span.DayOfWeek = day;
  span.StartTime = start;
  span.EndTime = end;
  return span;
}

void Shoot(const char* language, int languageIndex, const char* file) {
  ASSERT_TRUE(LoadLanguageLibrary(language));
  g_nLanguage = languageIndex;
  FakeRecEnvironment env;
  CDialog manager(0);
  manager.resize(940, 680);
  CSettingRecordDlg page(&manager);
  page.SetRecEnvironment(&env);
  ASSERT_TRUE(page.Create(CSettingRecordDlg::IDD, &manager));  // no devices yet: no default scheme
  {
    CsLock lock(&g_csAppData);
    g_lstDevInfo = {Channel("Gate", "Gate", 1, 0, 1, 1, 1),    Channel("Yard", "Yard", 1, 0, 1, 0, 1),
                    Channel("Lobby", "Lobby", 1, 0, 1, 1, 0),  Channel("Decoder", "Decoder", 2, 0, 1, 0, 0),
                    Channel("NVR", "Store", 4, 0, 1, 0, 0),    Channel("Dock", "Store", 4, 1, 1, 0, 0),
                    Channel("Garage", "Store", 4, 2, 0, 0, 0), Channel("Roof", "Roof", 0, 0, 0, 0, 0)};
  }
  RecSchemeInfo scheme;
  CopyFixedText(scheme.SchemeName, "Night watch");
  CopyFixedText(scheme.StoragePath1, "D:\\Video");
  CopyFixedText(scheme.StoragePath2, "E:\\");
  scheme.StorageScheme = 1;
  scheme.OnOff = 1;
  scheme.PreRecTime = 5;
  scheme.RecFileTime = 1200;
  scheme.RecStreamType = 1;
  scheme.DetRecTime = 60;
  auto it = g_lstDevInfo.begin();
  scheme.lstDev = {*it, *std::next(it, 5)};
  scheme.lstRecTime = {Span(1, 2, TimeOfDay::FromHms(20, 0, 0), TimeOfDay::FromHms(23, 59, 59)),
                       Span(2, 3, TimeOfDay::FromHms(0, 0, 0), TimeOfDay::FromHms(6, 30, 0)),
                       Span(4, 8, TimeOfDay::FromHms(12, 0, 0), TimeOfDay::FromHms(13, 0, 0))};
  page.InitDevTree();
  page.ShowSchemeInfo(&scheme);
  auto* all = qobject_cast<QTreeWidget*>(page.GetDlgItem(CSettingRecordDlg::IDC_DEV_TREE));
  all->topLevelItem(0)->child(2)->setCheckState(0, Qt::Checked);
  manager.show();
  page.setGeometry(0, 0, 940, 680);
  page.show();
  QApplication::processEvents();
  const QString folder = QString::fromStdString(GetModuleDir()) + "screenshots/";
  QDir().mkpath(folder);
  EXPECT_TRUE(page.grab().save(folder + file));
  CsLock lock(&g_csAppData);
  g_lstDevInfo.clear();
}

}  // namespace

TEST(RecordPageScreenshot, SchemeSpansAndTreesInEnglishAndChinese) {
  const QFont font = QApplication::font();
  QApplication::setFont(DialogFont());  // as the program sets it
  Shoot("LangEn.dll", 1, "record_scheme_page_en.png");
  Shoot("LangSC.dll", 0, "record_scheme_page_sc.png");
  g_nLanguage = 0;
  FreeLanguageLibrary();
  QApplication::setFont(font);
}
