#include "harlen/pages/channels/dlg_channel_config.h"

#include <QLineEdit>
#include <QSpinBox>
#include <QTreeWidget>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/alarm/dlg_arming_time.h"
#include "harlen/pages/alarm/dlg_link_set.h"
#include "harlen/pages/channels/channel_tree.h"
#include "harlen/pages/common/copy_to_rule.h"
#include "harlen/pages/common/dlg_copy_to.h"
#include "harlen/pages/common/page_text.h"

namespace {

constexpr int kTitleChars = 31;
constexpr int kDefaultPicture = 128;
constexpr int kPictureIds[4] = {CDlgChannelConfig::IDC_EDIT_BRIGHTNESS, CDlgChannelConfig::IDC_EDIT_CONTRAST,
                                CDlgChannelConfig::IDC_EDIT_SATURATION, CDlgChannelConfig::IDC_EDIT_CHROMA};

uint8_t ChannelDisplay::*const kPictureFields[4] = {&ChannelDisplay::brightness, &ChannelDisplay::contrast,
                                                    &ChannelDisplay::saturation, &ChannelDisplay::chroma};

}  // namespace

const int CDlgChannelConfig::kAlarmIds[kAlarmTypes][4] = {
    {IDC_CHECK_MOTION, 1026, 1027, 1028}, {IDC_CHECK_VIDEOLOSS, 1029, 1030, 1031}, {IDC_CHECK_OCCLUSION, 1033, 1034, 1035}};

BOOL CDlgChannelConfig::OnInitDialog() {
  CRgbPage::OnInitDialog();
  m_pTree = DlgItem<QTreeWidget>(this, IDC_TREE);
  SetUpChannelTree(m_pTree, this, [this] { ShowChannel(); });
  for (int i = 0; i < 4; ++i) {
    // The edit and its spin are one control here: a spin box in the edit's place.
    auto* spin = ReplaceDlgItem(kPictureIds[i], new QSpinBox());
    spin->setRange(0, 255);
    m_pSpins[i] = spin;
    const int id = kPictureIds[i];
    QObject::connect(spin, &QSpinBox::valueChanged, this, [this, id] { OnPictureChanged(id); });
  }
  for (int id : {IDC_EDIT_TITLE1, IDC_EDIT_TITLE2}) {
    if (auto* edit = DlgItem<QLineEdit>(this, id)) {
      edit->setMaxLength(kTitleChars);
      QObject::connect(edit, &QLineEdit::textEdited, this, [this, id] { OnTitleChanged(id); });
    }
  }
  for (int id : {IDC_CHECK_DISPLAY, IDC_CHECK_DATE, IDC_CHECK_TITLE1, IDC_CHECK_TITLE2}) {
    OnClicked(id, [this, id] { OnDisplayFlag(id); });
  }
  OnClicked(IDC_BTN_DEFAULT, [this] { OnDefaultPicture(); });
  for (int type = 0; type < kAlarmTypes; ++type) {
    OnClicked(kAlarmIds[type][0], [this, type] { OnAlarmEnable(type); });
    OnClicked(kAlarmIds[type][1], [this, type] { OnArmingTime(type); });
    OnClicked(kAlarmIds[type][2], [this, type] { OnLinkage(type); });
    OnClicked(kAlarmIds[type][3], [this, type] { OnCopyTo(type); });
  }
  return TRUE;
}

QSpinBox* CDlgChannelConfig::GetSpin(int editId) const {
  for (int i = 0; i < 4; ++i) {
    if (kPictureIds[i] == editId) return m_pSpins[i];
  }
  return nullptr;
}

void CDlgChannelConfig::FillFromConfig() {
  FillChannelTree(m_pTree, static_cast<int>(std::min<uint32_t>(g_ChannelCfg.displayCount, kNvrChannels)));
}

int CDlgChannelConfig::CurrentChannel() const { return SelectedChannel(m_pTree); }

ChannelDisplay* CDlgChannelConfig::CurrentDisplay() const {
  const int channel = CurrentChannel();
  return channel >= 0 ? &g_ChannelCfg.display[channel] : nullptr;
}

void CDlgChannelConfig::ShowChannel() {
  const int channel = CurrentChannel();
  if (channel < 0) return;
  const ChannelDisplay& display = g_ChannelCfg.display[channel];
  CheckDlgButton(this, IDC_CHECK_DISPLAY, display.loaded != 0);
  CheckDlgButton(this, IDC_CHECK_DATE, display.timedisplay != 0);
  CheckDlgButton(this, IDC_CHECK_TITLE1, display.name1enable != 0);
  CheckDlgButton(this, IDC_CHECK_TITLE2, display.name2enable != 0);
  for (int id : {IDC_CHECK_DISPLAY, IDC_CHECK_DATE, IDC_CHECK_TITLE1, IDC_CHECK_TITLE2}) PostClick(id);
  if (auto* edit = DlgItem<QLineEdit>(this, IDC_EDIT_TITLE1)) edit->setText(FieldQText(display.name1));
  if (auto* edit = DlgItem<QLineEdit>(this, IDC_EDIT_TITLE2)) edit->setText(FieldQText(display.name2));
  for (int i = 0; i < 4; ++i) {
    if (m_pSpins[i] != nullptr) m_pSpins[i]->setValue(display.*kPictureFields[i]);
  }
  for (int type = 0; type < kAlarmTypes; ++type) {
    CheckDlgButton(this, kAlarmIds[type][0], g_AlarmLinkage.ipcAlarm[type].channels[channel].Enable != 0);
    PostClick(kAlarmIds[type][0]);
  }
}

void CDlgChannelConfig::OnDisplayFlag(int id) {
  const bool checked = IsDlgButtonChecked(this, id);
  if (id == IDC_CHECK_DISPLAY || id == IDC_CHECK_TITLE1) EnableDlgItems(this, {IDC_EDIT_TITLE1}, checked);
  if (id == IDC_CHECK_TITLE2) EnableDlgItems(this, {IDC_EDIT_TITLE2}, checked);
  ChannelDisplay* display = CurrentDisplay();
  if (display == nullptr) return;
  const uint8_t value = checked ? 1 : 0;
  switch (id) {
    case IDC_CHECK_DISPLAY: display->loaded = value; break;
    case IDC_CHECK_DATE: display->timedisplay = value; break;
    case IDC_CHECK_TITLE1: display->name1enable = value; break;
    case IDC_CHECK_TITLE2: display->name2enable = value; break;
    default: break;
  }
}

void CDlgChannelConfig::OnTitleChanged(int id) {
  ChannelDisplay* display = CurrentDisplay();
  auto* edit = DlgItem<QLineEdit>(this, id);
  if (display == nullptr || edit == nullptr) return;
  StoreFieldQText(id == IDC_EDIT_TITLE1 ? display->name1 : display->name2, edit->text());
}

void CDlgChannelConfig::OnPictureChanged(int id) {
  ChannelDisplay* display = CurrentDisplay();
  if (display == nullptr) return;
  for (int i = 0; i < 4; ++i) {
    if (kPictureIds[i] == id && m_pSpins[i] != nullptr) display->*kPictureFields[i] = static_cast<uint8_t>(m_pSpins[i]->value());
  }
}

void CDlgChannelConfig::OnDefaultPicture() {
  for (QSpinBox* spin : m_pSpins) {
    if (spin != nullptr) spin->setValue(kDefaultPicture);  // its change handler stores it
  }
}

void CDlgChannelConfig::OnAlarmEnable(int type) {
  const bool checked = IsDlgButtonChecked(this, kAlarmIds[type][0]);
  EnableDlgItems(this, {kAlarmIds[type][1], kAlarmIds[type][2], kAlarmIds[type][3]}, checked);
  const int channel = CurrentChannel();
  if (channel >= 0) g_AlarmLinkage.ipcAlarm[type].channels[channel].Enable = checked ? 1 : 0;
}

void CDlgChannelConfig::OnArmingTime(int type) {
  const int channel = CurrentChannel();
  if (channel >= 0) EditArmingTime(this, g_AlarmLinkage.ipcAlarm[type].channels[channel].arming);
}

void CDlgChannelConfig::OnLinkage(int type) {
  const int channel = CurrentChannel();
  if (channel < 0) return;
  AlarmChannelEntry* entry = &g_AlarmLinkage.ipcAlarm[type].channels[channel];
  if (type == 0) {
    CDlgMoveLinkSet dlg(this);
    dlg.SetRecord(entry);
    dlg.DoModal();
  } else {
    CDlgVideoLinkSet dlg(this);
    dlg.SetRecord(entry);
    dlg.DoModal();
  }
}

void CDlgChannelConfig::OnCopyTo(int type) {
  const int channel = CurrentChannel();
  if (channel < 0) return;
  int32_t flags[CDlgCopyTo::kBoxes] = {};
  CDlgCopyTo dlg(this);
  dlg.SetResult(flags);
  if (dlg.DoModal() == IDOK) CopyToTicked(g_AlarmLinkage.ipcAlarm[type].channels, kIpcAlarmChannels, channel, flags);
}
