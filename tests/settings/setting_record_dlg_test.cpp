#include "settings/setting_record_dlg.h"

#include <QComboBox>
#include <QTreeWidget>

#include "core/fixed_text.h"
#include "settings/fake_config_host.h"
#include "settings/settings_test_env.h"

namespace {

class RecordPageTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    WriteConfig("RecInfo.xml", "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<RecInfo />");
    page_.SetHost(&host_);
    ASSERT_TRUE(page_.Create(CSettingRecordDlg::IDD, &parent_));
  }
  static void AddDevice(const char* name, int type) {
    g_lstDevInfo.emplace_back();
    CopyFixedText(g_lstDevInfo.back().DevName, name);
    CopyFixedText(g_lstDevInfo.back().DevId, name);
    g_lstDevInfo.back().DevType = type;
  }

  QWidget parent_;
  FakeConfigHost host_;
  CSettingRecordDlg page_;
};

}  // namespace

TEST_F(RecordPageTest, CreatesTheDefaultSchemeOnceWhenDevicesExist) {
  page_.CreateDefaultScheme();  // no devices: nothing
  EXPECT_TRUE(g_lstRecSchemeInfo.empty());
  EXPECT_TRUE(host_.calls.empty());

  AddDevice("cam1", 1);
  AddDevice("decoder", 2);
  EXPECT_EQ(page_.CreateDefaultScheme(), 0);
  ASSERT_EQ(g_lstRecSchemeInfo.size(), 1u);
  RecSchemeInfo* scheme = g_lstRecSchemeInfo.front();
  EXPECT_STREQ(scheme->SchemeName, "Default Strategy");
  ASSERT_EQ(scheme->lstDev.size(), 1u);
  EXPECT_STREQ(scheme->lstDev.front().DevName, "cam1");
  EXPECT_EQ(page_.ShownScheme(), scheme);
  EXPECT_EQ(page_.GetDlgItem(CSettingRecordDlg::IDC_SCHEME_NAME)->property("text").toString(), "Default Strategy");
  EXPECT_EQ(host_.calls, std::vector<std::string>{"ShowRecSchemeTree"});
  EXPECT_NE(ReadConfig("RecInfo.xml").find("<SchemeName>Default Strategy</SchemeName>"), std::string::npos);

  // Present: only shown.
  page_.ShowSchemeInfo(nullptr);
  page_.CreateDefaultScheme();
  EXPECT_EQ(g_lstRecSchemeInfo.size(), 1u);
  EXPECT_EQ(page_.ShownScheme(), scheme);

  // Removed by the operator later: not created again in the page's life.
  FreeRecSchemeList();
  page_.CreateDefaultScheme();
  EXPECT_TRUE(g_lstRecSchemeInfo.empty());
}

TEST_F(RecordPageTest, ShowsTheSchemesSwitch) {
  RecSchemeInfo scheme;
  CopyFixedText(scheme.SchemeName, "Night");
  scheme.OnOff = 1;
  page_.ShowSchemeInfo(&scheme);
  auto* onOff = qobject_cast<QComboBox*>(page_.GetDlgItem(CSettingRecordDlg::IDC_ON_OFF));
  EXPECT_EQ(onOff->currentIndex(), 1);
  scheme.OnOff = 0;
  page_.ShowSchemeInfo(&scheme);
  EXPECT_EQ(onOff->currentIndex(), 0);
}

TEST_F(RecordPageTest, TheDeviceTreeIsFilledByTheGivenFiller) {
  QTreeWidget* filled = nullptr;
  page_.SetDevTreeFiller([&](QTreeWidget* tree) { filled = tree; });
  page_.InitDevTree();
  EXPECT_EQ(filled, page_.GetDlgItem(CSettingRecordDlg::IDC_DEV_TREE));
}
