#include "settings/local/set_switch_stream_dlg.h"

#include <QAbstractButton>
#include <QComboBox>

#include "core/user_settings.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "settings/local/display_modes.h"
#include "settings/local/local_settings_host.h"

namespace {

void SetChecked(QWidget* button, bool checked) {
  if (auto* b = qobject_cast<QAbstractButton*>(button)) b->setChecked(checked);
}

}  // namespace

BOOL CSetSwitchStreamDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const std::pair<int, UINT> texts[] = {{IDC_AUTO_SWITCH, 1051},  {IDC_SHOW_LAST_FRAME, 54020},
                                        {IDC_FORMAT_LABEL, 54021}, {IDC_FMT_RAW, 54022},
                                        {IDC_DISPLAY_MODE_LABEL, 54023}, {IDC_MONITOR_MODE, 1422}};
  for (const auto& [id, text] : texts) SetWindowTextW(GetDlgItem(id), LoadStringW(text));
  SetChecked(GetDlgItem(IDC_AUTO_SWITCH), g_bAutoSwitchStream != 0);
  SetChecked(GetDlgItem(IDC_SHOW_LAST_FRAME), g_bShowLastFrame != 0);
  SetChecked(GetDlgItem(IDC_MONITOR_MODE), g_nMonitorMode != 0);
  // Raw data and JPG by their values; BMP for 2 and for any other value.
  const int format = g_nCapturePicFmt == 0 ? IDC_FMT_RAW : g_nCapturePicFmt == 1 ? IDC_FMT_JPG : IDC_FMT_BMP;
  SetChecked(GetDlgItem(format), true);
  if (auto* list = qobject_cast<QComboBox*>(GetDlgItem(IDC_DISPLAY_MODE))) {
    for (const DisplayModeItem& item : kDisplayModes) list->addItem(LoadStringW(item.text));
    list->setCurrentIndex(DisplayModeIndex(g_nDefDisplayMode));
    QObject::connect(list, qOverload<int>(&QComboBox::activated), this, [this] { OnCbnSelchangeDefDisplayMode(); });
  }
  const std::pair<int, void (CSetSwitchStreamDlg::*)()> handlers[] = {
      {IDC_AUTO_SWITCH, &CSetSwitchStreamDlg::OnBnClickedAutoSwitchStream},
      {IDC_SHOW_LAST_FRAME, &CSetSwitchStreamDlg::OnBnClickedShowLastFrame},
      {IDC_MONITOR_MODE, &CSetSwitchStreamDlg::OnBnClickedMonitorMode},
      {IDC_FMT_BMP, &CSetSwitchStreamDlg::OnBnClickedFmtBmp},
      {IDC_FMT_JPG, &CSetSwitchStreamDlg::OnBnClickedFmtJpg},
      {IDC_FMT_RAW, &CSetSwitchStreamDlg::OnBnClickedFmtYuv},
  };
  for (const auto& [id, handler] : handlers) OnClicked(id, [this, h = handler] { (this->*h)(); });
  return TRUE;
}

int CSetSwitchStreamDlg::Checked(int id) const {
  auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id));
  return button != nullptr && button->isChecked() ? 1 : 0;
}

void CSetSwitchStreamDlg::OnBnClickedAutoSwitchStream() { g_bAutoSwitchStream = Checked(IDC_AUTO_SWITCH); }

void CSetSwitchStreamDlg::OnBnClickedShowLastFrame() {
  g_bShowLastFrame = Checked(IDC_SHOW_LAST_FRAME);
  if (m_pHost != nullptr) m_pHost->ApplyKeepLastFrame();
}

void CSetSwitchStreamDlg::OnBnClickedMonitorMode() {
  g_nMonitorMode = Checked(IDC_MONITOR_MODE);
  if (m_pHost != nullptr) m_pHost->ApplyMonitorMode(g_nMonitorMode != 0);
}

void CSetSwitchStreamDlg::OnBnClickedFmtBmp() { g_nCapturePicFmt = 2; }
void CSetSwitchStreamDlg::OnBnClickedFmtJpg() { g_nCapturePicFmt = 1; }
void CSetSwitchStreamDlg::OnBnClickedFmtYuv() { g_nCapturePicFmt = 0; }

void CSetSwitchStreamDlg::OnCbnSelchangeDefDisplayMode() {
  auto* list = qobject_cast<QComboBox*>(GetDlgItem(IDC_DISPLAY_MODE));
  g_nDefDisplayMode = DisplayModePanes(list != nullptr ? list->currentIndex() : -1);
}
