#include "harlen/pages/alarm/dlg_link_set.h"

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/pages/alarm/linkage_channels.h"

namespace {

const LinkSetIds kInputIds{{1113, 1003, 1004, 1153, 1006, 1005}, {1007, 1008, 1009, 1010}, true};

uint8_t AlarmTriggers::*const kActionFields[6] = {&AlarmTriggers::VoiceAlarm,   &AlarmTriggers::MonitorAlarm,
                                                  &AlarmTriggers::Email,        &AlarmTriggers::SMS,
                                                  &AlarmTriggers::NotifyCenter, &AlarmTriggers::TriggerIO};

LinkSetIds ChannelIds(bool channels) { return {{1144, 1145, 1146, 1153, 1147, 1148}, {1149, 1150, 1151, 1152}, channels}; }

}  // namespace

BOOL CLinkSetBase::OnInitDialog() {
  CRgbDialog::OnInitDialog();
  for (int id : m_ids.outputs) ShowDlgItems(this, {id}, false);
  if (m_ids.channels) OnClicked(IDC_CHECK_ALL, [this] { OnCheckAll(); });
  if (!HasRecord()) return TRUE;
  const LinkageFields fields = Fields();
  for (int i = 0; i < 6; ++i) CheckDlgButton(this, m_ids.actions[i], fields.trigger->*kActionFields[i] != 0);
  if (m_ids.channels) {
    const auto boxes = LinkChannelsShown(*fields.chnNum, *fields.chnArray);
    for (int i = 0; i < kLinkChannels; ++i) CheckDlgButton(this, IDC_CHANNEL_FIRST + i, boxes[i]);
  }
  ShowMore();
  return TRUE;
}

void CLinkSetBase::OnCheckAll() {
  const bool all = IsDlgButtonChecked(this, IDC_CHECK_ALL);
  for (int i = 0; i < kLinkChannels; ++i) CheckDlgButton(this, IDC_CHANNEL_FIRST + i, all);
}

void CLinkSetBase::OnOK() {
  if (HasRecord()) {
    const LinkageFields fields = Fields();
    for (int i = 0; i < 6; ++i) fields.trigger->*kActionFields[i] = IsDlgButtonChecked(this, m_ids.actions[i]) ? 1 : 0;
    if (m_ids.channels) {
      std::array<bool, kLinkChannels> boxes{};
      for (int i = 0; i < kLinkChannels; ++i) boxes[i] = IsDlgButtonChecked(this, IDC_CHANNEL_FIRST + i);
      StoreLinkChannels(boxes, *fields.chnNum, *fields.chnArray);
    }
    StoreMore();
  }
  CRgbDialog::OnOK();
}

CDlgLinkSet::CDlgLinkSet(QWidget* parent) : CLinkSetBase(IDD, kInputIds, parent) {}

BOOL CDlgLinkSet::OnInitDialog() {
  QStringList channels;
  const QString channelText = harlenres::LoadString(IDS_CHANNEL_N);
  for (int i = 1; i <= kLinkChannels; ++i) channels << QString(channelText).replace(QStringLiteral("%d"), QString::number(i));
  QStringList numbers;
  for (int i = 1; i <= 9; ++i) numbers << QString::number(i);
  // The controls exist by now; the lists are filled before the base shows the record.
  FillDropList(this, IDC_PTZ_CHANNEL, channels);
  // The fourth item repeats the first text.
  QStringList actions = LoadStrings(IDS_PTZ_NO_ACTION, IDS_PTZ_CRUISE);
  actions << actions.value(0);
  FillDropList(this, IDC_PTZ_ACTION, actions);
  FillDropList(this, IDC_PTZ_NUMBER, numbers);
  return CLinkSetBase::OnInitDialog();
}

LinkageFields CDlgLinkSet::Fields() { return {&m_pRecord->trigger, &m_pRecord->ChnNum, &m_pRecord->ChnArray}; }

void CDlgLinkSet::ShowMore() {
  SetCurSel(this, IDC_PTZ_CHANNEL, m_pRecord->PtzChannel);
  SetCurSel(this, IDC_PTZ_ACTION, m_pRecord->PtzAction);
  SetCurSel(this, IDC_PTZ_NUMBER, m_pRecord->PtzNumber);
}

void CDlgLinkSet::StoreMore() {
  // A list without a selection keeps the record's value.
  const int channel = GetCurSel(this, IDC_PTZ_CHANNEL);
  const int action = GetCurSel(this, IDC_PTZ_ACTION);
  const int number = GetCurSel(this, IDC_PTZ_NUMBER);
  if (channel >= 0) m_pRecord->PtzChannel = static_cast<uint8_t>(channel);
  if (action >= 0) m_pRecord->PtzAction = static_cast<uint8_t>(action);
  if (number >= 0) m_pRecord->PtzNumber = static_cast<uint8_t>(number);
}

CChannelLinkSet::CChannelLinkSet(UINT idd, bool channels, QWidget* parent)
    : CLinkSetBase(idd, ChannelIds(channels), parent) {}

LinkageFields CChannelLinkSet::Fields() { return {&m_pRecord->trigger, &m_pRecord->ChnNum, &m_pRecord->ChnArray}; }
