// The keyboard settings page: what it shows of "KeyboardParams.txt", what it
// writes, its refusals, and how it stops or restarts a running keyboard.
#include "live/keyboard/kb_config_dlg.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include "core/res_msg_dlg.h"
#include "core/user_settings.h"
#include "live/keyboard/keyboard_params.h"
#include "live/keyboard/serial_keyboard.h"
#include "serial_keyboard_test_support.h"

namespace {

class KbConfigTest : public KeyboardTest {
 protected:
  void SetUp() override {
    KeyboardTest::SetUp();
    g_nKbConfigMode = 0;
  }
  QComboBox* List(CKbConfig& page, int id) { return qobject_cast<QComboBox*>(page.GetDlgItem(id)); }
  QLineEdit* Port(CKbConfig& page) { return qobject_cast<QLineEdit*>(page.GetDlgItem(CKbConfig::IDC_KB_COMPORT)); }
  QRadioButton* Radio(CKbConfig& page, int id) { return qobject_cast<QRadioButton*>(page.GetDlgItem(id)); }
  static QString Shown(CKbConfig& page) {
    if (!page.MsgDlg()->isVisible()) return {};
    return qobject_cast<QLabel*>(page.MsgDlg()->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))->text();
  }
  std::vector<int> PortControls() const {
    return {CKbConfig::IDC_KB_COMPORT,  CKbConfig::IDC_KB_BANDRATE,    CKbConfig::IDC_KB_DATABITS,
            CKbConfig::IDC_KB_STOPBITS, CKbConfig::IDC_KB_VERIFY,      CKbConfig::IDC_KB_FLOWCONTROL,
            CKbConfig::IDC_KB_FOCUS_DEVICE, CKbConfig::IDC_KB_ALL_DEVICES};
  }
  void ExpectPortControlsEnabled(CKbConfig& page, bool enabled) {
    for (int id : PortControls()) {
      SCOPED_TRACE(id);
      EXPECT_EQ(page.GetDlgItem(id)->isEnabled(), enabled);
    }
  }
};

}  // namespace

TEST_F(KbConfigTest, ShowsTheFileAndSavesItUnchanged) {
  const std::string line =
      "Switch=1,COMPort=12,BandRate=4800,DataBits=7,StopBits=15,Verify=ODD,FlowControl=HARDWARE";
  WriteParamsFile(line);
  g_nKbConfigMode = 1;
  CKbConfig page;
  ASSERT_TRUE(page.Create(CKbConfig::IDD, nullptr));

  EXPECT_EQ(List(page, CKbConfig::IDC_KB_SWITCH)->currentText(), "Enable");
  EXPECT_EQ(Port(page)->text(), "12");
  EXPECT_EQ(List(page, CKbConfig::IDC_KB_BANDRATE)->currentText(), "4800");
  EXPECT_EQ(List(page, CKbConfig::IDC_KB_DATABITS)->currentText(), "7");
  EXPECT_EQ(List(page, CKbConfig::IDC_KB_STOPBITS)->currentText(), "1.5");
  EXPECT_EQ(List(page, CKbConfig::IDC_KB_VERIFY)->currentText(), "Odd");
  EXPECT_EQ(List(page, CKbConfig::IDC_KB_FLOWCONTROL)->currentText(), "Hardware control");
  EXPECT_TRUE(Radio(page, CKbConfig::IDC_KB_ALL_DEVICES)->isChecked());
  EXPECT_EQ(Radio(page, CKbConfig::IDC_KB_FOCUS_DEVICE)->text(), "Control the focus equipment");
  EXPECT_EQ(qobject_cast<QLabel*>(page.GetDlgItem(CKbConfig::IDC_KB_COMPORT_LABEL))->text(), "COM Port ID(1-255)");
  EXPECT_EQ(page.GetKbSwitch(), 1);
  ExpectPortControlsEnabled(page, true);

  WriteParamsFile("");  // the save writes the whole file again
  page.OnBnClickedSave();
  EXPECT_EQ(ParamsFile(), line);
  EXPECT_EQ(Shown(page), "Save successfully!");
  EXPECT_EQ(g_nKbConfigMode, 1);
}

TEST_F(KbConfigTest, EveryListEntryIsWrittenAsTheFileSpellsIt) {
  WriteParamsFile("Switch=1,COMPort=1,BandRate=2400,DataBits=5,StopBits=10,Verify=NONE,FlowControl=NONE");
  CKbConfig page;
  ASSERT_TRUE(page.Create(CKbConfig::IDD, nullptr));
  const struct {
    int bandRate, dataBits, stopBits, verify, flow;
    const char* line;
  } cases[] = {
      {1, 1, 1, 1, 1, "Switch=1,COMPort=1,BandRate=4800,DataBits=6,StopBits=15,Verify=ODD,FlowControl=HARDWARE"},
      {2, 2, 2, 2, 2, "Switch=1,COMPort=1,BandRate=9600,DataBits=7,StopBits=20,Verify=EVEN,FlowControl=SOFTWARE"},
      {3, 3, 0, 0, 0, "Switch=1,COMPort=1,BandRate=19200,DataBits=8,StopBits=10,Verify=NONE,FlowControl=NONE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    List(page, CKbConfig::IDC_KB_BANDRATE)->setCurrentIndex(c.bandRate);
    List(page, CKbConfig::IDC_KB_DATABITS)->setCurrentIndex(c.dataBits);
    List(page, CKbConfig::IDC_KB_STOPBITS)->setCurrentIndex(c.stopBits);
    List(page, CKbConfig::IDC_KB_VERIFY)->setCurrentIndex(c.verify);
    List(page, CKbConfig::IDC_KB_FLOWCONTROL)->setCurrentIndex(c.flow);
    page.OnBnClickedSave();
    EXPECT_EQ(ParamsFile(), c.line);
  }
}

TEST_F(KbConfigTest, PortOutsideOneTo255IsRefusedAndNothingWritten) {
  const std::string line = "Switch=1,COMPort=3,BandRate=9600,DataBits=8,StopBits=10,Verify=NONE,FlowControl=NONE";
  WriteParamsFile(line);
  CKbConfig page;
  ASSERT_TRUE(page.Create(CKbConfig::IDD, nullptr));
  for (const char* typed : {"0", "256", "", "abc", "3x", "-1", "1000"}) {
    SCOPED_TRACE(typed);
    page.MsgDlg()->hide();
    Port(page)->setText(typed);
    page.OnBnClickedSave();
    EXPECT_EQ(Shown(page), "The COM port enter error please enter an integer between 1 and 255.");
    EXPECT_EQ(ParamsFile(), line);
  }
  Port(page)->setText(" 255 ");
  page.OnBnClickedSave();
  EXPECT_EQ(Shown(page), "Save successfully!");
  EXPECT_EQ(ParamsFile(), "Switch=1,COMPort=255,BandRate=9600,DataBits=8,StopBits=10,Verify=NONE,FlowControl=NONE");
}

TEST_F(KbConfigTest, WithoutAUsableFileNothingIsSelectedAndSaveWritesACompleteLine) {
  for (bool shortFile : {false, true}) {
    SCOPED_TRACE(shortFile);
    if (shortFile) WriteParamsFile("Switch=1,COMPort=4,BandRate=9600,DataBits=8");  // under 50 bytes
    CKbConfig page;
    ASSERT_TRUE(page.Create(CKbConfig::IDD, nullptr));
    for (int id : {CKbConfig::IDC_KB_SWITCH, CKbConfig::IDC_KB_BANDRATE, CKbConfig::IDC_KB_DATABITS,
                   CKbConfig::IDC_KB_STOPBITS, CKbConfig::IDC_KB_VERIFY, CKbConfig::IDC_KB_FLOWCONTROL}) {
      EXPECT_EQ(List(page, id)->currentIndex(), -1);
    }
    EXPECT_EQ(Port(page)->text(), "");
    EXPECT_TRUE(Radio(page, CKbConfig::IDC_KB_FOCUS_DEVICE)->isChecked());

    Port(page)->setText("5");
    page.OnBnClickedSave();
    const std::string written = ParamsFile();
    EXPECT_EQ(written, "Switch=0,COMPort=5,BandRate=0,DataBits=0,StopBits=0,Verify=,FlowControl=");
    CString line;
    ASSERT_TRUE(ReadKeyboardParamsLine(line));  // long enough to be read back
    KeyboardParams params;
    EXPECT_EQ(ParseKeyboardParams(line, params), kKeyboardParamsFieldCount);
    std::remove(folder_.File("KeyboardParams.txt").c_str());
  }
}

TEST_F(KbConfigTest, OnOffChoiceEnablesThePortControls) {
  WriteParamsFile("Switch=0,COMPort=3,BandRate=9600,DataBits=8,StopBits=10,Verify=NONE,FlowControl=NONE");
  CKbConfig page;
  ASSERT_TRUE(page.Create(CKbConfig::IDD, nullptr));
  EXPECT_EQ(List(page, CKbConfig::IDC_KB_SWITCH)->currentText(), "Disable");
  ExpectPortControlsEnabled(page, false);
  List(page, CKbConfig::IDC_KB_SWITCH)->setCurrentIndex(CKbConfig::kEnableEntry);
  ExpectPortControlsEnabled(page, true);
  List(page, CKbConfig::IDC_KB_SWITCH)->setCurrentIndex(CKbConfig::kDisableEntry);
  ExpectPortControlsEnabled(page, false);
}

TEST_F(KbConfigTest, KeyboardModeFollowsTheRadioButtons) {
  WriteParamsFile("Switch=1,COMPort=3,BandRate=9600,DataBits=8,StopBits=10,Verify=NONE,FlowControl=NONE");
  CKbConfig page;
  ASSERT_TRUE(page.Create(CKbConfig::IDD, nullptr));
  EXPECT_TRUE(Radio(page, CKbConfig::IDC_KB_FOCUS_DEVICE)->isChecked());
  Radio(page, CKbConfig::IDC_KB_ALL_DEVICES)->setChecked(true);
  EXPECT_FALSE(Radio(page, CKbConfig::IDC_KB_FOCUS_DEVICE)->isChecked());
  page.OnBnClickedSave();
  EXPECT_EQ(g_nKbConfigMode, 1);
  Radio(page, CKbConfig::IDC_KB_FOCUS_DEVICE)->setChecked(true);
  page.OnBnClickedSave();
  EXPECT_EQ(g_nKbConfigMode, 0);
}

TEST_F(KbConfigTest, HostedAsATabPageThatSwallowsEnterAndEscape) {
  QTabWidget tabs;
  CKbConfig page({}, &tabs);
  ASSERT_TRUE(page.Create(CKbConfig::IDD, &tabs));
  EXPECT_FALSE(page.isWindow());
  tabs.addTab(&page, page.windowTitle());
  EXPECT_EQ(tabs.tabText(0), "Joystick Setting");
  tabs.show();
  EXPECT_TRUE(page.isVisible());
  for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&page, &press);
    EXPECT_TRUE(page.isVisible());
  }
  tabs.removeTab(0);
  page.setParent(nullptr);
}

TEST_F(KbConfigTest, DisableAndSaveStopsTheRunningKeyboard) {
  SocatPair line;
  ASSERT_TRUE(line.Ready());
  LinkComPort(3, line.Port());
  WriteParamsFile("Switch=1,COMPort=3,BandRate=9600,DataBits=8,StopBits=10,Verify=NONE,FlowControl=NONE");
  KeyboardRecordingHost host;
  CPTZKeyboardCtrl keyboard(&host);
  ASSERT_EQ(keyboard.StartHandleKCMsg(), 0);
  ASSERT_TRUE(WaitUntil([&] { return keyboard.IsComOpen() == 1; }));

  CKbConfig page([&] { return &keyboard; });
  ASSERT_TRUE(page.Create(CKbConfig::IDD, nullptr));
  List(page, CKbConfig::IDC_KB_SWITCH)->setCurrentIndex(CKbConfig::kDisableEntry);
  page.OnBnClickedSave();
  EXPECT_FALSE(keyboard.IsThreadRunning());
  EXPECT_EQ(keyboard.IsComOpen(), 0);
  EXPECT_EQ(ParamsFile().rfind("Switch=0,COMPort=3,", 0), 0u);
  EXPECT_EQ(Shown(page), "Save successfully!");
}

TEST_F(KbConfigTest, EnableAndSaveRestartsTheKeyboardOnTheNewPort) {
  SocatPair first, second;
  ASSERT_TRUE(first.Ready());
  ASSERT_TRUE(second.Ready());
  LinkComPort(3, first.Port());
  LinkComPort(4, second.Port());
  WriteParamsFile("Switch=1,COMPort=3,BandRate=9600,DataBits=8,StopBits=10,Verify=NONE,FlowControl=NONE");
  KeyboardRecordingHost host;
  CPTZKeyboardCtrl keyboard(&host);
  ASSERT_EQ(keyboard.StartHandleKCMsg(), 0);

  CKbConfig page([&] { return &keyboard; });
  ASSERT_TRUE(page.Create(CKbConfig::IDD, nullptr));
  Port(page)->setText("4");
  page.OnBnClickedSave();
  EXPECT_TRUE(keyboard.IsThreadRunning());
  EXPECT_EQ(keyboard.GetParams().COMPort, 4);
  ASSERT_TRUE(WaitUntil([&] { return keyboard.IsComOpen() == 1; }));
  ASSERT_TRUE(second.Write({0x77}));
  ASSERT_TRUE(host.WaitForBytes(1));
  EXPECT_EQ(host.Bytes(), (std::vector<uint8_t>{0x77}));
  keyboard.StopHandleKBMsg();
}
