#include "alarm_map_wall/alarm/search/search_alarm_dlg.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QPainter>
#include <QPaintEvent>
#include <cstdlib>

#include "alarm_map_wall/alarm/alarm_list_columns.h"
#include "alarm_map_wall/alarm/alarm_record.h"
#include "alarm_map_wall/alarm/alarm_types.h"
#include "alarm_map_wall/alarm/log/alarm_log_format.h"
#include "core/control_text.h"
#include "core/fixed_text.h"
#include "core/module_path.h"
#include "core/res_msg_dlg.h"
#include "platform/control_id.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "relay/login/vss_info.h"
#include "ui/sort_list_ctrl.h"

namespace {

constexpr char kPickerFormat[] = "yyyy-MM-dd    HH:mm:ss";
constexpr UINT kSelectDevice = 522;  // "Please select device from device list in the left!"
constexpr int kFormLeft = 240;
constexpr int kListTop = 248;
constexpr int kButtonHeight = 28;

// Texts of the form: labels and buttons (string ids by control id).
struct Text {
  int id;
  UINT stringId;
};
constexpr Text kTexts[] = {{1223, 520}, {1126, 521}, {1224, 523}, {1243, 524}, {1262, 525}, {1225, 526},
                           {1263, 535}, {1264, 536}, {1265, 537}, {1218, 527}, {1219, 528}, {1220, 529}};

// The result list's column titles.
std::vector<CString> ResultTitles() { return {LoadStringA(521), LoadStringA(401), LoadStringA(402), LoadStringA(531)}; }

}  // namespace

const CSearchAlarmDlg::KindBox CSearchAlarmDlg::kKindBoxes[kAlarmSearchKindCount] = {
    {1229, 1},  {1217, 14}, {1228, 15}, {1210, 16},                                     // human alarms
    {1211, 2},  {1213, 12}, {1216, 13},                                                 // device alarms
    {1227, 6},  {1230, 5},  {1212, 8},  {1231, 7},  {1226, 4}, {1215, 3}, {1214, 17}};  // storage alarms

CSearchAlarmDlg::CSearchAlarmDlg(QWidget* parent) : CDialog(IDD, parent) {}

CSearchAlarmDlg::~CSearchAlarmDlg() = default;

QCheckBox* CSearchAlarmDlg::Box(int id) const { return qobject_cast<QCheckBox*>(GetDlgItem(id)); }

BOOL CSearchAlarmDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pMsgDlg = new CResMsgDlg(this);
  m_pResultList = ReplaceDlgItem(IDC_RESULT_LIST, new CSortListCtrl(this));
  m_pResultList->SetGridLines(TRUE);
  InitTexts();
  const QDate today = QDate::currentDate();
  for (int id : {IDC_START, IDC_END}) {
    if (auto* picker = qobject_cast<QDateTimeEdit*>(GetDlgItem(id))) {
      picker->setDisplayFormat(kPickerFormat);
      picker->setDateTime(QDateTime(today, id == IDC_END ? QTime(23, 59, 59) : QTime(0, 0, 0)));
    }
  }
  // Every kind is searched until the user chooses otherwise.
  if (QCheckBox* all = Box(IDC_ALL)) {
    all->setChecked(true);
    OnAllClicked();
    QObject::connect(all, &QCheckBox::clicked, this, [this] { OnAllClicked(); });
  }
  for (const KindBox& kind : kKindBoxes) {
    if (QCheckBox* box = Box(kind.id)) QObject::connect(box, &QCheckBox::clicked, this, [this, box] { OnKindClicked(box); });
  }
  OnClicked(IDC_QUERY, [this] { OnBnClickedQuery(); });
  OnClicked(IDC_PRE_PAGE, [] {});   // every result is listed at once: no pages
  OnClicked(IDC_NEXT_PAGE, [] {});
  for (QObject* child : children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    const int id = widget ? ctrlid::Of(widget) : 0;
    if (id != 0) m_places[id] = widget->geometry();
  }
  m_bInited = true;
  Layout();
  return TRUE;
}

void CSearchAlarmDlg::InitTexts() {
  for (const Text& text : kTexts) {
    if (QWidget* control = GetDlgItem(text.id)) SetWindowTextW(control, LoadStringW(text.stringId));
  }
  for (const KindBox& kind : kKindBoxes) {
    if (QWidget* box = GetDlgItem(kind.id)) SetWindowTextW(box, LoadStringW(SearchTypeStringId(kind.code)));
  }
  SetDeviceText(LoadStringA(kSelectDevice));
}

void CSearchAlarmDlg::SetActive(int bActive) {
  m_bActive = bActive;
  Layout();
}

void CSearchAlarmDlg::Layout() {
  if (!m_bInited) return;
  const bool panel = m_bActive != 0 && m_pPanelWidget != nullptr;
  if (m_pPanelWidget != nullptr) {
    m_pPanelWidget->setVisible(panel);
    m_pPanelWidget->setGeometry(5, 5, kPanelWidth, std::max(0, height() - 10));
  }
  // The form keeps its template places beside the panel, or moves to the left edge.
  const int shift = panel ? 0 : 10 - kFormLeft;
  for (const auto& [id, place] : m_places) {
    if (QWidget* control = GetDlgItem(id)) control->move(place.topLeft() + QPoint(shift, 0));
  }
  const int left = kFormLeft + shift;
  const int bottom = height() - 10;
  if (m_pResultList != nullptr) {
    m_pResultList->setGeometry(left, kListTop, std::max(100, width() - left - 10),
                               std::max(60, bottom - kButtonHeight - 10 - kListTop));
    LayoutAlarmColumns(m_pResultList, ResultTitles());
  }
  if (QWidget* next = GetDlgItem(IDC_NEXT_PAGE)) next->move(width() - 10 - next->width(), bottom - kButtonHeight);
  if (QWidget* pre = GetDlgItem(IDC_PRE_PAGE)) pre->move(width() - 10 - 110 - 10 - pre->width(), bottom - kButtonHeight);
}

void CSearchAlarmDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  Layout();
}

void CSearchAlarmDlg::moveEvent(QMoveEvent* event) {
  CDialog::moveEvent(event);
  Layout();
}

void CSearchAlarmDlg::paintEvent(QPaintEvent* event) {
  if (m_background.size() != size()) {
    m_background = QImage(size(), QImage::Format_RGB32);
    m_background.fill(QColor(230, 229, 227));
    QPainter into(&m_background);
    m_gdi.DrawImageFile(GetModuleDir() + "Images\\Pagebk.jpg", RECT{0, 0, width(), height()}, &into);
  }
  QPainter painter(this);
  painter.drawImage(event->rect(), m_background, event->rect());
}

void CSearchAlarmDlg::SetDeviceListPanel(CDeviceListDlg* panel, QWidget* panelWidget) {
  m_pDevListDlg = panel;
  m_pPanelWidget = panelWidget;
  Layout();
}

void CSearchAlarmDlg::SetDeviceText(const std::string& text) {
  m_strDevice = text;
  SetControlText(this, IDC_DEVICE_TEXT, text);
}

void CSearchAlarmDlg::ClearResults() {
  m_results.clear();
  if (m_pResultList != nullptr) m_pResultList->DeleteAllItems();
}

void CSearchAlarmDlg::SetLocalDevice(DevInfo* pDevInfo) {
  if (pDevInfo == nullptr) return;
  m_DevInfo = *pDevInfo;
  SetDeviceText(FixedText(m_DevInfo.DevName));
  ClearResults();
}

void CSearchAlarmDlg::SetRemoteDevice(RelayDevice* pRelayDevice) {
  if (pRelayDevice == nullptr) return;
  SetDeviceText(RelayAlarmLogName(FixedText(pRelayDevice->MACAddr).c_str(), FixedText(pRelayDevice->IPAddr).c_str()));
  ClearResults();
}

void CSearchAlarmDlg::OnAllClicked() {
  const bool all = Box(IDC_ALL) != nullptr && Box(IDC_ALL)->isChecked();
  for (const KindBox& kind : kKindBoxes) {
    if (QCheckBox* box = Box(kind.id)) box->setChecked(all);
  }
}

void CSearchAlarmDlg::OnKindClicked(QCheckBox* box) {
  if (!box->isChecked()) {
    if (QCheckBox* all = Box(IDC_ALL)) all->setChecked(false);
  }
}

bool CSearchAlarmDlg::ReadQuery(AlarmQuery& query) {
  query = AlarmQuery();
  query.device = m_strDevice;
  query.all = Box(IDC_ALL) != nullptr && Box(IDC_ALL)->isChecked();
  if (!query.all) {
    for (const KindBox& kind : kKindBoxes) {
      if (QCheckBox* box = Box(kind.id); box != nullptr && box->isChecked()) query.kinds.push_back(kind.code);
    }
  }
  auto* start = qobject_cast<QDateTimeEdit*>(GetDlgItem(IDC_START));
  auto* end = qobject_cast<QDateTimeEdit*>(GetDlgItem(IDC_END));
  if (start == nullptr || end == nullptr) return false;
  query.start = start->dateTime().toSecsSinceEpoch();
  query.end = end->dateTime().toSecsSinceEpoch();
  if (query.start > query.end) {
    m_pMsgDlg->ShowMsg(LoadStringW(491).toStdWString(), 2);  // "Wrong time range,please reset!"
    return false;
  }
  return true;
}

void CSearchAlarmDlg::OnBnClickedQuery() {
  if (m_strDevice.empty() || m_strDevice == LoadStringA(kSelectDevice)) {
    m_pMsgDlg->ShowMsg(LoadStringW(534).toStdWString(), 2);  // "Please select device to be queried!"
    return;
  }
  m_results.clear();
  AlarmQuery query;
  if (!ReadQuery(query)) return;
  m_results = SearchAlarmLogs(GetModuleDir(), query);
  FillResults();
  const CString notice = LoadStringA(532) + " " + std::to_string(m_results.size()) + " " + LoadStringA(533);
  m_pMsgDlg->ShowMsgA(notice, 2);
}

void CSearchAlarmDlg::FillResults() {
  if (m_pResultList == nullptr) return;
  m_pResultList->setUpdatesEnabled(false);
  m_pResultList->DeleteAllItems();
  for (const AlarmResult& result : m_results) {
    const int row = m_pResultList->GetItemCount();
    m_pResultList->InsertItem(row, FixedText(result.DevName));
    const UINT typeText = SearchTypeStringId(std::atoi(result.Type));
    m_pResultList->SetItemText(row, 1, typeText != 0 ? LoadStringA(typeText) : CString());
    m_pResultList->SetItemText(row, 2, FormatAlarmDateTime(std::strtoll(result.DateTime, nullptr, 10)));
    m_pResultList->SetItemText(row, 3, FixedText(result.AlarmInfo));
  }
  LayoutAlarmColumns(m_pResultList, ResultTitles());
  m_pResultList->setUpdatesEnabled(true);
}
