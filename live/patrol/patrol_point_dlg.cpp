#include "live/patrol/patrol_point_dlg.h"

#include <QEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>

#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/res_msg_dlg.h"
#include "live/patrol/patrol_keys.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "ui/sort_list_ctrl.h"

namespace {

enum : UINT {
  IDS_DEVICE_LIST = 766,
  IDS_ADD_PATROL = 900,
  IDS_ONE_VIDEO = 901,
  IDS_FOUR_VIDEO = 902,
  IDS_STAY_TIME = 903,
  IDS_DEVICE_NAME = 904,
  IDS_ADD = 905,
  IDS_CANCEL = 906,
  IDS_MODIFY_PATROL = 909,
  IDS_MODIFY = 910,
};

constexpr int kKeyRole = Qt::UserRole;
constexpr int kDevTypeDecoder = 2;

CAddPatrolDlg::RelayKeysFn& RelayKeys() {
  static CAddPatrolDlg::RelayKeysFn keys;
  return keys;
}

QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const std::string& label, const std::string& key) {
  auto* item = new QTreeWidgetItem(parent, QStringList(codepage::ToQString(label)));
  item->setData(0, kKeyRole, QByteArray::fromStdString(key));
  return item;
}

}  // namespace

void CAddPatrolDlg::SetRelayKeys(RelayKeysFn keys) { RelayKeys() = std::move(keys); }

CAddPatrolDlg::CAddPatrolDlg(bool fourMode, bool modifyMode, int row, CSortListCtrl* pointList,
                             const std::vector<PatrolPlan>& plans, QWidget* parent)
    : CDialog(IDD, parent),
      m_bFourMode(fourMode),
      m_bModifyMode(modifyMode),
      m_nRow(row),
      m_pPointList(pointList),
      m_plans(plans) {}

CAddPatrolDlg::~CAddPatrolDlg() = default;

BOOL CAddPatrolDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  setWindowTitle(LoadStringW(m_bModifyMode ? IDS_MODIFY_PATROL : IDS_ADD_PATROL));
  SetWindowTextW(GetDlgItem(IDC_ONE_VIDEO), LoadStringW(IDS_ONE_VIDEO));
  SetWindowTextW(GetDlgItem(IDC_FOUR_VIDEO), LoadStringW(IDS_FOUR_VIDEO));
  SetWindowTextW(GetDlgItem(IDC_STAY_LABEL), LoadStringW(IDS_STAY_TIME));
  for (int i = 0; i < 4; ++i) SetWindowTextW(GetDlgItem(IDC_DEV_LABEL1 + i), LoadStringW(IDS_DEVICE_NAME));
  SetWindowTextW(GetDlgItem(IDC_ADD), LoadStringW(m_bModifyMode ? IDS_MODIFY : IDS_ADD));
  SetWindowTextW(GetDlgItem(IDC_CANCEL), LoadStringW(IDS_CANCEL));
  m_pMsgDlg = new CResMsgDlg(this);

  auto* one = qobject_cast<QRadioButton*>(GetDlgItem(IDC_ONE_VIDEO));
  auto* four = qobject_cast<QRadioButton*>(GetDlgItem(IDC_FOUR_VIDEO));
  if (one && four) {
    one->setEnabled(m_bFourMode);
    four->setEnabled(m_bFourMode);
    one->setChecked(true);
  }
  for (int i = 0; i < 4; ++i) {
    if (QLineEdit* edit = DevEdit(i)) edit->installEventFilter(this);
  }

  // Modify mode starts from the row's values.
  if (m_bModifyMode && m_pPointList && m_nRow >= 0 && m_nRow < m_pPointList->GetItemCount()) {
    PatrolRow cells;
    for (int c = 0; c < m_pPointList->GetColumnCount(); ++c) cells.push_back(m_pPointList->GetItemText(m_nRow, c));
    const PatrolPoint point = PatrolPointOf(cells);
    SetWindowTextW(GetDlgItem(IDC_STAY_TIME), codepage::ToQString(FixedText(point.StayTime)));
    const char* names[] = {point.DevName1, point.DevName2, point.DevName3, point.DevName4};
    for (int i = 0; i < 4; ++i) SetWindowTextW(DevEdit(i), codepage::ToQString(names[i]));
    if (m_bFourMode && std::string_view(point.DispMode) == "1" && four) four->setChecked(true);
  }

  FillDeviceTree();
  OnClicked(IDC_ADD, [this] { OnBnClickedAdd(); });
  OnClicked(IDC_CANCEL, [this] { OnCancel(); });
  return TRUE;
}

// Root "Device List"; a camera by its name, an NVR with its channels under it
// (the NVR itself names nothing), then the relay devices.
void CAddPatrolDlg::FillDeviceTree() {
  auto* tree = qobject_cast<QTreeWidget*>(GetDlgItem(IDC_DEV_TREE));
  if (!tree) return;
  tree->clear();
  tree->setHeaderHidden(true);
  auto* root = new QTreeWidgetItem(tree, QStringList(LoadStringW(IDS_DEVICE_LIST)));
  {
    CsLock lock(&g_csAppData);
    for (const DevInfo& dev : g_lstDevInfo) {
      if (dev.DevType == kDevTypeDecoder) continue;
      if (dev.DevType == kDevTypeNvr && dev.CurNVRChannel < 1) {
        QTreeWidgetItem* nvr = AddItem(root, FixedText(dev.DevName), "");
        for (const DevInfo& channel : g_lstDevInfo) {
          if (channel.DevType == kDevTypeNvr && channel.CurNVRChannel >= 1 &&
              FixedTextView(channel.DevId) == FixedTextView(dev.DevId)) {
            AddItem(nvr, FixedText(channel.DevName), LocalDeviceKey(channel));
          }
        }
      } else if (dev.DevType != kDevTypeNvr) {
        AddItem(root, FixedText(dev.DevName), LocalDeviceKey(dev));
      }
    }
  }
  if (RelayKeys()) {
    for (const auto& [label, key] : RelayKeys()()) AddItem(root, label, key);
  }
  tree->expandAll();
  QObject::connect(tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OnTreeItemClicked(item); });
}

QLineEdit* CAddPatrolDlg::DevEdit(int index) const {
  return qobject_cast<QLineEdit*>(GetDlgItem(IDC_DEV_NAME1 + index));
}

bool CAddPatrolDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    for (int i = 0; i < 4; ++i) {
      if (watched == DevEdit(i)) m_nLastFocus = i;
    }
  }
  return CDialog::eventFilter(watched, event);
}

void CAddPatrolDlg::OnTreeItemClicked(QTreeWidgetItem* item) {
  if (!item) return;
  const std::string key = item->data(0, kKeyRole).toByteArray().toStdString();
  if (key.empty()) return;  // the root, an NVR itself
  auto* four = qobject_cast<QRadioButton*>(GetDlgItem(IDC_FOUR_VIDEO));
  int target = 0;
  if (m_bFourMode && four && four->isChecked()) {
    if (m_nLastFocus >= 0) {
      target = m_nLastFocus;
      m_nLastFocus = -1;
    } else {
      target = m_nNextEdit;
      m_nNextEdit = (m_nNextEdit + 1) % 4;
    }
  }
  SetWindowTextW(DevEdit(target), codepage::ToQString(key));
}

PatrolPointInput CAddPatrolDlg::ReadInput() const {
  PatrolPointInput input;
  input.tab = m_bFourMode ? kPatrolTabTv : kPatrolTabPlayer;
  input.modify = m_bModifyMode;
  input.rowCount = m_pPointList ? m_pPointList->GetItemCount() : 0;
  if (m_bModifyMode && m_pPointList && m_nRow >= 0) {
    input.oldName = m_pPointList->GetItemText(m_nRow, m_bFourMode ? 2 : 0);
  }
  auto* four = qobject_cast<QRadioButton*>(GetDlgItem(IDC_FOUR_VIDEO));
  input.fourVideo = m_bFourMode && four && four->isChecked();
  input.stayTime = codepage::FromQString(GetWindowTextW(GetDlgItem(IDC_STAY_TIME)));
  for (int i = 0; i < 4; ++i) input.devNames[i] = codepage::FromQString(GetWindowTextW(DevEdit(i)));
  return input;
}

void CAddPatrolDlg::OnBnClickedAdd() {
  const PatrolPointInput input = ReadInput();
  if (const int refusal = CheckPatrolPoint(input, m_plans)) {
    m_pMsgDlg->ShowMsg(LoadStringW(static_cast<UINT>(refusal)).toStdWString(), 2);
    return;
  }
  if (m_pPointList) {
    const PatrolRow cells = PatrolRowOfInput(input);
    int row = m_nRow;
    if (!m_bModifyMode) {
      row = m_pPointList->InsertItem(m_pPointList->GetItemCount(), cells[0]);
    } else {
      m_pPointList->SetItemText(row, 0, cells[0]);
    }
    for (size_t c = 1; c < cells.size(); ++c) m_pPointList->SetItemText(row, static_cast<int>(c), cells[c]);
  }
  EndDialog(IDOK);
}
