// The record-scheme page: showing schemes, the default scheme, the storage
// paths and the trigger controls.
#include "settings/record/setting_record_dlg.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTest>
#include <QLineEdit>
#include <algorithm>
#include <filesystem>

#include "record_page_fixture.h"

TEST_F(RecordPageTest, CreatesTheDefaultSchemeOnceWhenDevicesExist) {
  CreatePage();
  page_.CreateDefaultScheme();  // no devices: nothing, the form keeps its first values
  EXPECT_TRUE(g_lstRecSchemeInfo.empty());
  EXPECT_TRUE(host_.calls.empty());
  EXPECT_EQ(TextOf(CSettingRecordDlg::IDC_SCHEME_NAME), "");
  EXPECT_EQ(Selected(CSettingRecordDlg::IDC_STORAGE_SCHEME), 1);

  AddDevice("cam1", "cam1");
  AddDevice("decoder", "decoder", 2);
  EXPECT_EQ(page_.CreateDefaultScheme(), 0);
  ASSERT_EQ(g_lstRecSchemeInfo.size(), 1u);
  RecSchemeInfo* scheme = g_lstRecSchemeInfo.front();
  EXPECT_STREQ(scheme->SchemeName, "Default Strategy");
  ASSERT_EQ(scheme->lstDev.size(), 1u);
  EXPECT_STREQ(scheme->lstDev.front().DevName, "cam1");
  EXPECT_EQ(page_.ShownScheme(), scheme);
  EXPECT_EQ(TextOf(CSettingRecordDlg::IDC_SCHEME_NAME), "Default Strategy");
  EXPECT_FALSE(page_.GetDlgItem(CSettingRecordDlg::IDC_BTN_DEL)->isEnabled());
  EXPECT_EQ(TreeTexts(CSettingRecordDlg::IDC_SCHEME_TREE), std::vector<std::string>{"cam1"});
  EXPECT_EQ(host_.calls, std::vector<std::string>{"ShowRecSchemeTree"});
  EXPECT_NE(ReadConfig("RecInfo.xml").find("<SchemeName>Default Strategy</SchemeName>"), std::string::npos);
  ExpectFileHoldsTheList();

  // Present: only shown.
  page_.ShowSchemeInfo(nullptr);
  page_.CreateDefaultScheme();
  EXPECT_EQ(g_lstRecSchemeInfo.size(), 1u);
  EXPECT_EQ(page_.ShownScheme(), scheme);

  // Under another interface language the default scheme has the same name.
  ASSERT_TRUE(LoadLanguageLibrary("LangSC.dll"));
  CSettingRecordDlg chinese(&manager_);
  chinese.SetRecEnvironment(&env_);
  ASSERT_TRUE(chinese.Create(CSettingRecordDlg::IDD, &manager_));
  EXPECT_EQ(chinese.ShownScheme(), scheme);
  EXPECT_EQ(g_lstRecSchemeInfo.size(), 1u);

  // Removed later (not through the page): not created again in the page's life.
  FreeRecSchemeList();
  page_.CreateDefaultScheme();
  EXPECT_TRUE(g_lstRecSchemeInfo.empty());
  EXPECT_EQ(page_.ShownScheme(), nullptr);  // the old pointer is never followed
}

// The default scheme's paths: the first three of the drives D to K with 5 GB
// free, in drive order; a drive that cannot be asked is none.
TEST_F(RecordPageTest, DefaultSchemePathsComeFromTheDrivesWithFiveGigabytesFree) {
  const struct {
    std::map<std::string, std::optional<uint64_t>> free;
    std::vector<std::string> paths;
  } cases[] = {
      {{{"D:\\", 3 * kGiB}, {"E:\\", 40 * kGiB}, {"F:\\", 6 * kGiB}, {"G:\\", 100 * kGiB}}, {"E:\\", "F:\\", "G:\\"}},
      {{}, {"", "", ""}},  // only drive C, which is never a candidate
      {{{"D:\\", 5 * kGiB}, {"K:\\", 5 * kGiB - 1}}, {"D:\\", "", ""}},
      {{{"E:\\", 9 * kGiB}, {"F:\\", 9 * kGiB}, {"H:\\", 9 * kGiB}, {"J:\\", 9 * kGiB}}, {"E:\\", "F:\\", "H:\\"}},
  };
  for (const auto& c : cases) {
    FreeRecSchemeList();
    g_lstDevInfo.clear();
    env_.freeBytes.clear();
    for (char drive = 'C'; drive <= 'K'; ++drive) env_.freeBytes[std::string(1, drive) + ":\\"] = std::nullopt;
    for (const auto& [path, free] : c.free) env_.freeBytes[path] = free;
    env_.queries.clear();
    CSettingRecordDlg page(&manager_);
    page.SetRecEnvironment(&env_);
    page.SetRecStreams(&streams_);
    AddDevice("cam1", "cam1");
    ASSERT_TRUE(page.Create(CSettingRecordDlg::IDD, &manager_));  // creates the default scheme
    ASSERT_EQ(g_lstRecSchemeInfo.size(), 1u);
    const RecSchemeInfo& scheme = *g_lstRecSchemeInfo.front();
    EXPECT_EQ((std::vector<std::string>{scheme.StoragePath1, scheme.StoragePath2, scheme.StoragePath3}), c.paths);
    EXPECT_EQ(env_.queries.size(), 8u);  // every candidate is asked, drive C never
    EXPECT_EQ(scheme.OnOff, 0);
    EXPECT_EQ(scheme.StorageScheme, 1);
    EXPECT_EQ(scheme.PreRecTime, 5);
    EXPECT_EQ(scheme.RecFileTime, 1800);
    ASSERT_EQ(scheme.lstRecTime.size(), 1u);
    EXPECT_EQ(scheme.lstRecTime.front().DayOfWeek, 8);
    ExpectFileHoldsTheList();
  }
}

TEST_F(RecordPageTest, ShowingASchemeFollowsTheValueMaps) {
  CreatePage();
  RecSchemeInfo scheme;
  CopyFixedText(scheme.SchemeName, "Night");
  CopyFixedText(scheme.StoragePath2, "E:\\Video");
  scheme.OnOff = 1;
  scheme.StorageScheme = 0;
  scheme.RecStreamType = 0;
  scheme.RecAudio = 1;
  scheme.PreRecTime = 8;
  scheme.RecFileTime = 3600;
  scheme.StartType = 0;
  scheme.DetRecTime = 300;
  page_.ShowSchemeInfo(&scheme);
  EXPECT_EQ(Selected(CSettingRecordDlg::IDC_ON_OFF), 1);
  EXPECT_EQ(Selected(CSettingRecordDlg::IDC_STORAGE_SCHEME), 0);
  EXPECT_EQ(Selected(CSettingRecordDlg::IDC_REC_STREAM), 0);
  EXPECT_TRUE(Control<QCheckBox>(CSettingRecordDlg::IDC_REC_AUDIO)->isChecked());
  EXPECT_EQ(Selected(CSettingRecordDlg::IDC_PRE_REC_TIME), 2);
  EXPECT_EQ(Selected(CSettingRecordDlg::IDC_FILE_TIME), 5);
  EXPECT_EQ(TextOf(CSettingRecordDlg::IDC_PATH2), "E:\\Video");
  EXPECT_EQ(TextOf(CSettingRecordDlg::IDC_SAVE_DATE), "0");
  // A schedule scheme: file length on, motion time off and not written.
  EXPECT_TRUE(page_.GetDlgItem(CSettingRecordDlg::IDC_FILE_TIME)->isEnabled());
  EXPECT_FALSE(page_.GetDlgItem(CSettingRecordDlg::IDC_DET_REC_TIME)->isEnabled());
  EXPECT_EQ(TextOf(CSettingRecordDlg::IDC_DET_REC_TIME), "60");
  EXPECT_TRUE(page_.GetDlgItem(CSettingRecordDlg::IDC_BTN_DEL)->isEnabled());

  // A stored length of 900 s keeps the previous item; a pre-record time of 4 s shows as 5.
  scheme.RecFileTime = 900;
  scheme.PreRecTime = 4;
  scheme.StartType = 1;
  page_.ShowSchemeInfo(&scheme);
  EXPECT_EQ(Selected(CSettingRecordDlg::IDC_FILE_TIME), 5);
  EXPECT_EQ(Selected(CSettingRecordDlg::IDC_PRE_REC_TIME), 1);
  EXPECT_FALSE(page_.GetDlgItem(CSettingRecordDlg::IDC_FILE_TIME)->isEnabled());
  EXPECT_TRUE(page_.GetDlgItem(CSettingRecordDlg::IDC_DET_REC_TIME)->isEnabled());
  EXPECT_EQ(TextOf(CSettingRecordDlg::IDC_DET_REC_TIME), "300");
  // Showing never changes whether the pre-record combo is enabled.
  EXPECT_FALSE(page_.GetDlgItem(CSettingRecordDlg::IDC_PRE_REC_TIME)->isEnabled());
}

TEST_F(RecordPageTest, TheTriggerSetsTheRecordTimeControls) {
  CreatePage();
  auto enabled = [&](int id) { return page_.GetDlgItem(id)->isEnabled(); };
  auto label = [&] { return GetWindowTextW(page_.GetDlgItem(CSettingRecordDlg::IDC_DET_LABEL)).toStdString(); };
  Select(CSettingRecordDlg::IDC_PRE_REC_TIME, 0);
  page_.OnTriggerChanged(2);
  EXPECT_EQ(Selected(CSettingRecordDlg::IDC_PRE_REC_TIME), 3);  // "10" s
  EXPECT_TRUE(enabled(CSettingRecordDlg::IDC_PRE_REC_TIME));
  EXPECT_TRUE(enabled(CSettingRecordDlg::IDC_DET_REC_TIME));
  EXPECT_FALSE(enabled(CSettingRecordDlg::IDC_FILE_TIME));
  EXPECT_EQ(label(), "I0 recording duration:");
  Select(CSettingRecordDlg::IDC_PRE_REC_TIME, 1);
  page_.OnTriggerChanged(1);
  EXPECT_EQ(Selected(CSettingRecordDlg::IDC_PRE_REC_TIME), 3);
  EXPECT_EQ(label(), "Detect record time:");
  page_.OnTriggerChanged(0);
  EXPECT_FALSE(enabled(CSettingRecordDlg::IDC_PRE_REC_TIME));
  EXPECT_FALSE(enabled(CSettingRecordDlg::IDC_DET_REC_TIME));
  EXPECT_TRUE(enabled(CSettingRecordDlg::IDC_FILE_TIME));
}

TEST_F(RecordPageTest, ShowsTheSpansInTheirRows) {
  CreatePage();
  RecSchemeInfo scheme;
  CopyFixedText(scheme.SchemeName, "Week");
  RecTime monday;
  monday.TimeDuration = 3;
  monday.DayOfWeek = 2;
  monday.StartTime = Hms(8, 30, 0);
  monday.EndTime = Hms(17, 15, 30);
  RecTime lost = monday;
  lost.TimeDuration = 9;
  scheme.lstRecTime = {monday, lost};
  page_.ShowSchemeInfo(&scheme);
  EXPECT_TRUE(Control<QCheckBox>(1146)->isChecked());
  EXPECT_EQ(Control<QComboBox>(1205)->currentText().toStdString(), "Monday");
  EXPECT_EQ(Control<QDateTimeEdit>(1154)->time(), QTime(8, 30, 0));
  EXPECT_EQ(Control<QDateTimeEdit>(1155)->time(), QTime(17, 15, 30));
  for (int id : {1006, 1011, 1147, 1148, 1093, 1149}) EXPECT_FALSE(Control<QCheckBox>(id)->isChecked()) << id;
  EXPECT_EQ(Control<QDateTimeEdit>(1162)->time(), QTime(0, 0, 0));
  EXPECT_EQ(Control<QDateTimeEdit>(1163)->time(), QTime(23, 59, 59));
  EXPECT_EQ(Control<QComboBox>(1209)->count(), 8);
  EXPECT_EQ(Control<QComboBox>(1209)->itemText(7).toStdString(), "Everyday");
  EXPECT_EQ(Control<QCheckBox>(1149)->text().toStdString(), "Time span7");
}

// Browsing for a storage path: the chosen folder is checked for space on its
// own file system (a disk mounted below a drive counts, not the drive's root)
// and against the other two paths.
TEST_F(RecordPageTest, BrowsingChecksTheChosenFoldersSpaceAndTheOtherPaths) {
  CreatePage();
  const std::string drives = paths::DriveRoot();
  env_.freeBytes["D:\\"] = 3 * kGiB;
  env_.freeBytes["D:\\big"] = 40 * kGiB;
  env_.freeBytes["E:\\Video"] = 40 * kGiB;
  env_.freeBytes["E:\\Video\\Day"] = 40 * kGiB;
  env_.freeBytes["C:\\"] = 6 * kGiB;
  env_.freeBytes["/srv/none"] = std::nullopt;
  SetText(CSettingRecordDlg::IDC_PATH1, "old");
  SetText(CSettingRecordDlg::IDC_PATH2, "E:\\Video");
  const struct {
    std::optional<std::string> folder;  // native; nullopt: cancelled
    std::string message, path1;
  } cases[] = {
      {drives + "/D/big", "", "D:\\big"},
      {drives + "/D", "The storage space less than 5G, please check!", "D:\\big"},
      {drives + "/E/Video", "The storage path exist, please select again!", "D:\\big"},
      {drives + "/E/Video/Day", "", "E:\\Video\\Day"},  // a sub-folder of path 2 is another path
      {drives + "/C", "", "C:\\"},  // C is never a default path, but may be chosen
      {"/srv/none", "The storage space less than 5G, please check!", "C:\\"},
      {std::nullopt, "", ""},  // cancelled: the path is emptied
  };
  for (const auto& c : cases) {
    chosenFolder_ = c.folder ? std::optional<QString>(QString::fromStdString(*c.folder)) : std::nullopt;
    Press(CSettingRecordDlg::IDC_BTN_BROWSE1);
    EXPECT_EQ(message_, c.message) << c.folder.value_or("cancel");
    EXPECT_EQ(TextOf(CSettingRecordDlg::IDC_PATH1), c.path1) << c.folder.value_or("cancel");
  }
  EXPECT_EQ(TextOf(CSettingRecordDlg::IDC_PATH2), "E:\\Video");
  EXPECT_TRUE(host_.calls.empty());  // nothing is saved or changed by browsing
}

TEST_F(RecordPageTest, TheLayoutKeepsTheArrangementAndRussianRowsAreWider) {
  CreatePage();
  page_.resize(1000, 700);
  const QRect nameEdit = page_.GetDlgItem(1048)->geometry();
  const QRect schemeTree = page_.GetDlgItem(1142)->geometry();
  const QRect allTree = page_.GetDlgItem(1143)->geometry();
  const QRect add = page_.GetDlgItem(1144)->geometry();
  EXPECT_EQ(nameEdit, QRect(110, 48, 120, 23));
  // The channel trees stand at 300, or further right when the storage-policy
  // box is widened to show its items whole.
  const QRect policy = page_.GetDlgItem(1114)->geometry();
  EXPECT_GE(policy.width(), 120);
  EXPECT_EQ(schemeTree, QRect(std::max(300, policy.right() + 1 + 5), 48, (1000 - 34) / 4, (700 - 65) / 2 - 70));
  EXPECT_LT(schemeTree.right(), add.left());
  EXPECT_LT(add.right(), allTree.left());
  EXPECT_EQ(page_.GetDlgItem(1149)->geometry().top(), (700 + 40) / 2 + 210);
  EXPECT_EQ(page_.GetDlgItem(1115)->geometry().height(), 23);  // combos keep one line
  EXPECT_EQ(page_.GetDlgItem(1296)->geometry().left(), 335);
  EXPECT_TRUE(page_.GetDlgItem(1049)->isHidden());
  g_nLanguage = 3;
  page_.resize(1000, 701);
  EXPECT_EQ(page_.GetDlgItem(1296)->geometry().left(), 380);
}

TEST_F(RecordPageTest, EscapeEnterAndAltF4DoNothing) {
  CreatePage();
  page_.show();
  for (auto [key, modifiers] : {std::pair{Qt::Key_Escape, Qt::NoModifier}, std::pair{Qt::Key_Return, Qt::NoModifier},
                                std::pair{Qt::Key_F4, Qt::AltModifier}}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(&page_, &press);
    EXPECT_TRUE(page_.isVisible()) << key;
  }
}

// The motion-record time takes digits only; what is typed otherwise is not taken.
TEST_F(RecordPageTest, TheMotionRecordTimeTakesDigitsOnly) {
  CreatePage();
  page_.OnTriggerChanged(1);
  auto* edit = Control<QLineEdit>(CSettingRecordDlg::IDC_DET_REC_TIME);
  edit->clear();
  edit->setFocus();
  QTest::keyClicks(edit, "1a-2 0");
  EXPECT_EQ(edit->text().toStdString(), "120");
}

