// The storage panels of the maintenance page: the disks a device lists, and
// their format and unmount.
#include <gtest/gtest.h>

#include <QAbstractButton>

#include "common/wait_for.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/res_msg_dlg.h"
#include "maint_page_fixture.h"

namespace {

constexpr char kIp[] = "10.0.0.41";

int Label(int panel, int line) {
  return CSettingMaintDlg::IDC_PANEL_BASE + panel * CSettingMaintDlg::kPanelStep + CSettingMaintDlg::kPanelLabel + line;
}
int Button(int panel, bool format) {
  return CSettingMaintDlg::IDC_PANEL_BASE + panel * CSettingMaintDlg::kPanelStep +
         (format ? CSettingMaintDlg::kPanelFormat : CSettingMaintDlg::kPanelUnmount);
}

class MaintStorageTest : public MaintPageTest {
 protected:
  bool Enabled(int panel, bool format) const { return page_->GetDlgItem(Button(panel, format))->isEnabled(); }
  // Chooses the device in the tree and waits for its disks.
  bool Choose(const std::string& firstTotal) {
    page_->DisplayDevInfo(Record(kIp));
    return WaitFor([&] { return Text(Label(0, 0)) == firstTotal; });
  }
};

TEST_F(MaintStorageTest, FourDisksFillThreePanelsAndOneDiskOnlyTheFirst) {
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(device->Command("disks 4"), "OK");
  ASSERT_TRUE(Choose("Total space : 4096(MB)")) << Text(Label(0, 0));
  EXPECT_EQ(Text(CSettingMaintDlg::IDC_CAPTION), "Device Name:gate");
  for (int panel = 0; panel < 3; ++panel) {
    EXPECT_EQ(Text(Label(panel, 0)), "Total space : 4096(MB)") << panel;
    EXPECT_EQ(Text(Label(panel, 1)), "Used space : 1024(MB)") << panel;
    EXPECT_EQ(Text(Label(panel, 2)), "Free space : 3072(MB)") << panel;
    EXPECT_EQ(Text(Label(panel, 3)), "Percent : 25%") << panel;
    EXPECT_TRUE(Enabled(panel, true) && Enabled(panel, false)) << panel;
  }
  // An answer with one disk changes the first panel only.
  ASSERT_EQ(device->Command("auxpush 1014 0 <RESPONSE_PARAM><DEV DevName=\"sd1\" Mounted=\"0\" Total=\"0\" "
                            "Used=\"0\" Free=\"0\" Percent=\"0\" /></RESPONSE_PARAM>"),
            "OK 1");
  ASSERT_TRUE(WaitFor([&] { return Text(Label(0, 0)) == "Total space : 0(MB)Unmount"; })) << Text(Label(0, 0));
  EXPECT_FALSE(Enabled(0, true));  // nothing to format
  EXPECT_FALSE(Enabled(0, false));
  EXPECT_EQ(Text(Label(1, 0)), "Total space : 4096(MB)");
  EXPECT_EQ(Text(Label(2, 3)), "Percent : 25%");

  // Choosing a device shows bare panels until its answer comes.
  DevInfo noControl = *Record(kIp);
  noControl.pGimbroCtrl = nullptr;
  page_->DisplayDevInfo(&noControl);
  EXPECT_EQ(Text(Label(1, 0)), "Total space :");
  EXPECT_FALSE(Enabled(1, true));
}

TEST_F(MaintStorageTest, FormatAndUnmountShowTheirResults) {
  FakeDeviceProcess* device = AddDevice("gate", kIp);
  ASSERT_NE(device, nullptr);
  struct Case {
    const char* name;
    int panel;
    bool format;
    int flag;  // the device's answer
    const char* body;
    const char* waiting;
    const char* message;
  } cases[] = {
      {"format sd1", 0, true, 0, "<REQUEST_PARAM DevName = \"sd1\" />", "Formating please wait... ...",
       "Format success"},
      {"format fails", 2, true, 1, "<REQUEST_PARAM DevName = \"usb\" />", "Formating please wait... ...",
       "Format failed."},
      {"unmount usb", 2, false, 0, "<REQUEST_PARAM DevName = \"usb\" />", "Unmounting please wait... ...",
       "Unmount success"},
      {"unmount fails", 0, false, 5, "<REQUEST_PARAM DevName = \"sd1\" />", "Unmounting please wait... ...",
       "Unmount failed."},
  };
  ASSERT_TRUE(Choose("Total space : 1024(MB)"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(device->Command("aux " + std::to_string(c.format ? 1017 : 1018) + " " + std::to_string(c.flag)), "OK");
    ASSERT_TRUE(WaitFor([&] { return Enabled(c.panel, c.format); }));  // the disks listed again
    qobject_cast<QAbstractButton*>(page_->GetDlgItem(Button(c.panel, c.format)))->click();
    EXPECT_EQ(Text(CSettingMaintDlg::IDC_CAPTION), std::string("Device Name:gate   ") + c.waiting);
    EXPECT_EQ(c.format ? page_->Busy().format : page_->Busy().unmount, 1);
    for (int panel = 0; panel < 3; ++panel) EXPECT_FALSE(Enabled(panel, true) || Enabled(panel, false));
    EXPECT_EQ(TakeBody(*device, c.format ? 1017 : 1018), c.body);
    ASSERT_TRUE(WaitFor([&] { return page_->GetMsgDlg()->isVisible(); }));
    EXPECT_EQ(Message(), c.message);
    EXPECT_EQ(page_->Busy().format + page_->Busy().unmount, 0);
    EXPECT_EQ(Text(CSettingMaintDlg::IDC_CAPTION), "Device Name:gate");
    EXPECT_FALSE(Received(*device, "AUX 1014").empty()) << "the disks are asked again";
  }
  // What the successful ones did shows in the panels once the disks are listed again.
  ASSERT_TRUE(WaitFor([&] { return Enabled(0, true); }));
  EXPECT_EQ(Text(Label(2, 0)), "Total space : 2048(MB)Unmount");
  EXPECT_EQ(Text(Label(0, 1)), "Used space : 0(MB)");
  EXPECT_FALSE(Enabled(2, false));
  EXPECT_TRUE(Enabled(2, true));
}

TEST_F(MaintStorageTest, AFormatWithoutAnswerIsReleasedByItsTimer) {
  DevInfo& dev = g_lstDevInfo.emplace_back();
  CopyFixedText(dev.DevId, "mute");
  CopyFixedText(dev.DevName, "mute");
  CopyFixedText(dev.IPAddr, kIp);
  dev.nOnline = 1;  // no control: nothing ever answers
  page_->DisplayDevInfo(&dev);
  bool asked = false;
  page_->SetConfirm([&](CSettingMaintDlg::Question q, const QString& text) {
    asked = true;
    EXPECT_EQ(q, CSettingMaintDlg::Question::kFormat);
    EXPECT_EQ(text.toStdString(), "This operation will lose all record file, are you suer to format?");
    return true;
  });
  page_->OnBnClickedFormat(1);
  EXPECT_TRUE(asked);
  EXPECT_EQ(page_->Busy().format, 1);
  // Chosen again meanwhile: the panels and caption are left to the format.
  page_->DisplayDevInfo(&dev);
  EXPECT_EQ(Text(CSettingMaintDlg::IDC_CAPTION), "Device Name:mute   Formating please wait... ...");
  page_->OnTimer(CSettingMaintDlg::TIMER_STORAGE);
  EXPECT_EQ(page_->Busy().format, 0);
  EXPECT_EQ(Text(CSettingMaintDlg::IDC_CAPTION), "Device Name:mute");

  // No: nothing starts.
  page_->SetConfirm([](CSettingMaintDlg::Question, const QString&) { return false; });
  page_->OnBnClickedUnmount(0);
  EXPECT_EQ(page_->Busy().unmount, 0);
  EXPECT_EQ(Text(CSettingMaintDlg::IDC_CAPTION), "Device Name:mute");
}

}  // namespace
