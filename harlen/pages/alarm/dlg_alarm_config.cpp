#include "harlen/pages/alarm/dlg_alarm_config.h"

#include <QComboBox>
#include <QLineEdit>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/alarm/dlg_arming_time.h"
#include "harlen/pages/alarm/dlg_link_set.h"
#include "harlen/pages/common/copy_to_rule.h"
#include "harlen/pages/common/dlg_copy_to.h"
#include "harlen/pages/common/page_text.h"

namespace {

constexpr int kNameChars = 64;
constexpr int kOutputButtons[] = {1107, 1033, 1034, 1035, 1036};

}  // namespace

BOOL CDlgAlarmConfig::OnInitDialog() {
  CRgbPage::OnInitDialog();
  for (int id : kOutputButtons) ShowDlgItems(this, {id}, false);
  if (auto* name = DlgItem<QLineEdit>(this, IDC_EDIT_NAME)) {
    name->setMaxLength(kNameChars);
    QObject::connect(name, &QLineEdit::textEdited, this, [this] { OnNameChanged(); });
  }
  FillDropList(this, IDC_COMBO_INPUT, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
  FillDropList(this, IDC_COMBO_EXCEPTION, LoadStrings(IDS_EXCEPTION_DISK_FULL, IDS_EXCEPTION_VIDEO));
  if (auto* ip = DlgItem<QLineEdit>(this, IDC_EDIT_IP)) {
    ip->setText(harlenres::LoadString(IDS_LOCAL));
    ip->setEnabled(false);
  }
  for (int id : {IDC_COMBO_INPUT, IDC_COMBO_EXCEPTION}) {
    if (auto* list = DlgItem<QComboBox>(this, id)) {
      QObject::connect(list, &QComboBox::currentIndexChanged, this, [this] { FillFromConfig(); });
    }
  }
  OnClicked(IDC_CHECK_HANDLE, [this] { OnHandleClicked(); });
  for (int id : {IDC_CHECK_MONITOR, IDC_CHECK_VOICE, IDC_CHECK_CENTER, IDC_CHECK_OUTPUT}) {
    OnClicked(id, [this, id] { OnExceptionFlag(id); });
  }
  OnClicked(IDC_BTN_ARMING, [this] { OnArmingTime(); });
  OnClicked(IDC_BTN_LINKAGE, [this] { OnLinkage(); });
  OnClicked(IDC_BTN_COPY, [this] { OnCopyTo(); });
  return TRUE;
}

int CDlgAlarmConfig::SelectedInput() const {
  const int input = GetCurSel(this, IDC_COMBO_INPUT);
  return input >= 0 && input < kAlarmInputs ? input : -1;
}

int CDlgAlarmConfig::SelectedException() const {
  const int entry = GetCurSel(this, IDC_COMBO_EXCEPTION);
  return entry >= 0 && entry < kSysAlarms ? entry : -1;
}

void CDlgAlarmConfig::FillFromConfig() {
  if (const int input = SelectedInput(); input >= 0) {
    const AlarmPortEntry& port = g_AlarmLinkage.inputAlarm[input];
    CheckDlgButton(this, IDC_CHECK_HANDLE, port.Enable != 0);
    PostClick(IDC_CHECK_HANDLE);
    if (auto* name = DlgItem<QLineEdit>(this, IDC_EDIT_NAME)) name->setText(FieldQText(port.name));
  }
  if (const int entry = SelectedException(); entry >= 0) {
    const SysAlarmEntry& alarm = g_AlarmLinkage.sysAlarm[entry];
    CheckDlgButton(this, IDC_CHECK_MONITOR, alarm.MonitorAlarm != 0);
    CheckDlgButton(this, IDC_CHECK_VOICE, alarm.VoiceAlarm != 0);
    CheckDlgButton(this, IDC_CHECK_CENTER, alarm.NotifyCenter != 0);
    CheckDlgButton(this, IDC_CHECK_OUTPUT, alarm.TriggerIO != 0);
  }
}

void CDlgAlarmConfig::OnHandleClicked() {
  const bool checked = IsDlgButtonChecked(this, IDC_CHECK_HANDLE);
  EnableDlgItems(this, {IDC_BTN_ARMING, IDC_BTN_LINKAGE, IDC_BTN_COPY}, checked);
  if (const int input = SelectedInput(); input >= 0) g_AlarmLinkage.inputAlarm[input].Enable = checked ? 1 : 0;
}

void CDlgAlarmConfig::OnNameChanged() {
  const int input = SelectedInput();
  auto* name = DlgItem<QLineEdit>(this, IDC_EDIT_NAME);
  if (input >= 0 && name != nullptr) StoreFieldQText(g_AlarmLinkage.inputAlarm[input].name, name->text());
}

void CDlgAlarmConfig::OnExceptionFlag(int id) {
  const int entry = SelectedException();
  if (entry < 0) return;
  SysAlarmEntry& alarm = g_AlarmLinkage.sysAlarm[entry];
  const uint8_t value = IsDlgButtonChecked(this, id) ? 1 : 0;
  switch (id) {
    case IDC_CHECK_MONITOR: alarm.MonitorAlarm = value; break;
    case IDC_CHECK_VOICE: alarm.VoiceAlarm = value; break;
    case IDC_CHECK_CENTER: alarm.NotifyCenter = value; break;
    case IDC_CHECK_OUTPUT: alarm.TriggerIO = value; break;
    default: break;
  }
}

void CDlgAlarmConfig::OnArmingTime() {
  if (const int input = SelectedInput(); input >= 0) EditArmingTime(this, g_AlarmLinkage.inputAlarm[input].arming);
}

void CDlgAlarmConfig::OnLinkage() {
  const int input = SelectedInput();
  if (input < 0) return;
  CDlgLinkSet dlg(this);
  dlg.SetRecord(&g_AlarmLinkage.inputAlarm[input]);
  dlg.DoModal();
}

void CDlgAlarmConfig::OnCopyTo() {
  const int input = SelectedInput();
  if (input < 0) return;
  int32_t flags[CDlgCopyTo::kBoxes] = {};
  CDlgCopyTo dlg(this);
  dlg.SetResult(flags);
  dlg.SetVisibleCount(kAlarmInputs);
  if (dlg.DoModal() == IDOK) CopyToTicked(g_AlarmLinkage.inputAlarm, kAlarmInputs, input, flags);
}
