// The maintenance page's texts fit their controls and stand out from the
// page's colour, in English and in Simplified Chinese.
#include <gtest/gtest.h>

#include "common/label_contrast.h"
#include "common/text_fit.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "gimbro/gimbro.h"
#include "live/live_messages.h"
#include "live/streams/gimbro_events.h"
#include "platform/string_table.h"
#include "settings/maintenance/setting_maint_dlg.h"

namespace {

class MaintTextsTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { saved_.swap(g_lstDevInfo); }
  void TearDown() override {
    g_lstDevInfo.swap(saved_);
    LoadLanguageLibrary("LangEn.dll");
  }
  std::list<DevInfo> saved_;
};

TEST_P(MaintTextsTest, TextsFitAndStandOut) {
  ASSERT_TRUE(LoadLanguageLibrary(GetParam()));
  QWidget parent;
  auto* page = new CSettingMaintDlg(&parent);
  ASSERT_TRUE(page->Create(CSettingMaintDlg::IDD, &parent));
  // The narrowest page of a 1024-pixel-wide screen.
  parent.resize(1024 - 225, 720);
  page->setGeometry(0, 0, 1024 - 225, 720);
  parent.show();
  // A device row and the longest panel texts.
  DevInfo& dev = g_lstDevInfo.emplace_back();
  CopyFixedText(dev.DevId, "gate");
  CopyFixedText(dev.DevName, "gate");
  CopyFixedText(dev.IPAddr, "10.0.0.71");
  dev.GimbroId = 7;
  dev.nOnline = 1;
  MaintResponse version(7, GimbroPackResponse(0, 1012), "<RESPONSE_PARAM FileSystemVersion=\"FS-2.4.1\" />");
  page->OnMessage(WM_MAINT_RESPONSE, 1012, reinterpret_cast<LPARAM>(&version));
  page->DisplayDevInfo(&dev);
  MaintResponse disks(7, GimbroPackResponse(0, 1014),
                      "<RESPONSE_PARAM><A DevName=\"sd1\" Mounted=\"0\" Total=\"1953514\" Used=\"1953514\" "
                      "Free=\"1953514\" Percent=\"100\" /></RESPONSE_PARAM>");
  page->OnMessage(WM_MAINT_RESPONSE, 1014, reinterpret_cast<LPARAM>(&disks));
  EXPECT_EQ(Describe(TextsThatDoNotFit(page)), "");

  EXPECT_EQ(Describe(LabelsHardToRead(page)), "");
}

INSTANTIATE_TEST_SUITE_P(Languages, MaintTextsTest, ::testing::Values("LangEn.dll", "LangSC.dll"));

}  // namespace
