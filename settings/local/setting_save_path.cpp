#include "settings/local/setting_save_path.h"

#include <QFileDialog>
#include <QLineEdit>

#include "core/startup_settings.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "settings/local/local_settings_host.h"
#include "settings/local/save_path_store.h"

namespace {
constexpr UINT kSaved = 723;
constexpr UINT kNotGbk = 54004;
constexpr int kPathLimit = 1023;  // the bytes the saved login holds
}  // namespace

CSettingSavePath::CSettingSavePath(QWidget* parent) : CConfigPanel(IDD, parent) {
  m_pickFolder = [this](const QString& title) {
    return QFileDialog::getExistingDirectory(this, title, QString(), QFileDialog::ShowDirsOnly);
  };
}

BOOL CSettingSavePath::OnInitDialog() {
  CDialog::OnInitDialog();
  const std::pair<int, UINT> texts[] = {{IDC_LABEL, 951}, {IDC_BROWSE, 952}, {IDC_SAVE, 953}, {IDC_CANCEL, 954}};
  for (const auto& [id, text] : texts) SetWindowTextW(GetDlgItem(id), LoadStringW(text));
  setWindowTitle(LoadStringW(950));
  if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(IDC_PATH))) edit->setMaxLength(kPathLimit);
  m_strSavePath = LoggedInSavePath();
  ShowSavedPath();
  OnClicked(IDC_BROWSE, [this] { OnBnClickedBrowse(); });
  OnClicked(IDC_SAVE, [this] { OnBnClickedSave(); });
  OnClicked(IDC_CANCEL, [this] { OnBnClickedCancel(); });
  return TRUE;
}

void CSettingSavePath::ShowMsg(UINT id) {
  if (m_pHost != nullptr) m_pHost->ShowResMsg(LoadStringW(id).toStdWString(), 2);
}

void CSettingSavePath::ShowSavedPath() {
  SetWindowTextW(GetDlgItem(IDC_PATH), codepage::ToQString(m_strSavePath));
}

void CSettingSavePath::OnBnClickedBrowse() {
  const QString folder = m_pickFolder(LoadStringW(955));
  if (!folder.isEmpty()) SetWindowTextW(GetDlgItem(IDC_PATH), folder);
}

void CSettingSavePath::OnBnClickedSave() {
  const QString typed = GetWindowTextW(GetDlgItem(IDC_PATH));
  const std::string gbk = codepage::FromQString(typed);
  if (codepage::ToQString(gbk) != typed) return ShowMsg(kNotGbk);
  std::string folder;
  if (const UINT refusal = StoreSavePath(gbk, &folder)) return ShowMsg(refusal);
  m_strSavePath = folder;
  if (m_pHost != nullptr) m_pHost->SetSnapPath(g_nLanguage == 1 ? 1 : 0, folder);
  ShowMsg(kSaved);
}

void CSettingSavePath::OnBnClickedCancel() { SetWindowTextW(GetDlgItem(IDC_PATH), QString()); }
