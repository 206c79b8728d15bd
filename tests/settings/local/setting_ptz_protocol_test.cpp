#include "settings/local/setting_ptz_protocol.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <filesystem>

#include "common/wait_for.h"
#include "fake_device_process.h"
#include "fake_local_settings_host.h"
#include "gimbro/gimbro.h"
#include "live/ptz/ptz_dlg.h"
#include "live/ptz/ptz_panel_logic.h"
#include "ptz_panel_test_host.h"
#include "settings/settings_test_env.h"

namespace {

// The program folder holds "Tarnex.DLL": the sample plug-in, a library
// without the export, or a file that is no library at all.
enum class PluginFile { kSample, kNoExport, kNotALibrary, kMissing };

class PtzProtocolPageTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    host_.plugin = &panelHost_.plugin;
    panel_ = std::make_unique<CPTZDlg>(panelHost_);
    panel_->show();
    host_.panel = panel_.get();
  }
  void TearDown() override {
    page_.reset();
    panel_.reset();
    panelHost_.plugin.Free();
    SettingsTest::TearDown();
  }
  void InstallPlugin(PluginFile kind) {
    const std::string bin = QCoreApplication::applicationDirPath().toStdString() + "/";
    const std::string target = folder_.File("Tarnex.DLL");
    std::filesystem::remove(target);
    if (kind == PluginFile::kSample) std::filesystem::copy_file(bin + "Tarnex.DLL", target);
    if (kind == PluginFile::kNoExport) std::filesystem::copy_file(bin + "NoExport.DLL", target);
    if (kind == PluginFile::kNotALibrary) std::ofstream(target) << "not a shared object";
  }
  void Make() {
    page_ = std::make_unique<CSettingPtzProtocol>();
    page_->SetHost(&host_);
    ASSERT_TRUE(page_->Create(CSettingPtzProtocol::IDD));
  }
  QCheckBox* Box() const { return qobject_cast<QCheckBox*>(page_->GetDlgItem(CSettingPtzProtocol::IDC_USE_PROTOCOL)); }
  QComboBox* List() const { return qobject_cast<QComboBox*>(page_->GetDlgItem(CSettingPtzProtocol::IDC_PROTOCOL)); }
  QComboBox* Advance() const { return qobject_cast<QComboBox*>(panel_->GetDlgItem(CPTZDlg::IDC_COMBO_ADVANCE)); }
  void Choose() {
    Box()->click();
    List()->setCurrentIndex(0);
  }

  RecordingPtzHost panelHost_;
  std::unique_ptr<CPTZDlg> panel_;
  FakeLocalSettingsHost host_;
  std::unique_ptr<CSettingPtzProtocol> page_;
};

constexpr const char* kEmptyFile = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<PtzProtocol>\n</PtzProtocol>";

}  // namespace

// Save loads the plug-in and puts its 18 items at 40 to 57, once however often
// it is pressed; the file keeps the choice, which the next start-up applies
// about a second later; clearing the box unloads; Cancel empties the file.
TEST_F(PtzProtocolPageTest, SaveLoadsThePluginAndTheNextStartAppliesIt) {
  InstallPlugin(PluginFile::kSample);
  Make();
  EXPECT_EQ(ReadConfig("PtzProtocol.xml").substr(0, std::strlen(kEmptyFile)), kEmptyFile);
  EXPECT_FALSE(Box()->isChecked());
  EXPECT_FALSE(List()->isEnabled());
  EXPECT_EQ(List()->count(), 1);
  EXPECT_EQ(List()->itemText(0), "Tarnex Protocol");

  page_->OnCommand(CSettingPtzProtocol::IDC_SAVE);  // nothing chosen: nothing changes
  EXPECT_EQ(host_.LastMessage(), "Save successfully!");
  EXPECT_FALSE(panelHost_.plugin.IsLoaded());
  Choose();
  EXPECT_TRUE(List()->isEnabled());
  EXPECT_FALSE(panelHost_.plugin.IsLoaded());  // nothing loads before Save
  for (int press = 0; press < 2; ++press) {
    page_->OnCommand(CSettingPtzProtocol::IDC_SAVE);
    EXPECT_EQ(host_.LastMessage(), "Save successfully!");
    EXPECT_NE(panelHost_.plugin.Function(), nullptr);
    ASSERT_EQ(Advance()->count(), 58) << press;
  }
  EXPECT_EQ(Advance()->itemText(40), "Assist1Open");
  EXPECT_EQ(Advance()->itemText(41), "Assist1Close");
  EXPECT_EQ(Advance()->itemText(57), "Assist9Close");
  EXPECT_NE(ReadConfig("PtzProtocol.xml").find("<PtzProtocol SelIndex=\"0\" />"), std::string::npos);

  // The next start-up.
  panelHost_.plugin.Free();
  panel_->ResetAdvanceCmdCombo();
  Make();
  EXPECT_TRUE(Box()->isChecked());
  EXPECT_EQ(List()->currentIndex(), 0);
  EXPECT_TRUE(WaitFor([&] { return panelHost_.plugin.IsLoaded(); }));
  EXPECT_EQ(Advance()->count(), 58);

  Box()->click();  // cleared: unloaded, the 40 standard items; the file keeps the choice
  EXPECT_FALSE(panelHost_.plugin.IsLoaded());
  EXPECT_EQ(Advance()->count(), 40);
  EXPECT_NE(ReadConfig("PtzProtocol.xml").find("SelIndex"), std::string::npos);
  Choose();
  page_->OnCommand(CSettingPtzProtocol::IDC_SAVE);
  page_->OnCommand(CSettingPtzProtocol::IDC_CANCEL);  // the file empties; the panel keeps its items
  EXPECT_FALSE(panelHost_.plugin.IsLoaded());
  EXPECT_FALSE(Box()->isChecked());
  EXPECT_EQ(ReadConfig("PtzProtocol.xml").find("SelIndex"), std::string::npos);
  EXPECT_EQ(Advance()->count(), 58);
}

// A plug-in that cannot be used and a file that cannot be written are
// reported, never "Save successfully!".
TEST_F(PtzProtocolPageTest, ReportsAPluginThatCannotBeUsedAndAFileThatCannotBeWritten) {
  const struct {
    PluginFile plugin;
    const char* message;
  } cases[] = {
      {PluginFile::kMissing,
       "Saved, but the PTZ plug-in Tarnex.DLL cannot be loaded; the PTZ panel keeps its own commands."},
      {PluginFile::kNotALibrary,
       "Saved, but the PTZ plug-in Tarnex.DLL cannot be loaded; the PTZ panel keeps its own commands."},
      {PluginFile::kNoExport,
       "Saved, but the PTZ plug-in Tarnex.DLL has no GetPtzProtocolData; its commands are not sent."},
  };
  for (const auto& c : cases) {
    InstallPlugin(c.plugin);
    WriteConfig("PtzProtocol.xml", kEmptyFile);
    Make();
    Choose();
    page_->OnCommand(CSettingPtzProtocol::IDC_SAVE);
    EXPECT_EQ(host_.LastMessage(), c.message);
    EXPECT_EQ(panelHost_.plugin.Function(), nullptr);
    EXPECT_NE(ReadConfig("PtzProtocol.xml").find("SelIndex=\"0\""), std::string::npos);
  }

  InstallPlugin(PluginFile::kSample);
  WriteConfig("PtzProtocol.xml", kEmptyFile);
  Make();
  Choose();
  const std::string damaged = "<PtzProtocol><PtzProtocol SelIndex=";
  WriteConfig("PtzProtocol.xml", damaged);  // damaged after the start
  page_->OnCommand(CSettingPtzProtocol::IDC_SAVE);
  EXPECT_EQ(host_.LastMessage(), "Not saved: the file Config/PtzProtocol.xml cannot be read or written.");
  EXPECT_EQ(ReadConfig("PtzProtocol.xml"), damaged);
  page_->OnCommand(CSettingPtzProtocol::IDC_CANCEL);
  EXPECT_EQ(ReadConfig("PtzProtocol.xml"), damaged);

  Make();  // a start-up with the damaged file: the default replaces it, the old one is kept beside it
  EXPECT_FALSE(Box()->isChecked());
  EXPECT_EQ(ReadConfig("PtzProtocol.xml").substr(0, std::strlen(kEmptyFile)), kEmptyFile);
  EXPECT_EQ(ReadConfig("PtzProtocol.xml.bad"), damaged);
}

// A stored index the list does not hold checks the box, selects nothing and
// loads nothing.
TEST_F(PtzProtocolPageTest, AStoredIndexOutsideTheListLoadsNothing) {
  InstallPlugin(PluginFile::kSample);
  WriteConfig("PtzProtocol.xml", "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<PtzProtocol>"
                                 "<PtzProtocol SelIndex=\"3\" extra=\"1\" /><PtzProtocol SelIndex=\"0\" />"
                                 "</PtzProtocol>");
  Make();
  EXPECT_TRUE(Box()->isChecked());
  EXPECT_EQ(List()->currentIndex(), -1);
  page_->OnTimer(CSettingPtzProtocol::kApplyTimer);
  EXPECT_FALSE(panelHost_.plugin.IsLoaded());
}

// With the plug-in saved on the page, the panel's items 40 to 57 send the
// plug-in's texts to the device.
TEST_F(PtzProtocolPageTest, PluginCommandsReachTheFakeDevice) {
  FakeDeviceProcess device;
  ASSERT_TRUE(device.Ready());
  CGimbroCtrl ctrl;
  const LONG id = ctrl.AddDevice("127.0.0.1", device.Port(), "admin", "secret");
  ASSERT_GT(id, 0);
  InstallPlugin(PluginFile::kSample);
  Make();
  Choose();
  page_->OnCommand(CSettingPtzProtocol::IDC_SAVE);
  ASSERT_NE(panelHost_.plugin.Function(), nullptr);

  CPtzPanelLogic logic(panelHost_);
  for (const auto& [index, word] : {std::pair{40, "Open1"}, std::pair{57, "Close9"}}) {
    panelHost_.sent.clear();
    logic.Advance(index);
    ASSERT_EQ(panelHost_.sent.size(), 1u) << index;
    const std::string text = panelHost_.sent.front();
    EXPECT_EQ(text, std::string("<xml><cmd>tarnex</cmd><addr>7</addr><word>") + word + "</word><a>0</a><b>0</b></xml>");
    // Wait until the device is logged in, then send as the main window does.
    ASSERT_TRUE(WaitFor([&] { return ctrl.PtzCommand(id, text.c_str()) == GIMBRO_OK; }));
    EXPECT_EQ(device.Take("PTZ"), "PTZ " + Hex(text));
  }
}
