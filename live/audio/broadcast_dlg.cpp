#include "live/audio/broadcast_dlg.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "core/dev_state_image.h"
#include "core/res_msg_dlg.h"
#include "live/audio/broadcast_run.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"

namespace {

enum : UINT {
  IDS_ADD = 764,
  IDS_REMOVE = 765,
  IDS_DEVICE_LIST = 766,
  IDS_OK = 1065,
  IDS_AUDIO_SET = 1070,
  IDS_ENCODING_FORMAT = 1071,
  IDS_CHANNEL = 1072,
  IDS_MONO = 1073,
  IDS_STEREO = 1074,
  IDS_SAMPLING_RATE = 1075,
  IDS_BROADCAST_DEVICE = 1076,
  IDS_ORIGINAL_DEVICE = 1077,
  IDS_BROADCAST_SAVED = 1080,
};

constexpr int kDeviceRole = Qt::UserRole;  // the item's device: DevId, DevName, DevType
constexpr int kDevTypeDecoder = 2;
constexpr UINT kLoadDelayMs = 3000;

BroadcastPageHost& Host() {
  static BroadcastPageHost host;
  return host;
}

QVariant DeviceData(const BroadcastDevice& device) {
  return QStringList{QString::fromStdString(device.devId), QString::fromStdString(device.devName),
                     QString::number(device.devType)};
}

BroadcastDevice ItemDevice(const QTreeWidgetItem* item) {
  const QStringList fields = item->data(0, kDeviceRole).toStringList();
  if (fields.size() != 3) return {};
  return {fields[0].toStdString(), fields[1].toStdString(), fields[2].toInt()};
}

}  // namespace

void CDlgBroadcast::SetHost(BroadcastPageHost host) { Host() = std::move(host); }

CDlgBroadcast::CDlgBroadcast(QWidget* parent) : CDialog(IDD, parent) {}

CDlgBroadcast::~CDlgBroadcast() = default;

QTreeWidget* CDlgBroadcast::SourceTree() const { return qobject_cast<QTreeWidget*>(GetDlgItem(IDC_SOURCE_TREE)); }

QTreeWidget* CDlgBroadcast::BroadcastTree() const {
  return qobject_cast<QTreeWidget*>(GetDlgItem(IDC_BROADCAST_TREE));
}

BOOL CDlgBroadcast::OnInitDialog() {
  CDialog::OnInitDialog();
  if (Host().treeImages) m_images = Host().treeImages();
  for (QTreeWidget* tree : {BroadcastTree(), SourceTree()}) {
    if (!tree) continue;
    tree->setHeaderHidden(true);
    tree->setStyleSheet("QTreeView::item { height: 20px; }");
    QObject::connect(tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { OnItemChanged(item); });
  }
  ResetTree(BroadcastTree(), true);

  const std::pair<int, UINT> texts[] = {
      {IDC_ADD, IDS_ADD},
      {IDC_REMOVE, IDS_REMOVE},
      {IDC_OK, IDS_OK},
      {IDC_AUDIO_GROUP, IDS_AUDIO_SET},
      {IDC_FORMAT_LABEL, IDS_ENCODING_FORMAT},
      {IDC_CHANNEL_LABEL, IDS_CHANNEL},
      {IDC_MONO, IDS_MONO},
      {IDC_STEREO, IDS_STEREO},
      {IDC_RATE_LABEL, IDS_SAMPLING_RATE},
      {IDC_BROADCAST_LABEL, IDS_BROADCAST_DEVICE},
      {IDC_SOURCE_LABEL, IDS_ORIGINAL_DEVICE},
  };
  for (const auto& [id, text] : texts) SetWindowTextW(GetDlgItem(id), LoadStringW(text));

  // Each row of radios is a choice of its own.
  for (const std::vector<int>& ids : {std::vector<int>{IDC_G711, IDC_AAC}, std::vector<int>{IDC_MONO, IDC_STEREO},
                                      std::vector<int>{IDC_RATE_8000, IDC_RATE_16000, IDC_RATE_48000}}) {
    auto* group = new QButtonGroup(this);
    for (int id : ids) {
      if (auto* radio = qobject_cast<QRadioButton*>(GetDlgItem(id))) group->addButton(radio);
    }
  }
  Check(IDC_G711);
  Check(IDC_MONO);
  Check(IDC_RATE_8000);

  OnClicked(IDC_ADD, [this] { OnBnClickedAdd(); });
  OnClicked(IDC_REMOVE, [this] { OnBnClickedRemove(); });
  OnClicked(IDC_OK, [this] { OnBnClickedOk(); });
  m_pMsgDlg = new CResMsgDlg(this);
  SetTimer(TIMER_LOAD, kLoadDelayMs);
  return TRUE;
}

void CDlgBroadcast::OnTimer(UINT_PTR id) {
  if (id != TIMER_LOAD) return;
  KillTimer(TIMER_LOAD);
  LoadBroadcastInfo();
}

bool CDlgBroadcast::IsChecked(int id) const {
  auto* radio = qobject_cast<QRadioButton*>(GetDlgItem(id));
  return radio && radio->isChecked();
}

void CDlgBroadcast::Check(int id) {
  if (auto* radio = qobject_cast<QRadioButton*>(GetDlgItem(id))) radio->setChecked(true);
}

void CDlgBroadcast::LoadBroadcastInfo() {
  ::LoadBroadcastInfo(m_settings);
  Check(m_settings.audio == kBroadcastG711 ? IDC_G711 : IDC_AAC);
}

void CDlgBroadcast::SaveBroadcastInfo() {
  BroadcastSettings saved = m_settings;
  saved.audio = IsChecked(IDC_G711) ? kBroadcastG711 : kBroadcastAac;
  ::SaveBroadcastInfo(saved);
}

// Empties the tree (or only the items under its root) and gives back the root.
QTreeWidgetItem* CDlgBroadcast::ResetTree(QTreeWidget* tree, bool clearRoot) {
  if (!tree) return nullptr;
  const QSignalBlocker block(tree);
  QTreeWidgetItem* root = tree->topLevelItem(0);
  if (clearRoot || !root) {
    tree->clear();
    root = new QTreeWidgetItem(tree, QStringList(LoadStringW(IDS_DEVICE_LIST)));
    root->setFlags(root->flags() | Qt::ItemIsUserCheckable);
    root->setCheckState(0, Qt::Unchecked);
    if (!m_images.empty()) root->setIcon(0, m_images[0]);
  } else {
    qDeleteAll(root->takeChildren());
  }
  return root;
}

QTreeWidgetItem* CDlgBroadcast::AddDeviceItem(QTreeWidgetItem* root, const BroadcastDevice& device) {
  auto* item = new QTreeWidgetItem(root, QStringList(codepage::ToQString(BroadcastLabel(device))));
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(0, Qt::Unchecked);
  item->setData(0, kDeviceRole, DeviceData(device));
  int image = 2;
  {
    CsLock lock(&g_csAppData);
    for (const DevInfo& dev : g_lstDevInfo) {
      if (BroadcastLabel(dev) == BroadcastLabel(device)) {
        image = DevStateImage(dev);
        break;
      }
    }
  }
  if (image < static_cast<int>(m_images.size())) item->setIcon(0, m_images[image]);
  return item;
}

void CDlgBroadcast::InitSourceDevTree() {
  QTreeWidget* tree = SourceTree();
  QTreeWidgetItem* root = ResetTree(tree, true);
  if (!root) return;
  const QSignalBlocker block(tree);
  std::vector<BroadcastDevice> devices;
  {
    CsLock lock(&g_csAppData);
    for (const DevInfo& dev : g_lstDevInfo) {
      if (dev.DevType == kDevTypeDecoder || (dev.DevType == kDevTypeNvr && dev.CurNVRChannel < 1)) continue;
      devices.push_back(ToBroadcastDevice(dev));
    }
  }
  for (const BroadcastDevice& device : devices) AddDeviceItem(root, device);
  tree->expandAll();
}

void CDlgBroadcast::InitBroadcastDevTree() {
  QTreeWidget* tree = BroadcastTree();
  QTreeWidgetItem* root = ResetTree(tree, false);
  if (!root) return;
  const QSignalBlocker block(tree);
  for (const BroadcastDevice& device : m_settings.devices) AddDeviceItem(root, device);
  tree->expandAll();
}

void CDlgBroadcast::OnItemChanged(QTreeWidgetItem* item) {
  if (!item || item->childCount() == 0) return;
  // A parent's check goes to all of its children.
  const QSignalBlocker block(item->treeWidget());
  for (int i = 0; i < item->childCount(); ++i) item->child(i)->setCheckState(0, item->checkState(0));
  item->treeWidget()->setCurrentItem(item);
}

void CDlgBroadcast::OnBnClickedAdd() {
  QTreeWidget* source = SourceTree();
  QTreeWidget* target = BroadcastTree();
  if (!source || !target || !source->topLevelItem(0)) return;
  QTreeWidgetItem* from = source->topLevelItem(0);
  QTreeWidgetItem* to = target->topLevelItem(0);
  if (!to) to = ResetTree(target, true);
  const QSignalBlocker block(target);
  for (int i = 0; i < from->childCount(); ++i) {
    QTreeWidgetItem* item = from->child(i);
    if (item->checkState(0) != Qt::Checked) continue;
    const BroadcastDevice device = ItemDevice(item);
    bool present = false;
    for (int k = 0; k < to->childCount() && !present; ++k) {
      const BroadcastDevice chosen = ItemDevice(to->child(k));
      present = chosen.devName == device.devName && chosen.devId == device.devId;
    }
    if (present) continue;
    QTreeWidgetItem* copy = item->clone();
    copy->setCheckState(0, Qt::Unchecked);
    to->addChild(copy);
  }
  target->expandAll();
}

void CDlgBroadcast::OnBnClickedRemove() {
  QTreeWidget* tree = BroadcastTree();
  if (!tree || !tree->topLevelItem(0)) return;
  QTreeWidgetItem* root = tree->topLevelItem(0);
  const QSignalBlocker block(tree);
  for (int i = root->childCount() - 1; i >= 0; --i) {
    if (root->child(i)->checkState(0) == Qt::Checked) delete root->takeChild(i);
  }
}

void CDlgBroadcast::OnBnClickedOk() {
  // 1. A running broadcast to the old list is stopped first.
  CBroadcastRun* run = Host().broadcastRun ? Host().broadcastRun() : nullptr;
  if (!m_settings.devices.empty() && run && run->IsRunning()) {
    run->Stop(m_settings);
    if (Host().broadcastStopped) Host().broadcastStopped();
  }
  // 2. The list as the tree shows it.
  m_settings.devices.clear();
  if (QTreeWidget* tree = BroadcastTree(); tree && tree->topLevelItem(0)) {
    QTreeWidgetItem* root = tree->topLevelItem(0);
    for (int i = 0; i < root->childCount(); ++i) m_settings.devices.push_back(ItemDevice(root->child(i)));
  }
  // 3. The radios.
  m_settings.audio = IsChecked(IDC_G711) ? kBroadcastG711 : kBroadcastAac;
  m_nMono = IsChecked(IDC_MONO) ? 1 : 0;
  m_nSampleRate = IsChecked(IDC_RATE_8000) ? 8000 : IsChecked(IDC_RATE_16000) ? 16000 : 48000;
  // 4. Confirmation and the file, also for an empty list.
  const CStringW text = LoadStringW(IDS_BROADCAST_SAVED).toStdWString();
  if (Host().showMessage) {
    Host().showMessage(text, 2);
  } else {
    m_pMsgDlg->ShowMsg(text, 2);
  }
  SaveBroadcastInfo();
}
