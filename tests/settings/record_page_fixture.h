// The record-scheme page in a program folder of its own, inside a stand-in of
// the configuration manager (a dialog with its record button), with drives of
// fake free space, stream objects that only keep what they are told, and
// helpers that fill the form, press the buttons and read the message shown.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QTreeWidget>
#include <sstream>
#include <string>
#include <vector>

#include "core/app_data.h"
#include "core/fixed_text.h"
#include "core/res_msg_dlg.h"
#include "platform/codepage.h"
#include "platform/control_id.h"
#include "platform/dialog.h"
#include "platform/window_text.h"
#include "rec_test_support.h"
#include "settings/fake_config_host.h"
#include "settings/record/setting_record_dlg.h"
#include "settings/settings_test_env.h"
#include "ui/image_button.h"

class RecordPageTest : public SettingsTest {
 public:
  void SetUp() override {
    SettingsTest::SetUp();
    WriteConfig("RecInfo.xml", "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<RecInfo />");
    recordButton_ = new CImageButton(&manager_);
    ctrlid::Set(recordButton_, CSettingRecordDlg::kCfgRecordButton);
    env_.defaultFree = 100 * kGiB;
    page_.SetHost(&host_);
    page_.SetRecEnvironment(&env_);
    page_.SetRecStreams(&streams_);
    page_.SetFolderChooser([this](const QString&) { return chosenFolder_; });
  }
  void CreatePage() {
    ASSERT_TRUE(page_.Create(CSettingRecordDlg::IDD, &manager_));
    manager_.resize(900, 700);
    manager_.show();
    page_.show();
    page_.resize(900, 700);
  }

  // A channel record of the device list (DevType 1 camera unless given).
  static DevInfo& AddDevice(const char* name, const char* id, int type = 1, int nvrChannel = 0) {
    CsLock lock(&g_csAppData);
    g_lstDevInfo.emplace_back();
    DevInfo& dev = g_lstDevInfo.back();
    CopyFixedText(dev.DevName, name);
    CopyFixedText(dev.DevId, id);
    dev.DevType = type;
    dev.CurNVRChannel = nvrChannel;
    dev.CurStoragePath = 1;
    const int n = static_cast<int>(g_lstDevInfo.size()) * 2 + 1;
    dev.pRtspEvent1 = FakeRecStreams::Object(n);
    dev.pRtspEvent2 = FakeRecStreams::Object(n + 1);
    return dev;
  }
  // A scheme of the list, with one span (slot 1) and the given channels.
  static RecSchemeInfo* AddScheme(const char* name, int day, TimeOfDay start, TimeOfDay end,
                                  std::vector<const DevInfo*> channels, const char* path = "D:\\") {
    auto* scheme = new RecSchemeInfo;
    CopyFixedText(scheme->SchemeName, name);
    CopyFixedText(scheme->StoragePath1, path);
    scheme->RecFileTime = 1800;
    scheme->PreRecTime = 5;
    scheme->DetRecTime = 60;
    scheme->RecStreamType = 1;
    RecTime span;
    span.TimeDuration = 1;
    span.DayOfWeek = day;
    span.StartTime = start;
    span.EndTime = end;
    scheme->lstRecTime.push_back(span);
    for (const DevInfo* dev : channels) scheme->lstDev.push_back(*dev);
    CsLock lock(&g_csAppData);
    g_lstRecSchemeInfo.push_back(scheme);
    return scheme;
  }

  template <class T>
  T* Control(int id) {
    return qobject_cast<T*>(page_.GetDlgItem(id));
  }
  void SetText(int id, const std::string& gbk) { SetWindowTextW(page_.GetDlgItem(id), codepage::ToQString(gbk)); }
  std::string TextOf(int id) { return codepage::FromQString(GetWindowTextW(page_.GetDlgItem(id))); }
  void Select(int id, int index) { Control<QComboBox>(id)->setCurrentIndex(index); }
  int Selected(int id) { return Control<QComboBox>(id)->currentIndex(); }
  void SetSpan(int row, bool checked, int dayIndex = 0, TimeOfDay start = TimeOfDay::FromHms(0, 0, 0),
               TimeOfDay end = TimeOfDay::FromHms(23, 59, 59)) {
    const size_t k = static_cast<size_t>(row - 1);
    Control<QCheckBox>(CSettingRecordDlg::kSpanCheck[k])->setChecked(checked);
    Select(CSettingRecordDlg::kSpanDay[k], dayIndex);
    Control<QDateTimeEdit>(CSettingRecordDlg::kSpanStart[k])
        ->setTime(QTime(start.GetHour(), start.GetMinute(), start.GetSecond()));
    Control<QDateTimeEdit>(CSettingRecordDlg::kSpanEnd[k])->setTime(QTime(end.GetHour(), end.GetMinute(), end.GetSecond()));
  }
  // A form that Add accepts: a name, path 1, span row 1 every day all day.
  void FillValidForm(const std::string& name) {
    SetText(CSettingRecordDlg::IDC_SCHEME_NAME, name);
    SetText(CSettingRecordDlg::IDC_PATH1, "D:\\");
    SetText(CSettingRecordDlg::IDC_PATH2, "");
    SetText(CSettingRecordDlg::IDC_PATH3, "");
    SetText(CSettingRecordDlg::IDC_DET_REC_TIME, "60");
    for (int row = 1; row <= kSpanRowCount; ++row) SetSpan(row, false);
    SetSpan(1, true, 7);
  }
  void Press(int id) {
    if (QLabel* before = MessageLabel()) before->clear();
    page_.OnCommand(id);
    QLabel* after = MessageLabel();
    message_ = after ? after->text().toStdString() : std::string();
  }
  QLabel* MessageLabel() {
    auto* box = page_.findChild<CResMsgDlg*>();
    return box ? qobject_cast<QLabel*>(box->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT)) : nullptr;
  }

  QTreeWidgetItem* TreeRoot(int id) { return Control<QTreeWidget>(id)->topLevelItem(0); }
  std::vector<std::string> TreeTexts(int id) {
    std::vector<std::string> texts;
    QTreeWidgetItem* root = TreeRoot(id);
    for (int i = 0; root && i < root->childCount(); ++i) texts.push_back(root->child(i)->text(0).toStdString());
    return texts;
  }
  void Tick(int treeId, const std::string& text) {
    QTreeWidgetItem* root = TreeRoot(treeId);
    for (int i = 0; i < root->childCount(); ++i)
      if (root->child(i)->text(0).toStdString() == text) root->child(i)->setCheckState(0, Qt::Checked);
  }

  // What a scheme holds, as "RecInfo.xml" keeps it.
  static std::string Describe(const RecSchemeInfo& s) {
    std::ostringstream out;
    out << FixedText(s.SchemeName) << "|" << FixedText(s.StoragePath1) << "|" << FixedText(s.StoragePath2) << "|"
        << FixedText(s.StoragePath3) << "|" << s.SaveDate << " " << s.StorageScheme << " " << s.StartType << " "
        << s.OnOff << " " << s.PreRecTime << " " << s.RecFileTime << " " << s.DetRecTime << " " << s.RecAudio << " "
        << s.RecStreamType << " devs";
    for (const DevInfo& d : s.lstDev) out << " " << d.DevName << "/" << d.DevId;
    out << " spans";
    for (const RecTime& t : s.lstRecTime)
      out << " " << t.TimeDuration << ":" << t.DayOfWeek << ":" << FormatTimeOfDay(t.StartTime) << "-"
          << FormatTimeOfDay(t.EndTime);
    return out.str();
  }
  static std::vector<std::string> DescribeList(const std::list<RecSchemeInfo*>& list) {
    std::vector<std::string> all;
    for (const RecSchemeInfo* s : list) all.push_back(Describe(*s));
    return all;
  }
  // "RecInfo.xml" read back into a list of its own holds what the list holds.
  void ExpectFileHoldsTheList() {
    std::list<RecSchemeInfo*> kept;
    {
      CsLock lock(&g_csAppData);
      kept.swap(g_lstRecSchemeInfo);
    }
    LoadRecInfo();
    const std::vector<std::string> loaded = DescribeList(g_lstRecSchemeInfo);
    FreeRecSchemeList();
    {
      CsLock lock(&g_csAppData);
      kept.swap(g_lstRecSchemeInfo);
    }
    EXPECT_EQ(loaded, DescribeList(g_lstRecSchemeInfo));
  }

  CDialog manager_{0};
  CImageButton* recordButton_ = nullptr;
  FakeConfigHost host_;
  FakeRecEnvironment env_;
  FakeRecStreams streams_;
  std::optional<QString> chosenFolder_;
  CSettingRecordDlg page_{&manager_};
  std::string message_;
};
