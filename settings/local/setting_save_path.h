// CSettingSavePath: the "Storage" tab of the local settings. The logged-in
// user's folder of manual recordings and snapshots: kept in the user's saved
// login and handed at once to the record query module's players.
#pragma once

#include <functional>
#include <string>

#include "settings/config_panel.h"

class CLocalSettingsHost;

class CSettingSavePath : public CConfigPanel {
 public:
  enum { IDD = 277 };
  enum { IDC_LABEL = 1004, IDC_PATH = 1048, IDC_BROWSE = 1189, IDC_SAVE = 1312, IDC_CANCEL = 1001 };

  explicit CSettingSavePath(QWidget* parent = nullptr);

  void SetHost(CLocalSettingsHost* host) { m_pHost = host; }
  // The folder picker (title; gives the chosen folder, or an empty text when
  // cancelled). By default the system's.
  void SetFolderPicker(std::function<QString(const QString&)> picker) { m_pickFolder = std::move(picker); }

  BOOL OnInitDialog() override;
  void OnBnClickedBrowse();
  void OnBnClickedSave();
  void OnBnClickedCancel();

  // The tab was chosen again: the edit shows the folder last loaded or saved.
  void ShowSavedPath();
  const std::string& SavedPath() const { return m_strSavePath; }

 private:
  void ShowMsg(UINT id);

  std::string m_strSavePath;
  CLocalSettingsHost* m_pHost = nullptr;
  std::function<QString(const QString&)> m_pickFolder;
};
