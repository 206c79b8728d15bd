// An ONVIF camera on the maintenance page: what ONVIF offers is done there,
// what it does not offer is refused at once and the page says so.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDateTime>
#include <fstream>

#include "common/wait_for.h"
#include "core/res_msg_dlg.h"
#include "maint_page_fixture.h"

namespace {

constexpr char kIp[] = "10.0.0.51";

TEST_F(MaintPageTest, OnvifCameraRestartsAndComesBackOnline) {
  FakeDeviceProcess* camera = AddDevice("cam", kIp, true);
  ASSERT_NE(camera, nullptr);
  EXPECT_EQ(Cell(kIp, 3), "1.2.3");  // the firmware of its device information
  Tick(kIp);
  Click(CSettingMaintDlg::IDC_REBOOT);
  EXPECT_EQ(Status(kIp), "Rebootting...");
  EXPECT_EQ(Received(*camera, "SystemReboot"), "SystemReboot");
  ASSERT_TRUE(WaitFor([&] { return ListRow(kIp) < 0; }, 30000)) << "the camera never went down";
  ASSERT_TRUE(WaitFor([&] { return ListRow(kIp) >= 0; }, 30000)) << "the camera did not come back";
  EXPECT_EQ(Status(kIp), "");
  EXPECT_EQ(camera->Command("down"), "OK 0");

  // Factory defaults keep the network settings and are followed by a restart.
  Tick(kIp);
  Click(CSettingMaintDlg::IDC_DEFAULT_CONFIG);
  EXPECT_EQ(Received(*camera, "SetSystemFactoryDefault"), "SetSystemFactoryDefault Soft");
  EXPECT_EQ(Received(*camera, "SystemReboot"), "SystemReboot");
}

TEST_F(MaintPageTest, OnvifCameraClockIsSetToThisComputersTime) {
  FakeDeviceProcess* camera = AddDevice("cam", kIp, true);
  ASSERT_NE(camera, nullptr);
  Tick(kIp);
  const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-2);
  Click(CSettingMaintDlg::IDC_SYNC_TIME);
  const std::string record = Received(*camera, "SetSystemDateAndTime");
  ASSERT_EQ(record.rfind("SetSystemDateAndTime Manual ", 0), 0u) << record;
  const QDateTime set = QDateTime::fromString(QString::fromStdString(record.substr(record.rfind(' ') + 1)), Qt::ISODate);
  EXPECT_GE(set, before) << record;
  EXPECT_LE(set, QDateTime::currentDateTimeUtc().addSecs(2)) << record;
}

TEST_F(MaintPageTest, WhatOnvifDoesNotOfferIsRefusedAtOnce) {
  FakeDeviceProcess* camera = AddDevice("cam", kIp, true);
  ASSERT_NE(camera, nullptr);
  // No disks to show: the caption says so.
  page_->DisplayDevInfo(Record(kIp));
  ASSERT_TRUE(WaitFor([&] { return Text(CSettingMaintDlg::IDC_CAPTION).find("does not offer") != std::string::npos; }))
      << Text(CSettingMaintDlg::IDC_CAPTION);
  EXPECT_EQ(Text(CSettingMaintDlg::IDC_CAPTION), "Device Name:cam   The device does not offer this operation");
  page_->OnBnClickedFormat(0);
  ASSERT_TRUE(WaitFor([&] { return page_->GetMsgDlg()->isVisible(); }));
  EXPECT_EQ(Message(), "Format failed.");

  // Files go neither up nor down; the idle time of a transfer is not waited for.
  const std::string image = folder_.File("image.bin");
  std::ofstream(image, std::ios::binary) << std::string(4096, 'x');
  Tick(kIp);
  SetText(CSettingMaintDlg::IDC_FIRMWARE_PATH, image);
  Click(CSettingMaintDlg::IDC_UPGRADE);
  ASSERT_TRUE(WaitStatus(kIp, "Upload failed!")) << Status(kIp);
  SetText(CSettingMaintDlg::IDC_SAVE_PATH, folder_.Path());
  Click(CSettingMaintDlg::IDC_CONFIG_DOWNLOAD);
  ASSERT_TRUE(WaitStatus(kIp, "Config file download failed")) << Status(kIp);
  EXPECT_EQ(page_->Busy().upgrade + page_->Busy().download, 0);
  EXPECT_EQ(camera->Command("count Unknown"), "OK 0");
}

}  // namespace
