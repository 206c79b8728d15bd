#include "harlen/pages/device/dlg_dev_param_config.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <cstdlib>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/main/dlg_main.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/common/page_text.h"
#include "harlen/pages/device/device_time.h"

namespace {

constexpr int kNameChars = 63;
constexpr int kIdChars = 9;
constexpr int kSerialChars = 19;

QStringList Months() {
  QStringList items;
  for (int month = 1; month <= 12; ++month) items << QString::number(month);
  return items;
}

// The daylight-saving controls that the enable box switches.
constexpr std::initializer_list<int> kSummerControls = {
    CDlgDevParamConfig::IDC_COMBO_START_MONTH, CDlgDevParamConfig::IDC_COMBO_START_WEEK,
    CDlgDevParamConfig::IDC_COMBO_START_WEEKDAY, CDlgDevParamConfig::IDC_EDIT_START_HOUR,
    CDlgDevParamConfig::IDC_COMBO_END_MONTH, CDlgDevParamConfig::IDC_COMBO_END_WEEK,
    CDlgDevParamConfig::IDC_COMBO_END_WEEKDAY, CDlgDevParamConfig::IDC_EDIT_END_HOUR,
    CDlgDevParamConfig::IDC_COMBO_OFFSET};

void SetText(const CWnd* wnd, int id, const QString& text) {
  if (auto* edit = DlgItem<QLineEdit>(wnd, id)) edit->setText(text);
}

}  // namespace

BOOL CDlgDevParamConfig::OnInitDialog() {
  CRgbPage::OnInitDialog();
  FillDropList(this, IDC_COMBO_CYCLE, LoadStrings(IDS_CYCLE_STOP, IDS_CYCLE_STOP + 1));
  FillDropList(this, IDC_COMBO_PANEL, {QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("05"), QStringLiteral("mini")});
  FillDropList(this, IDC_COMBO_RS485, LoadStrings(IDS_RS485_PTZ, IDS_RS485_PTZ + 1));
  FillDropList(this, IDC_COMBO_MODE, QStringList{harlenres::LoadString(IDS_MODE_BY_CAMERA), QStringLiteral("720P"),
                                                 QStringLiteral("960P"), QStringLiteral("1080P")});
  FillDropList(this, IDC_COMBO_ZONE, LoadStrings(IDS_ZONE_WEST_12, IDS_ZONE_EAST_12));
  for (int id : {IDC_COMBO_START_MONTH, IDC_COMBO_END_MONTH}) FillDropList(this, id, Months());
  for (int id : {IDC_COMBO_START_WEEK, IDC_COMBO_END_WEEK}) FillDropList(this, id, LoadStrings(IDS_WEEK_FIRST, IDS_WEEK_LAST));
  for (int id : {IDC_COMBO_START_WEEKDAY, IDC_COMBO_END_WEEKDAY}) {
    FillDropList(this, id, LoadStrings(IDS_WEEKDAY_SUNDAY, IDS_WEEKDAY_SATURDAY));
  }
  FillDropList(this, IDC_COMBO_OFFSET, LoadStrings(IDS_OFFSET_30, IDS_OFFSET_120));

  m_pStartHour = ReplaceDlgItem(IDC_EDIT_START_HOUR, new QSpinBox());
  m_pStartHour->setRange(0, 23);
  m_pEndHour = ReplaceDlgItem(IDC_EDIT_END_HOUR, new QSpinBox());
  m_pEndHour->setRange(1, 24);
  QObject::connect(m_pStartHour, &QSpinBox::valueChanged, this, [this] { OnHourChanged(true); });
  QObject::connect(m_pEndHour, &QSpinBox::valueChanged, this, [this] { OnHourChanged(false); });

  if (auto* name = DlgItem<QLineEdit>(this, IDC_EDIT_NAME)) {
    name->setMaxLength(kNameChars);
    QObject::connect(name, &QLineEdit::textEdited, this,
                     [name] { StoreFieldQText(g_SystemParam.devicecfg.name, name->text()); });
  }
  if (auto* id = DlgItem<QLineEdit>(this, IDC_EDIT_ID)) {
    id->setMaxLength(kIdChars);
    QObject::connect(id, &QLineEdit::textEdited, this, [id] {
      g_SystemParam.devicecfg.id = static_cast<uint32_t>(std::atoi(QTextAnsi(id->text()).c_str()));
    });
  }
  if (auto* serial = DlgItem<QLineEdit>(this, IDC_EDIT_SERIAL)) serial->setMaxLength(kSerialChars);
  for (int id : {IDC_EDIT_SERIAL, IDC_EDIT_CHANNELS, IDC_EDIT_ALARMIN, IDC_EDIT_ALARMOUT, IDC_EDIT_DISKS,
                 IDC_EDIT_MAINVER, IDC_EDIT_HWVER}) {
    if (auto* edit = DlgItem<QLineEdit>(this, id)) edit->setReadOnly(true);
  }
  m_pPicker = DlgItem<QDateTimeEdit>(this, IDC_PICKER);
  if (m_pPicker != nullptr) {
    m_pPicker->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_pPicker->setDateTime(QDateTime::currentDateTime());
  }
  for (int id : {IDC_COMBO_MODE, IDC_COMBO_START_MONTH, IDC_COMBO_START_WEEK, IDC_COMBO_START_WEEKDAY,
                 IDC_COMBO_END_MONTH, IDC_COMBO_END_WEEK, IDC_COMBO_END_WEEKDAY, IDC_COMBO_OFFSET}) {
    if (auto* list = DlgItem<QComboBox>(this, id)) {
      QObject::connect(list, &QComboBox::currentIndexChanged, this, [this, id] { OnListChanged(id); });
    }
  }
  OnClicked(IDC_CHECK_DST, [this] { OnSummerTimeClicked(); });
  OnClicked(IDC_CHECK_IPCTIME, [this] { g_CommonCfg.setipctime = IsDlgButtonChecked(this, IDC_CHECK_IPCTIME) ? 1 : 0; });
  OnClicked(IDC_BTN_APPLY, [this] { OnApply(); });
  ShowClock();
  SetTimer(kClockTimer, 1000);
  return TRUE;
}

void CDlgDevParamConfig::OnTimer(UINT_PTR id) {
  if (id == kClockTimer) {
    ShowClock();
    return;
  }
  CRgbPage::OnTimer(id);
}

void CDlgDevParamConfig::ShowClock() {
  if (auto* clock = DlgItem<QLabel>(this, IDC_STATIC_CLOCK)) {
    clock->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
  }
}

void CDlgDevParamConfig::FillFromConfig() {
  const DeviceCfg& device = g_SystemParam.devicecfg;
  SetText(this, IDC_EDIT_NAME, FieldQText(device.name));
  SetText(this, IDC_EDIT_SERIAL, FieldQText(device.serial));
  SetText(this, IDC_EDIT_ID, QString::number(device.id));
  SetText(this, IDC_EDIT_CHANNELS, QString::number(device.channelnum));
  SetText(this, IDC_EDIT_ALARMIN, QString::number(device.alarmin));
  SetText(this, IDC_EDIT_ALARMOUT, QString::number(device.alarmout));
  SetText(this, IDC_EDIT_DISKS, QString::number(device.hdnum));
  SetCurSel(this, IDC_COMBO_MODE, device.mode);
  SetText(this, IDC_EDIT_MAINVER, FieldQText(g_SystemParam.systeminfo.mainver));
  SetText(this, IDC_EDIT_HWVER, FieldQText(g_SystemParam.systeminfo.hwver));

  // Copied first: every list's change handler stores into the record as it is shown.
  const SummerTime summer = g_SystemParam.summerTime;
  CheckDlgButton(this, IDC_CHECK_DST, summer.enable != 0);
  PostClick(IDC_CHECK_DST);
  SetCurSel(this, IDC_COMBO_START_MONTH, summer.start.month);
  SetCurSel(this, IDC_COMBO_START_WEEK, summer.start.week);
  SetCurSel(this, IDC_COMBO_START_WEEKDAY, summer.start.weekday);
  SetCurSel(this, IDC_COMBO_END_MONTH, summer.end.month);
  SetCurSel(this, IDC_COMBO_END_WEEK, summer.end.week);
  SetCurSel(this, IDC_COMBO_END_WEEKDAY, summer.end.weekday);
  SetCurSel(this, IDC_COMBO_OFFSET, summer.offset);
  {
    // The hours are shown as stored, even one the spin would not offer.
    const QSignalBlocker quietStart(m_pStartHour);
    const QSignalBlocker quietEnd(m_pEndHour);
    m_pStartHour->setValue(summer.start.hour);
    m_pEndHour->setValue(summer.end.hour);
  }
  g_SystemParam.summerTime = summer;
  CheckDlgButton(this, IDC_CHECK_IPCTIME, g_CommonCfg.setipctime != 0);
}

void CDlgDevParamConfig::ShowDeviceTime(const DeviceTime& time) {
  SetCurSel(this, IDC_COMBO_ZONE, time.timezone + kZoneIndexOfUtc);
  const QDateTime when(QDate(time.year, time.month, time.day), QTime(time.hour, time.minute, time.second));
  if (m_pPicker != nullptr && when.isValid()) m_pPicker->setDateTime(when);
}

void CDlgDevParamConfig::OnSummerTimeClicked() {
  const bool checked = IsDlgButtonChecked(this, IDC_CHECK_DST);
  EnableDlgItems(this, kSummerControls, checked);
  g_SystemParam.summerTime.enable = checked ? 1 : 0;
}

void CDlgDevParamConfig::OnListChanged(int id) {
  const int index = GetCurSel(this, id);
  if (index < 0) return;  // nothing chosen: the record keeps its value
  const auto value = static_cast<uint8_t>(index);
  SummerTime& summer = g_SystemParam.summerTime;
  switch (id) {
    case IDC_COMBO_MODE: g_SystemParam.devicecfg.mode = value; break;
    case IDC_COMBO_START_MONTH: summer.start.month = value & 0x0F; break;
    case IDC_COMBO_START_WEEK: summer.start.week = value & 0x0F; break;
    case IDC_COMBO_START_WEEKDAY: summer.start.weekday = value & 0x0F; break;
    case IDC_COMBO_END_MONTH: summer.end.month = value & 0x0F; break;
    case IDC_COMBO_END_WEEK: summer.end.week = value & 0x0F; break;
    case IDC_COMBO_END_WEEKDAY: summer.end.weekday = value & 0x0F; break;
    case IDC_COMBO_OFFSET: summer.offset = value; break;
    default: break;
  }
}

void CDlgDevParamConfig::OnHourChanged(bool start) {
  SummerTimePoint& point = start ? g_SystemParam.summerTime.start : g_SystemParam.summerTime.end;
  point.hour = static_cast<uint8_t>((start ? m_pStartHour : m_pEndHour)->value());
}

void CDlgDevParamConfig::OnApply() {
  std::string text;
  const QDateTime picked = m_pPicker != nullptr ? m_pPicker->dateTime() : QDateTime();
  if (!BuildSetTimeText(picked, GetCurSel(this, IDC_COMBO_ZONE), text)) {
    HarlenMessage(this, IDS_MSG_TIME_INVALID);
    return;
  }
  if (CNVRMCInf* link = m_pMain != nullptr ? m_pMain->GetLink() : nullptr) {
    link->SendControl(NVRMC_CTRL_SET_TIME, text.data(), static_cast<int>(text.size()));
  }
}
