#include "tests/shell/main_window_pages.h"

#include <QCoreApplication>

#include "alarm_map_wall/alarm/alarm_list_dlg.h"
#include "live/ptz/ptz_dlg.h"
#include "records/search/search_rec_dlg.h"
#include "shell/cfg_manager_dlg.h"
#include "shell/page_dlg.h"
#include "shell/vistarel_dlg.h"

namespace {

MainWindowPage ConfigPage(const char* name, int code) {
  return {name, [code](CVistarelDlg& dlg) {
            dlg.m_pPageDlg->OnBnClickedConfig();
            dlg.ShowCfgPage(code);
          }};
}

}  // namespace

const std::vector<MainWindowPage>& MainWindowPages() {
  static const std::vector<MainWindowPage> pages = {
      {"live view with the PTZ panel",
       [](CVistarelDlg& dlg) {
         dlg.m_pPageDlg->OnBnClickedVideo();
         if (!dlg.m_pPTZDlg->isVisible()) dlg.OnBnClickedPtz();
       }},
      {"live view with the alarm list",
       [](CVistarelDlg& dlg) {
         dlg.m_pPageDlg->OnBnClickedVideo();
         if (!dlg.m_pAlarmListDlg->isVisible()) dlg.OnBnClickedAlarmList();
       }},
      {"record query",
       [](CVistarelDlg& dlg) {
         dlg.m_pPageDlg->OnBnClickedRecord();
         dlg.m_pSearchRecDlg->OnBnClickedBtnFileMode();
       }},
      {"record query by time",
       [](CVistarelDlg& dlg) {
         dlg.m_pPageDlg->OnBnClickedRecord();
         dlg.m_pSearchRecDlg->OnBnClickedBtnTimeMode();
       }},
      {"alarm query", [](CVistarelDlg& dlg) { dlg.m_pPageDlg->OnBnClickedAlarm(); }},
      {"TV wall", [](CVistarelDlg& dlg) { dlg.m_pPageDlg->OnBnClickedTVWall(); }},
      {"map", [](CVistarelDlg& dlg) { dlg.m_pPageDlg->OnBnClickedMap(); }},
      ConfigPage("device configuration", 0),
      ConfigPage("user configuration", 1),
      ConfigPage("record configuration", 2),
      {"record-scheme details",
       [](CVistarelDlg& dlg) {
         dlg.m_pPageDlg->OnBnClickedConfig();
         dlg.ShowCfgPage(2);
         dlg.m_pCfgManagerDlg->OnBnClickedDetail();
       }},
      ConfigPage("remote configuration", 3),
      ConfigPage("maintenance", 4),
  };
  return pages;
}
