// harlen_shots: pictures of Harlen's windows, to look at them.
//
//   harlen_shots --port PORT --out FOLDER [--english]
//
// Against the NVR on 127.0.0.1:PORT (tools/fake_nvr.py), it opens the main
// configuration window and takes a picture of each of its ten pages, then of
// the windows that the pages open (e-mail recipients, advanced network,
// management platform, user, rights, a holiday by week), of the IP channel window after a camera
// search and of the manual record window: PNG files in FOLDER, named after
// the window ("main_tab2.png", "ip_channel.png" ...). Run it with
// QT_QPA_PLATFORM=offscreen or on a display (Xvfb). It links Harlen's code
// itself, so that it can open the pages' windows that no export reaches.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <string>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/tab_ctrl_ex.h"
#include "harlen/link/entry/harlen_module.h"
#include "harlen/link/harlen_api.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/device/dlg_holiday_set.h"
#include "harlen/pages/network/dlg_contact.h"
#include "harlen/pages/network/dlg_manage_plt_set.h"
#include "harlen/pages/network/dlg_net_advanced.h"
#include "harlen/pages/users/dlg_user_add.h"
#include "harlen/pages/users/dlg_user_right.h"

namespace {

void Pause(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Save(QWidget* window, const QString& folder, const QString& name) {
  Pause(150);
  const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
  const bool saved = window->grab().save(path);
  qInfo("%s %s", saved ? "wrote" : "could not write", qPrintable(path));
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
  parser.process(app);
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
  Pause(1500);  // the whole configuration and the statuses come in
  if (g_pDlgMain == nullptr) return 3;
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
  CDlgUserAdd userWindow;
  userWindow.SetUsers(&g_UserCfg, 1);
  ShowAndSave(userWindow, folder, QStringLiteral("user_modify") + suffix);
  CDlgUserRight rights;
  rights.SetUser(&g_UserCfg.users[1]);
  ShowAndSave(rights, folder, QStringLiteral("user_rights") + suffix);
  for (uint32_t i = 0; i < g_CommonCfg.holidayCount && i < static_cast<uint32_t>(kHolidayPeriods); ++i) {
    if (g_CommonCfg.holidays[i].mode != kHolidayByWeek) continue;
    CDlgHolidaySet holiday;
    holiday.SetPeriod(&g_CommonCfg.holidays[i]);
    ShowAndSave(holiday, folder, QStringLiteral("holiday_week") + suffix);
    break;
  }
  g_pDlgMain->hide();

  HL_IpChannelConfig();
  Pause(800);
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
  return 0;
}
