#include "settings/local/setting_ptz_protocol.h"

#include <QCheckBox>
#include <QComboBox>

#include "platform/string_table.h"
#include "platform/window_text.h"
#include "settings/local/local_settings_host.h"
#include "settings/local/ptz_plugin_switch.h"
#include "settings/local/ptz_protocol_file.h"

namespace {
constexpr UINT kSaved = 261;
constexpr UINT kFileNotWritten = 54012;
constexpr UINT kPluginNotLoaded = 54013;
constexpr UINT kPluginWithoutExport = 54014;
}  // namespace

BOOL CSettingPtzProtocol::OnInitDialog() {
  CDialog::OnInitDialog();
  SetListEnabled(false);
  if (auto* list = qobject_cast<QComboBox*>(GetDlgItem(IDC_PROTOCOL))) list->insertItem(0, LoadStringW(1020));
  SelectNone();
  const std::pair<int, UINT> texts[] = {{IDC_USE_PROTOCOL, 1017}, {IDC_SAVE, 1018}, {IDC_CANCEL, 1019}};
  for (const auto& [id, text] : texts) SetWindowTextW(GetDlgItem(id), LoadStringW(text));
  setWindowTitle(LoadStringW(1016));
  OnClicked(IDC_USE_PROTOCOL, [this] { OnBnClickedCheckProtocol(); });
  OnClicked(IDC_SAVE, [this] { OnBnClickedSave(); });
  OnClicked(IDC_CANCEL, [this] { OnBnClickedCancel(); });

  const PtzProtocolChoice choice = ReadPtzProtocolChoice();
  if (choice.stored) {
    // An index the list does not hold selects nothing; the box is checked all the same.
    auto* list = qobject_cast<QComboBox*>(GetDlgItem(IDC_PROTOCOL));
    if (list != nullptr && choice.index >= 0 && choice.index < list->count()) list->setCurrentIndex(choice.index);
    if (auto* box = qobject_cast<QCheckBox*>(GetDlgItem(IDC_USE_PROTOCOL))) box->setChecked(true);
    SetListEnabled(true);
    SetTimer(kApplyTimer, kApplyDelayMs);
  }
  return TRUE;
}

int CSettingPtzProtocol::Selection() const {
  auto* list = qobject_cast<QComboBox*>(GetDlgItem(IDC_PROTOCOL));
  return list != nullptr ? list->currentIndex() : -1;
}

void CSettingPtzProtocol::SelectNone() {
  if (auto* list = qobject_cast<QComboBox*>(GetDlgItem(IDC_PROTOCOL))) list->setCurrentIndex(-1);
}

void CSettingPtzProtocol::SetListEnabled(bool enabled) {
  if (QWidget* list = GetDlgItem(IDC_PROTOCOL)) list->setEnabled(enabled);
}

PtzPluginLoad CSettingPtzProtocol::Apply() {
  if (m_pHost == nullptr) return PtzPluginLoad::kNotApplied;
  return CPtzPluginSwitch(m_pHost->PtzPluginToLoad(), m_pHost->PtzPanel()).OnApply(Selection());
}

void CSettingPtzProtocol::FreePlugin() {
  if (m_pHost != nullptr) CPtzPluginSwitch(m_pHost->PtzPluginToLoad(), m_pHost->PtzPanel()).Free();
}

void CSettingPtzProtocol::ShowMsg(UINT id) {
  if (m_pHost != nullptr) m_pHost->ShowResMsg(LoadStringW(id).toStdWString(), 2);
}

void CSettingPtzProtocol::OnTimer(UINT_PTR id) {
  if (id != kApplyTimer) return CConfigPanel::OnTimer(id);
  KillTimer(kApplyTimer);
  if (Selection() == 0) Apply();
}

void CSettingPtzProtocol::OnBnClickedSave() {
  const int selection = Selection();
  if (selection != 0) return ShowMsg(kSaved);  // nothing chosen: nothing to change
  const PtzPluginLoad load = Apply();
  if (!WritePtzProtocolChoice(selection)) return ShowMsg(kFileNotWritten);
  switch (load) {
    case PtzPluginLoad::kNotLoaded: return ShowMsg(kPluginNotLoaded);
    case PtzPluginLoad::kNoExport: return ShowMsg(kPluginWithoutExport);
    default: return ShowMsg(kSaved);
  }
}

void CSettingPtzProtocol::OnBnClickedCheckProtocol() {
  auto* box = qobject_cast<QCheckBox*>(GetDlgItem(IDC_USE_PROTOCOL));
  if (box != nullptr && box->isChecked()) {
    SetListEnabled(true);  // nothing is loaded until Save
    return;
  }
  if (m_pHost != nullptr) CPtzPluginSwitch(m_pHost->PtzPluginToLoad(), m_pHost->PtzPanel()).OnPluginOff();
  SelectNone();
  SetListEnabled(false);
}

void CSettingPtzProtocol::OnBnClickedCancel() {
  if (auto* box = qobject_cast<QCheckBox*>(GetDlgItem(IDC_USE_PROTOCOL))) box->setChecked(false);
  SelectNone();
  SetListEnabled(false);
  FreePlugin();
  ClearPtzProtocolChoice();
}
