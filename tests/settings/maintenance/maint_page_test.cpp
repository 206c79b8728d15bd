// The maintenance page against fake devices: versions, uploads and downloads
// with their progress, restarts, factory defaults, the clock and the disks.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QRegularExpression>
#include <fstream>
#include <iterator>

#include "common/wait_for.h"
#include "maint_page_fixture.h"
#include "ui/sort_list_ctrl.h"

namespace {

constexpr char kIp[] = "10.0.0.21";

std::string MakeFile(const TempFolder& folder, const std::string& name, size_t size) {
  const std::string path = folder.File(name);
  std::ofstream out(path, std::ios::binary);
  for (size_t i = 0; i < size; ++i) out.put(static_cast<char>(i * 7 % 256));
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(MaintPageTest, ADeviceThatLogsInGetsARowWithItsVersion) {
  ASSERT_NE(AddDevice("gate", kIp), nullptr);
  EXPECT_EQ(Cell(kIp, 0), "gate");
  EXPECT_EQ(Cell(kIp, 3), "FS-2.4.1");
  EXPECT_EQ(Status(kIp), "");

  // A device chosen in the tree while it is offline is refused.
  DevInfo offline = *Record(kIp);
  offline.nOnline = 0;
  page_->DisplayDevInfo(&offline);
  EXPECT_EQ(Message(), "The device offline,can't do the operation!");
}

TEST_F(MaintPageTest, FirmwareUploadShowsItsProgressThenUpgrades) {
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(device->Command("upload hold"), "OK");
  ASSERT_EQ(device->Command("upgrade wait"), "OK");
  const std::string image = MakeFile(folder_, "image.bin", 400 * 1024);
  SetText(CSettingMaintDlg::IDC_FIRMWARE_PATH, image);
  Tick(kIp);
  Click(CSettingMaintDlg::IDC_UPGRADE);
  EXPECT_EQ(Message(), "");
  const QRegularExpression progress(QStringLiteral("^Firmware Uploading\\((\\d+)%\\)$"));
  ASSERT_TRUE(WaitFor([&] { return progress.match(QString::fromStdString(Status(kIp))).hasMatch(); }))
      << Status(kIp);
  EXPECT_EQ(page_->Busy().upgrade, 1);
  // Nothing else starts meanwhile.
  Click(CSettingMaintDlg::IDC_CONFIG_DOWNLOAD);
  EXPECT_EQ(Message(), "Please select save path!");
  SetText(CSettingMaintDlg::IDC_SAVE_PATH, folder_.Path());
  Click(CSettingMaintDlg::IDC_CONFIG_DOWNLOAD);
  EXPECT_EQ(Message(), "Upgrading...");
  Click(CSettingMaintDlg::IDC_REBOOT);
  EXPECT_EQ(Message(), "Firmware Uploading...");
  EXPECT_TRUE(Received(*device, "AUX 1007", 300).empty());

  ASSERT_EQ(device->Command("upload release"), "OK");
  ASSERT_TRUE(WaitStatus(kIp, "Upgrading...")) << Status(kIp);
  EXPECT_FALSE(Received(*device, "UPLOAD_DONE 409600").empty());
  // The device upgrades: the flag stays set on every tick until it answers.
  for (int i = 0; i < 3; ++i) page_->OnTimer(CSettingMaintDlg::TIMER_UPGRADE);
  EXPECT_EQ(page_->Busy().upgrade, 1);
  EXPECT_EQ(Status(kIp), "Upgrading...");

  // A good upgrade restarts the device: its row leaves and comes back.
  ASSERT_EQ(device->Command("upgraded 0"), "OK 1");
  ASSERT_TRUE(WaitFor([&] { return ListRow(kIp) < 0; })) << "the row stays while the device restarts";
  EXPECT_EQ(page_->Busy().upgrade, 0);
  ASSERT_TRUE(WaitFor([&] { return ListRow(kIp) >= 0; }, 30000)) << "the device did not come back";
  EXPECT_EQ(Status(kIp), "");
}

TEST_F(MaintPageTest, AFailedUpgradeIsShownOnItsRow) {
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(device->Command("upgrade 3"), "OK");
  SetText(CSettingMaintDlg::IDC_FIRMWARE_PATH, MakeFile(folder_, "image.bin", 1000));
  Tick(kIp);
  Click(CSettingMaintDlg::IDC_UPGRADE);
  ASSERT_TRUE(WaitStatus(kIp, "Upgrade failed")) << Status(kIp);
  EXPECT_EQ(page_->Busy().upgrade, 0);
  EXPECT_EQ(device->Command("count REBOOT"), "OK 0");
}

TEST_F(MaintPageTest, UploadsThatCannotRunAreReportedOnTheirRows) {
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  struct Case {
    const char* name;
    std::string file;
    const char* deviceMode;
    int pathEdit, button;
    const char* message;
    const char* status;
  } cases[] = {
      {"refused firmware", MakeFile(folder_, "a.bin", 5000), "refuse", CSettingMaintDlg::IDC_FIRMWARE_PATH,
       CSettingMaintDlg::IDC_UPGRADE, "", "Upload failed!"},
      {"refused config", MakeFile(folder_, "a.xml", 5000), "refuse", CSettingMaintDlg::IDC_CONFIG_PATH,
       CSettingMaintDlg::IDC_CONFIG_UPLOAD, "", "Config file upload failed"},
      {"missing firmware", folder_.File("none.bin"), "ok", CSettingMaintDlg::IDC_FIRMWARE_PATH,
       CSettingMaintDlg::IDC_UPGRADE, "The operation failed. the file is not exsit!", "Upload failed!"},
      {"empty config", MakeFile(folder_, "empty.xml", 0), "ok", CSettingMaintDlg::IDC_CONFIG_PATH,
       CSettingMaintDlg::IDC_CONFIG_UPLOAD, "The operation failed. the file is not exsit!",
       "Config file upload failed"},
      {"firmware stalled by the device", MakeFile(folder_, "b.bin", 300 * 1024), "stall",
       CSettingMaintDlg::IDC_FIRMWARE_PATH, CSettingMaintDlg::IDC_UPGRADE, "", "Upload failed!"},
  };
  Tick(kIp);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(device->Command(std::string("upload ") + c.deviceMode), "OK");
    SetText(CSettingMaintDlg::IDC_FIRMWARE_PATH, "");
    SetText(CSettingMaintDlg::IDC_CONFIG_PATH, "");
    SetText(c.pathEdit, c.file);
    Click(c.button);
    EXPECT_EQ(Message(), c.message);
    EXPECT_TRUE(WaitStatus(kIp, c.status)) << Status(kIp);
    EXPECT_TRUE(WaitFor([&] { return page_->Busy().upgrade == 0 && page_->Busy().configUpload == 0; }));
  }
}

TEST_F(MaintPageTest, ConfigurationGoesUpAndComesBackAsTheDevicesNameDotXml) {
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  const std::string config = "<?xml version=\"1.0\"?><Config DevName=\"gate\" Lens=\"wide\" />";
  {
    std::ofstream(folder_.File("mine.xml"), std::ios::binary) << config;
  }
  TempFolder saveFolder;
  Tick(kIp);
  SetText(CSettingMaintDlg::IDC_CONFIG_PATH, folder_.File("mine.xml"));
  Click(CSettingMaintDlg::IDC_CONFIG_UPLOAD);
  ASSERT_TRUE(WaitStatus(kIp, "Config file upload success")) << Status(kIp);
  EXPECT_TRUE(WaitFor([&] { return page_->Busy().configUpload == 0; }));

  SetText(CSettingMaintDlg::IDC_SAVE_PATH, saveFolder.Path());
  Click(CSettingMaintDlg::IDC_CONFIG_DOWNLOAD);
  EXPECT_EQ(page_->Busy().download, 1);  // at once
  EXPECT_FALSE(Received(*device, "DOWNLOAD /mnt/nand/config.xml").empty());
  ASSERT_TRUE(WaitStatus(kIp, "Config file download success")) << Status(kIp);
  EXPECT_EQ(ReadFile(saveFolder.File("gate.xml")), config);
  EXPECT_TRUE(WaitFor([&] { return page_->Busy().download == 0; }));

  // A download the device fails leaves nothing and says so.
  ASSERT_EQ(device->Command("download 1000 fail"), "OK");
  TempFolder other;
  SetText(CSettingMaintDlg::IDC_SAVE_PATH, other.Path());
  Click(CSettingMaintDlg::IDC_CONFIG_DOWNLOAD);
  ASSERT_TRUE(WaitStatus(kIp, "Config file download failed")) << Status(kIp);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(other.File("gate.xml"))));
  EXPECT_TRUE(WaitFor([&] { return page_->Busy().download == 0; }));
}

// When one row cannot start, the rows already started still show their progress.
TEST_F(MaintPageTest, RowsStartedBeforeAFailedRowAreFollowed) {
  FakeDeviceProcess* first = AddDevice("first", "10.0.0.31");
  FakeDeviceProcess* second = AddDevice("second", "10.0.0.32");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  // The list shows the newest row first: "second" is started first, then
  // "first", whose registration is gone by now.
  ASSERT_LT(ListRow("10.0.0.32"), ListRow("10.0.0.31"));
  removeOffline_ = false;
  ctrl_->RemoveDevice(Record("10.0.0.31")->GimbroId);
  Tick("10.0.0.31");
  Tick("10.0.0.32");
  SetText(CSettingMaintDlg::IDC_CONFIG_PATH, MakeFile(folder_, "c.xml", 200 * 1024));
  Click(CSettingMaintDlg::IDC_CONFIG_UPLOAD);
  EXPECT_EQ(Message(), "The operation failed. the file is not exsit!");
  EXPECT_EQ(Status("10.0.0.31"), "Config file upload failed");
  ASSERT_TRUE(WaitStatus("10.0.0.32", "Config file upload success")) << Status("10.0.0.32");
}

TEST_F(MaintPageTest, BusyChecksComeBeforeAnythingIsSent) {
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  // Empty paths are refused before the ticks are looked at.
  Click(CSettingMaintDlg::IDC_UPGRADE);
  EXPECT_EQ(Message(), "Please select file to be upgraded!");
  Click(CSettingMaintDlg::IDC_CONFIG_UPLOAD);
  EXPECT_EQ(Message(), "Please select the config file!");
  SetText(CSettingMaintDlg::IDC_FIRMWARE_PATH, MakeFile(folder_, "x.bin", 10));
  Click(CSettingMaintDlg::IDC_UPGRADE);
  EXPECT_EQ(Message(), "Please select the device for this operation!");
  for (int id : {CSettingMaintDlg::IDC_REBOOT, CSettingMaintDlg::IDC_DEFAULT_CONFIG, CSettingMaintDlg::IDC_SYNC_TIME}) {
    Click(id);
    EXPECT_EQ(Message(), "Please select the device for this operation!") << id;
  }

  // A download that runs holds back an upgrade and the commands.
  ASSERT_EQ(device->Command("download 1000 silent"), "OK");
  Tick(kIp);
  SetText(CSettingMaintDlg::IDC_SAVE_PATH, folder_.Path());
  Click(CSettingMaintDlg::IDC_CONFIG_DOWNLOAD);
  Click(CSettingMaintDlg::IDC_UPGRADE);
  EXPECT_EQ(Message(), "Config file download...");
  Click(CSettingMaintDlg::IDC_REBOOT);
  EXPECT_EQ(Message(), "Config file download...");
  EXPECT_EQ(device->Command("count UPLOAD"), "OK 0");
  EXPECT_TRUE(Received(*device, "AUX 1007", 300).empty());
}

TEST_F(MaintPageTest, RebootAndFactoryDefaultsRestartTheDevice) {
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  Tick(kIp);
  Click(CSettingMaintDlg::IDC_REBOOT);
  EXPECT_EQ(Status(kIp), "Rebootting...");
  EXPECT_FALSE(Received(*device, "AUX 1007 0").empty());
  EXPECT_FALSE(Received(*device, "REBOOT").empty());
  ASSERT_TRUE(WaitFor([&] { return ListRow(kIp) < 0; })) << "the row stays while the device restarts";
  ASSERT_TRUE(WaitFor([&] { return ListRow(kIp) >= 0; }, 30000)) << "the device did not come back";
  EXPECT_EQ(Status(kIp), "");

  // Factory defaults: the device's yes is followed by a restart.
  ASSERT_EQ(device->Command("config <Config Changed=\"1\" />"), "OK");
  Tick(kIp);
  Click(CSettingMaintDlg::IDC_DEFAULT_CONFIG);
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(Status(kIp), "");
  EXPECT_FALSE(Received(*device, "AUX 1002 0").empty());
  EXPECT_FALSE(Received(*device, "AUX 1007 0").empty());
  EXPECT_FALSE(Received(*device, "REBOOT").empty());

  // A device that says no is not restarted.
  ASSERT_TRUE(WaitFor([&] { return ListRow(kIp) < 0; }));
  ASSERT_TRUE(WaitFor([&] { return ListRow(kIp) >= 0; }, 30000));
  ASSERT_EQ(device->Command("aux 1002 1"), "OK");
  Tick(kIp);
  Click(CSettingMaintDlg::IDC_DEFAULT_CONFIG);
  EXPECT_FALSE(Received(*device, "AUX 1002 0").empty());
  EXPECT_TRUE(Received(*device, "AUX 1007", 1000).empty());
  EXPECT_EQ(Status(kIp), "");
}

TEST_F(MaintPageTest, ClockIsSentOnlyAfterTheOperatorsYes) {
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  Tick(kIp);
  page_->SetConfirm([](CSettingMaintDlg::Question q, const QString& text) {
    EXPECT_EQ(q, CSettingMaintDlg::Question::kSyncTime);
    EXPECT_TRUE(text.startsWith("Time deviation will occur")) << text.toStdString();
    return false;
  });
  Click(CSettingMaintDlg::IDC_SYNC_TIME);
  EXPECT_TRUE(Received(*device, "AUX 1005", 500).empty());
  page_->SetConfirm([](CSettingMaintDlg::Question, const QString&) { return true; });
  const std::time_t before = std::time(nullptr);
  Click(CSettingMaintDlg::IDC_SYNC_TIME);
  const std::string body = TakeBody(*device, 1005);
  const std::time_t after = std::time(nullptr);
  const std::string expected[] = {maint::TimeBody(maint::ClockAt(before)), maint::TimeBody(maint::ClockAt(after))};
  EXPECT_TRUE(body == expected[0] || body == expected[1]) << body;
  EXPECT_NE(body.find("TimeZone=\"7"), std::string::npos) << body;  // 780 or 840 in this zone
}

TEST_F(MaintPageTest, TicksFollowAllAndInvert) {
  ASSERT_NE(AddDevice("first", "10.0.0.31"), nullptr);
  ASSERT_NE(AddDevice("second", "10.0.0.32"), nullptr);
  auto* all = qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSettingMaintDlg::IDC_CHECK_ALL));
  auto* invert = qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSettingMaintDlg::IDC_CHECK_INVERT));
  auto ticks = [&] {
    return std::to_string(page_->List()->GetCheck(ListRow("10.0.0.31"))) +
           std::to_string(page_->List()->GetCheck(ListRow("10.0.0.32")));
  };
  all->click();
  EXPECT_EQ(ticks(), "11");
  Tick("10.0.0.31", false);
  invert->click();
  EXPECT_FALSE(all->isChecked());
  EXPECT_EQ(ticks(), "10");
  invert->click();  // unticking Invert leaves the ticks
  EXPECT_EQ(ticks(), "10");
  invert->click();
  all->click();
  EXPECT_FALSE(invert->isChecked());
  EXPECT_EQ(ticks(), "11");
  all->click();
  EXPECT_EQ(ticks(), "00");
}

}  // namespace
