// The maintenance page's texts fit their controls and stand out from the
// page's colour, in English and in Simplified Chinese.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <cmath>

#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "gimbro/gimbro.h"
#include "live/live_messages.h"
#include "live/streams/gimbro_events.h"
#include "platform/string_table.h"
#include "settings/maintenance/setting_maint_dlg.h"
#include "tests/shell/text_fit.h"

namespace {

double Luminance(const QColor& c) {
  auto channel = [](double v) {
    v /= 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

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

  const QColor background = page->palette().color(QPalette::Window);
  for (QWidget* w : page->findChildren<QWidget*>()) {
    if (!w->isVisible() || !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w)))
      continue;
    if (w->inherits("QPushButton")) continue;  // drawn on a face of its own
    EXPECT_GE(Contrast(w->palette().color(QPalette::WindowText), background), 4.5) << w->metaObject()->className();
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, MaintTextsTest, ::testing::Values("LangEn.dll", "LangSC.dll"));

}  // namespace
