// The record-scheme page's changes: the scheme buttons, the folder pickers of
// the storage paths and the default scheme.
#include <QFileDialog>
#include <algorithm>

#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/rec_scheme_store.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "records/recording/rec_environment.h"
#include "settings/config_host.h"
#include "settings/record/default_rec_scheme.h"
#include "settings/record/rec_scheme_editor.h"
#include "settings/record/storage_path_choice.h"
#include "settings/record/setting_record_dlg.h"
#include "ui/image_button.h"

namespace {

bool EverySchemeOn() {
  CsLock lock(&g_csAppData);
  for (const RecSchemeInfo* scheme : g_lstRecSchemeInfo)
    if (scheme != nullptr && scheme->OnOff == 0) return false;
  return true;
}

}  // namespace

// The recordings a Modify or Delete stops go where the recording thread
// reports its own: through the main window to the relay peers and the icons.
std::function<void(const DevInfo&, int)> CSettingRecordDlg::StateReport() const {
  CConfigHost* host = m_pHost;
  if (host == nullptr) return nullptr;
  return [host](const DevInfo& dev, int state) { host->ReportRecordState(dev, state); };
}

BOOL CSettingRecordDlg::CheckDiskSpace(const std::string& path) {
  if (HasEnoughSpace(Env(), path)) return TRUE;
  ShowMsg(777);
  return FALSE;
}

void CSettingRecordDlg::OnBnClickedBrowse(int path) {
  const int ids[] = {IDC_PATH1, IDC_PATH2, IDC_PATH3};
  if (path < 1 || path > 3) return;
  QWidget* edit = GetDlgItem(ids[path - 1]);
  const QString title = LoadStringW(776);
  const std::optional<QString> folder =
      m_chooseFolder ? m_chooseFolder(title)
                     : [&]() -> std::optional<QString> {
                         const QString chosen = QFileDialog::getExistingDirectory(this, title, QString(),
                                                                                  QFileDialog::ShowDirsOnly);
                         if (chosen.isEmpty()) return std::nullopt;
                         return chosen;
                       }();
  if (!folder) {
    SetWindowTextW(edit, QString());
    return;
  }
  const std::string chosen = StoragePathOfFolder(folder->toStdString());
  std::vector<std::string> others;
  for (int i = 0; i < 3; ++i)
    if (i != path - 1) others.push_back(codepage::FromQString(GetWindowTextW(GetDlgItem(ids[i]))));
  if (!CheckDiskSpace(chosen)) return;
  if (std::find(others.begin(), others.end(), chosen) != others.end()) {
    ShowMsg(796);  // "The storage path exist, please select again!"
    return;
  }
  SetWindowTextW(edit, codepage::ToQString(chosen));
}

void CSettingRecordDlg::OnBnClickedAdd() {
  const RecSchemeForm form = ReadForm();
  m_nDetRecTime = LeadingNumber(form.detRecText);
  RecSchemeEditor editor(g_lstRecSchemeInfo, g_lstDevInfo, Streams(), StateReport());
  const RecEditResult result = editor.Add(form, SchemeTreeChannels());
  if (!result.done) {
    ShowRefusal(result.textId, result.spanRow, result.channel);
    return;
  }
  m_pCurRecScheme = result.scheme;
  m_strShownName = FixedText(result.scheme->SchemeName);
  GetDlgItem(IDC_BTN_DEL)->setEnabled(*m_strShownName != DefaultSchemeName());
  if (m_pHost) m_pHost->ShowRecSchemeTree();
  ShowMsg(result.textId);
  SaveRecInfo();
}

void CSettingRecordDlg::OnBnClickedModify() {
  const RecSchemeForm form = ReadForm();
  m_nDetRecTime = LeadingNumber(form.detRecText);
  const bool wasDefault = m_strShownName && *m_strShownName == DefaultSchemeName();
  RecSchemeEditor editor(g_lstRecSchemeInfo, g_lstDevInfo, Streams(), StateReport());
  const RecEditResult result = editor.Modify(m_strShownName, form, SchemeTreeChannels());
  if (!result.done) {
    ShowRefusal(result.textId, result.spanRow, result.channel);
    return;
  }
  m_pCurRecScheme = result.scheme;
  m_strShownName = FixedText(result.scheme->SchemeName);
  if (wasDefault) FollowDefaultOnOff(result.scheme->OnOff);
  if (result.scheme->OnOff == 0 && m_pHost) m_pHost->SetAllRecording(0);
  UpdateDevIcons();  // the recordings it stopped
  if (m_pHost) m_pHost->ShowRecSchemeTree();
  ShowMsg(result.textId);
  SaveRecInfo();
}

// The configuration manager's record button and the record-all state follow
// the default scheme. The record-all button shows "recording all" only while
// every scheme records, so its picture never says otherwise than its state.
void CSettingRecordDlg::FollowDefaultOnOff(int onOff) {
  if (auto* manager = dynamic_cast<CWnd*>(parentWidget())) {
    if (auto* button = dynamic_cast<CImageButton*>(manager->GetDlgItem(kCfgRecordButton))) {
      button->SetCaptionW(LoadStringW(onOff ? 253 : 252).toStdWString());
      button->update();
    }
  }
  if (onOff && m_pHost) m_pHost->SetAllRecording(EverySchemeOn() ? 1 : 0);
}

void CSettingRecordDlg::OnBnClickedDelScheme() {
  RecSchemeEditor editor(g_lstRecSchemeInfo, g_lstDevInfo, Streams(), StateReport());
  const RecEditResult result = editor.Delete(m_strShownName);
  if (!result.done) {
    ShowRefusal(result.textId, result.spanRow, result.channel);
    return;
  }
  // The form keeps the deleted scheme's values; the page no longer points to it.
  m_pCurRecScheme = nullptr;
  UpdateDevIcons();
  ShowMsg(result.textId);
  if (m_pHost) m_pHost->ShowRecSchemeTree();
  SaveRecInfo();
}

int CSettingRecordDlg::CreateDefaultScheme() {
  if (g_lstDevInfo.empty()) return 0;
  if (RecSchemeInfo* existing = FindRecScheme(g_lstRecSchemeInfo, DefaultSchemeName())) {
    ShowSchemeInfo(existing);
    return 0;
  }
  if (m_bDefaultCreated) return 0;
  const std::vector<std::string> storagePaths = DefaultStoragePaths(Env());
  RecSchemeInfo* scheme = nullptr;
  {
    // The recording thread writes the records' run-time texts under this lock.
    CsLock lock(&g_csAppData);
    scheme = NewDefaultScheme(g_lstDevInfo, storagePaths);
  }
  ShowSchemeInfo(scheme);
  {
    // ... and walks the schemes under it.
    CsLock lock(&g_csAppData);
    g_lstRecSchemeInfo.push_back(scheme);
  }
  if (m_pHost) m_pHost->ShowRecSchemeTree();
  SaveRecInfo();
  m_bDefaultCreated = 1;
  return 0;
}

void CSettingRecordDlg::AddDevToDefaultScheme(DevInfo dev) {
  CsLock lock(&g_csAppData);
  AddChannelToDefaultScheme(g_lstRecSchemeInfo, dev);
}
