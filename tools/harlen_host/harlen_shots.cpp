// harlen_shots: pictures of Harlen's windows, to look at them.
//
//   harlen_shots --port PORT --out FOLDER [--english] [--check]
//
// Against the NVR on 127.0.0.1:PORT (tools/fake_nvr.py), it opens the main
// configuration window and takes a picture of each of its ten pages, then of
// the windows that the pages open (e-mail recipients, advanced network,
// management platform, new and existing user, rights, a holiday of each kind,
// arming time, copy-to, the three linkage windows), of the IP channel window
// after a camera search and of the manual record window: PNG files in FOLDER, named after
// the window ("main_tab2.png", "ip_channel.png" ...). Run it with
// QT_QPA_PLATFORM=offscreen or on a display (Xvfb). It links Harlen's code
// itself, so that it can open the pages' windows that no export reaches.
//
// With --check it also measures every text of each window pictured against
// its control (harlen_text_fit.h), prints one line for each text that does
// not fit, and ends with 5 when there was any.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <string>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/tab_ctrl_ex.h"
#include "harlen/link/entry/harlen_module.h"
#include "harlen/link/harlen_api.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/alarm/dlg_arming_time.h"
#include "harlen/pages/alarm/dlg_link_set.h"
#include "harlen/pages/common/dlg_copy_to.h"
#include "harlen/pages/device/dlg_holiday_set.h"
#include "harlen/pages/network/dlg_contact.h"
#include "harlen/pages/network/dlg_manage_plt_set.h"
#include "harlen/pages/network/dlg_net_advanced.h"
#include "harlen/pages/users/dlg_user_add.h"
#include "harlen/pages/users/dlg_user_right.h"
#include "tests/common/wait_for.h"
#include "tools/harlen_host/harlen_text_fit.h"

namespace {

void Pause(int ms) { WaitFor([] { return false; }, ms); }

bool g_check = false;
Misfits g_misfits;

bool Save(QWidget* window, const QString& folder, const QString& name) {
  Pause(150);
  const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
  const bool saved = window->grab().save(path);
  qInfo("%s %s", saved ? "wrote" : "could not write", qPrintable(path));
  if (g_check) {
    for (TextMisfit misfit : HarlenTextsThatDoNotFit(window)) {
      misfit.where = name.toStdString() + ": " + misfit.where;
      g_misfits.push_back(misfit);
    }
  }
  return saved;
}

// A window that the pages run modally, shown on its own for its picture.
template <class Window>
void ShowAndSave(Window& window, const QString& folder, const QString& name) {
  window.Create(Window::IDD);
  window.show();
  Save(&window, folder, name);
  window.hide();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Takes pictures of Harlen's windows."));
  parser.addHelpOption();
  parser.addOption({QStringLiteral("port"), QStringLiteral("The NVR's port on 127.0.0.1."), QStringLiteral("port"),
                    QStringLiteral("40001")});
  parser.addOption({QStringLiteral("out"), QStringLiteral("The folder of the pictures."), QStringLiteral("folder"),
                    QStringLiteral(".")});
  parser.addOption({QStringLiteral("english"), QStringLiteral("English texts.")});
  parser.addOption({QStringLiteral("check"), QStringLiteral("Reports the texts that do not fit their controls.")});
  parser.process(app);
  g_check = parser.isSet(QStringLiteral("check"));
  const QString folder = parser.value(QStringLiteral("out"));
  QDir().mkpath(folder);
  const bool english = parser.isSet(QStringLiteral("english"));
  const QString suffix = english ? QStringLiteral("_en") : QStringLiteral("_zh");

  std::string host = "127.0.0.1";
  std::string user = "admin";
  if (english) HL_LoadLanguage(HL_LANGUAGE_ENGLISH);
  if (HL_Init(user.data(), host.data(), static_cast<unsigned short>(parser.value(QStringLiteral("port")).toUInt()),
              nullptr, nullptr) != 1) {
    return 2;
  }

  HL_Harlen();
  if (g_pDlgMain == nullptr) return 3;
  // The whole configuration and the statuses come in (the last status asked for last).
  if (!WaitFor([] { return g_pDlgMain->LoadedSections().Any() && g_pDlgMain->SysPage().GetRateList()->topLevelItemCount() > 0; },
                  15000)) {
    std::fprintf(stderr, "the NVR did not send its configuration\n");
    return 4;
  }
  for (int tab = 0; tab < g_pDlgMain->GetTab()->count(); ++tab) {
    g_pDlgMain->GetTab()->setCurrentIndex(tab);
    Save(g_pDlgMain, folder, QStringLiteral("main_tab%1").arg(tab) + suffix);
  }

  CDlgContact contact;
  contact.SetEmail(&g_EmailCfg);
  ShowAndSave(contact, folder, QStringLiteral("email_recipients") + suffix);
  CDlgNetAdvanced advanced;
  ShowAndSave(advanced, folder, QStringLiteral("net_advanced") + suffix);
  CDlgManagePltSet platform;
  ShowAndSave(platform, folder, QStringLiteral("manage_platform") + suffix);
  CDlgUserAdd newUser;
  newUser.SetUsers(&g_UserCfg);
  ShowAndSave(newUser, folder, QStringLiteral("user_add") + suffix);
  CDlgUserAdd userWindow;
  userWindow.SetUsers(&g_UserCfg, 1);
  ShowAndSave(userWindow, folder, QStringLiteral("user_modify") + suffix);
  CDlgUserRight rights;
  rights.SetUser(&g_UserCfg.users[1]);
  ShowAndSave(rights, folder, QStringLiteral("user_rights") + suffix);
  const char* const holidayKinds[] = {"holiday_date", "holiday_week", "holiday_month"};
  for (uint32_t kind = kHolidayByDate; kind <= kHolidayByMonth; ++kind) {
    for (uint32_t i = 0; i < g_CommonCfg.holidayCount && i < static_cast<uint32_t>(kHolidayPeriods); ++i) {
      if (g_CommonCfg.holidays[i].mode != kind) continue;
      CDlgHolidaySet holiday;
      holiday.SetPeriod(&g_CommonCfg.holidays[i]);
      ShowAndSave(holiday, folder, QString::fromLatin1(holidayKinds[kind]) + suffix);
      break;
    }
  }
  CDlgArmingTime arming;
  ShowAndSave(arming, folder, QStringLiteral("arming_time") + suffix);
  int32_t copyFlags[CDlgCopyTo::kBoxes] = {};
  CDlgCopyTo copyTo;
  copyTo.SetResult(copyFlags);
  ShowAndSave(copyTo, folder, QStringLiteral("copy_to") + suffix);
  CDlgLinkSet inputLinkage;
  inputLinkage.SetRecord(&g_AlarmLinkage.inputAlarm[0]);
  ShowAndSave(inputLinkage, folder, QStringLiteral("input_linkage") + suffix);
  CDlgMoveLinkSet motionLinkage;
  motionLinkage.SetRecord(&g_AlarmLinkage.ipcAlarm[0].channels[0]);
  ShowAndSave(motionLinkage, folder, QStringLiteral("motion_linkage") + suffix);
  CDlgVideoLinkSet videoLinkage;
  videoLinkage.SetRecord(&g_AlarmLinkage.ipcAlarm[1].channels[0]);
  ShowAndSave(videoLinkage, folder, QStringLiteral("video_linkage") + suffix);
  g_pDlgMain->hide();

  HL_IpChannelConfig();
  Pause(800);  // its section comes in
  if (g_pDlgIpChannel != nullptr) {
    if (auto* search = DlgItem<QPushButton>(g_pDlgIpChannel, CDlgIpChannelConfig::IDC_BTN_SEARCH)) search->click();
    Pause(800);
    if (auto* found = DlgItem<QTreeWidget>(g_pDlgIpChannel, CDlgIpChannelConfig::IDC_LIST_FOUND)) {
      if (found->topLevelItemCount() > 2) found->topLevelItem(2)->setCheckState(0, Qt::Checked);
      Pause(300);
      if (found->topLevelItemCount() > 0) {
        emit found->itemDoubleClicked(found->topLevelItem(0), 0);  // the camera whose addresses are shown
      }
    }
    Save(g_pDlgIpChannel, folder, QStringLiteral("ip_channel") + suffix);
    g_pDlgIpChannel->hide();
  }
  HL_ManualRecConfig();
  Pause(800);
  if (g_pDlgManualRecord != nullptr) Save(g_pDlgManualRecord, folder, QStringLiteral("manual_record") + suffix);
  HL_Release();
  if (!g_misfits.empty()) {
    std::fputs(("texts that do not fit:\n" + Describe(g_misfits)).c_str(), stdout);
    return 5;
  }
  return 0;
}
