// CSettingRecordDlg: the record-scheme page of the configuration manager. It
// shows one record scheme at a time and owns the default scheme ("Default
// Strategy"), which it creates when devices exist and the scheme is missing.
// The editing of schemes is not on this page yet.
#pragma once

#include <functional>

#include "core/rec_scheme.h"
#include "settings/config_panel.h"

class CConfigHost;
class QTreeWidget;

class CSettingRecordDlg : public CConfigPanel {
 public:
  enum { IDD = 146 };
  enum { IDC_SCHEME_NAME = 1048, IDC_ON_OFF = 1115, IDC_DEV_TREE = 1143 };

  explicit CSettingRecordDlg(QWidget* parent = nullptr);

  // The main window, told to show the record-scheme tree after the default scheme was created.
  void SetHost(CConfigHost* host) { m_pHost = host; }
  // Fills the page's device tree (the device tree of the shell: every recordable channel).
  void SetDevTreeFiller(std::function<void(QTreeWidget*)> filler) { m_devTreeFiller = std::move(filler); }

  // Shows a scheme of the list; null does nothing.
  void ShowSchemeInfo(RecSchemeInfo* scheme);
  // Shows the default scheme, or creates it once in the page's life when
  // devices exist: appended under g_csAppData, the record-scheme tree shown,
  // "RecInfo.xml" saved. Returns 0.
  int CreateDefaultScheme();
  // Refills the page's device tree.
  void InitDevTree();

  RecSchemeInfo* ShownScheme() const { return m_pShownScheme; }

  BOOL OnInitDialog() override;

 private:
  CConfigHost* m_pHost = nullptr;
  std::function<void(QTreeWidget*)> m_devTreeFiller;
  RecSchemeInfo* m_pShownScheme = nullptr;
  int m_bDefaultCreated = 0;
};
