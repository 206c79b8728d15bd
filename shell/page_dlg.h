// CPageDlg: the navigation bar, six tabs across the top of the main window
// (template 133). A tab opens its module through the main window when the
// user has its right; a module that sits on an extension monitor is left
// alone. A right click on a tab (with extension monitors and the multi-screen
// option) opens the menu that moves its module to a monitor.
#pragma once

#include <QPoint>
#include <QString>
#include <array>
#include <map>

#include "platform/dialog.h"
#include "shell/nav_tabs.h"
#include "shell/page_host.h"

class CImageFileButton;
class QMenu;

class CPageDlg : public CDialog {
 public:
  enum { IDD = 133 };
  enum { ID_MOVE_TO_SCREEN1 = 32866, ID_MOVE_TO_SCREEN2 = 32867, ID_MOVE_TO_SCREEN3 = 32868 };

  CPageDlg(CPageHost* host, QWidget* parent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override {}      // Enter is swallowed
  void OnCancel() override {}  // Escape is swallowed

  // Tab handlers (1012 to 1017); the main window calls the start module's at start.
  void OnBnClickedVideo();
  void OnBnClickedRecord();
  void OnBnClickedAlarm();
  void OnBnClickedConfig();
  void OnBnClickedTVWall();
  void OnBnClickedMap();

  // The chosen tab (1 video view ... 6 map).
  int GetChosenTab() const { return m_nChosenTab; }
  // The tab whose monitor menu was opened last (null before).
  QWidget* GetMenuTab() const { return m_hMenuTab; }
  QMenu* GetMonitorMenu() const { return m_pMonitorMenu; }
  // A right click on a tab at the screen point.
  void OnTabRButtonDown(int tabId, QPoint globalPos);
  // Prepares the monitor menu: texts, and the check of the monitor the remembered tab's module is on.
  void OnInitMenuPopup();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void OnTabClicked(int tabId);
  void SwitchModule(int module);
  void ApplyStrip(int chosenTab);

  CPageHost* m_pHost;
  std::array<CString, 9> m_strPictures;  // "%sImages\\tab1.png" ... tab9.png
  int m_bInited = 0;
  QWidget* m_hMenuTab = nullptr;
  int m_nChosenTab = 1;
  std::map<int, CImageFileButton*> m_buttons;  // tabs and separators by control id
  QMenu* m_pMonitorMenu = nullptr;
};
