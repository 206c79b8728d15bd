#include "harlen/pages/device/dlg_holiday_set.h"

#include <QComboBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <cstdlib>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/pages/common/page_text.h"

namespace {

// String `format` ("%d月" ...) of 1 to `last`.
QStringList Numbered(UINT format, int last) {
  QStringList items;
  for (int i = 1; i <= last; ++i) items << harlenres::FormatString(format, {i});
  return items;
}

int EditNumber(const CWnd* wnd, int id) {
  const auto* edit = DlgItem<QLineEdit>(wnd, id);
  return edit != nullptr ? std::atoi(QTextAnsi(edit->text()).c_str()) : 0;
}

void SetNumber(const CWnd* wnd, int id, int value) {
  if (auto* edit = DlgItem<QLineEdit>(wnd, id)) edit->setText(QString::number(value));
}

// A stored value v is shown as item v - 1; each list stores its selection + 1.
void ShowValue(const CWnd* wnd, int id, int value) { SetCurSel(wnd, id, value - 1); }
uint8_t ListValue(const CWnd* wnd, int id) { return static_cast<uint8_t>(GetCurSel(wnd, id) + 1); }

}  // namespace

BOOL CDlgHolidaySet::OnInitDialog() {
  CRgbDialog::OnInitDialog();
  FillDropList(this, IDC_COMBO_KIND, LoadStrings(IDS_HOLIDAY_BY_DATE, IDS_HOLIDAY_BY_MONTH));
  for (int id : {IDC_EDIT_FROM, IDC_EDIT_TO}) {
    if (auto* edit = DlgItem<QLineEdit>(this, id)) edit->setValidator(new QIntValidator(0, 65535, edit));
  }
  if (auto* kind = DlgItem<QComboBox>(this, IDC_COMBO_KIND)) {
    QObject::connect(kind, &QComboBox::currentIndexChanged, this, [this](int index) { LayOut(index); });
  }
  if (m_pPeriod == nullptr) return TRUE;
  const HolidayPeriod& p = *m_pPeriod;
  {
    auto* kind = DlgItem<QComboBox>(this, IDC_COMBO_KIND);
    const QSignalBlocker quiet(kind);
    SetCurSel(this, IDC_COMBO_KIND, static_cast<int>(p.mode));
  }
  if (p.mode > kHolidayByMonth) return TRUE;  // an unknown kind: the lists stay empty
  LayOut(static_cast<int>(p.mode));
  switch (p.mode) {
    case kHolidayByDate:
      SetNumber(this, IDC_EDIT_FROM, p.bydate.fromyear);
      SetNumber(this, IDC_EDIT_TO, p.bydate.toyear);
      ShowValue(this, IDC_COMBO_FROM_A, p.bydate.frommonth);
      ShowValue(this, IDC_COMBO_TO_A, p.bydate.tomonth);
      ShowValue(this, IDC_COMBO_FROM_B, p.bydate.fromday);
      ShowValue(this, IDC_COMBO_TO_B, p.bydate.today);
      break;
    case kHolidayByWeek:
      SetNumber(this, IDC_EDIT_FROM, p.byweek.frommonth);
      SetNumber(this, IDC_EDIT_TO, p.byweek.tomonth);
      ShowValue(this, IDC_COMBO_FROM_A, p.byweek.fromweek);
      ShowValue(this, IDC_COMBO_TO_A, p.byweek.toweek);
      ShowValue(this, IDC_COMBO_FROM_B, p.byweek.fromweekday);
      ShowValue(this, IDC_COMBO_TO_B, p.byweek.toweekday);
      break;
    default:
      ShowValue(this, IDC_COMBO_FROM_A, p.bymonth.frommonth);
      ShowValue(this, IDC_COMBO_FROM_B, p.bymonth.fromday);
      ShowValue(this, IDC_COMBO_TO_A, p.bymonth.tomonth);
      ShowValue(this, IDC_COMBO_TO_B, p.bymonth.today);
      break;
  }
  return TRUE;
}

void CDlgHolidaySet::LayOut(int kind) {
  const bool byWeek = kind == kHolidayByWeek;
  EnableDlgItems(this, {IDC_EDIT_FROM, IDC_EDIT_TO}, kind != kHolidayByMonth);
  const QStringList a = byWeek ? Numbered(IDS_HOLIDAY_WEEK_N, 5) : Numbered(IDS_HOLIDAY_MONTH_N, 12);
  const QStringList b = byWeek ? Numbered(IDS_HOLIDAY_WEEKDAY_N, 7) : Numbered(IDS_HOLIDAY_DAY_N, 31);
  for (int id : {IDC_COMBO_FROM_A, IDC_COMBO_TO_A}) FillDropList(this, id, a);
  for (int id : {IDC_COMBO_FROM_B, IDC_COMBO_TO_B}) FillDropList(this, id, b);
  for (int id : {IDC_STATIC_FROM, IDC_STATIC_TO}) {
    if (auto* label = DlgItem<QLabel>(this, id)) label->setText(harlenres::LoadString(byWeek ? IDS_HOLIDAY_MONTH : IDS_HOLIDAY_YEAR));
  }
}

void CDlgHolidaySet::OnOK() {
  if (m_pPeriod != nullptr) {
    HolidayPeriod& p = *m_pPeriod;
    const int kind = GetCurSel(this, IDC_COMBO_KIND);
    p.mode = static_cast<uint32_t>(kind < 0 ? 0 : kind);
    switch (p.mode) {
      case kHolidayByDate:
        p.bydate.fromyear = static_cast<uint16_t>(EditNumber(this, IDC_EDIT_FROM));
        p.bydate.toyear = static_cast<uint16_t>(EditNumber(this, IDC_EDIT_TO));
        p.bydate.frommonth = ListValue(this, IDC_COMBO_FROM_A);
        p.bydate.tomonth = ListValue(this, IDC_COMBO_TO_A);
        p.bydate.fromday = ListValue(this, IDC_COMBO_FROM_B);
        p.bydate.today = ListValue(this, IDC_COMBO_TO_B);
        break;
      case kHolidayByWeek:
        p.byweek.frommonth = static_cast<uint8_t>(EditNumber(this, IDC_EDIT_FROM));
        p.byweek.tomonth = static_cast<uint8_t>(EditNumber(this, IDC_EDIT_TO));
        p.byweek.fromweek = ListValue(this, IDC_COMBO_FROM_A);
        p.byweek.toweek = ListValue(this, IDC_COMBO_TO_A);
        p.byweek.fromweekday = ListValue(this, IDC_COMBO_FROM_B);
        p.byweek.toweekday = ListValue(this, IDC_COMBO_TO_B);
        break;
      default:
        p.bymonth.frommonth = ListValue(this, IDC_COMBO_FROM_A);
        p.bymonth.tomonth = ListValue(this, IDC_COMBO_TO_A);
        p.bymonth.fromday = ListValue(this, IDC_COMBO_FROM_B);
        p.bymonth.today = ListValue(this, IDC_COMBO_TO_B);
        break;
    }
  }
  CRgbDialog::OnOK();
}
