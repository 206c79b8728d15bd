#include <QComboBox>

#include "core/fixed_text.h"
#include "settings/hosts/dlg_remote_config.h"
#include "settings/devices/setting_dev_info_dlg.h"
#include "settings/maintenance/setting_maint_dlg.h"
#include "settings/settings_test_env.h"

namespace {

DevInfo Camera() {
  DevInfo dev;
  CopyFixedText(dev.DevId, "gate");
  CopyFixedText(dev.DevName, "gate");
  CopyFixedText(dev.GroupName, "yard");
  CopyFixedText(dev.IPAddr, "10.0.0.7");
  CopyFixedText(dev.DevSN, "SN-77");
  CopyFixedText(dev.LoginName, "viewer");
  CopyFixedText(dev.LoginPsw, "secret");
  dev.DevType = 1;
  dev.VideoPort = 554;
  return dev;
}

QString Text(const CDialog& page, int id) { return page.GetDlgItem(id)->property("text").toString(); }

}  // namespace

using ConfigPagesTest = SettingsTest;

TEST_F(ConfigPagesTest, DevicePageShowsADeviceAGroupARelayServerAndAnEmptyForm) {
  g_lstDevGroupInfo.emplace_back();
  CopyFixedText(g_lstDevGroupInfo.back().GroupName, "default");
  g_lstDevGroupInfo.emplace_back();
  CopyFixedText(g_lstDevGroupInfo.back().GroupName, "yard");
  QWidget parent;
  CSettingDevInfoDlg page;
  ASSERT_TRUE(page.Create(CSettingDevInfoDlg::IDD, &parent));

  DevInfo dev = Camera();
  page.DisplayDevInfo(&dev);
  EXPECT_EQ(Text(page, CSettingDevInfoDlg::IDC_DEV_NAME), "gate");
  EXPECT_EQ(Text(page, CSettingDevInfoDlg::IDC_ADDRESS), "10.0.0.7");
  EXPECT_EQ(Text(page, CSettingDevInfoDlg::IDC_VIDEO_PORT), "554");
  EXPECT_EQ(Text(page, CSettingDevInfoDlg::IDC_PTZ_PORT), "8091");  // no PTZ port: the usual one
  EXPECT_EQ(Text(page, CSettingDevInfoDlg::IDC_LOGIN_NAME), "viewer");
  EXPECT_EQ(qobject_cast<QComboBox*>(page.GetDlgItem(CSettingDevInfoDlg::IDC_GROUP_COMBO))->currentText(), "yard");
  EXPECT_EQ(qobject_cast<QComboBox*>(page.GetDlgItem(CSettingDevInfoDlg::IDC_DEV_TYPE))->currentIndex(), 1);
  dev.VisitMod = 2;  // reached by host name: the serial number is shown
  page.DisplayDevInfo(&dev);
  EXPECT_EQ(Text(page, CSettingDevInfoDlg::IDC_ADDRESS), "SN-77");

  page.DisplayVssInfo("relay-1");
  EXPECT_EQ(qobject_cast<QComboBox*>(page.GetDlgItem(CSettingDevInfoDlg::IDC_DEV_TYPE))->currentIndex(),
            CSettingDevInfoDlg::kTypeVss);
  EXPECT_EQ(Text(page, CSettingDevInfoDlg::IDC_DEV_NAME), "relay-1");
  EXPECT_FALSE(page.GetDlgItem(CSettingDevInfoDlg::IDC_ADDRESS)->isEnabled());  // read-only

  page.ClearDevInfo();
  for (int id : {CSettingDevInfoDlg::IDC_DEV_NAME, CSettingDevInfoDlg::IDC_ADDRESS, CSettingDevInfoDlg::IDC_LOGIN_NAME,
                 CSettingDevInfoDlg::IDC_PASSWORD})
    EXPECT_EQ(Text(page, id), "") << id;
  EXPECT_TRUE(page.GetDlgItem(CSettingDevInfoDlg::IDC_ADDRESS)->isEnabled());
  EXPECT_FALSE(page.GetDlgItem(CSettingDevInfoDlg::IDC_GROUP_COMBO)->isEnabled());

  page.DisplayGroupInfo(&g_lstDevGroupInfo.back());
  EXPECT_EQ(Text(page, CSettingDevInfoDlg::IDC_GROUP_NAME), "yard");
  EXPECT_STREQ(page.CurGroupInfo().GroupName, "yard");
  page.DisplayGroupInfo(nullptr);
  EXPECT_EQ(Text(page, CSettingDevInfoDlg::IDC_GROUP_NAME), "");
}

TEST_F(ConfigPagesTest, RemoteConfigurationLetsTheDeviceGoWhenHidden) {
  QWidget parent;
  CDlgRemoteConfig page;
  ASSERT_TRUE(page.Create(CDlgRemoteConfig::IDD, &parent));
  const DevInfo dev = Camera();
  page.ShowRemoteConfig(&dev);
  ASSERT_NE(page.ShownDevice(), nullptr);
  EXPECT_STREQ(page.ShownDevice()->DevName, "gate");
  EXPECT_EQ(Text(page, CDlgRemoteConfig::IDC_DEVICE), "gate");
  page.HideRemoteConfig(0);
  EXPECT_EQ(page.ShownDevice(), nullptr);
  EXPECT_EQ(Text(page, CDlgRemoteConfig::IDC_DEVICE), "");
}

TEST_F(ConfigPagesTest, MaintenancePageTakesTheClickedDevice) {
  QWidget parent;
  CSettingMaintDlg page;
  ASSERT_TRUE(page.Create(CSettingMaintDlg::IDD, &parent));
  DevInfo dev = Camera();
  dev.nOnline = 1;  // an offline device is refused with a message
  page.DisplayDevInfo(&dev);
  EXPECT_STREQ(page.CurDevInfo().DevName, "gate");
  page.DisplayDevInfo(nullptr);  // nothing changes
  EXPECT_STREQ(page.CurDevInfo().DevName, "gate");
}
