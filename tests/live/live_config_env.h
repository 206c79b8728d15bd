// The program folder of the configuration store tests (tests/core), with the
// live-video fixtures and a quick way to put devices into g_lstDevInfo.
#pragma once

#include <QCoreApplication>
#include <QWidget>
#include <cstring>
#include <string>

#include "core/dev_info_store.h"
#include "core/res_msg_dlg.h"
#include "platform/dialog_template.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "tests/core/config_test_env.h"

class LiveConfigTest : public ConfigTest {
 protected:
  // Copies tests/live/fixtures/<fixture> to Config/<name>.
  void InstallLiveFixture(const std::string& fixture, const std::string& name) const {
    WriteBytes(ConfigFile(name), ReadBytes(std::string(VEMO_TEST_SOURCE_DIR) + "/live/fixtures/" + fixture));
  }

  // Appends a device record to g_lstDevInfo.
  static DevInfo& AddDevice(const char* devId, const char* utf8Name, int devType, int online,
                            const char* ip = "", int channel = 0) {
    DevInfo& dev = g_lstDevInfo.emplace_back();
    std::strcpy(dev.DevId, devId);
    std::strcpy(dev.DevName, Gbk(utf8Name).c_str());
    std::strcpy(dev.IPAddr, ip);
    dev.DevType = devType;
    dev.nOnline = online;
    dev.CurNVRChannel = channel;
    return dev;
  }
};

// Pages and dialogs on the built templates and the English string table.
class LiveDialogTest : public LiveConfigTest {
 protected:
  void SetUp() override {
    LiveConfigTest::SetUp();
    const std::string bin = QCoreApplication::applicationDirPath().toStdString();
    dlgtemplate::SetFolder(bin + "/Resources/dialogs/");
    stringtable::SetFolder(bin + "/Lang/");
    ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
  }
  void TearDown() override {
    FreeLanguageLibrary();
    stringtable::SetFolder("");
    dlgtemplate::SetFolder("");
    LiveConfigTest::TearDown();
  }

  // The text of the message box that `owner` shows, or "" when none is shown.
  static QString ShownMessage(QWidget* owner) {
    for (CResMsgDlg* box : owner->findChildren<CResMsgDlg*>()) {
      if (box->isVisible()) return GetWindowTextW(box->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT));
    }
    return {};
  }
};
