// Answers the maintenance page cannot use: each is reported where it belongs
// and the page stays usable.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <fstream>

#include "common/wait_for.h"
#include "core/res_msg_dlg.h"
#include "maint_page_fixture.h"

namespace {

constexpr char kIp[] = "10.0.0.61";

int TotalLabel(int panel) {
  return CSettingMaintDlg::IDC_PANEL_BASE + panel * CSettingMaintDlg::kPanelStep + CSettingMaintDlg::kPanelLabel;
}

TEST_F(MaintPageTest, AnswersThatSayNothingLeaveThePageAsItWas) {
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  page_->DisplayDevInfo(Record(kIp));
  ASSERT_TRUE(WaitFor([&] { return Text(TotalLabel(0)) == "Total space : 1024(MB)"; }));
  struct Case {
    const char* name;
    const char* push;  // "auxpush CODE FLAG TEXT"
  } cases[] = {
      {"unknown code", "auxpush 4242 0 <RESPONSE_PARAM FileSystemVersion=\"evil\" />"},
      {"storage not XML", "auxpush 1014 0 <<<not xml"},
      {"storage without children", "auxpush 1014 0 <RESPONSE_PARAM />"},
      {"storage of another root", "auxpush 1014 0 <OTHER><DEV DevName=\"sd1\" Total=\"1\" /></OTHER>"},
      {"storage cut short", "auxpush 1014 0 <RESPONSE_PARAM><DEV DevName=\"sd1\" Total=\"9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(device->Command(c.push), "OK 1");
    // A version question afterwards shows that the push has been taken.
    ASSERT_EQ(device->Command("auxpush 1012 0 <RESPONSE_PARAM FileSystemVersion=\"FS-9\" />"), "OK 1");
    ASSERT_TRUE(WaitFor([&] { return Cell(kIp, 3) == "FS-9"; }));
    EXPECT_EQ(Text(TotalLabel(0)), "Total space : 1024(MB)");
    EXPECT_EQ(Message(), "");
    ASSERT_EQ(device->Command("auxpush 1012 0 <RESPONSE_PARAM FileSystemVersion=\"FS-2.4.1\" />"), "OK 1");
    ASSERT_TRUE(WaitFor([&] { return Cell(kIp, 3) == "FS-2.4.1"; }));
  }
}

TEST_F(MaintPageTest, AResultWithTheTopBitSetIsAFailure) {
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(device->Command("auxpush 1017 128"), "OK 1");  // result byte 0x80: -128
  ASSERT_TRUE(WaitFor([&] { return page_->GetMsgDlg()->isVisible(); }));
  EXPECT_EQ(Message(), "Format failed.");
  ASSERT_EQ(device->Command("auxpush 1018 255"), "OK 1");
  ASSERT_TRUE(WaitFor([&] { return page_->GetMsgDlg()->isVisible(); }));
  EXPECT_EQ(Message(), "Unmount failed.");
}

TEST_F(MaintPageTest, AVersionAnswerThatIsNotXmlIsAskedAgainAFewTimes) {
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(device->Command("auxtext 1012 this is no answer"), "OK");
  while (!device->Take("AUX 1012", 0.01).empty()) {
  }
  ASSERT_EQ(device->Command("auxpush 1012 0 <RESPONSE_PARAM />"), "OK 1");  // no version in it
  for (int ask = 0; ask < 3; ++ask) EXPECT_FALSE(Received(*device, "AUX 1012").empty()) << ask;
  EXPECT_TRUE(Received(*device, "AUX 1012", 1500).empty()) << "asked without end";
  EXPECT_EQ(Cell(kIp, 3), "FS-2.4.1");  // the version shown stays
  // A good answer starts the count again.
  ASSERT_EQ(device->Command("auxtext 1012 -"), "OK");
  page_->DisplayDevInfo(Record(kIp));
  EXPECT_FALSE(Received(*device, "AUX 1012").empty());
}

TEST_F(MaintPageTest, ADeviceLostMidUploadFailsItsRow) {
  removeOffline_ = false;  // the row stays to be looked at
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(device->Command("upload hold"), "OK");
  const std::string image = folder_.File("image.bin");
  std::ofstream(image, std::ios::binary) << std::string(300 * 1024, 'y');
  SetText(CSettingMaintDlg::IDC_FIRMWARE_PATH, image);
  Tick(kIp);
  Click(CSettingMaintDlg::IDC_UPGRADE);
  ASSERT_TRUE(WaitFor([&] { return Status(kIp).rfind("Firmware Uploading(", 0) == 0; })) << Status(kIp);
  ASSERT_EQ(device->Command("drop"), "OK");
  ASSERT_TRUE(WaitStatus(kIp, "Upload failed!")) << Status(kIp);
  EXPECT_TRUE(WaitFor([&] { return page_->Busy().upgrade == 0; }));
  // The page goes on: the device back, a reboot is sent.
  ASSERT_TRUE(WaitFor([&] { return Record(kIp)->nOnline == 1 && ctrl_->GetUploadProgress(Record(kIp)->GimbroId) == -1; }));
  Click(CSettingMaintDlg::IDC_REBOOT);
  EXPECT_EQ(Message(), "");
  EXPECT_FALSE(Received(*device, "AUX 1007").empty());
}

}  // namespace
